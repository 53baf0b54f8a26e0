#pragma once

#include "platform/ShareableContent.h"

#include <QDateTime>
#include <QSet>
#include <QStringList>

#include <optional>

namespace zova {

// What the listing rules need to know beyond the window itself.
struct ListingContext {
    QSet<qint32> visibleRegularPIDs;
    std::optional<QString> ownBundleIdentifier;
};

// Bundle-identifier prefixes of system agents and desktop-shell components that
// are never offered for recording (case-sensitive prefix test).
const QSet<QString>& systemBundleIDPrefixesToHide();

// The six facts the rules, the dump and the sort read, with their fallbacks.
QString applicationNameFact(const ShareableWindow& window);
QString bundleIdentifierFact(const ShareableWindow& window);

// The reason the first matching rule drops the window, or nothing when it passes.
std::optional<QString> windowDropReason(const ShareableWindow& window, const ListingContext& context);

// Stable sort by application name, then title, both by code point.
void sortForPicker(QList<ShareableWindow>& windows);

// The lines of the picker dump for one listing; `reasons` holds one entry per
// window of `content` (nothing for a window that passed).
QStringList pickerDumpLines(
    const ShareableContent& content, const QList<std::optional<QString>>& reasons, const QDateTime& now);

} // namespace zova
