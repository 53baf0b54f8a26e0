#pragma once

#include "editor/list/StepListLayout.h"
#include "editor/list/StepRowPainter.h"

#include <QAbstractScrollArea>
#include <QPointer>
#include <QUuid>
#include <QVariantAnimation>
#include <QVariantList>

#include <optional>

class QMimeData;

namespace zova {

class EditorController;
class ScreenshotCache;

// The painted list of a guide's steps: rows with badge, label and thumbnail, the
// drop gaps between them, and the invisible auto-scroll strips while a row is
// dragged. Clicks, the context menu, drags and drops go to the controller; the
// list keeps no selection or drag state of its own.
class StepListView : public QAbstractScrollArea {
    Q_OBJECT
    // Visible rows for outside drivers: maps of name, rect (this widget's coordinates) and text.
    Q_PROPERTY(QVariantList dumpItems READ dumpItems)
public:
    // Thumbnails come from `screenshots`, which outlives the list.
    StepListView(EditorController* controller, ScreenshotCache* screenshots, QWidget* parent = nullptr);

    // Row rectangles in viewport coordinates, in order; empty for a row out of range.
    QRect rowRect(int index) const;
    const step_list::Layout& rowLayout() const { return m_layout; }
    QVariantList dumpItems() const;
    // The size thumbnails are asked for at: that of the widest row the column has.
    QSize thumbnailBox() const;
    // The row a click at a viewport point hits, or -1.
    int rowAt(QPoint viewportPoint) const;

    // The handlers of a drag over the list, also for tests without a drag session.
    bool acceptsPayload(const QMimeData* mime) const;
    void dragMovedTo(QPoint viewportPoint);
    void dragLeft();
    bool dropAt(QPoint viewportPoint, const QMimeData* mime);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void rebuild();
    void updateScrollRange();
    void thumbnailLoaded(const QString& filename);
    void startDrag(const QUuid& id);
    void scrollToGap(int gap, ScrollDirection direction);
    int rowWidth() const;
    int offset() const;
    std::optional<ScrollDirection> edgeAt(QPoint viewportPoint) const;

    struct Row {
        QUuid id;
        int number = 1;
        QString label;
        QString filename;
        bool hasThumbnail = false;
    };

    QPointer<EditorController> m_controller;
    QPointer<ScreenshotCache> m_thumbnails;
    QList<Row> m_rows;
    step_list::Layout m_layout;
    int m_layoutWidth = -1;
    std::optional<QUuid> m_pressedId;
    QPoint m_pressPos;
    QVariantAnimation m_scrollAnimation;
};

} // namespace zova
