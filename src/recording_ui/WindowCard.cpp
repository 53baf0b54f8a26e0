#include "recording_ui/WindowCard.h"

#include "annotation/SoftShadow.h"
#include "base/NotifyingProperty.h"
#include "recording_ui/RecordingFeed.h"
#include "style/Shapes.h"
#include "style/Spinner.h"
#include "style/Symbols.h"
#include "style/Typography.h"
#include "style/ZOVAColor.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPointer>

#include <cmath>
#include <memory>

namespace zova {

namespace {

constexpr qreal iconShadowRadius = 8;
constexpr QPointF iconShadowOffset { 0, 3 };

} // namespace

WindowCard::WindowCard(DesktopWindow window, RecordingFeed* feed, QWidget* parent)
    : TargetCard(parent)
    , m_window(std::move(window))
    , m_feed(feed)
{
    m_spinner = new Spinner(16, this);
    m_spinner->setOpacity(0.6);
    syncSpinner();
}

WindowCard::~WindowCard() { cancelFetch(); }

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
    cancelFetch();
    if (!onScreen || !m_feed)
        return;
    const int iconPixels = int(std::ceil(iconSide * devicePixelRatioF()));
    QPointer<WindowCard> self(this);
    // The answer may come for a ticket given out just now: it is matched once known.
    auto ticket = std::make_shared<quint64>(0);
    *ticket = m_feed->requestPreview(
        m_window, thumbnailMaxDimension, iconPixels, this, [self, ticket](const WindowPreviews::Preview& preview) {
            if (self)
                self->fetched(*ticket, preview);
        });
    m_ticket = *ticket;
}

void WindowCard::cancelFetch()
{
    if (m_ticket && m_feed)
        m_feed->cancelPreview(*m_ticket);
    m_ticket.reset();
}

void WindowCard::fetched(quint64 ticket, const WindowPreviews::Preview& preview)
{
    if (m_ticket != ticket)
        return;
    m_ticket.reset();
    m_thumbnail = preview.thumbnail && !preview.thumbnail->isNull() ? preview.thumbnail : std::nullopt;
    m_icon = preview.icon && !preview.icon->isNull() ? preview.icon : std::nullopt;
    prepareIcon();
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
        if (m_icon)
            paintIcon(painter, rect);
        else
            Symbols::paint(painter, rect, QStringLiteral("macwindow"), 32, ZOVAColor::secondaryLabel());
        break;
    case State::Fetching: break; // the spinner child shows the fetch
    }
}

void WindowCard::prepareIcon()
{
    m_iconPicture = QImage();
    m_iconShadow = QImage();
    if (!m_icon)
        return;
    const qreal ratio = devicePixelRatioF();
    const QSize side(int(std::ceil(iconSide * ratio)), int(std::ceil(iconSide * ratio)));
    m_iconPicture = m_icon->scaled(side, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    m_iconPicture.setDevicePixelRatio(ratio);
    // Black at 0.15 under the icon's own shape, blurred by 8.
    const int blur = int(std::ceil(iconShadowRadius * ratio));
    QImage alpha(m_iconPicture.size() + QSize(2 * blur, 2 * blur), QImage::Format_Alpha8);
    alpha.fill(0);
    {
        QPainter shape(&alpha);
        shape.drawImage(QPoint(blur, blur), m_iconPicture.convertToFormat(QImage::Format_Alpha8));
    }
    annotation::boxBlurAlpha(alpha, std::max(1, blur / 3));
    m_iconShadow = QImage(alpha.size(), QImage::Format_ARGB32_Premultiplied);
    m_iconShadow.fill(Qt::transparent);
    {
        QPainter tint(&m_iconShadow);
        tint.drawImage(0, 0, alpha);
        tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tint.fillRect(m_iconShadow.rect(), Shapes::withAlpha(Qt::black, 0.15));
    }
    m_iconShadow.setDevicePixelRatio(ratio);
}

void WindowCard::paintIcon(QPainter& painter, const QRectF& rect)
{
    if (m_iconPicture.isNull())
        return;
    const QSizeF size = m_iconPicture.deviceIndependentSize();
    QRectF target(QPointF(0, 0), size);
    target.moveCenter(rect.center());
    const QSizeF shadowSize = m_iconShadow.deviceIndependentSize();
    QRectF shadow(QPointF(0, 0), shadowSize);
    shadow.moveCenter(target.center() + iconShadowOffset);
    painter.drawImage(shadow, m_iconShadow);
    painter.drawImage(target, m_iconPicture);
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
