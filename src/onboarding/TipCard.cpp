#include "onboarding/TipCard.h"

#include "onboarding/PaintedButton.h"
#include "style/Shapes.h"
#include "style/Symbols.h"
#include "style/Typography.h"
#include "style/ZOVAColor.h"

#include <QPainter>
#include <QtMath>

#include <algorithm>

namespace zova {

namespace {

QFont captionFont() { return Typography::semibold(10); }
QFont titleFont() { return Typography::bold(22); }
QFont bodyFont() { return Typography::font(14); }
QFont skipFont() { return Typography::font(13); }
QFont nextFont() { return Typography::semibold(13); }

constexpr qreal iconSide = 44;
constexpr qreal closeSide = 22;

qreal wrappedHeight(const QFont& font, const QString& text, qreal width)
{
    return QFontMetricsF(font).boundingRect(QRectF(0, 0, width, 1e6), Qt::TextWordWrap, text).height();
}

qreal textWidth(const QFont& font, const QString& text) { return QFontMetricsF(font).horizontalAdvance(text); }

} // namespace

TipCard::TipCard(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("tipCard"));
    m_close = new PaintedButton(
        QString(),
        [](QPainter& p, const QRectF& r, const PaintedButton&) {
            Symbols::paint(p, r, QStringLiteral("xmark.circle.fill"), 18, ZOVAColor::secondaryLabel());
        },
        this);
    m_close->setToolTip(QStringLiteral("Dismiss"));
    m_close->setAccessibleName(QStringLiteral("Dismiss"));
    m_skip = new PaintedButton(
        QStringLiteral("Skip"),
        [](QPainter& p, const QRectF& r, const PaintedButton& b) {
            p.setFont(skipFont());
            p.setPen(ZOVAColor::secondaryLabel());
            p.drawText(r, Qt::AlignCenter, b.text());
        },
        this);
    m_next = new PaintedButton(
        TipContent::nextTitle(m_tip),
        [](QPainter& p, const QRectF& r, const PaintedButton& b) {
            p.fillPath(Shapes::capsule(r), TipContent::brandGradient(r));
            p.setFont(nextFont());
            p.setPen(Qt::white);
            p.drawText(r, Qt::AlignCenter, b.text());
        },
        this);
    connect(m_close, &QAbstractButton::clicked, this, &TipCard::dismissRequested);
    connect(m_skip, &QAbstractButton::clicked, this, &TipCard::skipRequested);
    connect(m_next, &QAbstractButton::clicked, this, &TipCard::nextRequested);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    setTip(m_tip, QString());
}

void TipCard::setTip(CoachMarksService::Tip tip, const QString& positionLabel)
{
    m_tip = tip;
    m_content = TipContent::of(tip);
    m_position = positionLabel;
    setAccessibleName(m_content.title);
    setAccessibleDescription(positionLabel);
    m_next->setText(TipContent::nextTitle(tip));
    updateGeometry();
    placeButtons();
    update();
}

TipCard::Layout TipCard::layoutFor(qreal width) const
{
    Layout l;
    const qreal inner = std::max<qreal>(0, width - 2 * padding);
    const qreal right = width - padding;
    qreal y = padding;

    // Header: icon tile, caption, spacer, close button.
    l.iconTile = QRectF(padding, y, iconSide, iconSide);
    const QFontMetricsF caption(captionFont());
    const QSizeF captionSize(textWidth(captionFont(), m_position) + 20, caption.height() + 8);
    l.caption = QRectF(QPointF(l.iconTile.right() + 14, y + (iconSide - captionSize.height()) / 2), captionSize);
    l.close = QRectF(right - closeSide, y + (iconSide - closeSide) / 2, closeSide, closeSide);
    y += iconSide + 18;

    // Texts: the title, then the body, both wrapped to the card's width.
    l.title = QRectF(padding, y, inner, wrappedHeight(titleFont(), m_content.title, inner));
    y = l.title.bottom() + 10;
    l.body = QRectF(padding, y, inner, wrappedHeight(bodyFont(), m_content.body, inner));
    y = l.body.bottom() + 18;

    // Footer: dots, spacer, Skip, Next.
    const QFontMetricsF next(nextFont());
    const QSizeF nextSize(textWidth(nextFont(), m_next->text()) + 28, next.height() + 16);
    const qreal footer = nextSize.height();
    l.next = QRectF(QPointF(right - nextSize.width(), y), nextSize);
    const QSizeF skipSize(textWidth(skipFont(), m_skip->text()) + 8, QFontMetricsF(skipFont()).height() + 4);
    l.skip = QRectF(QPointF(l.next.left() - 12 - skipSize.width(), y + (footer - skipSize.height()) / 2), skipSize);
    qreal x = padding;
    for (size_t i = 0; i < l.dots.size(); ++i) {
        const qreal side = CoachMarksService::allTips[i] == m_tip ? 8 : 6;
        l.dots[i] = QRectF(x, y + (footer - side) / 2, side, side);
        x += side + 6;
    }
    l.height = y + footer + padding;
    return l;
}

int TipCard::heightForWidth(int width) const { return qCeil(layoutFor(width).height); }

QSize TipCard::sizeHint() const { return { 480, heightForWidth(480) }; }

void TipCard::resizeEvent(QResizeEvent*) { placeButtons(); }

void TipCard::placeButtons()
{
    const Layout l = layoutFor(width());
    m_close->setGeometry(l.close.toAlignedRect());
    m_skip->setGeometry(l.skip.toAlignedRect());
    m_next->setGeometry(l.next.toAlignedRect());
}

void TipCard::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF card(rect());
    p.fillPath(Shapes::roundedRect(card, cornerRadius), Shapes::withAlpha(Shapes::windowBackground(), 0.97));
    Shapes::strokeInside(p, card, cornerRadius, Shapes::withAlpha(Qt::white, 0.08), 1);

    const Layout l = layoutFor(width());
    p.setPen(Qt::NoPen);
    p.setBrush(TipContent::brandGradient(l.iconTile));
    p.drawEllipse(l.iconTile);
    Symbols::paint(p, l.iconTile, m_content.symbol, 20, Qt::white);

    p.fillPath(Shapes::capsule(l.caption), Shapes::withAlpha(ZOVAColor::label(), 0.06));
    p.setFont(captionFont());
    p.setPen(ZOVAColor::secondaryLabel());
    p.drawText(l.caption, Qt::AlignCenter, m_position);

    p.setFont(titleFont());
    p.setPen(ZOVAColor::label());
    p.drawText(l.title, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, m_content.title);
    p.setFont(bodyFont());
    p.setPen(ZOVAColor::secondaryLabel());
    p.drawText(l.body, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, m_content.body);

    p.setPen(Qt::NoPen);
    for (size_t i = 0; i < l.dots.size(); ++i) {
        if (CoachMarksService::allTips[i] == m_tip)
            p.setBrush(TipContent::brandGradient(l.dots[i]));
        else
            p.setBrush(Shapes::withAlpha(ZOVAColor::secondaryLabel(), ZOVAColor::secondaryLabel().alphaF() * 0.35));
        p.drawEllipse(l.dots[i]);
    }
}

} // namespace zova
