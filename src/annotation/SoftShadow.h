#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <vector>

namespace zova::annotation {

// Paints the soft shadow of a shape (a Gaussian-like blur of the given radius, no
// offset) in the colour, outside and under the shape.
void drawSoftShadow(QPainter& painter, const QPainterPath& shape, double blurRadius, const QColor& color);

// One box-filter pass of radius r along n bytes spaced stride apart; outside the line
// counts as zero, or as the edge byte with clampEdges.
void boxLine(uchar* data, int n, int stride, int r, std::vector<int>& scratch, bool clampEdges);

// Three box-blur passes over the alpha channel of an Alpha8 image, radius r each way.
void boxBlurAlpha(QImage& alpha8, int radius);

} // namespace zova::annotation
