#include "engine/PickerDump.h"

#include <QDir>
#include <QSaveFile>
#include <QStandardPaths>

namespace zova {

QString pickerDumpPath()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    return QDir(folder).filePath(QStringLiteral("zova-debug.log"));
}

bool writePickerDump(const QStringList& lines)
{
    const QString path = pickerDumpPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // Restrict the temporary file before any title reaches it.
    if (!file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return false;
    const QByteArray bytes = lines.join(QLatin1Char('\n')).toUtf8();
    if (file.write(bytes) != bytes.size())
        return false;
    return file.commit();
}

} // namespace zova
