#include "style/CloseButton.h"

namespace zova {

// Material's close glyph has no bold cut; a heavier pixel size stands in.
CloseButton::CloseButton(QWidget* parent)
    : CircleButton(onControl(QStringLiteral("xmark"), side, 13), parent)
{
    setAccessibleName(tr("Close"));
    setFocusPolicy(Qt::TabFocus);
}

} // namespace zova
