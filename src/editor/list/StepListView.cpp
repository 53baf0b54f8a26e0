#include "editor/list/StepListView.h"

#include "editor/EditorController.h"
#include "editor/list/SelectionRules.h"
#include "editor/list/StepDragPayload.h"
#include "editor/list/StepRowMenu.h"
#include "model/Guide.h"
#include "model/ScreenshotCache.h"
#include "model/Step.h"
#include "style/ZOVAColor.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>

namespace zova {

StepListView::StepListView(EditorController* controller, ScreenshotCache* thumbnails, QWidget* parent)
    : QAbstractScrollArea(parent)
    , m_controller(controller)
    , m_thumbnails(thumbnails)
{
    setObjectName(QStringLiteral("stepList"));
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setAcceptDrops(true);
    setFocusPolicy(Qt::ClickFocus);
    viewport()->setAutoFillBackground(false);
    viewport()->setAcceptDrops(true);
    verticalScrollBar()->setSingleStep(20);
    m_scrollAnimation.setDuration(150);
    m_scrollAnimation.setEasingCurve(QEasingCurve::InOutQuad);
    connect(&m_scrollAnimation, &QVariantAnimation::valueChanged, this,
        [this](const QVariant& value) { verticalScrollBar()->setValue(value.toInt()); });

    connect(controller, &EditorController::stepsChanged, this, &StepListView::rebuild);
    connect(controller, &EditorController::selectionChanged, viewport(), qOverload<>(&QWidget::update));
    connect(controller, &EditorController::dragChanged, viewport(), qOverload<>(&QWidget::update));
    connect(controller, &EditorController::autoScrollRequested, this, &StepListView::scrollToGap);
    if (thumbnails)
        connect(thumbnails, &ScreenshotCache::loaded, this, &StepListView::thumbnailLoaded);
    rebuild();
}

int StepListView::rowWidth() const { return std::max(1, viewport()->width() - 2 * step_list::sidePadding); }

QSize StepListView::thumbnailBox() const
{
    return step_row::thumbnailBox(width() - 2 * step_list::sidePadding, devicePixelRatioF());
}

int StepListView::offset() const { return verticalScrollBar()->value(); }

std::optional<ScrollDirection> StepListView::edgeAt(QPoint viewportPoint) const
{
    const QScrollBar* bar = verticalScrollBar();
    return step_list::edgeZoneAt(
        viewportPoint.y(), viewport()->height(), bar->value() > bar->minimum(), bar->value() < bar->maximum());
}

void StepListView::rebuild()
{
    m_rows.clear();
    QList<int> heights;
    const int width = rowWidth();
    if (m_controller) {
        for (const Step* s : m_controller->orderedSteps()) {
            Row row;
            row.id = s->id();
            row.number = int(s->order() + 1);
            row.label = s->displayLabel();
            row.filename = s->screenshotFilename();
            // The space stays while the image loads, so rows do not jump when it arrives.
            const std::optional<QString> path = m_controller->files().path(row.filename);
            const bool missing = m_thumbnails && m_thumbnails->isMissing(row.filename);
            row.hasThumbnail = path && !missing && QFileInfo::exists(*path);
            // A miss old enough is looked for again; a file found makes the row grow.
            if (missing)
                m_thumbnails->lookup(row.filename, thumbnailBox());
            heights.append(step_row::height(row.label, row.hasThumbnail, width));
            m_rows.append(row);
        }
    }
    m_layout = step_list::layout(heights);
    m_layoutWidth = width;
    updateScrollRange();
    viewport()->update();
}

void StepListView::updateScrollRange()
{
    QScrollBar* bar = verticalScrollBar();
    bar->setPageStep(viewport()->height());
    bar->setRange(0, std::max(0, m_layout.height - viewport()->height()));
}

void StepListView::thumbnailLoaded(const QString& filename)
{
    if (!m_thumbnails)
        return;
    for (const Row& row : m_rows) {
        if (row.filename != filename)
            continue;
        if (row.hasThumbnail == m_thumbnails->isMissing(filename))
            rebuild();
        else
            viewport()->update();
        return;
    }
}

QRect StepListView::rowRect(int index) const
{
    if (index < 0 || index >= m_layout.count())
        return {};
    return QRect(step_list::sidePadding, m_layout.rowTops[index] - offset(), rowWidth(), m_layout.rowHeights[index]);
}

int StepListView::rowAt(QPoint viewportPoint) const
{
    if (viewportPoint.x() < step_list::sidePadding || viewportPoint.x() >= step_list::sidePadding + rowWidth())
        return -1;
    return m_layout.rowIndexAt(viewportPoint.y() + offset());
}

QVariantList StepListView::dumpItems() const
{
    QVariantList items;
    const QRect visible = viewport()->rect();
    for (int i = 0; i < m_rows.size(); ++i) {
        const QRect rect = rowRect(i);
        if (!rect.intersects(visible))
            continue;
        QVariantMap item;
        item.insert(QStringLiteral("name"), QStringLiteral("stepRow"));
        item.insert(QStringLiteral("rect"), rect.intersected(visible).translated(viewport()->pos()));
        item.insert(QStringLiteral("text"), m_rows[i].label);
        items.append(item);
    }
    return items;
}

void StepListView::paintEvent(QPaintEvent*)
{
    if (!m_controller)
        return;
    QPainter painter(viewport());
    const EditorState& state = m_controller->state();
    const QRect visible = viewport()->rect();
    const Guide* guide = m_controller->guide();
    const AccentHue hue
        = guide ? accent_hue::fromRawValue(guide->themeHueRaw()).value_or(AccentHue::Pink) : AccentHue::Pink;
    for (int i = 0; i < m_rows.size(); ++i) {
        const QRect rect = rowRect(i);
        if (!rect.intersects(visible))
            continue;
        const Row& row = m_rows[i];
        step_row::Look look;
        look.number = row.number;
        look.hue = hue;
        look.label = row.label;
        look.focused = state.selection.focused == row.id;
        look.selected = state.selection.selected.contains(row.id);
        look.dragged = state.drag.dragging == row.id;
        look.hasThumbnail = row.hasThumbnail;
        if (row.hasThumbnail && m_thumbnails)
            look.thumbnail = m_thumbnails->lookup(row.filename, thumbnailBox()).image;
        step_row::paint(painter, rect, look);
    }
    if (state.drag.dragging && state.drag.dropGap && *state.drag.dropGap < m_layout.gapTops.size()) {
        const int top = m_layout.gapTops[*state.drag.dropGap] - offset() + (step_list::gapHeight - 3) / 2;
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(ZOVAColor::accent());
        painter.drawRoundedRect(
            QRectF(step_list::sidePadding * 2, top, rowWidth() - step_list::sidePadding * 2, 3), 1.5, 1.5);
    }
}

void StepListView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    if (rowWidth() != m_layoutWidth)
        rebuild();
    else
        updateScrollRange();
}

