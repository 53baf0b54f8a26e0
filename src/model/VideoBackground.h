#pragma once

#include <QColor>
#include <QString>

#include <optional>

namespace zova {

class Step;

// The colour a step's video slide is drawn on. The editor's preview, its swatches
// and the video export all resolve it here, so they never disagree.
namespace video_background {

// What a slide shows when neither the step nor its guide has a colour.
QString defaultHex();

// The step's own colour text when it has one, else the guide's, else the default.
// A stored text is returned as it is, even when empty or not a colour.
QString effectiveHex(const std::optional<QString>& stepHex, const std::optional<QString>& guideHex);
QString effectiveHex(const Step& step);

// The colour of a colour text (six hexadecimal digits, an optional "#" and white
// space around them); white for any other text.
QColor color(const QString& hex);

} // namespace video_background

} // namespace zova
