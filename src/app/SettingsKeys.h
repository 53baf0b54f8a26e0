#pragma once

#include <QLatin1StringView>

namespace zova::SettingsKeys {

// Every user default the shell reads or writes, with its meaning:
inline constexpr QLatin1StringView themeMode { "vorne.theme.mode" }; // "system" | "light" | "dark"
inline constexpr QLatin1StringView onboardingCompleted { "vorne.onboarding.completed" }; // bool
inline constexpr QLatin1StringView coachMarksSeenAllAt { "vorne.coachmarks.seenAllAt" }; // date; presence only
inline constexpr QLatin1StringView librarySortOrder { "zova.library.sortOrder" }; // a LibrarySort raw value
inline constexpr QLatin1StringView libraryViewMode { "zova.library.viewMode" }; // "grid" | "list"

} // namespace zova::SettingsKeys
