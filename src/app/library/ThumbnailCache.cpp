#include "app/library/ThumbnailCache.h"

#include "model/StorageService.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>

namespace zova {

namespace {
constexpr int maxWidth = 640;
constexpr qint64 missRetryMs = 3000;
} // namespace

ThumbnailCache::ThumbnailCache()
{
    m_cache.setMaxCost(256 * 1024 * 1024); // bytes
    m_pool.setMaxThreadCount(std::max(2, QThread::idealThreadCount() / 2));
    m_clock.start();
    // No decode may outlive the application object: image readers need it.
    qAddPostRoutine([] {
        ThumbnailCache& cache = shared();
        cache.m_pool.clear();
        cache.m_pool.waitForDone();
    });
}

ThumbnailCache::~ThumbnailCache() { m_pool.waitForDone(); }

ThumbnailCache& ThumbnailCache::shared()
{
    static ThumbnailCache cache;
    return cache;
}

void ThumbnailCache::setStorage(const StorageService* storage)
{
    if (m_storage.exchange(storage) != storage)
        clear();
}

QImage ThumbnailCache::load(const StorageService* storage, const QString& filename)
{
    if (!storage)
        return {};
    QImage loaded = storage->loadScreenshot(filename);
    if (loaded.width() > maxWidth)
        loaded = loaded.scaledToWidth(maxWidth, Qt::SmoothTransformation);
    return loaded;
}

void ThumbnailCache::store(const QString& filename, const QImage& image)
{
    m_cache.insert(filename, new QImage(image), qMax<qsizetype>(1, image.sizeInBytes()));
}

ThumbnailCache::Entry ThumbnailCache::lookup(const QString& filename)
{
    if (const QImage* hit = m_cache.object(filename))
        return { Status::Ready, *hit };
    if (filename.isEmpty() || !StorageService::isBareFileName(filename))
        return { Status::Missing, {} };
    if (m_loading.contains(filename))
        return { Status::Loading, {} };
    if (const auto missed = m_missedAt.constFind(filename);
        missed != m_missedAt.cend() && m_clock.elapsed() - *missed < missRetryMs)
        return { Status::Missing, {} };
    m_loading.insert(filename);
    QPointer<ThumbnailCache> self(this);
    // The newest request first: what scrolled into view last is what shows.
    m_pool.start(
        [self, storage = m_storage.load(), filename] {
            const QImage image = load(storage, filename);
            // The pool is drained before this object goes; the queued call
            // re-checks it on the GUI thread.
            QMetaObject::invokeMethod(
                self.data(),
                [self, filename, image] {
                    if (self)
                        self->finish(filename, image);
                },
                Qt::QueuedConnection);
        },
        ++m_requests);
    return { Status::Loading, {} };
}

void ThumbnailCache::finish(const QString& filename, const QImage& image)
{
    if (!m_loading.remove(filename))
        return; // cleared meanwhile
    if (image.isNull()) {
        m_missedAt.insert(filename, m_clock.elapsed());
    } else {
        m_missedAt.remove(filename);
        store(filename, image);
    }
    emit loaded(filename);
}

QImage ThumbnailCache::image(const QString& filename)
{
    if (filename.isEmpty())
        return {};
    if (const QImage* hit = m_cache.object(filename))
        return *hit;
    const QImage loaded = load(m_storage.load(), filename);
    if (!loaded.isNull()) {
        m_missedAt.remove(filename);
        store(filename, loaded);
    }
    return loaded;
}

void ThumbnailCache::waitForIdle()
{
    m_pool.waitForDone();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void ThumbnailCache::clear()
{
    waitForIdle();
    m_cache.clear();
    m_missedAt.clear();
    m_loading.clear();
}

} // namespace zova
