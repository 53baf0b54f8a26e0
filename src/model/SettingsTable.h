#pragma once

#include <QDateTime>
#include <QLatin1StringView>
#include <QString>
#include <QVariant>

#include <array>
#include <optional>
#include <tuple>
#include <utility>

namespace zova {

// One stored preference: its key, its value type, the value read when nothing
// usable is stored, and how a stored value is parsed and a value is written.
// `parse` gives no value for anything missing or ill-formed; callers never see
// that case, they read `fallback` instead (see Settings::value).
template <typename T> struct Setting {
    using Value = T;
    QLatin1StringView key;
    T fallback;
    std::optional<T> (*parse)(const QVariant& stored);
    QVariant (*write)(const T& value);
};

// The user's appearance choice.
enum class ThemeMode { System, Light, Dark };
// The library's order and layout.
enum class LibrarySort { Recent, Oldest, NameAZ, NameZA };
enum class LibraryViewMode { Grid, List };

namespace settings {

template <typename E> using ChoiceText = std::pair<E, QLatin1StringView>;

// The stored texts of the choices, in the order the user sees them.
inline constexpr std::array<ChoiceText<ThemeMode>, 3> themeModeTexts { {
    { ThemeMode::System, QLatin1StringView("system") },
    { ThemeMode::Light, QLatin1StringView("light") },
    { ThemeMode::Dark, QLatin1StringView("dark") },
} };
inline constexpr std::array<ChoiceText<LibrarySort>, 4> librarySortTexts { {
    { LibrarySort::Recent, QLatin1StringView("recent") },
    { LibrarySort::Oldest, QLatin1StringView("oldest") },
    { LibrarySort::NameAZ, QLatin1StringView("nameAZ") },
    { LibrarySort::NameZA, QLatin1StringView("nameZA") },
} };
inline constexpr std::array<ChoiceText<LibraryViewMode>, 2> libraryViewModeTexts { {
    { LibraryViewMode::Grid, QLatin1StringView("grid") },
    { LibraryViewMode::List, QLatin1StringView("list") },
} };

// A choice's stored text; a choice matches only its exact text (letter case too).
template <typename E, std::size_t N> QString textOf(const std::array<ChoiceText<E>, N>& texts, E value)
{
    for (const auto& [choice, text] : texts)
        if (choice == value)
            return QString(text);
    return {};
}
template <typename E, std::size_t N>
std::optional<E> choiceOf(const std::array<ChoiceText<E>, N>& texts, const QVariant& stored)
{
    if (stored.typeId() != QMetaType::QString)
        return std::nullopt;
    const QString text = stored.toString();
    for (const auto& [choice, choiceText] : texts)
        if (choiceText == text)
            return choice;
    return std::nullopt;
}

inline std::optional<QString> parseString(const QVariant& stored)
{
    if (stored.typeId() != QMetaType::QString)
        return std::nullopt;
    return stored.toString();
}
inline QVariant writeString(const QString& value) { return value; }

// Written as a boolean ("true"/"false" in the settings file).
inline std::optional<bool> parseBool(const QVariant& stored)
{
    if (stored.typeId() == QMetaType::Bool)
        return stored.toBool();
    if (stored.typeId() != QMetaType::QString)
        return std::nullopt;
    if (stored.toString() == QLatin1String("true"))
        return true;
    if (stored.toString() == QLatin1String("false"))
        return false;
    return std::nullopt;
}
inline QVariant writeBool(const bool& value) { return value; }

inline std::optional<QDateTime> parseDateTime(const QVariant& stored)
{
    if (stored.typeId() != QMetaType::QDateTime || !stored.toDateTime().isValid())
        return std::nullopt;
    return stored.toDateTime();
}
inline QVariant writeDateTime(const QDateTime& value) { return value; }

// "system" | "light" | "dark".
inline const Setting<ThemeMode> themeMode { QLatin1StringView("vorne.theme.mode"), ThemeMode::System,
    [](const QVariant& v) { return choiceOf(themeModeTexts, v); },
    [](const ThemeMode& m) { return QVariant(textOf(themeModeTexts, m)); } };

// Whether the first-run screen was left.
inline const Setting<bool> onboardingCompleted { QLatin1StringView("vorne.onboarding.completed"), false, parseBool,
    writeBool };

// When the tip tour was last finished. Presence only: any entry under the key
// means the tour was seen (Settings::isStored); the date itself is never needed.
inline const Setting<QDateTime> coachMarksSeenAllAt { QLatin1StringView("vorne.coachmarks.seenAllAt"), QDateTime(),
    parseDateTime, writeDateTime };

// "recent" | "oldest" | "nameAZ" | "nameZA".
inline const Setting<LibrarySort> librarySortOrder { QLatin1StringView("zova.library.sortOrder"), LibrarySort::Recent,
    [](const QVariant& v) { return choiceOf(librarySortTexts, v); },
    [](const LibrarySort& s) { return QVariant(textOf(librarySortTexts, s)); } };

// "grid" | "list".
inline const Setting<LibraryViewMode> libraryViewMode { QLatin1StringView("zova.library.viewMode"),
    LibraryViewMode::Grid, [](const QVariant& v) { return choiceOf(libraryViewModeTexts, v); },
    [](const LibraryViewMode& m) { return QVariant(textOf(libraryViewModeTexts, m)); } };

// The narrator's voice identifier; empty means the automatic choice. An
// identifier that names no installed voice stays stored as it is.
inline const Setting<QString> narratorVoiceID { QLatin1StringView("zovaNarratorVoiceID"), QString(), parseString,
    writeString };

// The language model server ("http://127.0.0.1:8080"); empty means the usual
// local ones. Whether it is usable is decided by the model client.
inline const Setting<QString> aiEndpoint { QLatin1StringView("zova.ai.endpoint"), QString(), parseString, writeString };

// The model to ask for; empty means the first one the server lists.
inline const Setting<QString> aiModel { QLatin1StringView("zova.ai.model"), QString(), parseString, writeString };

// Every stored preference, for whoever has to visit them all.
inline const auto all = std::tie(themeMode, onboardingCompleted, coachMarksSeenAllAt, librarySortOrder, libraryViewMode,
    narratorVoiceID, aiEndpoint, aiModel);

} // namespace settings
} // namespace zova
