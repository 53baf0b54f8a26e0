#pragma once

#include "editor/rewrite/DescriptionRewriter.h"

#include <QList>
#include <QWidget>

namespace zova {

class PopoverRow;

// The "AI Rewrite" popover's content: "Rewrite this step" in one of the tones,
// and "Rewrite every step" in the professional tone (disabled without steps).
class SmartEditMenu : public QWidget {
    Q_OBJECT
public:
    static constexpr int width = 260;

    explicit SmartEditMenu(QWidget* parent = nullptr);

    // The batch row's "Professional tone, all n steps" and its enabled state.
    void setStepCount(qsizetype count);

    QList<PopoverRow*> toneRows() const { return m_toneRows; }
    PopoverRow* batchRow() const { return m_batchRow; }

signals:
    void toneChosen(zova::DescriptionRewriter::Tone tone);
    void rewriteAllChosen();

private:
    QList<PopoverRow*> m_toneRows;
    PopoverRow* m_batchRow = nullptr;
};

} // namespace zova
