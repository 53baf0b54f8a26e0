#pragma once

#include <QPointer>
#include <QWidget>

namespace zova {

class EditorController;
class PillButton;
class StepBadge;
class TextLine;

// The editor's right column: the title bar (the focused step's number, or
// "Guide editor", and the Export button) over the canvas area.
class CanvasColumn : public QWidget {
    Q_OBJECT
public:
    explicit CanvasColumn(EditorController* controller, QWidget* parent = nullptr);

    TextLine* titleLabel() const { return m_title; }
    PillButton* exportButton() const { return m_export; }
    // Where the focused step is shown.
    QWidget* canvasArea() const { return m_area; }

private:
    void refresh();

    QPointer<EditorController> m_controller;
    StepBadge* m_badge = nullptr;
    TextLine* m_title = nullptr;
    PillButton* m_export = nullptr;
    QWidget* m_area = nullptr;
};

} // namespace zova
