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
    // Without its title only the symbol shows, where room is short.
    void setTitleShown(bool shown);
    bool titleShown() const { return m_titleShown; }
    QSize sizeHint() const override;
    QSize sizeHintWithTitle(bool shown) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    // The controller's state sets the checked look, never a click.
    void nextCheckState() override { }

private:
    StepAnnotation::Kind m_kind;
    bool m_titleShown = true;
};

// The four annotation tools in the canvas title bar. Not an exclusive group:
// clicking the active tool leaves none active, which selects and moves marks.
class AnnotationToolbar : public QWidget {
    Q_OBJECT
public:
    explicit AnnotationToolbar(EditorController* controller, QWidget* parent = nullptr);

    AnnotationToolButton* button(StepAnnotation::Kind kind) const;
    // The tools with or without their titles.
    void setTitlesShown(bool shown);
    bool titlesShown() const { return m_buttons.isEmpty() || m_buttons.first()->titleShown(); }
    // The row's width with or without the titles.
    int naturalWidth(bool titlesShown) const;

private:
    void refresh();

    QPointer<EditorController> m_controller;
    QList<AnnotationToolButton*> m_buttons;
};

} // namespace zova
