#include "app/library/GuideCollection.h"

#include "app/library/GuideListRow.h"
#include "app/library/LibraryEmptyState.h"
#include "model/Guide.h"

#include <QAbstractButton>
#include <QApplication>
#include <QScrollBar>
#include <QSet>

#include <vector>

namespace zova {

namespace {
constexpr int margin = 24;
constexpr int gridColumns = 4;
constexpr int gridSpacing = 16;
constexpr int listSpacing = 8;
// A scroll area's step for a line (a wheel notch scrolls three).
constexpr int scrollStep = 20;
} // namespace

GuideCollection::GuideCollection(
    ActionsFor actionsFor, GuideCard::AiAvailable aiAvailable, ScreenshotCache* screenshots, QWidget* parent)
    : QAbstractScrollArea(parent)
    , m_actionsFor(std::move(actionsFor))
    , m_aiAvailable(std::move(aiAvailable))
    , m_screenshots(screenshots)
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAutoFillBackground(false);
    viewport()->setBackgroundRole(QPalette::NoRole);
    viewport()->setAutoFillBackground(false);
    verticalScrollBar()->setSingleStep(scrollStep);
    m_empty = new LibraryEmptyState(viewport());
    m_empty->hide();
    connect(m_empty, &LibraryEmptyState::newGuideRequested, this, &GuideCollection::newGuideRequested);
}

GuideCard* GuideCollection::cardFor(const Guide* guide) const
{
    return guide ? m_cards.bound.value(guide->id()) : nullptr;
}

GuideListRow* GuideCollection::rowFor(const Guide* guide) const
{
    return guide ? m_rows.bound.value(guide->id()) : nullptr;
}

GuideCard* GuideCollection::makeCard() { return new GuideCard(nullptr, {}, m_aiAvailable, m_screenshots, viewport()); }

GuideListRow* GuideCollection::makeRow() { return new GuideListRow(nullptr, {}, m_screenshots, viewport()); }

void GuideCollection::display(const QList<Guide*>& guides, bool listMode)
{
    m_shown = guides;
    m_listMode = listMode;
    relayout();
}

void GuideCollection::prune(const QList<Guide*>& live)
{
    QSet<QUuid> ids;
    ids.reserve(live.size());
    for (const Guide* g : live)
        ids.insert(g->id());
    m_shown.removeIf([&](const Guide* g) { return !ids.contains(g->id()); });
    const auto drop = [&](auto& pool) {
        for (auto it = pool.bound.begin(); it != pool.bound.end();) {
            if (ids.contains(it.key())) {
                ++it;
                continue;
            }
            it.value()->hide();
            pool.spare.prepend(it.value());
            it = pool.bound.erase(it);
        }
    };
    drop(m_cards);
    drop(m_rows);
}

void GuideCollection::repaintAll()
{
    for (GuideCard* c : std::as_const(m_cards.bound))
        c->update();
    for (GuideListRow* r : std::as_const(m_rows.bound))
        r->update();
}

GuideCollection::Grid GuideCollection::grid() const
{
    const int w = viewport()->width();
    if (m_listMode)
        return { 1, qMax(0, w - 2 * margin), GuideListRow::rowHeight, listSpacing };
    const int columnWidth = qMax(10, (w - 2 * margin - (gridColumns - 1) * gridSpacing) / gridColumns);
    return { gridColumns, columnWidth, GuideCard::heightFor(columnWidth), gridSpacing };
}

QRect GuideCollection::itemRect(qsizetype index) const
{
    const Grid g = grid();
    const int row = int(index / g.columns), column = int(index % g.columns);
    return QRect(margin + column * (g.itemWidth + g.spacing), margin + row * (g.itemHeight + g.spacing), g.itemWidth,
        g.itemHeight);
}

void GuideCollection::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    relayout();
}

void GuideCollection::scrollContentsBy(int, int)
{
    // The widgets are placed anew rather than the viewport's pixels moved.
    if (!m_relayingOut)
        relayout();
}

void GuideCollection::relayout()
{
    m_relayingOut = true;
    const Grid g = grid();
    const int viewHeight = viewport()->height();
    const qsizetype count = m_shown.size();
    const qsizetype rows = (count + g.columns - 1) / g.columns;
    m_contentHeight
        = count == 0 ? m_empty->minimumHeight() : int(2 * margin + rows * g.itemHeight + (rows - 1) * g.spacing);
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, qMax(0, m_contentHeight - viewHeight));
    bar->setPageStep(viewHeight);
    const int top = bar->value();

    qsizetype first = 0, last = 0;
    if (count > 0) {
        const int stride = g.itemHeight + g.spacing;
        const qsizetype firstRow = qMax(0, top - margin) / stride;
        const qsizetype lastRow = qMin(rows - 1, qsizetype(qMax(0, top + viewHeight - 1 - margin) / stride));
        first = qMin(count, firstRow * g.columns);
        last = qMin(count, (lastRow + 1) * g.columns);
    }
    const qsizetype pinned = m_listMode ? -1 : focusedIndex();
    if (count == 0) {
        releaseAll(m_cards);
        releaseAll(m_rows);
        m_empty->setGeometry(0, -top, viewport()->width(), m_empty->minimumHeight());
        m_empty->show();
    } else {
        m_empty->hide();
        if (m_listMode) {
            releaseAll(m_cards);
            place(m_rows, first, last, pinned);
        } else {
            releaseAll(m_rows);
            place(m_cards, first, last, pinned);
        }
    }
    chainFocus(first, m_listMode || count == 0 ? first : last);
    m_relayingOut = false;
}

