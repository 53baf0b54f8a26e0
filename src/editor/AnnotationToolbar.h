#pragma once

#include "model/StepAnnotation.h"

#include <QAbstractButton>
#include <QPointer>
#include <QWidget>

namespace zova {

class EditorController;

// One tool of the annotation toolbar: a capsule with a symbol and a title, lit
// while its tool is the active one.
class AnnotationToolButton : public QAbstractButton {
    Q_OBJECT
public:
    AnnotationToolButton(StepAnnotation::Kind kind, QWidget* parent = nullptr);

    StepAnnotation::Kind kind() const { return m_kind; }
    QString symbol() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    // The controller's state sets the checked look, never a click.
    void nextCheckState() override { }

private:
    StepAnnotation::Kind m_kind;
};

// The four annotation tools in the canvas title bar. Not an exclusive group:
// clicking the active tool leaves none active, which selects and moves marks.
class AnnotationToolbar : public QWidget {
    Q_OBJECT
public:
    explicit AnnotationToolbar(EditorController* controller, QWidget* parent = nullptr);

    AnnotationToolButton* button(StepAnnotation::Kind kind) const;

private:
    void refresh();

    QPointer<EditorController> m_controller;
    QList<AnnotationToolButton*> m_buttons;
};

} // namespace zova
