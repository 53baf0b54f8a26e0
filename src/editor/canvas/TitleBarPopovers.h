#pragma once

#include "editor/canvas/BackgroundPopover.h"
#include "editor/rewrite/SmartEditMenu.h"
#include "style/PillButton.h"
#include "style/Popover.h"

#include <QAbstractButton>
#include <QObject>
#include <QPointer>
#include <QUuid>

namespace zova {

class EditorController;
class RewriteRun;

// The title bar's "AI Rewrite" and "Background" popovers, opened below their
// buttons while the editor's state says so, each for the step focused when it
// opened; and the "AI Rewrite" button's look, which follows the rewrite run:
// its text, spinner, enabled state and help.
class TitleBarPopovers : public QObject {
    Q_OBJECT
public:
    TitleBarPopovers(EditorController* controller, RewriteRun* run, QObject* parent = nullptr);
    ~TitleBarPopovers() override;

    // The buttons the popovers open from; a click toggles its popover.
    void setRewriteButton(PillButton* button);
    void setBackgroundButton(QAbstractButton* button);

    Popover* rewritePopover() const { return m_rewritePopover; }
    SmartEditMenu* rewriteMenu() const { return m_rewriteMenu; }
    Popover* backgroundPopover() const { return m_backgroundPopover; }
    BackgroundPopover* backgroundContent() const { return m_backgroundContent; }

private:
    void refreshPopovers();
    void refreshRewriteButton();
    void refreshStepCount();

    QPointer<EditorController> m_controller;
    QPointer<RewriteRun> m_run;
    QPointer<PillButton> m_rewriteButton;
    QPointer<QAbstractButton> m_backgroundButton;
    QPointer<Popover> m_rewritePopover;
    QPointer<SmartEditMenu> m_rewriteMenu;
    QPointer<Popover> m_backgroundPopover;
    QPointer<BackgroundPopover> m_backgroundContent;
    QUuid m_rewriteStep;
};

} // namespace zova
