#include "editor/list/StepsSidebar.h"

#include "editor/EditorController.h"
#include "editor/EditorTexts.h"
#include "editor/list/StepListView.h"
#include "model/Guide.h"
#include "style/CircleButton.h"
#include "style/Shapes.h"
#include "style/Symbols.h"
#include "style/TextLine.h"
#include "style/Typography.h"
#include "style/ZOVAColor.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QVBoxLayout>

namespace zova {

namespace {

// The red capsule "N selected · Delete".
class DeleteSelectionButton : public QAbstractButton {
public:
    explicit DeleteSelectionButton(QWidget* parent)
        : QAbstractButton(parent)
    {
        setObjectName(QStringLiteral("deleteSelectionButton"));
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::NoFocus);
        setFixedHeight(24);
    }

    QSize sizeHint() const override
    {
        const int text = QFontMetrics(Typography::semibold(11)).horizontalAdvance(this->text());
        return QSize(10 + 12 + 6 + text + 10, 24);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF r = QRectF(rect());
        painter.fillPath(Shapes::capsule(r), Shapes::withAlpha(QColor(255, 59, 48), isDown() ? 1.0 : 0.85));
        Shapes::strokeInside(painter, r, r.height() / 2, Shapes::withAlpha(Qt::white, 0.25), 0.5);
        Symbols::paint(painter, QRectF(10, 0, 12, r.height()), QStringLiteral("trash"), 12, Qt::white);
        painter.setFont(Typography::semibold(11));
        painter.setPen(Qt::white);
        painter.drawText(QRectF(10 + 12 + 6, 0, r.width() - 38, r.height()), Qt::AlignVCenter, text());
    }
};

} // namespace

StepsSidebar::StepsSidebar(EditorController* controller, ScreenshotCache* thumbnails, QWidget* parent)
    : QWidget(parent)
    , m_controller(controller)
{
    setObjectName(QStringLiteral("stepsSidebar"));
    setFixedWidth(columnWidth);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addSpacing(32);

    auto* header = new QHBoxLayout;
    header->setContentsMargins(14, 0, 14, 12);
    header->setSpacing(8);
    m_back = new CircleButton(CircleButton::onControl(QStringLiteral("chevron.left"), 24, 15), this);
    m_back->setObjectName(QStringLiteral("backToLibraryButton"));
    m_back->setToolTip(QStringLiteral("Back to Library"));
    m_back->setAccessibleName(QStringLiteral("Back to Library"));
    // Clicking it leaves the title field's focus alone; the close commits the title itself.
    m_back->setFocusPolicy(Qt::NoFocus);
    connect(m_back, &QAbstractButton::clicked, controller, &EditorController::close);
    header->addWidget(m_back, 0, Qt::AlignVCenter);
    auto* titleBlock = new QVBoxLayout;
    titleBlock->setSpacing(1);
    m_title = new QLineEdit(this);
    m_title->setObjectName(QStringLiteral("guideTitleField"));
    m_title->setFrame(false);
    m_title->setPlaceholderText(QStringLiteral("Untitled guide"));
    m_title->setFont(Typography::bold(14));
    m_title->setAttribute(Qt::WA_MacShowFocusRect, false);
    // Only the fill is the field's own: its text follows the application's palette
    // when the appearance changes.
    QPalette clear;
    clear.setColor(QPalette::Base, Qt::transparent);
    m_title->setPalette(clear);
    titleBlock->addWidget(m_title);
    m_count = new TextLine({}, Typography::font(10.5), ZOVAColor::secondaryLabel, this);
    m_count->setObjectName(QStringLiteral("stepCountLabel"));
    titleBlock->addWidget(m_count);
    header->addLayout(titleBlock, 1);
    column->addLayout(header);

    m_list = new StepListView(controller, thumbnails, this);
    column->addWidget(m_list, 1);

    m_footer = new QWidget(this);
    m_footer->setObjectName(QStringLiteral("selectionFooter"));
    auto* footer = new QHBoxLayout(m_footer);
    footer->setContentsMargins(12, 0, 12, 8);
    footer->addStretch(1);
    m_delete = new DeleteSelectionButton(m_footer);
    connect(m_delete, &QAbstractButton::clicked, &controller->list(), &StepListController::requestDeleteSelection);
    footer->addWidget(m_delete);
    footer->addStretch(1);
    column->addWidget(m_footer);

    connect(m_title, &QLineEdit::textEdited, controller, &EditorController::setTitleDraft);
    connect(m_title, &QLineEdit::returnPressed, this, [this] {
        m_controller->commitTitle();
        m_title->clearFocus();
    });
    // Every loss of focus commits; Return commits first and then lets go of the focus.
    connect(m_title, &QLineEdit::editingFinished, controller, &EditorController::commitTitle);
    connect(controller, &EditorController::titleChanged, this, &StepsSidebar::refreshTitle);
    connect(controller, &EditorController::stepsChanged, this, &StepsSidebar::refreshCount);
    connect(controller, &EditorController::stepsChanged, this, &StepsSidebar::refreshFooter);
    connect(controller, &EditorController::selectionChanged, this, &StepsSidebar::refreshFooter);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget*) {
        if (old == m_title)
            m_controller->syncTitleDraft(false);
    });
    refreshTitle();
    refreshCount();
    refreshFooter();
}

void StepsSidebar::refreshTitle()
{
    if (!m_controller)
        return;
    // The stored title shows unless the user is typing.
    m_controller->syncTitleDraft(m_title->hasFocus());
    if (m_title->text() != m_controller->state().titleDraft)
        m_title->setText(m_controller->state().titleDraft);
}

void StepsSidebar::refreshCount()
{
    const Guide* guide = m_controller ? m_controller->guide() : nullptr;
    m_count->setText(editor_texts::stepCount(guide ? guide->steps().size() : 0));
}

void StepsSidebar::refreshFooter()
{
    const qsizetype selected = m_controller ? m_controller->selectedCount() : 0;
    m_footer->setVisible(selected > 0);
    m_delete->setText(editor_texts::selectionFooter(selected));
    m_delete->updateGeometry();
    m_delete->update();
}

void StepsSidebar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Shapes::withAlpha(Shapes::controlBackground(), 0.6));
    painter.fillRect(QRectF(width() - 0.5, 0, 0.5, height()), ZOVAColor::separator());
}

} // namespace zova
