#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>

// Registers the program's pictures (a static library's resources are not linked in by
// themselves). Safe to call more than once.
void InitArtwork();

// One of the SVG pictures (":/art/<name>.svg") drawn at the given size in device pixels.
QPixmap RenderArtwork(const QString& name, const QSize& size, qreal ratio);
QString ArtworkPath(const QString& name);
