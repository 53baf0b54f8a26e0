#pragma once

#include "app/library/GuideCardParts.h"
#include "app/library/GuideMenu.h"

#include "model/Guide.h"

#include <QPointer>
#include <QWidget>

namespace zova {

class Guide;
class ScreenshotCache;

// One guide in the list layout: title, step count and creation date, thumbnail
// (decoded off the GUI thread).
class GuideListRow : public QWidget {
    Q_OBJECT
public:
    // The thumbnail comes from `screenshots`, which outlives the row.
    GuideListRow(Guide* guide, GuideActions actions, ScreenshotCache* screenshots, QWidget* parent = nullptr);

    Guide* guide() const { return m_guide; }
    // Shows another guide.
    void setGuide(Guide* guide, GuideActions actions);
    QString titleText() const;
    QString stepsText() const;
    QString dateText() const;
    // The first step's screenshot, or null when the placeholder shows (read now
    // when it is not cached; painting never waits for it).
    QImage thumbnail() const;
    QMenu* buildMenu();

    static constexpr int rowHeight = 68;
    QSize sizeHint() const override { return QSize(600, rowHeight); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QPointer<Guide> m_guide;
    GuideActions m_actions;
    ScreenshotCache* m_screenshots;
    QString m_thumbnailName; // the screenshot the last paint asked for
    guidecard::GuideWatch m_watch;
};

} // namespace zova
