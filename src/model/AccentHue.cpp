#include "model/AccentHue.h"

namespace zova::accent_hue {

QString rawValue(AccentHue hue)
{
    switch (hue) {
    case AccentHue::Pink: return QStringLiteral("pink");
    case AccentHue::Purple: return QStringLiteral("purple");
    case AccentHue::Blue: return QStringLiteral("blue");
    case AccentHue::Cyan: return QStringLiteral("cyan");
    case AccentHue::Yellow: return QStringLiteral("yellow");
    case AccentHue::Green: return QStringLiteral("green");
    case AccentHue::Coral: return QStringLiteral("coral");
    case AccentHue::Slate: return QStringLiteral("slate");
    }
    return QStringLiteral("pink");
}

std::optional<AccentHue> fromRawValue(const QString& raw)
{
    for (AccentHue hue : allCases) {
        if (rawValue(hue) == raw)
            return hue;
    }
    return std::nullopt;
}

} // namespace zova::accent_hue
