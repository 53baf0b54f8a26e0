#pragma once

#include "editor/marks/MarkInteraction.h"

#include <QImage>
#include <QPointer>
#include <QUuid>
#include <QWidget>

#include <functional>

#include <optional>

class QAbstractButton;
class QLineEdit;

namespace zova {

class CanvasRedaction;
class EditorController;
class Step;

// The transparent layer over the canvas's screenshot, exactly as large as the
// screenshot is shown: it draws the step's marks through the painter the exports
// use (blur marks clipped from the redacted screenshot), and draws, selects,
// moves, deletes and relabels them through MarkInteraction; every change goes
// to the controller. Backspace and Delete delete the selected mark while the
// layer has the focus, before the editor's step deletion sees them.
class AnnotationsLayer : public QWidget {
    Q_OBJECT
public:
    explicit AnnotationsLayer(EditorController* controller, QWidget* parent = nullptr);
    ~AnnotationsLayer() override;

    // Another step forgets the selection, the draft, the move and the label editing.
    void setStep(const std::optional<QUuid>& stepId);
    std::optional<QUuid> stepId() const { return m_stepId; }
    // The step's screenshot as stored, for the blur marks.
    void setScreenshot(const QImage& screenshot);

    const MarkInteraction& interaction() const { return m_interaction; }
    QAbstractButton* deleteButton() const { return m_deleteButton; }
    QLineEdit* labelEditor() const { return m_labelEditor; }
    CanvasRedaction* redaction() const { return m_redaction; }
    // The step's marks as stored (none when they can't be read).
    const QList<StepAnnotation>& marks() const { return m_marks; }

    void deleteSelected();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    Step* step() const;
    MarkInteraction::Scene scene() const;
    void apply(const MarkInteraction::Outcome& outcome);
    void readMarks();
    void exitEditingText();
    void placeChildren();
    // Where the mark moved or the draft drawn now paints, with room for its glow,
    // outline and delete button; empty without either.
    QRect liveBounds() const;
    // The marks that stay put during a move or a draft, painted once into images
    // that each frame of the gesture only copies.
    struct StillFrame {
        QList<StepAnnotation> marks;
        QSize size;
        qreal ratio = 0;
        std::optional<QUuid> moving;
        quint64 redactions = 0;
        QImage underAll; // the blur fills but the moving one's
        QImage below; // the marks before the moving one
        QImage above; // the marks after it
    };
    const StillFrame& stillFrame(const QList<StepAnnotation>& shown);
    QImage paintedStill(const std::function<void(QPainter&)>& paint) const;

    QPointer<EditorController> m_controller;
    std::optional<QUuid> m_stepId;
    QPointer<Step> m_step;
    QMetaObject::Connection m_stepConnection;
    QList<StepAnnotation> m_marks;
    MarkInteraction m_interaction;
    CanvasRedaction* m_redaction = nullptr;
    QAbstractButton* m_deleteButton = nullptr;
    QLineEdit* m_labelEditor = nullptr;
    StillFrame m_still;
    quint64 m_redactions = 0;
};

} // namespace zova
