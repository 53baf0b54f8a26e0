#include "model/TemporaryFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUuid>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace zova {

namespace {

constexpr QFileDevice::Permissions ownerOnlyFolder
    = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
const QLatin1String runPrefix("run-");

QString systemError() { return QString::fromLocal8Bit(std::strerror(errno)); }

bool processRuns(qint64 pid) { return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM); }

Expected<void, QString> writeAll(int fd, const QByteArray& bytes, bool sync)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return unexpected(systemError());
        done += n;
    }
    if (sync && ::fsync(fd) != 0)
        return unexpected(systemError());
    return {};
}

// 0, or the errno of the failed rename.
int renameOver(const QString& from, const QString& to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0 ? 0 : errno;
}

Expected<void, QString> resultOf(int error)
{
    if (error != 0)
        return unexpected(QString::fromLocal8Bit(std::strerror(error)));
    return {};
}

} // namespace

QString TemporaryFiles::root()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/ZOVA/tmp");
}

QString TemporaryFiles::directory()
{
    const QString folder = root() + QLatin1Char('/') + runPrefix + QString::number(QCoreApplication::applicationPid());
    if (!QDir().mkpath(folder))
        return {};
    QFile::setPermissions(root(), ownerOnlyFolder);
    QFile::setPermissions(folder, ownerOnlyFolder);
    return folder;
}

QString TemporaryFiles::newPath(const QString& suffix)
{
    const QString folder = directory();
    if (folder.isEmpty())
        return {};
    return folder + QLatin1Char('/') + QUuid::createUuid().toString(QUuid::WithoutBraces) + suffix;
}

void TemporaryFiles::clearStale()
{
    const QDir dir(root());
    for (const QFileInfo& entry : dir.entryInfoList(QDir::Dirs | QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot)) {
        const QString name = entry.fileName();
        bool isNumber = false;
        const qint64 pid = name.startsWith(runPrefix) ? name.mid(runPrefix.size()).toLongLong(&isNumber) : 0;
        if (isNumber && (pid == QCoreApplication::applicationPid() || processRuns(pid)))
            continue;
        if (entry.isDir() && !entry.isSymLink())
            QDir(entry.absoluteFilePath()).removeRecursively();
        else
            QFile::remove(entry.absoluteFilePath());
    }
}

void TemporaryFiles::removeOwn()
{
    const QString folder = root() + QLatin1Char('/') + runPrefix + QString::number(QCoreApplication::applicationPid());
    const QFileInfo entry(folder);
    if (entry.isDir() && !entry.isSymLink())
        QDir(folder).removeRecursively();
}

Expected<QString, QString> TemporaryFiles::stage(const QByteArray& bytes, bool sync)
{
    const QString temporary = newPath(QStringLiteral(".part"));
    if (temporary.isEmpty())
        return unexpected(QStringLiteral("no private folder for temporary files"));
    const int fd = ::open(QFile::encodeName(temporary).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return unexpected(systemError());
    auto written = writeAll(fd, bytes, sync);
    ::close(fd);
    if (!written) {
        QFile::remove(temporary);
        return unexpected(written.error());
    }
    return temporary;
}

Expected<void, QString> TemporaryFiles::replaceFile(const QString& path, const QByteArray& bytes)
{
    const auto temporary = stage(bytes, true);
    if (!temporary)
        return unexpected(temporary.error());
    return moveIntoPlace(*temporary, path);
}

Expected<void, QString> TemporaryFiles::copyFile(const QString& source, const QString& path)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return unexpected(in.errorString());
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return unexpected(in.errorString());
    return replaceFile(path, bytes);
}

Expected<void, QString> TemporaryFiles::moveIntoPlace(const QString& temporary, const QString& path)
{
    const int error = renameOver(temporary, path);
    if (error != EXDEV) {
        QFile::remove(temporary);
        return resultOf(error);
    }
    // Another file system: copy beside the destination, then rename there.
    const QFileInfo target(path);
    const QString beside = target.absolutePath() + QStringLiteral("/.") + target.fileName() + QLatin1Char('.')
        + QUuid::createUuid().toString(QUuid::Id128).left(8) + QStringLiteral(".part");
    QFile source(temporary);
    if (!source.copy(beside)) {
        const QString reason = source.errorString();
        QFile::remove(beside);
        QFile::remove(temporary);
        return unexpected(reason);
    }
    QFile::remove(temporary);
    const int besideError = renameOver(beside, path);
    if (besideError != 0)
        QFile::remove(beside);
    return resultOf(besideError);
}

} // namespace zova
