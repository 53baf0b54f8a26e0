#include "editor/canvas/BackgroundPopover.h"

#include "editor/EditorController.h"
#include "model/Guide.h"
#include "model/Step.h"
#include "model/VideoBackground.h"
#include "style/PillButton.h"
#include "style/Shapes.h"
#include "style/TextLine.h"
#include "style/Typography.h"
#include "style/ZOVAColor.h"

#include <QColorDialog>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace zova {

namespace {

// "Step override": white on an accent capsule.
class OverrideBadge : public QWidget {
public:
    explicit OverrideBadge(QWidget* parent)
        : QWidget(parent)
    {
        setObjectName(QStringLiteral("stepOverrideBadge"));
        const QFontMetricsF fm(font9());
        setFixedSize(qCeil(fm.horizontalAdvance(text()) + 10), qCeil(fm.height() + 3));
    }
    static QString text() { return QStringLiteral("Step override"); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(Shapes::capsule(QRectF(rect())), ZOVAColor::accent());
        painter.setFont(font9());
        painter.setPen(Qt::white);
        painter.drawText(QRectF(rect()), Qt::AlignCenter, text());
    }

private:
    static QFont font9() { return Typography::semibold(9); }
};

} // namespace

ColorSwatchButton::ColorSwatchButton(QWidget* parent)
    : QAbstractButton(parent)
{
    setObjectName(QStringLiteral("backgroundColorSwatch"));
    setFixedSize(44, 28);
    setCursor(Qt::PointingHandCursor);
    setAccessibleName(QStringLiteral("Video background colour"));
}

void ColorSwatchButton::setColor(const QColor& color)
{
    if (m_color == color)
        return;
    m_color = color;
    update();
}

void ColorSwatchButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(1, 1, -1, -1);
    painter.fillPath(Shapes::roundedRect(r, 6), Shapes::controlBackground());
    const QRectF well = r.adjusted(4, 4, -4, -4);
    painter.fillPath(Shapes::roundedRect(well, 4), m_color);
    Shapes::strokeInside(painter, well, 4, QColor(0, 0, 0, 38), 0.5);
    Shapes::strokeInside(painter, r, 6, Shapes::withAlpha(ZOVAColor::separator(), isDown() ? 1.0 : 0.7), 1);
}

BackgroundPopover::BackgroundPopover(EditorController* controller, const QUuid& stepId, QWidget* parent)
    : QWidget(parent)
    , m_controller(controller)
    , m_stepId(stepId)
{
    setObjectName(QStringLiteral("backgroundPopover"));
    setFixedWidth(width);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(14, 14, 14, 14);
    column->setSpacing(12);

    auto* titleRow = new QHBoxLayout();
    QFont titleFont = Typography::bold(11);
    titleFont.setLetterSpacing(QFont::AbsoluteSpacing, 0.4);
    titleRow->addWidget(new TextLine(QStringLiteral("Video background"), titleFont, ZOVAColor::secondaryLabel, this));
    titleRow->addStretch(1);
    m_badge = new OverrideBadge(this);
    titleRow->addWidget(m_badge);
    column->addLayout(titleRow);

    auto* colorRow = new QHBoxLayout();
    colorRow->setSpacing(12);
    m_swatch = new ColorSwatchButton(this);
    connect(m_swatch, &QAbstractButton::clicked, this, &BackgroundPopover::openColorDialog);
    colorRow->addWidget(m_swatch);
    auto* texts = new QVBoxLayout();
    texts->setSpacing(1);
    m_hex = new TextLine(
        {}, Typography::font(12, QFont::DemiBold, Typography::Design::Monospaced), ZOVAColor::label, this);
    m_hex->setObjectName(QStringLiteral("backgroundHexLabel"));
    texts->addWidget(m_hex);
    m_source = new TextLine({}, Typography::font(10.5), ZOVAColor::secondaryLabel, this);
    m_source->setObjectName(QStringLiteral("backgroundSourceLabel"));
    texts->addWidget(m_source);
    colorRow->addLayout(texts);
    colorRow->addStretch(1);
    column->addLayout(colorRow);

    auto* buttons = new QHBoxLayout();
    buttons->setSpacing(8);
    m_apply = pill(new PillButton(QStringLiteral("Apply to all steps"), this), PillStyle::Variant::glass(false),
        PillStyle::Size::Sm);
    m_apply->setObjectName(QStringLiteral("applyBackgroundToAllButton"));
    m_apply->setSymbol(QStringLiteral("rectangle.stack.fill"));
    connect(m_apply, &QAbstractButton::clicked, this, [this] {
        if (m_controller)
            m_controller->canvas().applyBackgroundToAllSteps(m_hexShown);
    });
    buttons->addWidget(m_apply);
    m_reset = pill(new PillButton(QStringLiteral("Reset"), this), PillStyle::Variant::ghost(), PillStyle::Size::Sm);
    m_reset->setObjectName(QStringLiteral("resetBackgroundButton"));
    m_reset->setSymbol(QStringLiteral("arrow.uturn.backward"));
    connect(m_reset, &QAbstractButton::clicked, this, [this] {
        if (m_controller)
            m_controller->canvas().resetBackground(m_stepId);
    });
    buttons->addWidget(m_reset);
    buttons->addStretch(1);
    column->addLayout(buttons);

    if (controller)
        connect(controller, &EditorController::stepsChanged, this, &BackgroundPopover::follow);
    follow();
}

