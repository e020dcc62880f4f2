#include "app/artwork.h"

#include "common/svg_picture.h"

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
    return RenderSvgPicture(ArtworkPath(name), size, ratio);
}
