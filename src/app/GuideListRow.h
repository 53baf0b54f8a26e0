#pragma once

#include "app/GuideMenu.h"

#include "model/Guide.h"

#include <QPointer>
#include <QWidget>

namespace zova {

class Guide;

// One guide in the list layout: title, step count and creation date, thumbnail.
class GuideListRow : public QWidget {
    Q_OBJECT
public:
    GuideListRow(Guide* guide, GuideActions actions, QWidget* parent = nullptr);

    Guide* guide() const { return m_guide; }
    QString titleText() const;
    QString stepsText() const;
    QString dateText() const;
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
};

} // namespace zova
