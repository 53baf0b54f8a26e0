#include "style/CloseButton.h"

namespace zova {

// Material's close glyph has no bold cut; a heavier pixel size stands in.
CloseButton::CloseButton(QWidget* parent)
    : RoundSymbolButton(QStringLiteral("xmark"), side, 13, parent)
{
    setAccessibleName(tr("Close"));
}

} // namespace zova
