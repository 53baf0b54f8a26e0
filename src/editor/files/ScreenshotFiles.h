#pragma once

#include "base/Expected.h"
#include "model/StorageService.h"

#include <QImage>
#include <QString>

#include <functional>
#include <optional>

namespace zova {

// The screenshot folder as the editor reaches it: reading, writing a new PNG,
// removing one, and where one lies. Every editor file operation goes through it;
// tests hand in failing or counting versions of any member.
struct ScreenshotFiles {
    std::function<QImage(const QString& filename)> load;
    std::function<Expected<QString, StorageError>(const QImage& image)> save;
    std::function<void(const QString& filename)> remove;
    // The file's full path; none for a name that is empty or not bare.
    std::function<std::optional<QString>(const QString& filename)> path;

    // The folder of `storage`, which must outlive every copy of the result.
    static ScreenshotFiles of(const StorageService& storage);
    // Each empty member taken from `fallback`.
    ScreenshotFiles orElse(const ScreenshotFiles& fallback) const;
    // No folder at all: nothing loads, every save fails, nothing has a path.
    static ScreenshotFiles none();
};

} // namespace zova
