#include "model/ScreenshotCache.h"

#include "model/StorageService.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImageReader>
#include <QPointer>
#include <QThread>

#include <algorithm>
#include <climits>
#include <memory>

namespace zova {

namespace {

constexpr qsizetype budgetBytes = 256 * 1024 * 1024;

ScreenshotCache::Clock steadyClock()
{
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    return [timer] { return timer->elapsed(); };
}

} // namespace

ScreenshotCache::ScreenshotCache(const StorageService& storage, Clock clock, QObject* parent)
    : QObject(parent)
    , m_storage(storage)
    , m_clock(clock ? std::move(clock) : steadyClock())
    , m_images(budgetBytes)
{
    // Half the cores: a recording's text recognition may want the rest.
    m_pool.setMaxThreadCount(std::max(2, QThread::idealThreadCount() / 2));
}

ScreenshotCache::~ScreenshotCache()
{
    m_pool.clear();
    m_pool.waitForDone();
}

QString ScreenshotCache::keyOf(const QString& filename, QSize box)
{
    if (!box.isValid())
        return filename;
    return filename + QLatin1Char('|') + QString::number(box.width()) + QLatin1Char('x')
        + QString::number(box.height());
}

bool ScreenshotCache::missFresh(const QString& filename) const
{
    const auto missed = m_missedAt.constFind(filename);
    return missed != m_missedAt.cend() && m_clock() - *missed < missRetryMs;
}

bool ScreenshotCache::isMissing(const QString& filename) const
{
    return !StorageService::isBareFileName(filename) || m_missedAt.contains(filename);
}

ScreenshotCache::Entry ScreenshotCache::lookup(const QString& filename, QSize box)
{
    const QString key = keyOf(filename, box);
    if (const QImage* hit = m_images.object(key))
        return { Status::Ready, *hit };
    const std::optional<QString> path = m_storage.pathFor(filename);
    if (!path)
        return { Status::Missing, {} };
    if (m_loading.contains(key))
        return { Status::Loading, {} };
    if (missFresh(filename))
        return { Status::Missing, {} };
    m_loading.insert(key);
    QPointer<ScreenshotCache> self(this);
    // The newest request first: what came into view last is what shows. A whole
    // screenshot (the canvas's) goes before every thumbnail.
    const int priority = ++m_requests % (INT_MAX / 2) + (box.isValid() ? 0 : INT_MAX / 2);
    m_pool.start(
        [self, filename, key, path = *path, box] {
            const QImage image = decode(path, box);
            // The pool is drained before this object goes; the queued call
            // re-checks it on the GUI thread.
            QMetaObject::invokeMethod(
                self.data(),
                [self, filename, key, image] {
                    if (self)
                        self->finish(filename, key, image);
                },
                Qt::QueuedConnection);
        },
        priority);
    return { Status::Loading, {} };
}

void ScreenshotCache::keep(const QString& key, const QImage& image)
{
    m_images.insert(key, new QImage(image), std::max<qsizetype>(1, image.sizeInBytes()));
}

void ScreenshotCache::finish(const QString& filename, const QString& key, const QImage& image)
{
    if (!m_loading.remove(key))
        return; // cleared meanwhile
    if (image.isNull()) {
        m_missedAt.insert(filename, m_clock());
    } else {
        m_missedAt.remove(filename);
        keep(key, image);
    }
    emit loaded(filename);
}

QImage ScreenshotCache::image(const QString& filename, QSize box)
{
    const QString key = keyOf(filename, box);
    if (const QImage* hit = m_images.object(key))
        return *hit;
    const std::optional<QString> path = m_storage.pathFor(filename);
    if (!path)
        return {};
    const QImage read = decode(*path, box);
    if (read.isNull()) {
        m_missedAt.insert(filename, m_clock());
    } else {
        m_missedAt.remove(filename);
        keep(key, read);
    }
    return read;
}

void ScreenshotCache::waitForIdle()
{
    m_pool.waitForDone();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void ScreenshotCache::clear()
{
    waitForIdle();
    m_images.clear();
    m_missedAt.clear();
    m_loading.clear();
}

QImage ScreenshotCache::decode(const QString& path, QSize box)
{
    QImageReader reader(path);
    reader.setAutoTransform(false);
    if (box.isValid()) {
        const QSize full = reader.size();
        if (full.isEmpty())
            return {};
        const double scale
            = std::min(1.0, std::max(double(box.width()) / full.width(), double(box.height()) / full.height()));
        if (scale < 1)
            reader.setScaledSize(
                QSize(std::max(1, qRound(full.width() * scale)), std::max(1, qRound(full.height() * scale))));
    }
    return reader.read();
}

} // namespace zova
