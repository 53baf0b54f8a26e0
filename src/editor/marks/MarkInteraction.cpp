#include "editor/marks/MarkInteraction.h"

#include "annotation/AnnotationGeometry.h"
#include "annotation/AnnotationPainter.h"

#include <QLineF>

namespace zova {

namespace {

constexpr auto newMarkColour = "ff3d8a";

// Both outcomes, the later's write winning.
MarkInteraction::Outcome merged(MarkInteraction::Outcome first, const MarkInteraction::Outcome& then)
{
    if (then.marks)
        first.marks = then.marks;
    first.switchToolOff |= then.switchToolOff;
    first.focusLayer |= then.focusLayer;
    first.focusLabelEditor |= then.focusLabelEditor;
    return first;
}

qsizetype indexOf(const QList<StepAnnotation>& marks, const QUuid& id)
{
    for (qsizetype i = 0; i < marks.size(); ++i)
        if (marks.at(i).id == id)
            return i;
    return -1;
}

bool hasArea(QSizeF size) { return size.width() > 0 && size.height() > 0; }

} // namespace

StepAnnotation MarkInteraction::Draft::preview() const
{
    const QRectF r = annotation::draftRect(start, current);
    StepAnnotation a;
    a.id = id;
    a.kind = kind;
    a.x = r.x();
    a.y = r.y();
    a.width = r.width();
    a.height = r.height();
    a.rotation = 0;
    switch (kind) {
    case Kind::Text: a.text = QStringLiteral("Label"); break;
    case Kind::Blur:
    case Kind::Arrow:
    case Kind::Highlight: break;
    }
    a.colorHex = QString::fromLatin1(newMarkColour);
    return a;
}

MarkInteraction::Outcome MarkInteraction::press(QPointF point, const Scene& scene)
{
    m_pressedAt = point;
    m_dragged = false;
    m_draft.reset();
    m_move.reset();
    // A press outside the label editor takes the focus from it, which ends the editing.
    m_pressEndedEditing = m_editing.has_value();
    const Outcome out = exitEditingText(scene.marks);
    const QList<StepAnnotation>& marks = out.marks ? *out.marks : scene.marks;
    if (scene.tool) {
        m_gesture = Gesture::Drawing;
        return out;
    }
    const QRectF layer(QPointF(), scene.size);
    if (const auto hit = annotation::markAt(marks, layer, point)) {
        m_gesture = Gesture::OnMark;
        m_pressedMark = marks.at(*hit).id;
    } else {
        m_gesture = Gesture::OnEmpty;
    }
    return out;
}

MarkInteraction::Outcome MarkInteraction::drag(QPointF point, const Scene& scene)
{
    const double distance = QLineF(m_pressedAt, point).length();
    switch (m_gesture) {
    case Gesture::None: return {};
    case Gesture::Drawing:
        if (!m_dragged && distance < drawDistance)
            return {};
        m_dragged = true;
        if (!scene.tool) {
            m_draft.reset();
            return {};
        }
        m_draft = Draft { *scene.tool, annotation::unitPoint(m_pressedAt, scene.size),
            annotation::unitPoint(point, scene.size), m_draft ? m_draft->id : QUuid::createUuid() };
        return {};
    case Gesture::OnMark: {
        if (!m_dragged && distance < moveDistance)
            return {};
        m_dragged = true;
        if (scene.tool)
            return {};
        Outcome out;
        if (m_selected != m_pressedMark)
            out = select(m_pressedMark);
        m_move = Move { m_pressedMark, point - m_pressedAt };
        return out;
    }
    case Gesture::OnEmpty:
        if (distance >= drawDistance)
            m_dragged = true;
        return {};
    }
    return {};
}

MarkInteraction::Outcome MarkInteraction::release(QPointF point, const Scene& scene)
{
    Outcome out = drag(point, scene);
    const Gesture gesture = m_gesture;
    m_gesture = Gesture::None;
    switch (gesture) {
    case Gesture::None: return out;
    case Gesture::Drawing:
        // A click draws nothing and keeps the tool; a drag of any size uses it up.
        return m_dragged ? merged(out, endDraw(scene)) : out;
    case Gesture::OnMark:
        if (m_dragged)
            return merged(out, endMove(scene));
        if (scene.tool)
            return out;
        if (const qsizetype i = indexOf(scene.marks, m_pressedMark); i >= 0)
            return merged(out, clickMark(scene.marks.at(i), scene.marks));
        return out;
    case Gesture::OnEmpty:
        // While a label was edited the click only ended the editing.
        if (!m_dragged && !scene.tool && !m_pressEndedEditing)
            m_selected.reset();
        return out;
    }
    return out;
}

MarkInteraction::Outcome MarkInteraction::endDraw(const Scene& scene)
{
    Outcome out;
    out.switchToolOff = true;
    const std::optional<Draft> draft = std::exchange(m_draft, std::nullopt);
    if (!draft || !annotation::draftIsLargeEnough(draft->start, draft->current))
        return out;
    const StepAnnotation mark = draft->preview();
    QList<StepAnnotation> marks = scene.marks;
    marks.append(mark);
    out.marks = marks;
    out = merged(out, select(mark.id));
    if (mark.kind == Kind::Text)
        out = merged(out, beginEditingText(mark));
    return out;
}

MarkInteraction::Outcome MarkInteraction::endMove(const Scene& scene)
{
    const std::optional<Move> move = std::exchange(m_move, std::nullopt);
    if (!move || scene.tool || !hasArea(scene.size))
        return {};
    const qsizetype i = indexOf(scene.marks, move->id);
    if (i < 0)
        return {};
    QList<StepAnnotation> marks = scene.marks;
    StepAnnotation& mark = marks[i];
    const QPointF origin
        = annotation::movedOrigin(mark, move->offset.x() / scene.size.width(), move->offset.y() / scene.size.height());
    if (origin == QPointF(mark.x, mark.y))
        return {};
    mark.x = origin.x();
    mark.y = origin.y();
    Outcome out;
    out.marks = marks;
    return out;
}

MarkInteraction::Outcome MarkInteraction::select(const QUuid& id)
{
    Outcome out;
    out.focusLayer = true;
    m_selected = id;
    return out;
}

MarkInteraction::Outcome MarkInteraction::clickMark(const StepAnnotation& mark, const QList<StepAnnotation>& marks)
{
    if (mark.kind == Kind::Text && m_selected == mark.id)
        return beginEditingText(mark);
    return merged(exitEditingText(marks), select(mark.id));
}

MarkInteraction::Outcome MarkInteraction::deleteSelected(const QList<StepAnnotation>& marks)
{
    if (!m_selected)
        return {};
    const QUuid id = *std::exchange(m_selected, std::nullopt);
    if (m_editing == id) {
        m_editing.reset();
        m_buffer.clear();
    }
    QList<StepAnnotation> kept = marks;
    kept.removeIf([&](const StepAnnotation& a) { return a.id == id; });
    Outcome out;
    if (kept.size() != marks.size())
        out.marks = kept;
    return out;
}

MarkInteraction::Outcome MarkInteraction::beginEditingText(const StepAnnotation& mark)
{
    if (mark.kind != Kind::Text)
        return {};
    m_selected = mark.id;
    m_editing = mark.id;
    m_buffer = mark.text.value_or(QString());
    Outcome out;
    out.focusLabelEditor = true;
    return out;
}

MarkInteraction::Outcome MarkInteraction::exitEditingText(const QList<StepAnnotation>& marks)
{
    if (!m_editing)
        return {};
    const QUuid id = *std::exchange(m_editing, std::nullopt);
    const QString text = std::exchange(m_buffer, QString());
    const qsizetype i = indexOf(marks, id);
    if (i < 0 || marks.at(i).text == text)
        return {};
    QList<StepAnnotation> changed = marks;
    changed[i].text = text;
    Outcome out;
    out.marks = changed;
    return out;
}

QList<StepAnnotation> MarkInteraction::shown(const QList<StepAnnotation>& marks, QSizeF size) const
{
    QList<StepAnnotation> out = marks;
    for (StepAnnotation& a : out) {
        if (m_move && m_move->id == a.id && hasArea(size)) {
            a.x += m_move->offset.x() / size.width();
            a.y += m_move->offset.y() / size.height();
        }
        if (m_editing == a.id)
            a.text = m_buffer;
    }
    return out;
}

} // namespace zova
