#include "editor/canvas/CanvasRedaction.h"

#include "annotation/Redaction.h"

#include <QPainter>
#include <QtConcurrent/QtConcurrentRun>

namespace zova {

namespace {

// Where no redaction is made yet: opaque, so nothing underneath shows.
constexpr QRgb pendingFill = 0xffb4b4b8;

QList<StepAnnotation> blursOf(const QList<StepAnnotation>& marks)
{
    QList<StepAnnotation> out;
    for (const StepAnnotation& a : marks) {
        switch (a.kind) {
        case StepAnnotation::Kind::Blur: out.append(a); break;
        case StepAnnotation::Kind::Arrow:
        case StepAnnotation::Kind::Highlight:
        case StepAnnotation::Kind::Text: break;
        }
    }
    return out;
}

QRectF shownAt(const QRect& pixels, QSize image, const QRectF& target)
{
    const double sx = target.width() / image.width(), sy = target.height() / image.height();
    return { target.left() + pixels.left() * sx, target.top() + pixels.top() * sy, pixels.width() * sx,
        pixels.height() * sy };
}

} // namespace

CanvasRedaction::CanvasRedaction(QObject* parent)
    : QObject(parent)
{
    connect(&m_worker, &QFutureWatcher<QImage>::finished, this, &CanvasRedaction::finished);
}

// A redaction under way finishes on its own; its result is dropped.
CanvasRedaction::~CanvasRedaction() = default;

void CanvasRedaction::setScreenshot(const QImage& screenshot)
{
    if (screenshot.cacheKey() == m_screenshot.cacheKey())
        return;
    m_screenshot = screenshot;
    ++m_generation;
    m_redacted = {};
    m_redactedKey.clear();
    m_redactedAreas.clear();
    m_made = false;
    m_next.reset();
}

CanvasRedaction::Key CanvasRedaction::keyFor(const QList<StepAnnotation>& marks) const
{
    Key key;
    for (const StepAnnotation& a : blursOf(marks))
        for (const QRect& r : annotation::redactedAreas(m_screenshot.size(), { a }))
            key.append({ a.id, r });
    return key;
}

bool CanvasRedaction::isCurrent(const QList<StepAnnotation>& marks) const
{
    return m_made && m_redactedKey == keyFor(marks);
}

QImage CanvasRedaction::redactedFor(const QList<StepAnnotation>& marks) const
{
    if (!isCurrent(marks))
        return annotation::redacted(m_screenshot, blursOf(marks));
    return m_redacted.isNull() ? m_screenshot : m_redacted;
}

void CanvasRedaction::request(const QList<StepAnnotation>& marks)
{
    if (m_screenshot.isNull())
        return;
    const Key key = keyFor(marks);
    if (m_made && key == m_redactedKey && !m_worker.isRunning()) {
        m_next.reset();
        return;
    }
    if (m_worker.isRunning()) {
        if (key == m_runningKey && m_runningGeneration == m_generation)
            m_next.reset();
        else
            m_next = std::pair(blursOf(marks), key);
        return;
    }
    start(blursOf(marks), key);
}

void CanvasRedaction::start(const QList<StepAnnotation>& blurs, const Key& key)
{
    if (key.isEmpty()) {
        // Nothing hidden: no pixels to make.
        m_redacted = {};
        m_redactedKey = key;
        m_redactedAreas.clear();
        m_made = true;
        emit updated();
        return;
    }
    m_runningKey = key;
    m_runningGeneration = m_generation;
    const QImage screenshot = m_screenshot;
    m_worker.setFuture(QtConcurrent::run([screenshot, blurs] { return annotation::redacted(screenshot, blurs); }));
}

void CanvasRedaction::finished()
{
    if (m_runningGeneration == m_generation) {
        m_redacted = m_worker.result();
        m_redactedKey = m_runningKey;
        m_redactedAreas.clear();
        for (const auto& [id, area] : m_redactedKey)
            m_redactedAreas.insert(id, area);
        m_made = true;
    }
    if (m_next) {
        const auto next = *std::exchange(m_next, std::nullopt);
        if (!(m_made && next.second == m_redactedKey))
            start(next.first, next.second);
    }
    emit updated();
}

void CanvasRedaction::paint(QPainter& painter, const QRectF& target, const QList<StepAnnotation>& marks) const
{
    if (m_screenshot.isNull() || target.isEmpty())
        return;
    const QSize size = m_screenshot.size();
    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const auto& [id, area] : keyFor(marks)) {
        const QRectF to = shownAt(area, size, target);
        const auto made = m_redactedAreas.constFind(id);
        if (made != m_redactedAreas.cend() && !m_redacted.isNull())
            painter.drawImage(to, m_redacted, QRectF(*made));
        else
            painter.fillRect(to, QColor::fromRgb(pendingFill));
    }
    painter.restore();
}

} // namespace zova
