#pragma once

#include "model/StepAnnotation.h"

#include <QImage>
#include <QList>
#include <QRect>
#include <QSize>

// The one redaction of blur marks, for every exit of a screenshot and the editor.
namespace zova::annotation {

// The pixels that the blur marks among `marks` hide in an image of `size`: every
// pixel a mark touches, even partly, clipped to the image. A mark with a negative
// size counts from its corner; one off the image, of no size or with a number
// that is not finite hides nothing; one reaching past the edges hides up to them.
// Rotation is not applied, as no drawing of a mark applies it.
QList<QRect> redactedAreas(QSize size, const QList<StepAnnotation>& marks);

// The image with everything under its blur marks gone: each hidden area is
// rebuilt only from the pixels around it (outside every mark), then blurred, so
// no trace of what it covered is left, whatever the size of the text or image.
// Every other pixel keeps its exact value. The very same image when the marks
// hide nothing. Pure; any thread.
QImage redacted(const QImage& image, const QList<StepAnnotation>& marks);

} // namespace zova::annotation
