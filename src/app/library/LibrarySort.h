#pragma once

#include "model/SettingsTable.h"

#include <QList>
#include <QString>

#include <array>
#include <optional>

namespace zova {

class Guide;

// The filtering and sorting of the library's guides.
namespace library {

inline constexpr std::array<LibrarySort, 4> allSorts
    = { LibrarySort::Recent, LibrarySort::Oldest, LibrarySort::NameAZ, LibrarySort::NameZA };
QString title(LibrarySort sort);
QString symbol(LibrarySort sort);

// The guides newest first (the store's query order).
QList<Guide*> queryOrder(QList<Guide*> guides);
// True when a comes before b.
bool comesBefore(LibrarySort sort, const Guide& a, const Guide& b);
// True when the title contains the untrimmed search text, case-insensitively
// and whatever the Unicode composition of either.
bool titleMatches(const QString& title, const QString& searchText);
// Keeps the titles that match the search text (in query order), then
// stable-sorts them.
QList<Guide*> filteredGuides(const QList<Guide*>& queryOrdered, const QString& searchText, LibrarySort sort);

// "3 guides", "1 guide"; the same for steps.
QString countText(qint64 count, const QString& noun);
// "Search across 3 guides…"
QString searchPlaceholder(qint64 storedCount);
// The title or "Untitled Guide" when it has no characters.
QString displayTitle(const Guide& guide);

} // namespace library
} // namespace zova
