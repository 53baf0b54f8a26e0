#pragma once

#include <QColor>
#include <QString>

namespace zova {

class Step;

// The colour around a step's screenshot in exported video, as stored text: the
// step's own when present, else its guide's, else "f5f3ef". A present value is
// returned as it is, even when empty or no colour.
QString effectiveBackgroundHex(const Step& step);
// That text as a colour; white when it is no colour.
QColor effectiveBackgroundColor(const Step& step);

} // namespace zova
