#include "editor/marks/AnnotationsLayer.h"

#include "annotation/AnnotationGeometry.h"
#include "annotation/AnnotationPainter.h"
#include "editor/EditorController.h"
#include "editor/canvas/CanvasRedaction.h"
#include "model/Step.h"
#include "style/Shapes.h"
#include "style/Symbols.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>

namespace zova {

namespace {

constexpr double layerCornerRadius = 10;
constexpr double outlineMargin = 4;
constexpr double outlineWidth = 1.5;
constexpr double outlineDash = 4;
constexpr float draftOpacity = 0.85f;
constexpr int labelFocusDelayMs = 20;
const QColor selectionBlue(0, 122, 255);

bool isDeleteKey(const QKeyEvent* key)
{
    return (key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete)
        && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

const StepAnnotation* markWithId(const QList<StepAnnotation>& marks, const std::optional<QUuid>& id)
{
    if (id)
        for (const StepAnnotation& a : marks)
            if (a.id == *id)
                return &a;
    return nullptr;
}

// The red round "x" at the selected mark's top-right corner.
class MarkDeleteButton : public QAbstractButton {
public:
    explicit MarkDeleteButton(QWidget* parent)
        : QAbstractButton(parent)
    {
        setObjectName(QStringLiteral("deleteAnnotationButton"));
        setToolTip(QStringLiteral("Delete annotation"));
        setFocusPolicy(Qt::NoFocus);
        setCursor(Qt::ArrowCursor);
        setFixedSize(22, 22);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QPointF c = QRectF(rect()).center();
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(c, 7, 7);
        Symbols::paint(p, rect(), QStringLiteral("xmark.circle.fill"), 18, QColor(255, 59, 48));
    }
};

// The text field of a label being edited: white text on the mark's colour, its
// placeholder "Label"; Return, Escape and losing the focus all end the editing.
class LabelEditor : public QLineEdit {
public:
    explicit LabelEditor(QWidget* parent, std::function<void()> done)
        : QLineEdit(parent)
        , m_done(std::move(done))
    {
        setObjectName(QStringLiteral("annotationLabelEditor"));
        setFrame(false);
        setPlaceholderText(QStringLiteral("Label"));
        setFont(annotation::labelFont());
        setAlignment(Qt::AlignCenter);
        setTextMargins(0, 0, 0, 0);
        setContentsMargins(0, 0, 0, 0);
        setAttribute(Qt::WA_MacShowFocusRect, false);
        connect(this, &QLineEdit::returnPressed, this, [this] { m_done(); });
    }

    void setColour(const QColor& colour)
    {
        QPalette pal = palette();
        pal.setColor(QPalette::Base, colour);
        pal.setColor(QPalette::Text, Qt::white);
        pal.setColor(QPalette::PlaceholderText, QColor(255, 255, 255, 160));
        pal.setColor(QPalette::Highlight, QColor(255, 255, 255, 90));
        pal.setColor(QPalette::HighlightedText, Qt::white);
        setPalette(pal);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Escape) {
            m_done();
            return;
        }
        QLineEdit::keyPressEvent(event);
    }
    void focusOutEvent(QFocusEvent* event) override
    {
        QLineEdit::focusOutEvent(event);
        m_done();
    }

private:
    std::function<void()> m_done;
};

} // namespace

AnnotationsLayer::AnnotationsLayer(EditorController* controller, QWidget* parent)
    : QWidget(parent)
    , m_controller(controller)
    , m_redaction(new CanvasRedaction(this))
{
    setObjectName(QStringLiteral("annotationsLayer"));
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_NoSystemBackground);
    m_deleteButton = new MarkDeleteButton(this);
    m_deleteButton->hide();
    connect(m_deleteButton, &QAbstractButton::clicked, this, &AnnotationsLayer::deleteSelected);
    auto* editor = new LabelEditor(this, [this] { exitEditingText(); });
    m_labelEditor = editor;
    m_labelEditor->hide();
    connect(m_labelEditor, &QLineEdit::textEdited, this, [this](const QString& text) {
        m_interaction.setEditingBuffer(text);
        placeChildren();
        update();
    });
    connect(m_redaction, &CanvasRedaction::updated, this, [this] {
        ++m_redactions;
        update();
    });
}

AnnotationsLayer::~AnnotationsLayer() = default;

