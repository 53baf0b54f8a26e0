#pragma once

#include "platform/DesktopSnapshot.h"
#include "platform/PlatformBackends.h"

#include <QHash>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

namespace zova {

// The picker's thumbnails and application icons, taken on a worker thread of
// their own with back ends made there, so the GUI thread never waits for a
// capture. Lives on the GUI thread, where it hands every answer back.
class WindowPreviews final : public QObject {
    Q_OBJECT
public:
    struct Preview {
        std::optional<QImage> thumbnail;
        // Read only when there is no thumbnail and the window has an owning application.
        std::optional<QImage> icon;
    };
    using Done = std::function<void(const Preview& preview)>;

    explicit WindowPreviews(PreviewBackendsFactory factory, QObject* parent = nullptr);
    // Waits for a preview under way; the others are dropped unanswered.
    ~WindowPreviews() override;

    // Takes the window's thumbnail (windowThumbnail with maxDimension) and, when
    // it has none, its application's icon nearest to iconSize pixels. `done` runs
    // once, later, on this object's thread, unless `receiver` has gone or the
    // request was cancelled first. Requests are taken in the order they come.
    quint64 request(const DesktopWindow& window, double maxDimension, int iconSize, QObject* receiver, Done done);
    // A request not yet taken up is skipped; one under way is not answered.
    void cancel(quint64 ticket);

    // Requests answered or cancelled are no longer counted.
    int pendingCount() const { return int(m_pending.size()); }

private:
    class Worker;
    struct Pending {
        QPointer<QObject> receiver;
        Done done;
        std::shared_ptr<std::atomic<bool>> cancelled;
    };
    void deliver(quint64 ticket, const Preview& preview);

    PreviewBackendsFactory m_factory;
    QThread m_thread;
    Worker* m_worker = nullptr; // lives on m_thread once started
    QHash<quint64, Pending> m_pending;
    quint64 m_lastTicket = 0;
};

} // namespace zova
