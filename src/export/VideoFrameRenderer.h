#pragma once

#include "export/VideoExportOptions.h"
#include "export/VideoFrameSource.h"

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRectF>

#include <optional>

namespace zova {

// Draws the slide of one step: the screenshot, its blur marks redacted, fitted into
// the upper area with rounded corners and a soft shadow, a ring marker at the click,
// the step's marks, and a dark caption band with the text and a "Step n of m"
// counter. Any thread; touches no shared state.
class VideoFrameRenderer {
public:
    // A BGRA (premultiplied ARGB32) image of the options' size; empty when it cannot
    // be made. The screenshot is decoded for this frame only.
    static std::optional<QImage> renderFrame(
        const VideoFrameSource& source, int stepNumber, int totalSteps, const VideoExportOptions& options);
    // The same with the source's screenshot already decoded (as stored, unredacted).
    static std::optional<QImage> renderFrame(const VideoFrameSource& source, const QImage& screenshot, int stepNumber,
        int totalSteps, const VideoExportOptions& options);

    // Where the screenshot goes in a frame (top-left origin, y down).
    static QRectF screenshotRect(QSizeF imageSize, int width, int height);
    // The marker's centre for a hotspot in fractions of the screenshot rectangle.
    static QPointF markerCenter(const QRectF& screenshot, double clickX, double clickY);
    // The caption band's colour for a background.
    static QColor captionBandColor(const QString& backgroundHex);

    // The description line as drawn at that frame width: cut at its end with "…" when too wide.
    static QString captionLine(const QString& description, int width);

    // 0.299 red + 0.587 green + 0.114 blue, each in 0..1, of the colour the
    // background text resolves to (white when it is not a colour).
    static double luminance(const QString& hex);
};

} // namespace zova
