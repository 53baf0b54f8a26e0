#pragma once

#include "platform/ocr/TextRecognizer.h"

#include <QImage>
#include <QList>
#include <QObject>
#include <QPointF>
#include <QRect>
#include <QRegion>
#include <QSize>
#include <QString>

#include <atomic>
#include <functional>
#include <optional>

class QThreadPool;

namespace zova {

// Image work on a step's screenshot: painting out a mirrored pointer dot, and
// reading the text at the click as the step's action label. Stateless; make one
// where it is needed. Points are image pixels, origin top left, y down.
class VisionService {
public:
    // Largest distance (fractions of the image's width and height) between the
    // click and a text line for that line to name the step.
    static constexpr double proximityThreshold = 0.15;
    // Lines lower than this fraction of the image's height are not read.
    static constexpr double minimumTextHeight = 0.008;

    // A copy with the bright grey dot under the click blended into its
    // surroundings, or `image` itself when there is none or anything fails.
    // Runs on the calling thread.
    QImage removeMirroringPointer(const QImage& image, QPointF clickPixel) const;

    // "Click ‘<text>’" for the text nearest the click, or no value. The text
    // boxes are what a person reads as one control: the caption inside a
    // button's or key's frame that holds the click, else the words of a line
    // grouped into phrases by the spaces between them.
    // Blocks while the recogniser runs: call it off the GUI thread.
    std::optional<QString> recognizeStepLabel(QPointF clickPixel, const QImage& image) const;

    // The same, reading only what `visibleArea` (image pixels) shows: the part
    // of the screenshot that the clicked window shows, so that no label is taken
    // from another window's text.
    std::optional<QString> recognizeStepLabel(
        QPointF clickPixel, const QImage& image, const QRegion& visibleArea) const;

    // The same on the recognition pool. `done` runs later on the GUI thread, and
    // only while `receiver` still exists. Without `visibleArea` the whole image is read.
    void recognizeStepLabel(QPointF clickPixel, const QImage& image, QObject* receiver,
        std::function<void(std::optional<QString>)> done) const;
    void recognizeStepLabel(QPointF clickPixel, const QImage& image, const std::optional<QRegion>& visibleArea,
        QObject* receiver, std::function<void(std::optional<QString>)> done) const;

    // The label for recognised lines (boxes in fractions of `imageSize`, in the
    // recogniser's order): the line containing the click or else the nearest one
    // closer than the threshold; on equal distances the earlier line wins.
    static std::optional<QString> labelFromLines(
        const QList<ocr::TextLine>& lines, QPointF clickPixel, QSize imageSize);
    // The index of the line that names a click there, as above.
    static std::optional<qsizetype> nearestLine(const QList<ocr::TextLine>& lines, QPointF clickPixel, QSize imageSize);
    // "Click ‘…’" around the text: trimmed, line breaks joined by spaces, and cut to
    // 37 characters plus "…" when it has 41 or more. No value for blank text.
    static std::optional<QString> formatLabel(const QString& text);

    // The words inside `region` as `ocr::TextRecognizer::recognizeWords` reads
    // them. A tall region is read as two parts split at a row no text crosses,
    // the lower part on the other engine of the recognition pool when that is
    // free; the parts' words come in reading order, each line whole and once.
    static std::optional<QList<ocr::TextWord>> readWords(const QImage& image, const QRect& region, int scale,
        ocr::TextRecognizer::Contrast contrast, ocr::TextRecognizer::Layout layout,
        std::optional<ocr::TextRecognizer::CutRemains> leaveOut = std::nullopt, const std::atomic_bool* stop = nullptr);

    // The part of the image that holds every line that could name a click there.
    static QRect recognitionRegion(QSize imageSize, QPointF clickPixel);

    // The bounded pool that recognition runs on (one engine per thread, kept).
    static QThreadPool* recognitionPool();
    // Starts the engine of every thread of the pool in the background, once, so
    // that no label waits for an engine's start. Returns at once.
    static void prepareRecognition();
};

} // namespace zova