void AnnotationsLayer::setStep(const std::optional<QUuid>& stepId)
{
    if (stepId == m_stepId)
        return;
    m_stepId = stepId;
    m_interaction = MarkInteraction();
    m_labelEditor->hide();
    disconnect(m_stepConnection);
    m_step = m_controller && stepId ? m_controller->step(*stepId) : nullptr;
    if (m_step)
        m_stepConnection = connect(m_step, &Step::annotationsDataChanged, this, &AnnotationsLayer::readMarks);
    readMarks();
}

void AnnotationsLayer::setScreenshot(const QImage& screenshot)
{
    // The redaction is made once per screenshot, not once per canvas update.
    if (screenshot.cacheKey() == m_redaction->screenshot().cacheKey()
        && screenshot.isNull() == m_redaction->screenshot().isNull())
        return;
    m_redaction->setScreenshot(screenshot);
    m_redaction->request(m_marks);
    update();
}

Step* AnnotationsLayer::step() const { return m_step && !m_step->isDeleted() ? m_step.data() : nullptr; }

void AnnotationsLayer::readMarks()
{
    const Step* s = step();
    m_marks = s ? s->annotations() : QList<StepAnnotation>();
    m_redaction->request(m_marks);
    placeChildren();
    update();
}

MarkInteraction::Scene AnnotationsLayer::scene() const
{
    return { m_marks, QSizeF(size()), m_controller ? m_controller->state().activeTool : std::nullopt };
}

void AnnotationsLayer::apply(const MarkInteraction::Outcome& outcome)
{
    if (outcome.marks && m_controller && m_stepId) {
        m_controller->canvas().setMarks(*m_stepId, *outcome.marks);
        // The step may refuse what it can't store; show what it holds.
        readMarks();
    }
    if (outcome.switchToolOff && m_controller)
        m_controller->canvas().setActiveTool(std::nullopt);
    if (outcome.focusLayer)
        setFocus(Qt::MouseFocusReason);
    if (outcome.focusLabelEditor) {
        m_labelEditor->setText(m_interaction.editingBuffer());
        if (const StepAnnotation* mark = markWithId(m_marks, m_interaction.editing()))
            static_cast<LabelEditor*>(m_labelEditor)->setColour(annotation::markColor(*mark));
        QPointer<QLineEdit> editor = m_labelEditor;
        QTimer::singleShot(labelFocusDelayMs, this, [this, editor] {
            if (editor && m_interaction.editing()) {
                editor->setFocus(Qt::OtherFocusReason);
                editor->selectAll();
            }
        });
    }
    placeChildren();
    update();
}

void AnnotationsLayer::exitEditingText()
{
    if (!m_interaction.editing())
        return;
    apply(m_interaction.exitEditingText(m_marks));
}

void AnnotationsLayer::deleteSelected() { apply(m_interaction.deleteSelected(m_marks)); }

void AnnotationsLayer::placeChildren()
{
    const QRectF layer { QPointF(), QSizeF(size()) };
    const QList<StepAnnotation> shown = m_interaction.shown(m_marks, layer.size());
    const StepAnnotation* selected = markWithId(shown, m_interaction.selected());
    m_deleteButton->setVisible(selected);
    if (selected) {
        const QRectF r = annotation::renderedRect(*selected, layer);
        const QSize b = m_deleteButton->size();
        m_deleteButton->move(
            int(std::lround(r.right() - b.width() / 2.0)), int(std::lround(r.top() - b.height() / 2.0)));
        m_deleteButton->raise();
    }
    const StepAnnotation* edited = markWithId(shown, m_interaction.editing());
    if (!edited) {
        if (m_labelEditor->isVisible())
            m_labelEditor->hide();
        return;
    }
    m_labelEditor->setGeometry(annotation::labelTextRect(*edited, layer).toRect());
    if (!m_labelEditor->isVisible())
        m_labelEditor->show();
}

bool AnnotationsLayer::event(QEvent* event)
{
    // The layer's Backspace and Delete come before any shortcut on those keys.
    if (event->type() == QEvent::ShortcutOverride && isDeleteKey(static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

void AnnotationsLayer::keyPressEvent(QKeyEvent* event)
{
    if (isDeleteKey(event)) {
        // Handled whether or not a mark is selected.
        deleteSelected();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void AnnotationsLayer::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    apply(m_interaction.press(event->position(), scene()));
}

void AnnotationsLayer::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_interaction.pressing())
        return;
    const QRect before = liveBounds();
    const MarkInteraction::Outcome outcome = m_interaction.drag(event->position(), scene());
    if (outcome != MarkInteraction::Outcome {}) {
        apply(outcome);
        return;
    }
    // A frame of a gesture repaints only where the mark was and is.
    placeChildren();
    update(before | liveBounds());
}

void AnnotationsLayer::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_interaction.pressing())
        return;
    apply(m_interaction.release(event->position(), scene()));
}

