#include "editor/list/StepThumbnails.h"

#include "model/StorageService.h"

#include <QCoreApplication>
#include <QImageReader>
#include <QPointer>
#include <QThread>

namespace zova {

StepThumbnails::StepThumbnails(QSize box, const StorageService& storage, QObject* parent)
    : QObject(parent)
    , m_box(box)
    , m_storage(storage)
{
    m_cache.setMaxCost(64 * 1024 * 1024); // bytes
    m_pool.setMaxThreadCount(std::max(2, QThread::idealThreadCount()));
}

StepThumbnails::~StepThumbnails() { m_pool.waitForDone(); }

StepThumbnails::Status StepThumbnails::status(const QString& filename)
{
    if (filename.isEmpty() || m_missing.contains(filename))
        return Status::Missing;
    if (m_cache.contains(filename))
        return Status::Ready;
    if (m_loading.contains(filename))
        return Status::Loading;
    const std::optional<QString> path = m_storage.pathFor(filename);
    if (!path) {
        m_missing.insert(filename);
        return Status::Missing;
    }
    m_loading.insert(filename);
    QPointer<StepThumbnails> self(this);
    const QSize box = m_box;
    m_pool.start([self, filename, path = *path, box] {
        const QImage image = load(path, box);
        // The pool is drained before this object goes, so `self` is alive here;
        // the queued call re-checks it on the GUI thread.
        QMetaObject::invokeMethod(
            self.data(),
            [self, filename, image] {
                if (self)
                    self->finish(filename, image);
            },
            Qt::QueuedConnection);
    });
    return Status::Loading;
}

QImage StepThumbnails::image(const QString& filename) const
{
    const QImage* hit = m_cache.object(filename);
    return hit ? *hit : QImage();
}

void StepThumbnails::finish(const QString& filename, const QImage& image)
{
    if (!m_loading.remove(filename))
        return; // cleared meanwhile
    if (image.isNull())
        m_missing.insert(filename);
    else
        m_cache.insert(filename, new QImage(image), qMax<qsizetype>(1, image.sizeInBytes()));
    emit loaded(filename);
}

void StepThumbnails::clear()
{
    m_pool.waitForDone();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    m_cache.clear();
    m_missing.clear();
    m_loading.clear();
}

void StepThumbnails::waitForIdle()
{
    m_pool.waitForDone();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

QImage StepThumbnails::load(const QString& path, QSize box)
{
    if (box.isEmpty())
        return {};
    QImageReader reader(path);
    const QSize full = reader.size();
    if (full.isEmpty())
        return {};
    const qreal scale = std::max(qreal(box.width()) / full.width(), qreal(box.height()) / full.height());
    const QSize scaled(std::max(1, qRound(full.width() * scale)), std::max(1, qRound(full.height() * scale)));
    reader.setScaledSize(scaled);
    const QImage image = reader.read();
    if (image.isNull())
        return {};
    const QRect crop((image.width() - box.width()) / 2, (image.height() - box.height()) / 2, box.width(), box.height());
    return image.copy(crop.intersected(image.rect()));
}

} // namespace zova
