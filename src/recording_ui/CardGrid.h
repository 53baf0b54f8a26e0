#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

#include <functional>

class QScrollArea;

namespace zova {

class TargetCard;

// A lazily built grid of cards inside a scroll area: three equal columns, 14
// apart, padded 20. A card is made only when its row first scrolls into view;
// window cards are told when they enter and leave the visible part.
class CardGrid final : public QWidget {
    Q_OBJECT
public:
    using Factory = std::function<TargetCard*(int index, QWidget* parent)>;

    static constexpr int columns = 3;
    static constexpr int spacing = 14;
    static constexpr int padding = 20;

    CardGrid(int count, Factory factory, QWidget* parent = nullptr);
    // Becomes the scroll area's widget and follows its viewport and scrolling.
    void attach(QScrollArea* area);
    // Stops following the scroll area (before it is taken out of it).
    void detach();
    ~CardGrid() override;

    int count() const { return m_cards.size(); }
    // Null until the card has been made.
    TargetCard* cardAt(int index) const;
    int builtCount() const;
    QRect cellRect(int index) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void relayout();
    void updateVisibleCards();
    int columnWidth() const;
    int rowHeight() const;

    Factory m_factory;
    QPointer<QScrollArea> m_area;
    QList<TargetCard*> m_cards;
};

} // namespace zova
