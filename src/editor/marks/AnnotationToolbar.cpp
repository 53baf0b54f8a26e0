#include "editor/marks/AnnotationToolbar.h"

#include "editor/EditorController.h"
#include "style/Shapes.h"
#include "style/Symbols.h"
#include "style/Typography.h"
#include "style/ZOVAColor.h"

#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QPainter>

namespace zova {

namespace {

using Kind = StepAnnotation::Kind;

constexpr double buttonHeight = 28;
constexpr double paddingX = 10;
constexpr double symbolGap = 5;
constexpr double textSize = 11;
constexpr double shadowRadius = 4;
constexpr QPointF shadowOffset { 0, 2 };

struct Tool {
    const char* symbol;
    const char* title;
    const char* help;
};

Tool toolFor(Kind kind)
{
    switch (kind) {
    case Kind::Blur:
        return { "eye.slash.fill", "Hide", "Hide sensitive areas — drag over passwords, names, emails to blur them" };
    case Kind::Arrow: return { "arrow.up.right", "Arrow", "Draw an arrow on the screenshot" };
    case Kind::Highlight: return { "square.dashed", "Highlight", "Highlight a rectangular area" };
    case Kind::Text: return { "textformat", "Text", "Add a text label / callout" };
    }
    return { "", "", "" };
}

constexpr Kind kinds[] = { Kind::Blur, Kind::Arrow, Kind::Highlight, Kind::Text };

} // namespace

AnnotationToolButton::AnnotationToolButton(Kind kind, QWidget* parent)
    : QAbstractButton(parent)
    , m_kind(kind)
{
    const Tool tool = toolFor(kind);
    setObjectName(QStringLiteral("annotationTool-") + StepAnnotation::rawValue(kind));
    setText(QString::fromUtf8(tool.title));
    setToolTip(QString::fromUtf8(tool.help));
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QString AnnotationToolButton::symbol() const { return QString::fromUtf8(toolFor(m_kind).symbol); }

void AnnotationToolButton::setTitleShown(bool shown)
{
    if (shown == m_titleShown)
        return;
    m_titleShown = shown;
    updateGeometry();
    update();
}

QSize AnnotationToolButton::sizeHint() const { return sizeHintWithTitle(m_titleShown); }

QSize AnnotationToolButton::sizeHintWithTitle(bool shown) const
{
    const QFontMetricsF fm(Typography::semibold(textSize));
    const double title = shown ? symbolGap + fm.horizontalAdvance(text()) : 0;
    return { int(std::ceil(2 * paddingX + textSize + title)), int(buttonHeight) };
}

void AnnotationToolButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const bool active = isChecked();
    // The shadow spreads past the capsule; the widget leaves it room below.
    const QRectF capsule = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const QPainterPath shape = Shapes::capsule(capsule);
    Shapes::paintShadow(p, shape,
        active ? Shapes::withAlpha(ZOVAColor::purple(), 0.4) : Shapes::withAlpha(Qt::black, 0.04), shadowRadius,
        shadowOffset);
    if (active)
        p.fillPath(shape, ZOVAGradient::brand(capsule));
    else
        p.fillPath(shape, Shapes::withAlpha(Qt::white, 0.55));
    Shapes::strokeInside(p, capsule, capsule.height() / 2, Shapes::withAlpha(Qt::white, 0.7), 0.5);

    const QColor ink = active ? QColor(Qt::white) : ZOVAColor::ink2();
    const QFont font = Typography::semibold(textSize);
    const QFontMetricsF fm(font);
    const double contentWidth = textSize + (m_titleShown ? symbolGap + fm.horizontalAdvance(text()) : 0);
    double x = (width() - contentWidth) / 2;
    Symbols::paint(p, QRectF(x, 0, textSize, height()), symbol(), textSize, ink);
    if (!m_titleShown)
        return;
    x += textSize + symbolGap;
    p.setFont(font);
    p.setPen(ink);
    p.drawText(QRectF(x, 0, fm.horizontalAdvance(text()) + 1, height()), Qt::AlignVCenter | Qt::AlignLeft, text());
}

AnnotationToolbar::AnnotationToolbar(EditorController* controller, QWidget* parent)
    : QWidget(parent)
    , m_controller(controller)
{
    setObjectName(QStringLiteral("annotationToolbar"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    for (Kind kind : kinds) {
        auto* button = new AnnotationToolButton(kind, this);
        connect(button, &QAbstractButton::clicked, this, [this, kind] {
            if (m_controller)
                m_controller->canvas().chooseTool(kind);
        });
        row->addWidget(button, 0, Qt::AlignVCenter);
        m_buttons.append(button);
    }
    connect(controller, &EditorController::toolChanged, this, &AnnotationToolbar::refresh);
    refresh();
}

AnnotationToolButton* AnnotationToolbar::button(Kind kind) const
{
    for (AnnotationToolButton* b : m_buttons)
        if (b->kind() == kind)
            return b;
    return nullptr;
}

void AnnotationToolbar::setTitlesShown(bool shown)
{
    if (m_buttons.isEmpty() || m_buttons.first()->titleShown() == shown)
        return;
    for (AnnotationToolButton* b : m_buttons)
        b->setTitleShown(shown);
    // The row's own size changes with its buttons'.
    layout()->invalidate();
    updateGeometry();
}

int AnnotationToolbar::naturalWidth(bool titlesShown) const
{
    int width = 0;
    for (const AnnotationToolButton* b : m_buttons)
        width += b->sizeHintWithTitle(titlesShown).width();
    return width + int(layout()->spacing()) * int(std::max<qsizetype>(m_buttons.size() - 1, 0));
}

void AnnotationToolbar::refresh()
{
    const std::optional<Kind> active = m_controller ? m_controller->state().activeTool : std::nullopt;
    for (AnnotationToolButton* b : m_buttons)
        b->setChecked(active == b->kind());
}

} // namespace zova
