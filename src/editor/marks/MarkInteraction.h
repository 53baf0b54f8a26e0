#pragma once

#include "model/StepAnnotation.h"

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QUuid>

#include <optional>

namespace zova {

// What the pointer and the keys do on the annotation layer of one step: draw a
// mark with the chosen tool, select one by clicking it, move it by dragging,
// delete it, edit a text label in place. Pure: each input takes the step's marks,
// the layer's size and the tool as they are at that moment, and returns what the
// host must write and do; the transient state (selection, draft, live move, label
// being edited) is kept here. Positions are in layer units, origin top left; the
// marks' in fractions of the layer.
class MarkInteraction {
public:
    using Kind = StepAnnotation::Kind;

    // A drawing drag starts after this many units, a move after this many.
    static constexpr double drawDistance = 4;
    static constexpr double moveDistance = 2;

    // The mark being drawn, its corners in fractions of the layer.
    struct Draft {
        Kind kind = Kind::Highlight;
        QPointF start;
        QPointF current;
        QUuid id = QUuid::createUuid();

        // The mark this draft becomes: its rectangle whatever the drag's direction.
        StepAnnotation preview() const;
    };
    // A mark dragged along, and by how far, in layer units.
    struct Move {
        QUuid id;
        QPointF offset;
    };

    struct Scene {
        const QList<StepAnnotation>& marks;
        QSizeF size;
        std::optional<Kind> tool;
    };

    // What the host does after an input. `marks` is written into the step only
    // when set: nothing is written for an input that changes no mark.
    struct Outcome {
        std::optional<QList<StepAnnotation>> marks;
        bool switchToolOff = false;
        // The layer takes the keyboard focus.
        bool focusLayer = false;
        // The label editor opens and takes the focus shortly after.
        bool focusLabelEditor = false;

        bool operator==(const Outcome&) const = default;
    };

    Outcome press(QPointF point, const Scene& scene);
    Outcome drag(QPointF point, const Scene& scene);
    Outcome release(QPointF point, const Scene& scene);

    // The delete button, the Delete key and the Delete command.
    Outcome deleteSelected(const QList<StepAnnotation>& marks);
    // Opens the label editor on a text mark; any other kind is ignored.
    Outcome beginEditingText(const StepAnnotation& mark);
    void setEditingBuffer(const QString& text) { m_buffer = text; }
    // Stores the editor's text, exactly as typed, in the mark and closes the
    // editor. Return, Escape and losing the focus all end here: there is no cancel.
    Outcome exitEditingText(const QList<StepAnnotation>& marks);

    std::optional<QUuid> selected() const { return m_selected; }
    const std::optional<Draft>& draft() const { return m_draft; }
    const std::optional<Move>& move() const { return m_move; }
    std::optional<QUuid> editing() const { return m_editing; }
    QString editingBuffer() const { return m_buffer; }
    // Whether a press is under way (between press and release).
    bool pressing() const { return m_gesture != Gesture::None; }

    // The marks as drawn now: a live move shifts its mark, the label being edited
    // shows the editor's text.
    QList<StepAnnotation> shown(const QList<StepAnnotation>& marks, QSizeF size) const;

private:
    enum class Gesture { None, Drawing, OnMark, OnEmpty };

    Outcome select(const QUuid& id);
    Outcome clickMark(const StepAnnotation& mark, const QList<StepAnnotation>& marks);
    Outcome endMove(const Scene& scene);
    Outcome endDraw(const Scene& scene);

    std::optional<QUuid> m_selected;
    std::optional<Draft> m_draft;
    std::optional<Move> m_move;
    std::optional<QUuid> m_editing;
    QString m_buffer;

    Gesture m_gesture = Gesture::None;
    QPointF m_pressedAt;
    QUuid m_pressedMark;
    bool m_dragged = false;
    bool m_pressEndedEditing = false;
};

} // namespace zova
