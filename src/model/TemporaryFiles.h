#pragma once

#include "base/Expected.h"

#include <QByteArray>
#include <QString>

namespace zova {

// Where the application stages files it writes: one private folder per process
// under ~/.local/share/ZOVA/tmp, so that what a killed run leaves behind is known
// to be ours and is cleared at the next start. Files are put in place by rename,
// which replaces the destination path itself (a symbolic link there is replaced,
// never followed). Errors are the system's own words.
class TemporaryFiles {
public:
    // The folder of this process, created (mode 0700) on first use; empty when it
    // cannot be created.
    static QString directory();
    // A fresh path in directory() whose name ends in suffix; nothing is created.
    static QString newPath(const QString& suffix);
    // Removes the folders of processes that no longer run.
    static void clearStale();
    // Removes this process's folder with all in it: at the process's end, when
    // nothing staged or half-written there is wanted any more.
    static void removeOwn();

    // Writes bytes to a fresh private temporary file, synced to the disk when asked,
    // and gives its path; a failed write leaves no file.
    static Expected<QString, QString> stage(const QByteArray& bytes, bool sync);
    // Writes bytes to a private temporary file and renames it to path.
    static Expected<void, QString> replaceFile(const QString& path, const QByteArray& bytes);
    // Copies the file at source to path the same way.
    static Expected<void, QString> copyFile(const QString& source, const QString& path);
    // Renames the finished temporary file to path; across file systems it is first
    // copied next to path under a hidden name. The temporary is gone afterwards,
    // whether or not the move succeeded.
    static Expected<void, QString> moveIntoPlace(const QString& temporary, const QString& path);

private:
    static QString root();
};

} // namespace zova
