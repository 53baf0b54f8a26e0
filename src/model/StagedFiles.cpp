#include "model/StagedFiles.h"

#include "model/TemporaryFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QUuid>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace zova {

namespace {

QString systemError(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// A descriptor closed however the scope ends.
class Descriptor {
public:
    explicit Descriptor(int fd)
        : m_fd(fd)
    {
    }
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

int renameOver(const QString& from, const QString& to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0 ? 0 : errno;
}

// Flushes the whole file system that holds `path`: one sync for every file staged there.
int syncFileSystemOf(const QString& path)
{
    const Descriptor fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0)
        return errno;
    return ::syncfs(fd.get()) == 0 ? 0 : errno;
}

// Makes the folder's entries (the renames into it) durable.
int syncFolder(const QString& folder)
{
    const Descriptor fd(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0)
        return errno;
    return ::fsync(fd.get()) == 0 || errno == EINVAL ? 0 : errno;
}

QString hiddenBeside(const QString& path)
{
    const QFileInfo target(path);
    return target.absolutePath() + QStringLiteral("/.") + target.fileName() + QLatin1Char('.')
        + QUuid::createUuid().toString(QUuid::Id128).left(8) + QStringLiteral(".part");
}

} // namespace

StagedFiles::~StagedFiles()
{
    for (const Entry& entry : std::as_const(m_entries))
        QFile::remove(entry.temporary);
}

Expected<void, QString> StagedFiles::add(const QString& path, const QByteArray& bytes)
{
    const auto temporary = TemporaryFiles::stage(bytes, false);
    if (!temporary)
        return unexpected(temporary.error());
    m_entries.append({ *temporary, path });
    return {};
}

Expected<void, QString> StagedFiles::commit()
{
    if (m_entries.isEmpty())
        return {};
    if (const int error = syncFileSystemOf(QFileInfo(m_entries.first().temporary).absolutePath()))
        return unexpected(systemError(error));

    QSet<QString> folders;
    QList<Entry> crossing; // destinations on another file system: copied beside them first
    while (!m_entries.isEmpty()) {
        const Entry entry = m_entries.first();
        folders.insert(QFileInfo(entry.path).absolutePath());
        const int error = renameOver(entry.temporary, entry.path);
        if (error == EXDEV) {
            const QString beside = hiddenBeside(entry.path);
            if (auto copied = TemporaryFiles::writeCopy(entry.temporary, beside); !copied) {
                for (const Entry& done : std::as_const(crossing))
                    QFile::remove(done.temporary);
                return copied;
            }
            crossing.append({ beside, entry.path });
            QFile::remove(entry.temporary);
        } else if (error != 0) {
            for (const Entry& copied : std::as_const(crossing))
                QFile::remove(copied.temporary);
            return unexpected(systemError(error));
        }
        m_entries.removeFirst();
    }
    if (!crossing.isEmpty()) {
        m_entries = crossing; // removed if anything below fails
        QSet<QString> crossed;
        for (const Entry& entry : std::as_const(crossing))
            crossed.insert(QFileInfo(entry.path).absolutePath());
        for (const QString& folder : std::as_const(crossed)) {
            if (const int error = syncFileSystemOf(folder))
                return unexpected(systemError(error));
        }
        while (!m_entries.isEmpty()) {
            if (const int error = renameOver(m_entries.first().temporary, m_entries.first().path))
                return unexpected(systemError(error));
            m_entries.removeFirst();
        }
    }
    for (const QString& folder : std::as_const(folders)) {
        if (const int error = syncFolder(folder))
            return unexpected(systemError(error));
    }
    return {};
}

} // namespace zova
