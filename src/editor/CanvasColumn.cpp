#include "editor/CanvasColumn.h"

#include "editor/EditorController.h"
#include "model/Guide.h"
#include "model/Step.h"
#include "style/PillButton.h"
#include "style/Shapes.h"
#include "style/StepBadge.h"
#include "style/TextLine.h"
#include "style/Typography.h"
#include "style/ZOVAColor.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace zova {

namespace {

// The 44 px strip over the canvas, on the bar colour with a hairline below.
class TitleBar : public QWidget {
public:
    explicit TitleBar(QWidget* parent)
        : QWidget(parent)
    {
        setObjectName(QStringLiteral("canvasTitleBar"));
        setFixedHeight(44);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Shapes::withAlpha(Shapes::controlBackground(), 0.6));
        painter.fillRect(QRectF(0, height() - 0.5, width(), 0.5), ZOVAColor::separator());
    }
};

} // namespace

CanvasColumn::CanvasColumn(EditorController* controller, QWidget* parent)
    : QWidget(parent)
    , m_controller(controller)
{
    setObjectName(QStringLiteral("canvasColumn"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto* bar = new TitleBar(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(20, 0, 20, 0);
    row->setSpacing(10);
    m_badge = new StepBadge(1, AccentHue::Pink, 26, bar);
    row->addWidget(m_badge);
    m_title = new TextLine({}, Typography::bold(14), ZOVAColor::label, bar);
    m_title->setObjectName(QStringLiteral("canvasTitle"));
    row->addWidget(m_title);
    row->addStretch(1);
    m_export = new PillButton(QStringLiteral("Export"), bar);
    m_export->setObjectName(QStringLiteral("editorExportButton"));
    m_export->setSymbol(QStringLiteral("square.and.arrow.up"));
    pill(m_export, PillStyle::Variant::glass(false), PillStyle::Size::Md);
    m_export->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    connect(m_export, &QAbstractButton::clicked, controller, &EditorController::openExportPanel);
    row->addWidget(m_export);
    column->addWidget(bar);

    m_area = new QWidget(this);
    m_area->setObjectName(QStringLiteral("canvasArea"));
    column->addWidget(m_area, 1);

    connect(controller, &EditorController::selectionChanged, this, &CanvasColumn::refresh);
    connect(controller, &EditorController::stepsChanged, this, &CanvasColumn::refresh);
    refresh();
}

void CanvasColumn::refresh()
{
    const Step* focused = m_controller ? m_controller->focusedStep() : nullptr;
    const Guide* guide = m_controller ? m_controller->guide() : nullptr;
    m_badge->setVisible(focused);
    if (focused) {
        m_badge->setNumber(int(focused->order() + 1));
        m_title->setText(QStringLiteral("Step %1").arg(focused->order() + 1));
    } else {
        m_title->setText(QStringLiteral("Guide editor"));
    }
    const bool canExport = m_controller && m_controller->canExport();
    m_export->setEnabled(canExport);
    m_export->setToolTip(guide && !guide->steps().isEmpty()
            ? QStringLiteral("Export as HTML, PDF, or narrated MP4 (Ctrl+E)")
            : QStringLiteral("Add at least one step before exporting"));
}

} // namespace zova
