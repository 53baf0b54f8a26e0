#include "editor/canvas/TitleBarPopovers.h"

#include "editor/EditorController.h"
#include "editor/canvas/BackgroundPopover.h"
#include "editor/rewrite/RewriteRun.h"
#include "editor/rewrite/RewriteTexts.h"
#include "editor/rewrite/SmartEditMenu.h"
#include "model/Guide.h"
#include "model/Step.h"
#include "style/PillButton.h"
#include "style/Popover.h"

namespace zova {

TitleBarPopovers::TitleBarPopovers(EditorController* controller, RewriteRun* run, QObject* parent)
    : QObject(parent)
    , m_controller(controller)
    , m_run(run)
{
    connect(controller, &EditorController::sheetsChanged, this, &TitleBarPopovers::refreshPopovers);
    connect(controller, &EditorController::stepsChanged, this, &TitleBarPopovers::refreshStepCount);
    connect(run, &RewriteRun::statusChanged, this, &TitleBarPopovers::refreshRewriteButton);
    connect(run, &RewriteRun::busyChanged, this, &TitleBarPopovers::refreshRewriteButton);
    connect(run, &RewriteRun::progressChanged, this, &TitleBarPopovers::refreshRewriteButton);
}

TitleBarPopovers::~TitleBarPopovers()
{
    delete m_rewritePopover;
    delete m_backgroundPopover;
}

void TitleBarPopovers::setRewriteButton(PillButton* button)
{
    m_rewriteButton = button;
    button->setObjectName(QStringLiteral("aiRewriteButton"));
    pill(button, PillStyle::Variant::ai(), PillStyle::Size::Md);
    connect(button, &QAbstractButton::clicked, this, [this] {
        if (m_controller)
            m_controller->setSmartEditMenuOpen(!m_controller->state().sheets.smartEditMenu);
    });
    refreshRewriteButton();
}

void TitleBarPopovers::setBackgroundButton(QAbstractButton* button)
{
    m_backgroundButton = button;
    connect(button, &QAbstractButton::clicked, this, [this] {
        if (m_controller)
            m_controller->setBackgroundPickerOpen(!m_controller->state().sheets.backgroundPicker);
    });
}

void TitleBarPopovers::refreshRewriteButton()
{
    if (!m_rewriteButton || !m_run)
        return;
    const bool busy = m_run->isBusy();
    m_rewriteButton->setText(rewrite_texts::buttonText(busy, m_run->batchProgress()));
    m_rewriteButton->setSymbol(QStringLiteral("sparkles"));
    m_rewriteButton->setSpinning(busy);
    m_rewriteButton->setEnabled(m_run->canStart());
    m_rewriteButton->setToolTip(rewrite_texts::buttonHelp(m_run->status()));
    m_rewriteButton->setAccessibleName(m_rewriteButton->text());
}

void TitleBarPopovers::refreshStepCount()
{
    if (m_rewriteMenu && m_controller)
        m_rewriteMenu->setStepCount(m_controller->orderedSteps().size());
}

void TitleBarPopovers::refreshPopovers()
{
    if (!m_controller)
        return;
    const SheetState& sheets = m_controller->state().sheets;
    const Step* focused = m_controller->focusedStep();

    if (sheets.smartEditMenu && !m_rewritePopover) {
        if (!focused || !m_rewriteButton) {
            m_controller->setSmartEditMenuOpen(false);
            return;
        }
        m_rewriteStep = focused->id();
        m_rewriteMenu = new SmartEditMenu;
        m_rewritePopover = new Popover(m_rewriteButton, m_rewriteMenu);
        m_rewritePopover->setObjectName(QStringLiteral("smartEditPopover"));
        refreshStepCount();
        QPointer<EditorController> controller = m_controller;
        connect(m_rewritePopover, &Popover::dismissRequested, this, [controller] {
            if (controller)
                controller->setSmartEditMenuOpen(false);
        });
        connect(m_rewriteMenu, &SmartEditMenu::toneChosen, this, [this](DescriptionRewriter::Tone tone) {
            const QUuid id = m_rewriteStep;
            m_controller->setSmartEditMenuOpen(false);
            if (m_run)
                m_run->rewriteStep(id, tone);
        });
        connect(m_rewriteMenu, &SmartEditMenu::rewriteAllChosen, this, [this] {
            m_controller->setSmartEditMenuOpen(false);
            if (m_run)
                m_run->rewriteAll();
        });
        m_rewritePopover->show();
    } else if (!sheets.smartEditMenu && m_rewritePopover) {
        // Not inside the row's own click: the popover goes once that returns.
        m_rewritePopover->hide();
        m_rewritePopover->deleteLater();
        m_rewritePopover = nullptr;
    }

    if (sheets.backgroundPicker && !m_backgroundPopover) {
        if (!focused || !m_backgroundButton) {
            m_controller->setBackgroundPickerOpen(false);
            return;
        }
        m_backgroundContent = new BackgroundPopover(m_controller, focused->id());
        m_backgroundPopover = new Popover(m_backgroundButton, m_backgroundContent);
        m_backgroundPopover->setObjectName(QStringLiteral("backgroundPickerPopover"));
        QPointer<EditorController> controller = m_controller;
        connect(m_backgroundPopover, &Popover::dismissRequested, this, [controller] {
            if (controller)
                controller->setBackgroundPickerOpen(false);
        });
        m_backgroundPopover->show();
    } else if (!sheets.backgroundPicker && m_backgroundPopover) {
        m_backgroundPopover->hide();
        m_backgroundPopover->deleteLater();
        m_backgroundPopover = nullptr;
    }
}

} // namespace zova
