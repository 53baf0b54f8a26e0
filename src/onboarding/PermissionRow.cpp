#include "onboarding/PermissionRow.h"

#include "style/PillButton.h"
#include "style/Shapes.h"
#include "style/Symbols.h"
#include "style/Typography.h"
#include "style/ZOVAColor.h"

#include <QPainter>
#include <QtMath>

namespace zova {

namespace {

constexpr qreal horizontalPadding = 16;
constexpr qreal verticalPadding = 12;
constexpr qreal spacing = 16;
constexpr qreal tileSide = 40;
constexpr qreal badgeSymbol = 12;

QFont titleFont() { return Typography::bold(13); }
QFont descriptionFont() { return Typography::font(11); }
QFont badgeFont() { return Typography::bold(11); }
QString grantedText() { return QStringLiteral("Granted"); }

QSizeF badgeSize()
{
    const qreal text = QFontMetricsF(badgeFont()).horizontalAdvance(grantedText());
    return { 10 + badgeSymbol + 4 + text + 10, QFontMetricsF(badgeFont()).height() + 10 };
}

// At most two lines, each in full.
qreal descriptionHeight(const QString& text, qreal width)
{
    const QFontMetricsF fm(descriptionFont());
    const qreal wrapped = fm.boundingRect(QRectF(0, 0, width, 1e6), Qt::TextWordWrap, text).height();
    return std::min(wrapped, 2 * fm.lineSpacing());
}

} // namespace

PermissionRow::PermissionRow(QString title, QString description, QString iconName, bool isGranted,
    std::function<void()> requestAction, QWidget* parent)
    : GlassCard(Tone::light(), 14, parent)
    , m_title(std::move(title))
    , m_description(std::move(description))
    , m_iconName(std::move(iconName))
    , m_isGranted(isGranted)
    , m_requestAction(std::move(requestAction))
    , m_configure(new PillButton(QStringLiteral("Configure"), this))
{
    pill(m_configure, PillStyle::Variant::ghost(), PillStyle::Size::Sm);
    connect(m_configure, &QAbstractButton::clicked, this, [this] {
        if (m_requestAction)
            m_requestAction();
    });
    m_configure->setVisible(!m_isGranted);
    setAccessibleName(m_title);
    setAccessibleDescription(m_isGranted ? QStringLiteral("Granted") : QStringLiteral("Not granted"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void PermissionRow::setGranted(bool granted)
{
    if (granted == m_isGranted)
        return;
    m_isGranted = granted;
    m_configure->setVisible(!granted);
    setAccessibleDescription(granted ? QStringLiteral("Granted") : QStringLiteral("Not granted"));
    updateGeometry();
    resizeEvent(nullptr);
    update();
}

QColor PermissionRow::tint() const { return m_isGranted ? ZOVAColor::emerald() : ZOVAColor::amber(); }

qreal PermissionRow::textWidth(qreal width) const
{
    const qreal trailing = m_isGranted ? badgeSize().width() : m_configure->sizeHint().width();
    return std::max<qreal>(0, width - 2 * horizontalPadding - tileSide - 3 * spacing - trailing);
}

PermissionRow::Layout PermissionRow::layoutFor(qreal width) const
{
    Layout l;
    const qreal textWidth = this->textWidth(width);
    const qreal titleHeight = QFontMetricsF(titleFont()).height();
    const qreal descHeight = descriptionHeight(m_description, textWidth);
    const qreal textHeight = titleHeight + 3 + descHeight;
    const QSizeF trailing = m_isGranted ? badgeSize() : QSizeF(m_configure->sizeHint());
    const qreal content = std::max({ tileSide, textHeight, trailing.height() });
    const qreal height = content + 2 * verticalPadding;
    const qreal mid = height / 2;

    l.iconTile = QRectF(horizontalPadding, mid - tileSide / 2, tileSide, tileSide);
    const qreal textLeft = l.iconTile.right() + spacing;
    l.title = QRectF(textLeft, mid - textHeight / 2, textWidth, titleHeight);
    l.description = QRectF(textLeft, l.title.bottom() + 3, textWidth, descHeight);
    const QRectF trailingRect(
        QPointF(width - horizontalPadding - trailing.width(), mid - trailing.height() / 2), trailing);
    (m_isGranted ? l.badge : l.configure) = trailingRect;
    l.height = height;
    return l;
}

QSize PermissionRow::sizeHint() const
{
    const int width = 560;
    return { width, qCeil(layoutFor(width).height) };
}

void PermissionRow::resizeEvent(QResizeEvent*)
{
    const Layout l = layoutFor(width());
    if (!m_isGranted)
        m_configure->setGeometry(l.configure.toAlignedRect());
}

void PermissionRow::paintEvent(QPaintEvent* event)
{
    GlassCard::paintEvent(event);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const Layout l = layoutFor(width());
    const QColor tint = this->tint();

    p.setPen(Qt::NoPen);
    p.setBrush(Shapes::withAlpha(tint, 0.12));
    p.drawEllipse(l.iconTile);
    Symbols::paint(p, l.iconTile, m_iconName, 18, tint);

    p.setFont(titleFont());
    p.setPen(ZOVAColor::label());
    p.drawText(l.title, Qt::AlignLeft | Qt::AlignVCenter, m_title);
    p.setFont(descriptionFont());
    p.setPen(ZOVAColor::secondaryLabel());
    p.drawText(l.description, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, m_description);

    if (m_isGranted) {
        const QColor emerald = ZOVAColor::emerald();
        p.fillPath(Shapes::capsule(l.badge), Shapes::withAlpha(emerald, 0.08));
        const QRectF symbol(l.badge.left() + 10, l.badge.top(), badgeSymbol, l.badge.height());
        Symbols::paint(p, symbol, QStringLiteral("checkmark.circle.fill"), badgeSymbol, emerald);
        p.setFont(badgeFont());
        p.setPen(emerald);
        p.drawText(QRectF(symbol.right() + 4, l.badge.top(), l.badge.right() - symbol.right() - 4, l.badge.height()),
            Qt::AlignLeft | Qt::AlignVCenter, grantedText());
    }
}

} // namespace zova
