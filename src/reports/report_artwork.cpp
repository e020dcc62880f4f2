#include "reports/report_artwork.h"

#include <QPainter>
#include <QSvgRenderer>

// A static library's resources are linked in only when registered.
static void RegisterReportArtwork()
{
    Q_INIT_RESOURCE(report_art);
}

QPixmap RenderReportArtwork(const QString& name, const QSize& size, qreal ratio)
{
    static const bool registered = (RegisterReportArtwork(), true);
    Q_UNUSED(registered);
    QPixmap pixmap(size * ratio);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(QStringLiteral(":/report/%1.svg").arg(name));
    QPainter painter(&pixmap);
    renderer.render(&painter);
    painter.end();
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}
