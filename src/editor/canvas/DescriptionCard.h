#pragma once

#include <QPointer>
#include <QUuid>
#include <QWidget>

class QPlainTextEdit;

namespace zova {

class EditorController;
class Step;
class TextLine;

// The focused step's description under its screenshot: a header with the
// "AI labeled" badge when the step has a recognised label and the model is
// available, and a plain text field of 2 to 6 lines. Only the user's edits are
// written; loading a step into the field writes nothing.
class DescriptionCard : public QWidget {
    Q_OBJECT
public:
    explicit DescriptionCard(EditorController* controller, QWidget* parent = nullptr);

    // Shows this step (null for none); the text is reloaded only when it differs.
    void setStep(const Step* step);
    QPlainTextEdit* field() const { return m_field; }
    QWidget* aiBadge() const { return m_badge; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void fitHeight();
    void applyColours();

    QPointer<EditorController> m_controller;
    QUuid m_stepId;
    QPlainTextEdit* m_field = nullptr;
    QWidget* m_badge = nullptr;
    bool m_loading = false;
};

} // namespace zova
