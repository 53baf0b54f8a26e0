#include "app/ThumbnailCache.h"

#include "model/StorageService.h"

namespace zova {

namespace {
constexpr int kMaxWidth = 640;
}

ThumbnailCache::ThumbnailCache()
{
    m_cache.setMaxCost(256 * 1024 * 1024); // bytes
}

ThumbnailCache& ThumbnailCache::shared()
{
    static ThumbnailCache cache;
    return cache;
}

QImage ThumbnailCache::image(const QString& filename)
{
    if (filename.isEmpty())
        return {};
    if (const QImage* hit = m_cache.object(filename))
        return *hit;
    QImage loaded = StorageService::shared().loadScreenshot(filename);
    if (loaded.isNull())
        return {};
    if (loaded.width() > kMaxWidth)
        loaded = loaded.scaledToWidth(kMaxWidth, Qt::SmoothTransformation);
    auto* stored = new QImage(std::move(loaded));
    const QImage copy = *stored;
    m_cache.insert(filename, stored, qMax<qsizetype>(1, copy.sizeInBytes()));
    return copy;
}

} // namespace zova
