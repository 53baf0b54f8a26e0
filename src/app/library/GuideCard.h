#pragma once

#include "app/library/GuideCardParts.h"
#include "app/library/GuideMenu.h"

#include "model/Guide.h"
#include <QColor>

#include <QPointer>
#include <QWidget>

#include <functional>

class QAbstractButton;

namespace zova {

class Guide;
class ScreenshotCache;

// The grid tile of one guide: title, status pill, step count, "AI written"
// badge, a 16:10 preview of the first screenshot and the relative update time.
// Painted in one pass; the preview is asked for when the card is drawn and
// decoded off the GUI thread. The library binds one card to whichever guide
// scrolls into its place.
class GuideCard : public QWidget {
    Q_OBJECT
public:
    // Whether the on-device model is available, for the badge's tooltip.
    using AiAvailable = std::function<bool()>;

    // The preview comes from `screenshots`, which outlives the card.
    GuideCard(Guide* guide, GuideActions actions, AiAvailable aiAvailable, ScreenshotCache* screenshots,
        QWidget* parent = nullptr);
    // The size the preview is asked for at.
    static QSize previewBox();

    Guide* guide() const { return m_guide; }
    // Shows another guide (the model's status is read again).
    void setGuide(Guide* guide, GuideActions actions);
    QString titleText() const;
    QString statusText() const;
    QColor statusColor() const;
    QString stepsText() const;
    bool showsAiBadge() const;
    QString aiBadgeToolTip() const;
    // The first step's screenshot, or null when the placeholder shows (read now
    // when it is not cached; painting never waits for it).
    QImage previewImage() const;
    QString placeholderLabel() const;
    QString relativeTime() const;
    QAbstractButton* moreButton() const { return m_more; }
    // A new menu of the card's three actions (the more button and the context menu).
    QMenu* buildMenu();

    // The height of every card of this width, and where its more button sits.
    static int heightFor(int width);
    static QRect moreButtonRect(int width) { return QRect(width - 10 - 26, 10, 26, 26); }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return heightFor(width); }
    QSize sizeHint() const override { return QSize(260, heightFor(260)); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Layout {
        QRectF title, meta, preview, time;
    };
    static Layout layoutFor(qreal width);
    void paintPreview(QPainter& p, const QRectF& rect);

    QPointer<Guide> m_guide;
    GuideActions m_actions;
    ScreenshotCache* m_screenshots;
    AiAvailable m_aiAvailableNow;
    bool m_aiAvailable = false;
    QString m_previewName; // the screenshot the last paint asked for
    guidecard::GuideWatch m_watch;
    QAbstractButton* m_more = nullptr;
    QRectF m_aiBadgeRect; // where the last paint put the badge
};

} // namespace zova
