#pragma once

#include <QImage>
#include <QList>
#include <QRect>
#include <QRectF>
#include <QString>

#include <optional>

namespace zova::ocr {

// One recognised line of text.
struct TextLine {
    // Bounding box in fractions of the whole image, origin top left, y down.
    QRectF box;
    // The recogniser's best reading, as it gave it (may end in a line break).
    QString text;
};

// Reads text lines with Tesseract (English). Each calling thread gets its own
// engine, made on first use and kept for the thread's life, with the engine's
// internal threading switched off. Never call it on the GUI thread: the first
// call on a thread costs the engine's start-up.
class TextRecognizer {
public:
    // Recognises the lines inside `region` (pixels of `image`; clipped to the
    // image) and returns them in the engine's reading order, their boxes
    // relative to the whole image. Lines lower than `minLineHeight` (a fraction of
    // the image's height) are left out. No value when the engine cannot start
    // or the region is empty.
    static std::optional<QList<TextLine>> recognize(
        const QImage& image, const QRect& region, double minLineHeight = 0.0);

    // Whether an engine can be started at all on this machine.
    static bool isAvailable();
};

} // namespace zova::ocr
