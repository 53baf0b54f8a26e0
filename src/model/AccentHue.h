#pragma once

#include <QString>

#include <array>
#include <optional>

namespace zova {

// Guide theme hues, stored by name.
enum class AccentHue { Pink, Purple, Blue, Cyan, Yellow, Green, Coral, Slate };

namespace accent_hue {

inline constexpr std::array<AccentHue, 8> allCases = { AccentHue::Pink, AccentHue::Purple, AccentHue::Blue,
    AccentHue::Cyan, AccentHue::Yellow, AccentHue::Green, AccentHue::Coral, AccentHue::Slate };

QString rawValue(AccentHue hue);
// Exact, case-sensitive match of a case name; no value for any other text.
std::optional<AccentHue> fromRawValue(const QString& raw);

} // namespace accent_hue
} // namespace zova
