#pragma once

#include "model/StepAnnotation.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <optional>

class QPainter;

// Drawing a step's marks over its screenshot, on any painter: the video frames
// now, the editor's canvas later.
namespace zova::annotation {

// The colour a mark is drawn in: its six hex digits (an optional "#" and white
// space around them allowed), else the brand magenta.
QColor markColor(const StepAnnotation& mark);

// A text mark's words: its text, or "Label" when it has none or an empty one.
QString labelText(const StepAnnotation& mark);
QFont labelFont();
// The capsule of a text mark's label, sized by its words and centred on the
// mark's drawn rectangle.
QRectF labelRect(const StepAnnotation& mark, const QRectF& target);
// Where the label's words lie inside its capsule.
QRectF labelTextRect(const StepAnnotation& mark, const QRectF& target);

// Where a click takes the mark: its drawn rectangle, and for a text mark its
// capsule too.
QRectF hitArea(const StepAnnotation& mark, const QRectF& target);
// The topmost mark (the last in stored order) whose hit area holds the point.
std::optional<qsizetype> markAt(const QList<StepAnnotation>& marks, const QRectF& target, QPointF point);

// Paints the marks in stored order over a screenshot shown in `target`, clipped to
// it. A blur mark shows `redactedScreenshot` (the screenshot through redacted(),
// of any size) in the pixels it hides, under a light veil; when that is null the
// screenshot already drawn in `target` must be the redacted one.
void paintAnnotations(
    QPainter& painter, const QRectF& target, const QList<StepAnnotation>& marks, const QImage& redactedScreenshot = {});

} // namespace zova::annotation
