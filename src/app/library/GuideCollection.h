#pragma once

#include "app/library/GuideCard.h"

#include <QAbstractScrollArea>
#include <QHash>
#include <QList>
#include <QUuid>

namespace zova {

class Guide;
class GuideListRow;
class LibraryEmptyState;

// The guides as a four-column grid of cards or a list of rows, or the empty
// state, in a scroll area without visible bars. Only the cards and rows that
// meet the viewport exist as widgets: they are kept in a pool and bound to
// whichever guides scroll into view, so re-filtering or scrolling rebinds a
// screenful of widgets whatever the number of guides. A guide that stays in
// view keeps its widget; the card holding the keyboard focus keeps its guide
// while it scrolls out of view.
class GuideCollection : public QAbstractScrollArea {
    Q_OBJECT
public:
    // Builds the actions for one guide.
    using ActionsFor = std::function<GuideActions(Guide*)>;
    // Cards and rows take their pictures from `screenshots`, which outlives them.
    GuideCollection(ActionsFor actionsFor, GuideCard::AiAvailable aiAvailable, ScreenshotCache* screenshots,
        QWidget* parent = nullptr);

    void display(const QList<Guide*>& guides, bool listMode);
    // Drops the guides that are gone.
    void prune(const QList<Guide*>& live);
    // Repaints the cards and rows in view.
    void repaintAll();

    bool isListMode() const { return m_listMode; }
    const QList<Guide*>& shown() const { return m_shown; }
    // The widget showing the guide; null when it is not in view.
    GuideCard* cardFor(const Guide* guide) const;
    GuideListRow* rowFor(const Guide* guide) const;
    LibraryEmptyState* emptyState() const { return m_empty; }
    // The whole height of the content, as if every guide had its widget.
    int contentHeight() const { return m_contentHeight; }
    // Where the guide at this index of shown() lies in the content.
    QRect itemRect(qsizetype index) const;
    // Scrolls as little as needed to bring the content rect into view with
    // margins, as a scroll area does for a child that takes the focus.
    void ensureVisible(const QRect& contentRect, int margin = 50);

signals:
    void newGuideRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool focusNextPrevChild(bool next) override;

private:
    template <typename W> struct Pool {
        QHash<QUuid, W*> bound;
        QList<W*> spare;
    };
    struct Grid {
        int columns = 1;
        int itemWidth = 0;
        int itemHeight = 0;
        int spacing = 0;
    };
    Grid grid() const;
    void relayout();
    template <typename W> void place(Pool<W>& pool, qsizetype first, qsizetype last, qsizetype pinned);
    template <typename W> void releaseAll(Pool<W>& pool);
    void chainFocus(qsizetype first, qsizetype last);
    // The index in shown() of the guide whose card holds the focus; -1 when none.
    qsizetype focusedIndex() const;
    GuideCard* makeCard();
    GuideListRow* makeRow();

    ActionsFor m_actionsFor;
    GuideCard::AiAvailable m_aiAvailable;
    ScreenshotCache* m_screenshots;
    Pool<GuideCard> m_cards;
    Pool<GuideListRow> m_rows;
    QList<GuideCard*> m_focusChain;
    QList<Guide*> m_shown;
    bool m_listMode = false;
    bool m_relayingOut = false;
    LibraryEmptyState* m_empty;
    int m_contentHeight = 0;
};

} // namespace zova
