#pragma once

#include "app/GuideMenu.h"

#include "model/Guide.h"
#include <QColor>

#include <QPointer>
#include <QWidget>

#include <functional>

class QAbstractButton;

namespace zova {

class Guide;

// The grid tile of one guide: title, status pill, step count, "AI written"
// badge, a 16:10 preview of the first screenshot and the relative update time.
// Painted in one pass; the preview image is read only when the card is drawn.
class GuideCard : public QWidget {
    Q_OBJECT
public:
    // Whether the on-device model is available, for the badge's tooltip.
    using AiAvailable = std::function<bool()>;

    GuideCard(Guide* guide, GuideActions actions, AiAvailable aiAvailable, QWidget* parent = nullptr);

    Guide* guide() const { return m_guide; }
    QString titleText() const;
    QString statusText() const;
    QColor statusColor() const;
    QString stepsText() const;
    bool showsAiBadge() const;
    QString aiBadgeToolTip() const;
    // The first step's screenshot, or null when the placeholder shows.
    QImage previewImage() const;
    QString placeholderLabel() const;
    QString relativeTime() const;
    QAbstractButton* moreButton() const { return m_more; }
    // A new menu of the card's three actions (the more button and the context menu).
    QMenu* buildMenu();

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override { return QSize(260, heightForWidth(260)); }

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
    Layout layoutFor(qreal width) const;

    QPointer<Guide> m_guide;
    GuideActions m_actions;
    bool m_aiAvailable = false;
    QAbstractButton* m_more = nullptr;
    QRectF m_aiBadgeRect; // where the last paint put the badge
};

} // namespace zova