template <typename W> void GuideCollection::releaseAll(Pool<W>& pool)
{
    for (W* w : std::as_const(pool.bound)) {
        w->hide();
        pool.spare.prepend(w);
    }
    pool.bound.clear();
}

template <typename W> void GuideCollection::place(Pool<W>& pool, qsizetype first, qsizetype last, qsizetype pinned)
{
    std::vector<qsizetype> wanted;
    wanted.reserve(size_t(last - first + 1));
    for (qsizetype i = first; i < last; ++i)
        wanted.push_back(i);
    if (pinned >= 0 && (pinned < first || pinned >= last))
        wanted.push_back(pinned);

    // A guide still in view keeps its widget; the others' widgets are rebound,
    // those still on screen first (showing a hidden one asks the X server where
    // the pointer is).
    QHash<QUuid, W*> kept;
    kept.reserve(qsizetype(wanted.size()));
    for (qsizetype i : wanted) {
        const QUuid id = m_shown[i]->id();
        if (W* w = pool.bound.take(id))
            kept.insert(id, w);
    }
    QWidget* focus = QApplication::focusWidget();
    for (W* w : std::as_const(pool.bound)) {
        if (focus && w->isAncestorOf(focus)) {
            w->hide(); // never hand the focus on to another guide
            pool.spare.prepend(w);
        } else {
            pool.spare.append(w);
        }
    }
    pool.bound = std::move(kept);

    const int top = verticalScrollBar()->value();
    for (qsizetype i : wanted) {
        Guide* guide = m_shown[i];
        W*& w = pool.bound[guide->id()];
        if (!w) {
            if (pool.spare.isEmpty()) {
                if constexpr (std::is_same_v<W, GuideCard>)
                    w = makeCard();
                else
                    w = makeRow();
            } else {
                w = pool.spare.takeLast();
            }
            w->setGuide(guide, m_actionsFor(guide));
        }
        w->setGeometry(itemRect(i).translated(0, -top));
        if (w->isHidden())
            w->show();
    }
    for (W* w : std::as_const(pool.spare))
        if (!w->isHidden())
            w->hide();
}

void GuideCollection::chainFocus(qsizetype first, qsizetype last)
{
    // Tab walks the cards in view in the order they are shown.
    QList<GuideCard*> chain;
    for (qsizetype i = first; i < last; ++i)
        chain.append(m_cards.bound.value(m_shown[i]->id()));
    if (chain == m_focusChain)
        return;
    m_focusChain = chain;
    QWidget* previous = this;
    for (GuideCard* card : std::as_const(chain)) {
        QWidget::setTabOrder(previous, card->moreButton());
        previous = card->moreButton();
    }
}

qsizetype GuideCollection::focusedIndex() const
{
    QWidget* focus = QApplication::focusWidget();
    if (!focus || !viewport()->isAncestorOf(focus))
        return -1;
    for (QWidget* w = focus; w && w != viewport(); w = w->parentWidget())
        if (auto* card = qobject_cast<GuideCard*>(w))
            return card->guide() ? m_shown.indexOf(card->guide()) : -1;
    return -1;
}

void GuideCollection::ensureVisible(const QRect& contentRect, int margin)
{
    QScrollBar* bar = verticalScrollBar();
    const int viewHeight = viewport()->height();
    const QRect visible(0, bar->value(), viewport()->width(), viewHeight);
    if (visible.contains(contentRect))
        return;
    const QRect r = contentRect.adjusted(0, -margin, 0, margin);
    if (r.height() > viewHeight)
        bar->setValue(r.center().y() - viewHeight / 2);
    else if (r.bottom() > visible.bottom())
        bar->setValue(r.bottom() - viewHeight + 1);
    else if (r.top() < visible.top())
        bar->setValue(r.top());
}

bool GuideCollection::focusNextPrevChild(bool next)
{
    // From a card's more button to the next guide's, which may not be in view yet.
    if (const qsizetype i = m_relayingOut ? -1 : focusedIndex(); i >= 0) {
        const qsizetype target = i + (next ? 1 : -1);
        if (target >= 0 && target < m_shown.size()) {
            const QRect item = itemRect(target);
            ensureVisible(GuideCard::moreButtonRect(item.width()).translated(item.topLeft()));
            if (GuideCard* card = cardFor(m_shown[target])) {
                card->moreButton()->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
                return true;
            }
        }
    }
    if (!QAbstractScrollArea::focusNextPrevChild(next))
        return false;
    // Like a scroll area, bring a child that took the focus into view.
    if (QWidget* focus = QApplication::focusWidget(); focus && viewport()->isAncestorOf(focus)) {
        const QRect r(focus->mapTo(viewport(), QPoint(0, 0)), focus->size());
        ensureVisible(r.translated(0, verticalScrollBar()->value()));
    }
    return true;
}

} // namespace zova
