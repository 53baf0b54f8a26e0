#pragma once

#include "base/Expected.h"
#include "model/StorageService.h"

#include <QImage>
#include <QString>

#include <functional>

namespace zova {

// The screenshot folder as the editor reaches it: reading, writing a new PNG and
// removing one. Tests hand in failing or counting versions.
struct ScreenshotFiles {
    std::function<QImage(const QString& filename)> load;
    std::function<Expected<QString, StorageError>(const QImage& image)> save;
    std::function<void(const QString& filename)> remove;

    // The shared folder of StorageService.
    static ScreenshotFiles shared();
    // Each empty member taken from shared().
    ScreenshotFiles orShared() const;
};

} // namespace zova
