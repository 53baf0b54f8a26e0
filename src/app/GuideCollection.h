#pragma once

#include "app/GuideCard.h"

#include <QHash>
#include <QList>
#include <QUuid>
#include <QWidget>

namespace zova {

class Guide;
class GuideListRow;
class LibraryEmptyState;

// The guides as a four-column grid of cards or a list of rows, or the empty
// state. Widgets are kept per guide id, so refiltering only moves them.
class GuideCollection : public QWidget {
    Q_OBJECT
public:
    // Builds the actions for one guide.
    using ActionsFor = std::function<GuideActions(Guide*)>;
    GuideCollection(ActionsFor actionsFor, GuideCard::AiAvailable aiAvailable, QWidget* parent = nullptr);

    void display(const QList<Guide*>& guides, bool listMode);
    // Drops the widgets of guides that are gone.
    void prune(const QList<Guide*>& live);
    void repaintAll();

    bool isListMode() const { return m_listMode; }
    const QList<Guide*>& shown() const { return m_shown; }
    GuideCard* cardFor(const Guide* guide) const;
    GuideListRow* rowFor(const Guide* guide) const;
    LibraryEmptyState* emptyState() const { return m_empty; }

    QSize sizeHint() const override { return QSize(800, m_contentHeight); }

signals:
    void newGuideRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void relayout();
    GuideCard* ensureCard(Guide* guide);
    GuideListRow* ensureRow(Guide* guide);

    ActionsFor m_actionsFor;
    GuideCard::AiAvailable m_aiAvailable;
    QHash<QUuid, GuideCard*> m_cards;
    QHash<QUuid, GuideListRow*> m_rows;
    QList<Guide*> m_shown;
    bool m_listMode = false;
    LibraryEmptyState* m_empty;
    int m_contentHeight = 0;
};

} // namespace zova
