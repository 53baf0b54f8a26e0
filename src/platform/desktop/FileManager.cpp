#include "platform/desktop/FileManager.h"

#include "platform/Platform.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QFileInfo>

namespace zova::desktop {

namespace {
constexpr int showItemsTimeoutMs = 5000;
}

void revealInFileManager(const QString& path)
{
    revealInFileManager(path, QDBusConnection::sessionBus(), [](const QUrl& folder) {
        if (!QDesktopServices::openUrl(folder))
            qCWarning(lcPlatform) << "Could not open folder" << folder.toLocalFile();
    });
}

void revealInFileManager(const QString& path, const QDBusConnection& bus, FolderOpener openFolder)
{
    const QFileInfo info(path);
    const QUrl folder = QUrl::fromLocalFile(info.absolutePath());
    if (!bus.isConnected()) {
        openFolder(folder);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"), QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("ShowItems"));
    call << QStringList { QUrl::fromLocalFile(info.absoluteFilePath()).toString() } << QString();
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, showItemsTimeoutMs));
    QObject::connect(
        watcher, &QDBusPendingCallWatcher::finished, watcher, [watcher, folder, openFolder = std::move(openFolder)] {
            if (watcher->isError()) {
                qCInfo(lcPlatform) << "File manager did not show the item:" << watcher->error().message();
                openFolder(folder);
            }
            watcher->deleteLater();
        });
}

} // namespace zova::desktop
