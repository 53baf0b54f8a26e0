#include "engine/StepCapturePipeline.h"

#include "engine/EngineLog.h"

#include <QTimer>
#include <QtConcurrent>

#include <algorithm>

namespace zova {

struct StepCapturePipeline::Pending {
    quint64 serial = 0;
    Saved saved; // filename and error written by the worker
    bool finished = false;
};

StepCapturePipeline::StepCapturePipeline(Store store, Deliver deliver, QObject* parent)
    : QObject(parent)
    , m_store(std::move(store))
    , m_deliver(std::move(deliver))
    , m_pool(std::make_unique<QThreadPool>())
{
    m_pool->setMaxThreadCount(2);
}

StepCapturePipeline::~StepCapturePipeline()
{
    m_pool->waitForDone();
    // Screenshots that never became steps leave no file behind.
    for (const auto& pending : m_pending) {
        if (!pending->saved.filename.isEmpty())
            m_store.remove(pending->saved.filename);
    }
}

void StepCapturePipeline::schedule(int delayMs, Take take)
{
    const quint64 serial = m_serial;
    ++m_waiting;
    QTimer::singleShot(delayMs, Qt::PreciseTimer, this, [this, serial, take = std::move(take)] {
        if (serial != m_serial) {
            qCInfo(lcRecording, "Drop capture: its recording has ended");
            return;
        }
        std::optional<Shot> shot = take();
        if (serial != m_serial)
            return; // the shot restarted the pipeline
        m_waiting = std::max(0, m_waiting - 1);
        if (shot)
            push(std::move(*shot));
        emit settled();
    });
}

void StepCapturePipeline::push(Shot shot)
{
    auto pending = std::make_shared<Pending>();
    pending->serial = m_serial;
    pending->saved.shot = std::move(shot);
    m_pending.push_back(pending);
    // PNG encoding takes tens of milliseconds for a full screen: it runs on a
    // worker, and the shot is handed back once every earlier one is done.
    QtConcurrent::run(m_pool.get(), [save = m_store.save, pending] {
        auto written = save(pending->saved.shot.image);
        if (written)
            pending->saved.filename = *written;
        else
            pending->saved.error = written.error();
    }).then(this, [this, pending] {
        pending->finished = true;
        handBack();
    });
}

void StepCapturePipeline::handBack()
{
    while (!m_pending.empty() && m_pending.front()->finished) {
        const auto pending = m_pending.front();
        m_pending.pop_front();
        if (pending->serial != m_serial) {
            if (!pending->saved.filename.isEmpty())
                m_store.remove(pending->saved.filename);
            qCInfo(lcRecording, "Drop capture: its recording has ended");
            continue;
        }
        m_deliver(std::move(pending->saved));
    }
    emit settled();
}

void StepCapturePipeline::restart()
{
    ++m_serial;
    m_waiting = 0;
}

bool StepCapturePipeline::isBusy() const
{
    return m_waiting > 0
        || std::any_of(m_pending.begin(), m_pending.end(), [this](const auto& p) { return p->serial == m_serial; });
}

} // namespace zova
