#include "app/GuideCollection.h"

#include "app/GuideListRow.h"
#include "app/LibraryEmptyState.h"
#include "model/Guide.h"

#include <QSet>

namespace zova {

namespace {
constexpr int kPadding = 24;
constexpr int kColumns = 4;
constexpr int kGridSpacing = 16;
constexpr int kListSpacing = 8;
} // namespace

GuideCollection::GuideCollection(ActionsFor actionsFor, GuideCard::AiAvailable aiAvailable, QWidget* parent)
    : QWidget(parent)
    , m_actionsFor(std::move(actionsFor))
    , m_aiAvailable(std::move(aiAvailable))
{
    m_empty = new LibraryEmptyState(this);
    m_empty->hide();
    connect(m_empty, &LibraryEmptyState::newGuideRequested, this, &GuideCollection::newGuideRequested);
}

GuideCard* GuideCollection::cardFor(const Guide* guide) const { return guide ? m_cards.value(guide->id()) : nullptr; }

GuideListRow* GuideCollection::rowFor(const Guide* guide) const { return guide ? m_rows.value(guide->id()) : nullptr; }

GuideCard* GuideCollection::ensureCard(Guide* guide)
{
    GuideCard*& card = m_cards[guide->id()];
    if (!card)
        card = new GuideCard(guide, m_actionsFor(guide), m_aiAvailable, this);
    return card;
}

GuideListRow* GuideCollection::ensureRow(Guide* guide)
{
    GuideListRow*& row = m_rows[guide->id()];
    if (!row)
        row = new GuideListRow(guide, m_actionsFor(guide), this);
    return row;
}

void GuideCollection::display(const QList<Guide*>& guides, bool listMode)
{
    QSet<QUuid> visible;
    visible.reserve(guides.size());
    for (const Guide* g : guides)
        visible.insert(g->id());
    for (auto it = m_cards.cbegin(); it != m_cards.cend(); ++it)
        if (listMode || !visible.contains(it.key()))
            it.value()->hide();
    for (auto it = m_rows.cbegin(); it != m_rows.cend(); ++it)
        if (!listMode || !visible.contains(it.key()))
            it.value()->hide();
    m_shown = guides;
    m_listMode = listMode;
    relayout();
}

void GuideCollection::prune(const QList<Guide*>& live)
{
    QSet<QUuid> ids;
    for (const Guide* g : live)
        ids.insert(g->id());
    for (auto it = m_cards.begin(); it != m_cards.end();) {
        if (!ids.contains(it.key())) {
            delete it.value();
            it = m_cards.erase(it);
        } else {
            ++it;
        }
    }
    for (auto it = m_rows.begin(); it != m_rows.end();) {
        if (!ids.contains(it.key())) {
            delete it.value();
            it = m_rows.erase(it);
        } else {
            ++it;
        }
    }
    m_shown.removeIf([&](const Guide* g) { return !ids.contains(g->id()); });
}

void GuideCollection::repaintAll()
{
    for (GuideCard* c : std::as_const(m_cards))
        if (c->isVisible())
            c->update();
    for (GuideListRow* r : std::as_const(m_rows))
        if (r->isVisible())
            r->update();
}

void GuideCollection::resizeEvent(QResizeEvent*) { relayout(); }

void GuideCollection::relayout()
{
    const int w = width();
    int height = 0;
    if (m_shown.isEmpty()) {
        m_empty->setGeometry(0, 0, w, m_empty->minimumHeight());
        m_empty->show();
        height = m_empty->minimumHeight();
    } else if (m_listMode) {
        m_empty->hide();
        int y = kPadding;
        for (Guide* g : std::as_const(m_shown)) {
            GuideListRow* row = ensureRow(g);
            row->setGeometry(kPadding, y, qMax(0, w - 2 * kPadding), GuideListRow::rowHeight);
            row->show();
            y += GuideListRow::rowHeight + kListSpacing;
        }
        height = y - kListSpacing + kPadding;
    } else {
        m_empty->hide();
        const int columnWidth = qMax(10, (w - 2 * kPadding - (kColumns - 1) * kGridSpacing) / kColumns);
        int cardHeight = 0;
        int y = kPadding;
        for (qsizetype i = 0; i < m_shown.size(); ++i) {
            GuideCard* card = ensureCard(m_shown[i]);
            if (cardHeight == 0)
                cardHeight = card->heightForWidth(columnWidth);
            const int column = int(i % kColumns);
            if (column == 0 && i > 0)
                y += cardHeight + kGridSpacing;
            card->setGeometry(kPadding + column * (columnWidth + kGridSpacing), y, columnWidth, cardHeight);
            card->show();
        }
        height = y + cardHeight + kPadding;
    }
    if (height != m_contentHeight) {
        m_contentHeight = height;
        setMinimumHeight(height);
        updateGeometry();
    }
}

} // namespace zova
