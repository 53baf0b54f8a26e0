#pragma once

#include "platform/DesktopSnapshot.h"

#include <QDateTime>
#include <QSet>
#include <QStringList>

#include <optional>

namespace zova {

// What the listing rules need to know beyond the window itself.
struct ListingContext {
    QSet<qint32> visibleRegularPIDs;
    std::optional<QString> ownWmClassInstance;
};

// WM_CLASS instance prefixes of system agents and desktop-shell components that
// are never offered for recording (case-sensitive prefix test).
const QSet<QString>& systemWmClassPrefixesToHide();

// The six facts the rules, the dump and the sort read, with their fallbacks.
QString applicationNameFact(const DesktopWindow& window);
QString wmClassInstanceFact(const DesktopWindow& window);

// The reason the first matching rule drops the window, or nothing when it passes.
std::optional<QString> windowDropReason(const DesktopWindow& window, const ListingContext& context);

// Stable sort by application name, then title, both by code point.
void sortForPicker(QList<DesktopWindow>& windows);

// The lines of the picker dump for one listing; `reasons` holds one entry per
// window of `content` (nothing for a window that passed).
QStringList pickerDumpLines(
    const DesktopSnapshot& content, const QList<std::optional<QString>>& reasons, const QDateTime& now);

} // namespace zova
