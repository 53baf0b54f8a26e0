#pragma once

#include "model/StepAnnotation.h"

#include <QRectF>
#include <QString>

#include <optional>

namespace zova::test {

// A mark of the kind over the rectangle (fractions of the screenshot).
inline StepAnnotation mark(StepAnnotation::Kind kind, const QRectF& r, const char* color = "00c040",
    std::optional<QString> text = std::nullopt)
{
    StepAnnotation a;
    a.kind = kind;
    a.x = r.x();
    a.y = r.y();
    a.width = r.width();
    a.height = r.height();
    a.colorHex = QString::fromLatin1(color);
    a.text = std::move(text);
    return a;
}

} // namespace zova::test
