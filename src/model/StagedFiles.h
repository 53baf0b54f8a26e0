#pragma once

#include "base/Expected.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace zova {

// Files written together and put in place together, for an export of many files.
// Each is staged unsynced in the private folder of TemporaryFiles; commit() makes
// them all durable with one sync of their file system, renames each over its
// destination in the order they were added (the path itself is replaced, a
// symbolic link there is never followed) and syncs the folders that received them.
// Whatever is not in place when the set ends is removed. Errors are the system's
// own words. One thread at a time.
class StagedFiles {
public:
    StagedFiles() = default;
    ~StagedFiles();
    StagedFiles(const StagedFiles&) = delete;
    StagedFiles& operator=(const StagedFiles&) = delete;

    Expected<void, QString> add(const QString& path, const QByteArray& bytes);
    Expected<void, QString> commit();

private:
    struct Entry {
        QString temporary;
        QString path;
    };
    QList<Entry> m_entries;
};

} // namespace zova
