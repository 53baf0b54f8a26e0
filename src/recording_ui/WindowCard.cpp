#include "recording_ui/WindowCard.h"

#include "base/NotifyingProperty.h"
#include "style/Shapes.h"
#include "style/Spinner.h"
#include "style/Symbols.h"
#include "style/Typography.h"
#include "style/ZOVAColor.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPointer>
#include <QTimer>

namespace zova {

WindowCard::WindowCard(DesktopWindow window, ThumbnailFetch fetch, QWidget* parent)
    : TargetCard(parent)
    , m_window(std::move(window))
    , m_fetch(std::move(fetch))
{
    m_spinner = new Spinner(16, this);
    m_spinner->setOpacity(0.6);
    syncSpinner();
}

void WindowCard::syncSpinner()
{
    QRect spin(QPoint(0, 0), m_spinner->size());
    spin.moveCenter(previewRect().center().toPoint());
    m_spinner->setGeometry(spin);
    m_spinner->setVisible(state() == State::Fetching);
}

void WindowCard::resizeEvent(QResizeEvent*) { syncSpinner(); }

QString WindowCard::displayTitle(const DesktopWindow& window)
{
    if (window.title && !window.title->isEmpty())
        return *window.title;
    if (window.owningApplication && !window.owningApplication->applicationName.isEmpty())
        return window.owningApplication->applicationName;
    return QStringLiteral("Untitled");
}

std::optional<QString> WindowCard::applicationLine(const DesktopWindow& window)
{
    if (window.title && !window.title->isEmpty() && window.owningApplication)
        return window.owningApplication->applicationName;
    return std::nullopt;
}

QString WindowCard::anotherWorkspaceText() { return QStringLiteral("On another workspace"); }

QString WindowCard::minimizedText() { return QStringLiteral("Minimised"); }

QString WindowCard::unavailableBadgeText() const
{
    return m_window.isMinimized ? minimizedText() : anotherWorkspaceText();
}

WindowCard::State WindowCard::state() const
{
    if (m_thumbnail)
        return State::Shown;
    return m_didFinishThumbnailFetch ? State::Unavailable : State::Fetching;
}

QColor WindowCard::previewBackground() const
{
    return m_thumbnail ? Shapes::withAlpha(Shapes::controlBackground(), 0.5)
                       : Shapes::withAlpha(Shapes::windowBackground(), 0.55);
}

void WindowCard::setOnScreen(bool onScreen)
{
    if (!assignIfChanged(m_onScreen, onScreen))
        return;
    const quint64 generation = ++m_generation;
    if (!onScreen)
        return;
    // Queued, so the card is painted in its current state before the capture runs.
    QTimer::singleShot(0, this, [this, generation] { fetchThumbnail(generation); });
}

void WindowCard::fetchThumbnail(quint64 generation)
{
    if (generation != m_generation || !m_fetch)
        return;
    QPointer<WindowCard> self(this);
    std::optional<QImage> image = m_fetch(m_window, thumbnailMaxDimension);
    if (!self || generation != m_generation)
        return;
    if (image && image->isNull())
        image.reset();
    m_thumbnail = std::move(image);
    m_didFinishThumbnailFetch = true;
    syncSpinner();
    update();
    emit thumbnailFetchFinished();
}

void WindowCard::paintPreview(QPainter& painter, const QRectF& rect)
{
    painter.fillPath(Shapes::roundedRect(rect, previewCornerRadius), previewBackground());
    switch (state()) {
    case State::Shown: {
        const QRectF inner = rect.adjusted(6, 6, -6, -6);
        QSizeF size = QSizeF(m_thumbnail->size()).scaled(inner.size(), Qt::KeepAspectRatio);
        QRectF target(QPointF(0, 0), size);
        target.moveCenter(inner.center());
        painter.save();
        painter.setClipPath(Shapes::roundedRect(target, previewCornerRadius));
        painter.drawImage(target, *m_thumbnail);
        painter.restore();
        break;
    }
    case State::Unavailable:
        Symbols::paint(painter, rect, QStringLiteral("macwindow"), 32, ZOVAColor::secondaryLabel());
        break;
    case State::Fetching: break; // the spinner child shows the fetch
    }
}

void WindowCard::paintText(QPainter& painter, const QRectF& titleLine, const QRectF& secondLine)
{
    const QFont titleFont = Typography::semibold(12.5);
    painter.setFont(titleFont);
    painter.setPen(ZOVAColor::label());
    painter.drawText(titleLine, Qt::AlignLeft | Qt::AlignVCenter,
        QFontMetricsF(titleFont).elidedText(displayTitle(), Qt::ElideRight, titleLine.width()));

    qreal x = secondLine.left();
    const QFont badgeFont = Typography::semibold(9);
    const qreal badgeWidth
        = showsAnotherWorkspaceBadge() ? QFontMetricsF(badgeFont).horizontalAdvance(unavailableBadgeText()) + 12 : 0;
    if (const auto app = applicationLine(m_window)) {
        const QFont appFont = Typography::font(10.5);
        painter.setFont(appFont);
        painter.setPen(ZOVAColor::secondaryLabel());
        const qreal room = secondLine.width() - (badgeWidth > 0 ? badgeWidth + 6 : 0);
        const QString shown = QFontMetricsF(appFont).elidedText(*app, Qt::ElideRight, std::max<qreal>(room, 0));
        const qreal w = QFontMetricsF(appFont).horizontalAdvance(shown);
        painter.drawText(
            QRectF(x, secondLine.top(), w + 1, secondLine.height()), Qt::AlignLeft | Qt::AlignVCenter, shown);
        x += w + 6;
    }
    if (badgeWidth > 0) {
        const qreal h = QFontMetricsF(badgeFont).height() + 4;
        const QRectF badge(x, secondLine.center().y() - h / 2, badgeWidth, h);
        painter.fillPath(Shapes::capsule(badge), Shapes::withAlpha(Shapes::controlBackground(), 0.7));
        Shapes::strokeInside(painter, badge, h / 2, ZOVAColor::separator(), 0.5);
        painter.setFont(badgeFont);
        painter.setPen(ZOVAColor::secondaryLabel());
        painter.drawText(badge, Qt::AlignCenter, unavailableBadgeText());
    }
}

} // namespace zova
