#pragma once

#include <QString>
#include <QUrl>

#include <functional>

class QDBusConnection;

namespace zova::desktop {

// Opens a folder in the desktop's default application (QDesktopServices).
using FolderOpener = std::function<void(const QUrl& folder)>;

// Shows the file selected in the file manager, through the session bus's
// org.freedesktop.FileManager1 ShowItems; when that is not there or fails, opens
// the folder that holds the file. Returns at once and never reports a failure.
void revealInFileManager(const QString& path);
void revealInFileManager(const QString& path, const QDBusConnection& bus, FolderOpener openFolder);

} // namespace zova::desktop
