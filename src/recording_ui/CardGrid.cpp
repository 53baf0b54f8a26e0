#include "recording_ui/CardGrid.h"

#include "recording_ui/TargetCard.h"
#include "recording_ui/WindowCard.h"

#include <QEvent>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace zova {

CardGrid::CardGrid(int count, Factory factory, QWidget* parent)
    : QWidget(parent)
    , m_factory(std::move(factory))
    , m_cards(count, nullptr)
{
}

CardGrid::~CardGrid() { detach(); }

void CardGrid::detach()
{
    if (!m_area)
        return;
    m_area->viewport()->removeEventFilter(this);
    disconnect(m_area->verticalScrollBar(), nullptr, this, nullptr);
    m_area = nullptr;
}

void CardGrid::attach(QScrollArea* area)
{
    m_area = area;
    area->setWidget(this);
    area->viewport()->installEventFilter(this);
    connect(area->verticalScrollBar(), &QScrollBar::valueChanged, this, &CardGrid::updateVisibleCards);
    relayout();
}

TargetCard* CardGrid::cardAt(int index) const
{
    return index >= 0 && index < m_cards.size() ? m_cards[index] : nullptr;
}

int CardGrid::builtCount() const
{
    return int(std::count_if(m_cards.begin(), m_cards.end(), [](TargetCard* c) { return c != nullptr; }));
}

int CardGrid::columnWidth() const
{
    const int viewport = m_area ? m_area->viewport()->width() : width();
    return std::max(10, (viewport - 2 * padding - (columns - 1) * spacing) / columns);
}

int CardGrid::rowHeight() const { return TargetCard::heightForCardWidth(columnWidth()); }

QRect CardGrid::cellRect(int index) const
{
    const int w = columnWidth();
    const int h = rowHeight();
    const int row = index / columns;
    const int column = index % columns;
    return { padding + column * (w + spacing), padding + row * (h + spacing), w, h };
}

void CardGrid::relayout()
{
    const int rows = (int(m_cards.size()) + columns - 1) / columns;
    const int height = 2 * padding + rows * rowHeight() + std::max(0, rows - 1) * spacing;
    const int viewportWidth = m_area ? m_area->viewport()->width() : width();
    resize(viewportWidth, height);
    for (int i = 0; i < m_cards.size(); ++i)
        if (m_cards[i])
            m_cards[i]->setGeometry(cellRect(i));
    updateVisibleCards();
}

void CardGrid::updateVisibleCards()
{
    if (!m_area)
        return;
    const int top = m_area->verticalScrollBar()->value();
    const QRect visible(0, top, width(), m_area->viewport()->height());
    const bool shown = m_area->isVisible();
    for (int i = 0; i < m_cards.size(); ++i) {
        const bool inView = shown && visible.intersects(cellRect(i));
        if (inView && !m_cards[i]) {
            m_cards[i] = m_factory(i, this);
            m_cards[i]->setGeometry(cellRect(i));
            m_cards[i]->show();
        }
        if (auto* card = qobject_cast<WindowCard*>(m_cards[i]))
            card->setOnScreen(inView);
    }
}

bool CardGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (m_area && watched == m_area->viewport()) {
        if (event->type() == QEvent::Resize)
            relayout();
        else if (event->type() == QEvent::Show || event->type() == QEvent::Hide)
            updateVisibleCards();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace zova
