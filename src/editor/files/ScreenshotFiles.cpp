#include "editor/files/ScreenshotFiles.h"

namespace zova {

ScreenshotFiles ScreenshotFiles::shared()
{
    return {
        [](const QString& name) { return StorageService::shared().loadScreenshot(name); },
        [](const QImage& image) { return StorageService::shared().saveScreenshot(image); },
        [](const QString& name) { StorageService::shared().deleteScreenshot(name); },
    };
}

ScreenshotFiles ScreenshotFiles::orShared() const
{
    const ScreenshotFiles fallback = shared();
    return { load ? load : fallback.load, save ? save : fallback.save, remove ? remove : fallback.remove };
}

} // namespace zova
