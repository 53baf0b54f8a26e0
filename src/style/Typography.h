#pragma once

#include <QFont>

namespace zova {

// The fonts of every screen. Sizes are pixel sizes (fractional sizes are kept).
namespace Typography {

enum class Design { Default, Serif, Monospaced };

// Inter for the default design, DejaVu Serif and DejaVu Sans Mono for the others.
// QFont::DemiBold is Inter's real 600 weight.
QFont font(qreal pixelSize, QFont::Weight weight = QFont::Normal, Design design = Design::Default);
inline QFont semibold(qreal pixelSize) { return font(pixelSize, QFont::DemiBold); }
inline QFont bold(qreal pixelSize) { return font(pixelSize, QFont::Bold); }

// The pixel size a font built above was asked for.
qreal pixelSize(const QFont& font);

} // namespace Typography
} // namespace zova