BackgroundPopover::~BackgroundPopover() { delete m_dialog; }

QString BackgroundPopover::sourceText(bool stepHasColor, bool guideHasColor)
{
    if (stepHasColor)
        return QStringLiteral("Custom for this step");
    if (guideHasColor)
        return QStringLiteral("From guide default");
    return QStringLiteral("App default");
}

void BackgroundPopover::follow()
{
    // The colour fields notify at once; the controller's step signal comes a turn later.
    Step* step = m_controller ? m_controller->step(m_stepId) : nullptr;
    if (step) {
        connect(step, &Step::videoBackgroundHexChanged, this, &BackgroundPopover::refresh, Qt::UniqueConnection);
        if (Guide* guide = step->guide())
            connect(guide, &Guide::videoBackgroundHexChanged, this, &BackgroundPopover::refresh, Qt::UniqueConnection);
    }
    refresh();
}

void BackgroundPopover::refresh()
{
    const Step* step = m_controller ? m_controller->step(m_stepId) : nullptr;
    const bool overridden = step && step->videoBackgroundHex();
    const bool guideColor = step && step->guide() && step->guide()->videoBackgroundHex();
    m_hexShown = step ? video_background::effectiveHex(*step) : video_background::defaultHex();
    m_swatch->setColor(video_background::color(m_hexShown));
    m_hex->setText(m_hexShown.toUpper());
    m_source->setText(sourceText(overridden, guideColor));
    m_badge->setVisible(overridden);
    m_reset->setVisible(overridden);
    setEnabled(step);
}

void BackgroundPopover::openColorDialog()
{
    if (m_dialog) {
        m_dialog->raise();
        m_dialog->activateWindow();
        return;
    }
    // Qt's own dialog looks and behaves the same on every desktop.
    m_dialog = new QColorDialog(video_background::color(m_hexShown), window());
    m_dialog->setObjectName(QStringLiteral("backgroundColorDialog"));
    m_dialog->setOption(QColorDialog::DontUseNativeDialog);
    m_dialog->setWindowTitle(QStringLiteral("Video background"));
    m_dialog->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<EditorController> controller = m_controller;
    const QUuid id = m_stepId;
    connect(m_dialog, &QColorDialog::colorSelected, this, [controller, id](const QColor& color) {
        if (controller)
            controller->canvas().pickBackground(id, color);
    });
    m_dialog->open();
}

} // namespace zova
