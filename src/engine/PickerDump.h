#pragma once

#include <QString>
#include <QStringList>

namespace zova {

// The picker dump lists window titles, which are private: it lives in the
// per-user runtime folder ($XDG_RUNTIME_DIR, else the per-user cache folder).
QString pickerDumpPath();

// Replaces the dump atomically with mode 0600; false when it cannot be written.
bool writePickerDump(const QStringList& lines);

} // namespace zova
