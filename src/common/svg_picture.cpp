#include "common/svg_picture.h"

#include <QPainter>
#include <QSvgRenderer>

QPixmap RenderSvgPicture(const QString& path, const QSize& size, qreal ratio)
{
    QPixmap pixmap(size * ratio);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(path);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    painter.end();
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}
