#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRectF>
#include <QString>

#include <optional>

namespace zova {

class Step;

// The normalised rectangles of the step's blur marks, in stored order.
QList<QRectF> blurRects(const Step& step);

// The image with everything under each rectangle (fractions of the image size)
// blurred so strongly that text there cannot be read; pixels outside them keep
// their exact values.
QImage burnInBlurs(const QImage& image, const QList<QRectF>& rects);

// The screenshot of a step as it leaves the application: the file's own bytes
// when the step has no blur marks, else a PNG with the marks burned in. No value
// when the file cannot be read or decoded.
std::optional<QByteArray> exportedScreenshotBytes(const Step& step);
// The same for a stored screenshot and the rectangles to blur in it.
std::optional<QByteArray> exportedScreenshotBytes(const QString& filename, const QList<QRectF>& rects);

} // namespace zova
