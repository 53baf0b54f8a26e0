#pragma once

#include "model/StepAnnotation.h"

#include <QImage>
#include <QList>

namespace zova {

// The image with the area under every blur mark blurred so strongly that text in it
// cannot be read; other marks are ignored. The same image when there is no blur mark.
QImage burnBlurMarks(const QImage& image, const QList<StepAnnotation>& annotations);

} // namespace zova
