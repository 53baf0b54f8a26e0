#include "editor/files/ScreenshotFiles.h"

namespace zova {

ScreenshotFiles ScreenshotFiles::of(const StorageService& storage)
{
    const StorageService* folder = &storage;
    return {
        [folder](const QString& name) { return folder->loadScreenshot(name); },
        [folder](const QImage& image) { return folder->saveScreenshot(image); },
        [folder](const QString& name) { folder->deleteScreenshot(name); },
        [folder](const QString& name) { return folder->pathFor(name); },
    };
}

ScreenshotFiles ScreenshotFiles::orElse(const ScreenshotFiles& fallback) const
{
    return {
        load ? load : fallback.load,
        save ? save : fallback.save,
        remove ? remove : fallback.remove,
        path ? path : fallback.path,
    };
}

ScreenshotFiles ScreenshotFiles::none()
{
    return {
        [](const QString&) { return QImage(); },
        [](const QImage&) -> Expected<QString, StorageError> {
            return unexpected(StorageError { StorageError::Kind::WriteFailed, QStringLiteral("no screenshot folder") });
        },
        [](const QString&) {},
        [](const QString&) -> std::optional<QString> { return std::nullopt; },
    };
}

} // namespace zova
