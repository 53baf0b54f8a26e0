#include "app/library/GuideListRow.h"

#include "app/library/GuideCard.h"
#include "app/library/GuideCardParts.h"
#include "app/library/LibrarySort.h"
#include "app/library/RelativeDate.h"
#include "model/Guide.h"
#include "model/ScreenshotCache.h"
#include "style/CachedPaint.h"
#include "style/Shapes.h"
#include "style/Symbols.h"
#include "style/Typography.h"
#include "style/ZOVAColor.h"

#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QPainter>

namespace zova {

GuideListRow::GuideListRow(Guide* guide, GuideActions actions, ScreenshotCache* screenshots, QWidget* parent)
    : QWidget(parent)
    , m_guide(guide)
    , m_actions(std::move(actions))
    , m_screenshots(screenshots)
{
    setCursor(Qt::PointingHandCursor);
    setFixedHeight(rowHeight);
    connect(m_screenshots, &ScreenshotCache::loaded, this, [this](const QString& name) {
        if (name == m_thumbnailName)
            update();
    });
    m_watch.watch(guide, this);
}

void GuideListRow::setGuide(Guide* guide, GuideActions actions)
{
    m_watch.watch(guide, this);
    m_guide = guide;
    m_actions = std::move(actions);
    m_thumbnailName.clear();
    update();
}

QString GuideListRow::titleText() const { return m_guide ? library::displayTitle(*m_guide) : QString(); }

QString GuideListRow::stepsText() const
{
    return m_guide ? library::countText(m_guide->steps().size(), QStringLiteral("step")) : QString();
}

QString GuideListRow::dateText() const { return m_guide ? RelativeDate::named(m_guide->createdAt()) : QString(); }

QImage GuideListRow::thumbnail() const
{
    return m_guide ? m_screenshots->image(guidecard::firstScreenshotName(*m_guide), GuideCard::previewBox()) : QImage();
}

QMenu* GuideListRow::buildMenu() { return buildGuideMenu(m_actions, this); }

void GuideListRow::paintEvent(QPaintEvent*)
{
    if (!m_guide)
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF r = QRectF(rect());
    CachedPaint::paint(p, r, QStringLiteral("guideListRow"), [&](QPainter& q) {
        q.fillPath(Shapes::roundedRect(r, 10), Shapes::withAlpha(Shapes::controlBackground(), 0.35));
        Shapes::strokeInside(q, r, 10, ZOVAColor::separator(), 0.5);
    });

    const QRectF thumb(r.right() - 12 - 72, r.center().y() - 24, 72, 48);
    const qreal textRight = thumb.left() - 14;
    const QFont titleFont = Typography::semibold(13.5);
    const QFont metaFont = Typography::font(11);
    const qreal th = QFontMetricsF(titleFont).height(), mh = QFontMetricsF(metaFont).height();
    const qreal top = r.center().y() - (th + 4 + mh) / 2;
    p.setFont(titleFont);
    p.setPen(ZOVAColor::label());
    const QRectF titleRect(12, top, textRight - 12, th);
    p.drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter,
        QFontMetricsF(titleFont).elidedText(titleText(), Qt::ElideRight, titleRect.width()));

    qreal x = 12;
    const qreal y = top + th + 4;
    p.setFont(metaFont);
    const auto text = [&](const QString& s, const QColor& c) {
        p.setPen(c);
        const qreal w = QFontMetricsF(metaFont).horizontalAdvance(s);
        p.drawText(QRectF(x, y, w + 1, mh), Qt::AlignLeft | Qt::AlignVCenter, s);
        x += w + 8;
    };
    text(stepsText(), ZOVAColor::secondaryLabel());
    text(QString(QChar(0x00B7)), ZOVAColor::tertiaryLabel());
    text(dateText(), ZOVAColor::secondaryLabel());

    m_thumbnailName = guidecard::firstScreenshotName(*m_guide);
    const ScreenshotCache::Entry entry = m_screenshots->lookup(m_thumbnailName, GuideCard::previewBox());
    // While the image decodes the thumbnail's frame shows alone.
    const QString key = entry.status == ScreenshotCache::Status::Ready
        ? QStringLiteral("guideListRow/thumbnail/") + m_thumbnailName
        : entry.status == ScreenshotCache::Status::Loading ? QStringLiteral("guideListRow/loading")
                                                           : QStringLiteral("guideListRow/placeholder");
    CachedPaint::paint(p, thumb, key, [&](QPainter& q) {
        const QPainterPath clip = Shapes::roundedRect(thumb, 8);
        q.fillPath(clip, Shapes::withAlpha(Shapes::controlBackground(), 0.5));
        switch (entry.status) {
        case ScreenshotCache::Status::Ready: {
            q.save();
            q.setClipPath(clip);
            const QSizeF scaled = QSizeF(entry.image.size()).scaled(thumb.size(), Qt::KeepAspectRatioByExpanding);
            q.setRenderHint(QPainter::SmoothPixmapTransform);
            q.drawImage(QRectF(thumb.center() - QPointF(scaled.width() / 2, scaled.height() / 2), scaled), entry.image);
            q.restore();
            break;
        }
        case ScreenshotCache::Status::Loading:
        case ScreenshotCache::Status::Missing: break;
        }
        Shapes::strokeInside(q, thumb, 8, ZOVAColor::separator(), 0.5);
    });
    // Text stays out of kept images: drawn onto a translucent one it blends differently.
    if (entry.status == ScreenshotCache::Status::Missing)
        Symbols::paint(p, thumb, QStringLiteral("doc.richtext"), 16, ZOVAColor::secondaryLabel());
}

void GuideListRow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && m_actions.onOpen)
        m_actions.onOpen();
    QWidget::mouseReleaseEvent(event);
}

void GuideListRow::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = buildMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

} // namespace zova
