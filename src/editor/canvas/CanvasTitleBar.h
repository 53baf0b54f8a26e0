#pragma once

#include "editor/marks/AnnotationToolbar.h"

#include <QColor>
#include <QMenu>
#include <QPointer>
#include <QWidget>

class QAbstractButton;

namespace zova {

class EditorController;
class PillButton;
class StepBadge;
class TextLine;

// The 44 px strip over the canvas: the focused step's badge and number (or
// "Guide editor"), a slot for the annotation tools, the background colour
// button, and Add step, Crop, Edit in Image Editor, AI Rewrite and Export. The
// tools, the background button, Crop and Edit in Image Editor need a focused step
// and hide while cropping; AI Rewrite needs a focused step; Add step and Export
// are always there. Ctrl+Shift+N toggles the "Add step" menu, Ctrl+E exports.
// Where the row is wider than the bar, items show only their symbols, in a
// fixed order (the longest title first), until it fits.
class CanvasTitleBar : public QWidget {
    Q_OBJECT
public:
    explicit CanvasTitleBar(EditorController* controller, QWidget* parent = nullptr);

    // Puts the annotation toolbar in the tools slot, replacing the one there.
    void setToolbar(AnnotationToolbar* toolbar);
    AnnotationToolbar* toolbar() const { return m_toolbar; }

    StepBadge* badge() const { return m_badge; }
    TextLine* titleLabel() const { return m_title; }
    QWidget* toolSlot() const { return m_toolSlot; }
    QAbstractButton* backgroundButton() const { return m_background; }
    PillButton* addStepButton() const { return m_addStep; }
    PillButton* cropButton() const { return m_crop; }
    PillButton* imageEditorButton() const { return m_imageEditor; }
    // Its look, enabling and help follow the rewrite run, whose menu hangs on it.
    PillButton* rewriteButton() const { return m_rewrite; }
    PillButton* exportButton() const { return m_export; }
    // The "Add step" menu while it is open.
    QMenu* addStepMenu() const { return m_menu; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void refresh();
    void refreshMenu();
    // Shows as many titles as the bar's width allows.
    void fitTitles();
    // The row's width with the titles of the first `steps` steps of compaction hidden.
    int rowWidth(int steps) const;
    void compact(int steps);

    QPointer<EditorController> m_controller;
    StepBadge* m_badge = nullptr;
    TextLine* m_title = nullptr;
    QWidget* m_toolSlot = nullptr;
    QPointer<AnnotationToolbar> m_toolbar;
    QAbstractButton* m_background = nullptr;
    PillButton* m_addStep = nullptr;
    PillButton* m_crop = nullptr;
    PillButton* m_imageEditor = nullptr;
    PillButton* m_rewrite = nullptr;
    PillButton* m_export = nullptr;
    QPointer<QMenu> m_menu;
};

} // namespace zova
