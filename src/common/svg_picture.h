#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>

// An SVG file (a resource path) drawn at that size in logical pixels for a screen's pixel
// ratio, on a transparent ground.
QPixmap RenderSvgPicture(const QString& path, const QSize& size, qreal ratio);
