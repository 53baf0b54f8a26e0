#pragma once

#include "model/StepAnnotation.h"

#include <QFutureWatcher>
#include <QHash>
#include <QImage>
#include <QList>
#include <QObject>
#include <QRect>
#include <QUuid>

#include <optional>

class QPainter;

namespace zova {

// What the canvas shows under its blur marks: the screenshot redacted exactly as
// every export redacts it, made on a worker thread once for each screenshot and
// set of blur marks, and drawn clipped to each mark. Until the redaction of the
// current marks arrives, a blur that moved shows its last redacted pixels moved
// along and a new one an opaque fill: never the pixels it covers. GUI thread.
class CanvasRedaction : public QObject {
    Q_OBJECT
public:
    explicit CanvasRedaction(QObject* parent = nullptr);
    ~CanvasRedaction() override;

    // A new screenshot drops every redaction made of the old one.
    void setScreenshot(const QImage& screenshot);
    QImage screenshot() const { return m_screenshot; }

    // Makes the redaction for the blur marks among `marks` unless it is made or
    // under way; the latest request wins.
    void request(const QList<StepAnnotation>& marks);
    // Whether the redaction painted for `marks` is theirs.
    bool isCurrent(const QList<StepAnnotation>& marks) const;
    // The screenshot with what the blur marks among `marks` hide gone: the one
    // already made when it is theirs, else made now.
    QImage redactedFor(const QList<StepAnnotation>& marks) const;

    // Paints what each blur mark among `marks` hides, over the screenshot shown in `target`.
    void paint(QPainter& painter, const QRectF& target, const QList<StepAnnotation>& marks) const;

signals:
    // A redaction arrived.
    void updated();

private:
    // Each blur mark's id and the pixels it hides, in stored order.
    using Key = QList<std::pair<QUuid, QRect>>;
    Key keyFor(const QList<StepAnnotation>& marks) const;
    void start(const QList<StepAnnotation>& marks, const Key& key);
    void finished();

    QImage m_screenshot;
    // The last redaction made, the marks it was made for and where each hid.
    QImage m_redacted;
    Key m_redactedKey;
    QHash<QUuid, QRect> m_redactedAreas;
    bool m_made = false;

    QFutureWatcher<QImage> m_worker;
    Key m_runningKey;
    std::optional<std::pair<QList<StepAnnotation>, Key>> m_next;
    quint64 m_generation = 0;
    quint64 m_runningGeneration = 0;
};

} // namespace zova
