#include "app/artwork.h"

#include <QPainter>
#include <QSvgRenderer>

static void RegisterArtwork()
{
    Q_INIT_RESOURCE(resources);
}

void InitArtwork()
{
    static const bool registered = [] {
        RegisterArtwork();
        return true;
    }();
    Q_UNUSED(registered);
}

QString ArtworkPath(const QString& name)
{
    return QStringLiteral(":/art/%1.svg").arg(name);
}

QPixmap RenderArtwork(const QString& name, const QSize& size, qreal ratio)
{
    InitArtwork();
    QPixmap pixmap(size * ratio);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(ArtworkPath(name));
    QPainter painter(&pixmap);
    renderer.render(&painter);
    painter.end();
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}
