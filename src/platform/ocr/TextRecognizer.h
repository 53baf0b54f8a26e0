#pragma once

#include <QImage>
#include <QList>
#include <QRect>
#include <QRectF>
#include <QString>

#include <atomic>
#include <optional>

namespace zova::ocr {

// One recognised line of text.
struct TextLine {
    // Bounding box in fractions of the whole image, origin top left, y down.
    QRectF box;
    // The recogniser's best reading, as it gave it (may end in a line break).
    QString text;
};

// One recognised word of screen text.
struct TextWord {
    // Bounding box in fractions of the whole image, origin top left, y down.
    QRectF box;
    QString text;
    // The recogniser's confidence in the reading, 0 to 100.
    double confidence = 0;
    // Words read as one line share the number.
    int line = 0;
    // Whether a frame or separator stands between this word and the one before
    // it on its line.
    bool afterFrame = false;
};

// Reads text lines with Tesseract (English). Each calling thread gets its own
// engine, made on first use and kept for the thread's life, with the engine's
// internal threading switched off. Never call it on the GUI thread: the first
// call on a thread costs the engine's start-up.
class TextRecognizer {
public:
    // How text is told from its background: by the level of the whole region
    // (dark regions are turned over), or by each pixel's difference from its
    // surroundings, which reads light text on a dark face in a light window too.
    enum class Contrast { Global, Local };
    // How words lie in a region: scattered like the labels of an interface, or
    // on one line, like the caption that fills a button.
    enum class Layout { Sparse, Line };

    // Recognises the lines inside `region` (pixels of `image`; clipped to the
    // image) and returns them in the engine's reading order, their boxes
    // relative to the whole image. Lines lower than `minLineHeight` (a fraction of
    // the image's height) are left out. No value when the engine cannot start
    // or the region is empty.
    static std::optional<QList<TextLine>> recognize(
        const QImage& image, const QRect& region, double minLineHeight = 0.0);

    // The remains of lines that a region's top or bottom side cuts through: the
    // rows from the side to the first row without text, when they are lower than
    // `lowerThan` pixels of the image and do not reach row `keepRow`. What shows
    // of such a line is garbled, yet costs the engine as much as a whole line.
    struct CutRemains {
        int keepRow = 0;
        double lowerThan = 0;
        // When set, receives the box (fractions of the whole image) of every
        // remains left out.
        QList<QRectF>* leftOut = nullptr;
        // Which sides cut lines: a side where a region meets another read apart
        // cuts none.
        bool top = true, bottom = true;
    };

    // Recognises the words inside `region` the way screen text needs: the region
    // in grey, dark text on white as `contrast` tells them apart, without the thin
    // frames of controls, at full contrast, and enlarged `scale` times so that
    // small interface fonts reach the sizes the engine reads well. With `leaveOut`,
    // such remains of cut lines are not read. Words come in reading order, their
    // boxes relative to the whole image. No value when the engine cannot start,
    // the region is empty, or `stop` is set before the reading ends (the engine
    // looks at it between words).
    static std::optional<QList<TextWord>> recognizeWords(const QImage& image, const QRect& region, int scale,
        Contrast contrast = Contrast::Global, Layout layout = Layout::Sparse,
        std::optional<CutRemains> leaveOut = std::nullopt, const std::atomic_bool* stop = nullptr);

    // The inside of the frame around `point` (pixels of `image`): thin lines on
    // all four sides, as around a button or a key, with an inside no larger than
    // `largest`. A null rectangle when there is none.
    static QRect frameAround(const QImage& image, QPoint point, QSize largest);

    // Whether an engine can be started at all on this machine.
    static bool isAvailable();
};

} // namespace zova::ocr
