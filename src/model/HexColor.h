#pragma once

#include <QColor>
#include <QString>

#include <optional>

namespace zova {

// Six hexadecimal digits, an optional leading "#" and surrounding white space.
// Gives an opaque sRGB colour, or no value for any other text.
std::optional<QColor> colorFromHexString(const QString& text);

// Six lower-case hexadecimal digits without "#", opacity dropped. Components are
// clamped to 0..255 so that every result parses back.
QString hexString(const QColor& color);

} // namespace zova
