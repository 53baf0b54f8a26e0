#pragma once

#include <QPointer>
#include <QWidget>

class QAbstractButton;
class QLineEdit;

namespace zova {

class TextLine;

class EditorController;
class StepListView;
class ScreenshotCache;
class TextLine;

// The editor's left column: back button, editable title and step count, the
// step list, and the footer that deletes the selection.
class StepsSidebar : public QWidget {
    Q_OBJECT
public:
    static constexpr int columnWidth = 280;

    StepsSidebar(EditorController* controller, ScreenshotCache* thumbnails, QWidget* parent = nullptr);

    QAbstractButton* backButton() const { return m_back; }
    QLineEdit* titleField() const { return m_title; }
    TextLine* countLabel() const { return m_count; }
    StepListView* list() const { return m_list; }
    QWidget* footer() const { return m_footer; }
    QAbstractButton* deleteButton() const { return m_delete; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void refreshTitle();
    void refreshCount();
    void refreshFooter();

    QPointer<EditorController> m_controller;
    QAbstractButton* m_back = nullptr;
    QLineEdit* m_title = nullptr;
    TextLine* m_count = nullptr;
    StepListView* m_list = nullptr;
    QWidget* m_footer = nullptr;
    QAbstractButton* m_delete = nullptr;
};

} // namespace zova
