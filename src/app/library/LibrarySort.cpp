#include "app/library/LibrarySort.h"

#include "model/Guide.h"

#include <QCollator>

#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

#include <algorithm>

namespace zova::library {

QString title(LibrarySort sort)
{
    switch (sort) {
    case LibrarySort::Recent: return QStringLiteral("Recent");
    case LibrarySort::Oldest: return QStringLiteral("Oldest");
    case LibrarySort::NameAZ: return QStringLiteral("Name A\u2013Z");
    case LibrarySort::NameZA: return QStringLiteral("Name Z\u2013A");
    }
    return {};
}

QString symbol(LibrarySort sort)
{
    switch (sort) {
    case LibrarySort::Recent: return QStringLiteral("clock.arrow.circlepath");
    case LibrarySort::Oldest: return QStringLiteral("clock");
    case LibrarySort::NameAZ: return QStringLiteral("arrow.up");
    case LibrarySort::NameZA: return QStringLiteral("arrow.down");
    }
    return {};
}

QList<Guide*> queryOrder(QList<Guide*> guides)
{
    std::stable_sort(
        guides.begin(), guides.end(), [](const Guide* a, const Guide* b) { return a->createdAt() > b->createdAt(); });
    return guides;
}

namespace {
const QCollator& collator()
{
    static const QCollator c = [] {
        QCollator collator;
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        return collator;
    }();
    return c;
}
// The form in which a title and a search are compared: Unicode's compatibility
// composition with full case folding, so "SS" finds "Straße" and a decomposed
// "é" finds a precomposed one; the text itself when ICU cannot fold it.
QString searchForm(const QString& text)
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* fold = icu::Normalizer2::getNFKCCasefoldInstance(status);
    if (U_FAILURE(status) || !fold)
        return text.toCaseFolded();
    const icu::UnicodeString source(reinterpret_cast<const UChar*>(text.utf16()), int32_t(text.size()));
    const icu::UnicodeString folded = fold->normalize(source, status);
    if (U_FAILURE(status))
        return text.toCaseFolded();
    return QString(reinterpret_cast<const QChar*>(folded.getBuffer()), folded.length());
}

} // namespace

bool titleMatches(const QString& title, const QString& searchText)
{
    return searchForm(title).contains(searchForm(searchText));
}

bool comesBefore(LibrarySort sort, const Guide& a, const Guide& b)
{
    switch (sort) {
    case LibrarySort::Recent: return a.createdAt() > b.createdAt();
    case LibrarySort::Oldest: return a.createdAt() < b.createdAt();
    case LibrarySort::NameAZ: return collator().compare(a.title(), b.title()) < 0;
    case LibrarySort::NameZA: return collator().compare(a.title(), b.title()) > 0;
    }
    return false;
}

QList<Guide*> filteredGuides(const QList<Guide*>& queryOrdered, const QString& searchText, LibrarySort sort)
{
    QList<Guide*> kept;
    if (searchText.isEmpty()) {
        kept = queryOrdered;
    } else {
        kept.reserve(queryOrdered.size());
        const QString wanted = searchForm(searchText);
        for (Guide* g : queryOrdered)
            if (searchForm(g->title()).contains(wanted))
                kept.append(g);
    }
    if (sort == LibrarySort::NameAZ || sort == LibrarySort::NameZA) {
        // Sort keys once: a collator comparison per pair is the expensive part.
        QList<std::pair<QCollatorSortKey, Guide*>> keyed;
        keyed.reserve(kept.size());
        for (Guide* g : kept)
            keyed.append({ collator().sortKey(g->title().toCaseFolded()), g });
        const bool ascending = sort == LibrarySort::NameAZ;
        std::stable_sort(keyed.begin(), keyed.end(), [ascending](const auto& a, const auto& b) {
            const int c = a.first.compare(b.first);
            return ascending ? c < 0 : c > 0;
        });
        for (qsizetype i = 0; i < keyed.size(); ++i)
            kept[i] = keyed[i].second;
        return kept;
    }
    std::stable_sort(
        kept.begin(), kept.end(), [sort](const Guide* a, const Guide* b) { return comesBefore(sort, *a, *b); });
    return kept;
}

QString countText(qint64 count, const QString& noun)
{
    return QString::number(count) + QLatin1Char(' ') + noun + (count == 1 ? QString() : QStringLiteral("s"));
}

QString searchPlaceholder(qint64 storedCount)
{
    return QStringLiteral("Search across ") + countText(storedCount, QStringLiteral("guide")) + QChar(0x2026);
}

QString displayTitle(const Guide& guide)
{
    return guide.title().isEmpty() ? QStringLiteral("Untitled Guide") : guide.title();
}

} // namespace zova::library
