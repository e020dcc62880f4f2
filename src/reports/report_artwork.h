#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>

// The report window's pictures (":/report/<name>.svg"), drawn at that size in logical pixels
// for the screen's pixel ratio.
QPixmap RenderReportArtwork(const QString& name, const QSize& size, qreal ratio);
