#pragma once

#include "base/Expected.h"
#include "model/StorageService.h"

#include <QImage>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QString>
#include <QThreadPool>

#include <deque>
#include <functional>
#include <memory>
#include <optional>

namespace zova {

class Guide;

// The screenshots of a recording's accepted clicks on their way to steps: each
// is taken once its delay has passed, written to the screenshot folder on a
// pool of two workers, and handed back on the GUI thread in the order it was
// queued, so that step orders follow click order. A restart drops the work
// under way: shots not yet taken are never taken, and the files of saves not
// yet handed back are deleted once written. GUI thread only.
class StepCapturePipeline final : public QObject {
    Q_OBJECT
public:
    struct Shot {
        QPointer<Guide> guide;
        QPointF hotspot; // 0..1 in the image
        QImage image;
        QPointF labelPixel; // the click in the image, for its label
    };
    struct Saved {
        Shot shot;
        QString filename; // empty when writing failed
        std::optional<StorageError> error;
    };
    // Where shots are written (on a worker) and how a written file is deleted.
    struct Store {
        std::function<Expected<QString, StorageError>(const QImage& image)> save;
        std::function<void(const QString& filename)> remove;
    };
    // Takes a screenshot on the GUI thread; nothing when it could not be taken.
    using Take = std::function<std::optional<Shot>()>;
    // Receives each saved shot, in order; its file belongs to the receiver.
    using Deliver = std::function<void(Saved saved)>;

    StepCapturePipeline(Store store, Deliver deliver, QObject* parent = nullptr);
    // Waits for the workers; files never handed back are deleted.
    ~StepCapturePipeline() override;

    // Takes a shot with `take` after `delayMs` and queues it.
    void schedule(int delayMs, Take take);
    // Queues a shot already taken.
    void push(Shot shot);
    // Drops everything under way.
    void restart();
    // Scheduled shots of this run not yet taken.
    int waitingCount() const { return m_waiting; }
    // Shots since the last restart still waiting for their delay or being written.
    bool isBusy() const;

signals:
    // A scheduled shot was taken (or dropped for failing) or saves were handed
    // back: isBusy() may have changed.
    void settled();

private:
    struct Pending;
    void handBack();

    Store m_store;
    Deliver m_deliver;
    // Changes at every restart: work of an earlier run finds another serial.
    quint64 m_serial = 0;
    int m_waiting = 0;
    std::deque<std::shared_ptr<Pending>> m_pending;
    std::unique_ptr<QThreadPool> m_pool;
};

} // namespace zova
