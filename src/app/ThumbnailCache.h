#pragma once

#include <QCache>
#include <QImage>
#include <QString>

namespace zova {

// Screenshots by file name, read once and kept (a name never changes meaning).
// Missing files are not remembered, so a file written later is found.
class ThumbnailCache {
public:
    static ThumbnailCache& shared();
    // The image, scaled down to at most 640 pixels wide; null when none.
    QImage image(const QString& filename);
    void clear() { m_cache.clear(); }

private:
    ThumbnailCache();
    QCache<QString, QImage> m_cache;
};

} // namespace zova
