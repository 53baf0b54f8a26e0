#include "app/shell/EwmhAppWindowOps.h"

#include "app/AppLog.h"
#include "platform/WindowOperations.h"

#include <QGuiApplication>
#include <QWidget>

namespace zova {

namespace {

bool onX11() { return QGuiApplication::platformName() == QLatin1String("xcb"); }

} // namespace

EwmhAppWindowOps::EwmhAppWindowOps(std::shared_ptr<WindowOperations> operations)
    : m_operations(std::move(operations))
{
}

void EwmhAppWindowOps::minimize(QWidget* window)
{
    if (!window)
        return;
    // Qt sends WM_CHANGE_STATE(IconicState) on X11 and keeps its own state in step.
    window->showMinimized();
}

void EwmhAppWindowOps::bringToFront(QWidget* window)
{
    if (!window)
        return;
    if (window->isMinimized())
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    if (!onX11()) {
        window->activateWindow();
        return;
    }
    // Maps the window, moves it to the current desktop and activates it as a pager would.
    if (!m_operations->restoreWindow(WindowID(window->winId()))) {
        qCInfo(lcApp) << "the window manager could not bring the window back";
        window->activateWindow();
    }
}

} // namespace zova
