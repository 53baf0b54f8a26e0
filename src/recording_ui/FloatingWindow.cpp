#include "recording_ui/FloatingWindow.h"

#include "platform/CompositingCheck.h"

#include <QGuiApplication>
#include <QWidget>

namespace zova::FloatingWindow {

void configure(QWidget* window, bool clickThrough, bool translucent)
{
    // Override-redirect (BypassWindowManagerHint) keeps the window out of the
    // window manager's focus handling and workspaces, so it is on all of them.
    Qt::WindowFlags flags = Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus
        | Qt::BypassWindowManagerHint;
    if (clickThrough)
        flags |= Qt::WindowTransparentForInput;
    window->setWindowFlags(flags);
    window->setAttribute(Qt::WA_ShowWithoutActivating);
    window->setAttribute(Qt::WA_AlwaysShowToolTips);
    window->setFocusPolicy(Qt::NoFocus);
    if (translucent) {
        window->setAttribute(Qt::WA_TranslucentBackground);
        window->setAttribute(Qt::WA_NoSystemBackground);
    }
}

bool translucencyAvailable(CompositingCheck& compositing)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return QGuiApplication::platformName() != QLatin1String("offscreen");
    return compositing.compositingManagerRunning();
}

} // namespace zova::FloatingWindow
