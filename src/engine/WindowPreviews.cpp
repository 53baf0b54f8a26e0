#include "engine/WindowPreviews.h"

#include "engine/WindowThumbnail.h"

#include <utility>

namespace zova {

// Takes the previews on the worker thread, with back ends it makes there on its
// first job and drops before the thread ends.
class WindowPreviews::Worker final : public QObject {
public:
    explicit Worker(PreviewBackendsFactory factory)
        : m_factory(std::move(factory))
    {
    }

    Preview take(const DesktopWindow& window, double maxDimension, int iconSize)
    {
        if (!m_backends && m_factory)
            m_backends = m_factory();
        Preview preview;
        if (!m_backends)
            return preview;
        if (m_backends->screens)
            preview.thumbnail = windowThumbnail(*m_backends->screens, window, maxDimension);
        if (!preview.thumbnail && window.owningApplication && m_backends->icons)
            preview.icon = m_backends->icons->icon(window.windowID, iconSize);
        return preview;
    }
    void release() { m_backends.reset(); }

private:
    PreviewBackendsFactory m_factory;
    std::optional<PreviewBackends> m_backends;
};

WindowPreviews::WindowPreviews(PreviewBackendsFactory factory, QObject* parent)
    : QObject(parent)
    , m_factory(std::move(factory))
{
    m_thread.setObjectName(QStringLiteral("zova.previews"));
}

WindowPreviews::~WindowPreviews()
{
    for (const Pending& pending : std::as_const(m_pending))
        pending.cancelled->store(true);
    if (m_worker) {
        m_thread.quit();
        m_thread.wait();
        delete m_worker;
    }
}

quint64 WindowPreviews::request(
    const DesktopWindow& window, double maxDimension, int iconSize, QObject* receiver, Done done)
{
    if (!m_worker) {
        m_worker = new Worker(m_factory);
        m_worker->moveToThread(&m_thread);
        // The back ends go on the thread that made them, as it ends.
        connect(
            &m_thread, &QThread::finished, m_worker, [worker = m_worker] { worker->release(); }, Qt::DirectConnection);
        m_thread.start();
    }
    const quint64 ticket = ++m_lastTicket;
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    m_pending.insert(ticket, Pending { receiver, std::move(done), cancelled });
    QMetaObject::invokeMethod(
        m_worker,
        [this, worker = m_worker, window, maxDimension, iconSize, ticket, cancelled] {
            if (cancelled->load())
                return;
            Preview preview = worker->take(window, maxDimension, iconSize);
            // This object outlives the worker thread: its destructor waits for it.
            QMetaObject::invokeMethod(
                this, [this, ticket, preview = std::move(preview)] { deliver(ticket, preview); }, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
    return ticket;
}

void WindowPreviews::cancel(quint64 ticket)
{
    const auto it = m_pending.constFind(ticket);
    if (it == m_pending.cend())
        return;
    it->cancelled->store(true);
    m_pending.erase(it);
}

void WindowPreviews::deliver(quint64 ticket, const Preview& preview)
{
    const Pending pending = m_pending.take(ticket);
    if (!pending.done || !pending.receiver)
        return;
    pending.done(preview);
}

} // namespace zova