void AnnotationsLayer::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeChildren();
}

QRect AnnotationsLayer::liveBounds() const
{
    constexpr int room = 32;
    const QRectF layer { QPointF(), QSizeF(size()) };
    QRectF bounds;
    if (const auto& move = m_interaction.move()) {
        const QList<StepAnnotation> shown = m_interaction.shown(m_marks, layer.size());
        if (const StepAnnotation* mark = markWithId(shown, move->id))
            bounds = annotation::hitArea(*mark, layer);
    } else if (const auto& draft = m_interaction.draft()) {
        bounds = annotation::hitArea(draft->preview(), layer);
    }
    return bounds.isEmpty() ? QRect() : bounds.toAlignedRect().adjusted(-room, -room, room, room);
}

QImage AnnotationsLayer::paintedStill(const std::function<void(QPainter&)>& paint) const
{
    const qreal ratio = devicePixelRatioF();
    QImage image((QSizeF(size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    paint(p);
    return image;
}

const AnnotationsLayer::StillFrame& AnnotationsLayer::stillFrame(const QList<StepAnnotation>& shown)
{
    const std::optional<QUuid> moving = m_interaction.move() ? std::optional(m_interaction.move()->id) : std::nullopt;
    if (m_still.marks == m_marks && m_still.size == size() && m_still.ratio == devicePixelRatioF()
        && m_still.moving == moving && m_still.redactions == m_redactions && !m_still.underAll.isNull())
        return m_still;
    const QRectF layer { QPointF(), QSizeF(size()) };
    QList<StepAnnotation> before, after, fills;
    bool passed = false;
    for (const StepAnnotation& a : shown) {
        const bool isMoving = moving == a.id;
        if (!isMoving)
            fills.append(a);
        if (isMoving)
            passed = true;
        else
            (passed ? after : before).append(a);
    }
    m_still = { m_marks, size(), devicePixelRatioF(), moving, m_redactions, {}, {}, {} };
    m_still.underAll = paintedStill([&](QPainter& p) { m_redaction->paint(p, layer, fills); });
    m_still.below = paintedStill([&](QPainter& p) { annotation::paintAnnotations(p, layer, before); });
    m_still.above = paintedStill([&](QPainter& p) { annotation::paintAnnotations(p, layer, after); });
    return m_still;
}

void AnnotationsLayer::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF layer { QPointF(), QSizeF(size()) };
    p.setClipPath(Shapes::roundedRect(layer, layerCornerRadius), Qt::IntersectClip);
    const QList<StepAnnotation> shown = m_interaction.shown(m_marks, layer.size());
    if (m_interaction.move() || m_interaction.draft()) {
        // The same layers in the same order as below, the still ones from images.
        const StillFrame& still = stillFrame(shown);
        const StepAnnotation* moving = m_interaction.move() ? markWithId(shown, m_interaction.move()->id) : nullptr;
        p.drawImage(QPointF(), still.underAll);
        if (moving)
            m_redaction->paint(p, layer, { *moving });
        p.drawImage(QPointF(), still.below);
        if (moving)
            annotation::paintAnnotations(p, layer, { *moving });
        p.drawImage(QPointF(), still.above);
    } else {
        // As in every export: what the blur marks hide is part of the screenshot,
        // under all the marks.
        m_redaction->paint(p, layer, shown);
        annotation::paintAnnotations(p, layer, shown);
    }

    if (const auto& draft = m_interaction.draft()) {
        const QList<StepAnnotation> preview = { draft->preview() };
        p.save();
        p.setOpacity(draftOpacity);
        m_redaction->paint(p, layer, preview);
        annotation::paintAnnotations(p, layer, preview);
        p.restore();
    }

    if (const StepAnnotation* selected = markWithId(shown, m_interaction.selected())) {
        const QRectF outline = annotation::renderedRect(*selected, layer)
                                   .adjusted(-outlineMargin, -outlineMargin, outlineMargin, outlineMargin);
        QPen pen(selectionBlue, outlineWidth);
        pen.setDashPattern({ outlineDash / outlineWidth, outlineDash / outlineWidth });
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        const double inset = outlineWidth / 2;
        p.drawPath(Shapes::roundedRect(outline.adjusted(inset, inset, -inset, -inset), 4));
    }
}

} // namespace zova