void StepListView::scrollContentsBy(int, int) { viewport()->update(); }

void StepListView::mousePressEvent(QMouseEvent* event)
{
    m_pressedId.reset();
    const int index = rowAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index >= 0) {
        m_pressedId = m_rows[index].id;
        m_pressPos = event->position().toPoint();
    }
    QAbstractScrollArea::mousePressEvent(event);
}

void StepListView::mouseMoveEvent(QMouseEvent* event)
{
    if (m_pressedId && (event->buttons() & Qt::LeftButton)
        && (event->position().toPoint() - m_pressPos).manhattanLength() >= QApplication::startDragDistance()) {
        const QUuid id = *m_pressedId;
        m_pressedId.reset();
        startDrag(id);
        return;
    }
    QAbstractScrollArea::mouseMoveEvent(event);
}

void StepListView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_pressedId && m_controller) {
        const int index = rowAt(event->position().toPoint());
        if (index >= 0 && m_rows[index].id == *m_pressedId)
            m_controller->list().clickRow(*m_pressedId, selection::clickKind(event->modifiers()));
    }
    m_pressedId.reset();
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void StepListView::contextMenuEvent(QContextMenuEvent* event)
{
    // Through the viewport, so the position is the viewport's.
    const int index = rowAt(event->pos());
    if (index < 0 || !m_controller)
        return;
    QMenu* menu = buildStepRowMenu(m_controller, m_rows[index].id, this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void StepListView::startDrag(const QUuid& id)
{
    if (!m_controller)
        return;
    const int index = m_controller->positionOf(id);
    if (index < 0)
        return;
    const Row row = m_rows.value(index);
    auto* mime = new QMimeData;
    mime->setData(step_drag::mimeType(), step_drag::encode(id));
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    const Guide* guide = m_controller->guide();
    drag->setPixmap(step_row::dragPreview(row.number,
        guide ? accent_hue::fromRawValue(guide->themeHueRaw()).value_or(AccentHue::Pink) : AccentHue::Pink, row.label,
        devicePixelRatioF()));
    QPointer<EditorController> controller(m_controller);
    controller->list().beginDrag(id);
    drag->exec(Qt::MoveAction);
    // However the drag ended (a drop anywhere, Escape, a release outside), its state goes.
    if (controller)
        controller->list().endDrag();
}

void StepListView::scrollToGap(int gap, ScrollDirection direction)
{
    const int target
        = step_list::scrollOffsetFor(m_layout, gap, direction, viewport()->height(), verticalScrollBar()->maximum());
    m_scrollAnimation.stop();
    m_scrollAnimation.setStartValue(verticalScrollBar()->value());
    m_scrollAnimation.setEndValue(target);
    m_scrollAnimation.start();
}

bool StepListView::acceptsPayload(const QMimeData* mime) const
{
    return mime && mime->hasFormat(step_drag::mimeType()) && step_drag::decode(mime->data(step_drag::mimeType()));
}

void StepListView::dragMovedTo(QPoint viewportPoint)
{
    if (!m_controller)
        return;
    const std::optional<ScrollDirection> edge = edgeAt(viewportPoint);
    m_controller->list().setEdgeHover(ScrollDirection::Up, edge == ScrollDirection::Up);
    m_controller->list().setEdgeHover(ScrollDirection::Down, edge == ScrollDirection::Down);
    const std::optional<int> current = m_controller->state().drag.dropGap;
    if (edge) {
        // The strips lie over the list: the gaps under them are not targets.
        if (current)
            m_controller->list().leaveDropGap(*current);
        return;
    }
    const std::optional<QUuid> dragging = m_controller->state().drag.dragging;
    const int dragged = dragging ? m_controller->positionOf(*dragging) : -1;
    const std::optional<int> gap = step_list::gapAt(
        m_layout, viewportPoint.y() + offset(), dragged >= 0 ? std::optional<int>(dragged) : std::nullopt);
    if (gap)
        m_controller->list().enterDropGap(*gap);
    else if (current)
        m_controller->list().leaveDropGap(*current);
}

void StepListView::dragLeft()
{
    if (!m_controller)
        return;
    m_controller->list().setEdgeHover(ScrollDirection::Up, false);
    m_controller->list().setEdgeHover(ScrollDirection::Down, false);
    if (const std::optional<int> current = m_controller->state().drag.dropGap)
        m_controller->list().leaveDropGap(*current);
}

bool StepListView::dropAt(QPoint viewportPoint, const QMimeData* mime)
{
    if (!m_controller)
        return false;
    std::optional<int> gap;
    if (!edgeAt(viewportPoint)) {
        const std::optional<QUuid> dragging = m_controller->state().drag.dragging;
        const int dragged = dragging ? m_controller->positionOf(*dragging) : -1;
        gap = step_list::gapAt(
            m_layout, viewportPoint.y() + offset(), dragged >= 0 ? std::optional<int>(dragged) : std::nullopt);
    }
    return m_controller->list().drop(mime ? mime->data(step_drag::mimeType()) : QByteArray(), gap);
}

void StepListView::dragEnterEvent(QDragEnterEvent* event)
{
    if (!acceptsPayload(event->mimeData())) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    dragMovedTo(event->position().toPoint());
}

void StepListView::dragMoveEvent(QDragMoveEvent* event)
{
    if (!acceptsPayload(event->mimeData())) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    dragMovedTo(event->position().toPoint());
}

void StepListView::dragLeaveEvent(QDragLeaveEvent* event)
{
    dragLeft();
    event->accept();
}

void StepListView::dropEvent(QDropEvent* event)
{
    if (dropAt(event->position().toPoint(), event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

} // namespace zova
