#include "reports/report_artwork.h"

#include "common/svg_picture.h"

// A static library's resources are linked in only when registered.
static void RegisterReportArtwork()
{
    Q_INIT_RESOURCE(report_art);
}

QPixmap RenderReportArtwork(const QString& name, const QSize& size, qreal ratio)
{
    static const bool registered = (RegisterReportArtwork(), true);
    Q_UNUSED(registered);
    return RenderSvgPicture(QStringLiteral(":/report/%1.svg").arg(name), size, ratio);
}
