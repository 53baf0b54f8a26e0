#pragma once

#include "platform/CaptureBackend.h"
#include "platform/x11/X11Display.h"
#include "platform/x11/XcbReplies.h"

#include <QHash>

namespace zova::x11 {

class ClientProcessQuery;

// Reads windows from the EWMH client list (plus mapped override-redirect
// pop-ups whose process is known) and displays from RandR. Window facts are read on a
// connection of its own with every request of a listing sent before the first
// reply is awaited, so a listing costs a few round trips whatever the number of
// windows.
class X11WindowSource final : public WindowSource {
public:
    X11WindowSource();
    ~X11WindowSource() override;
    Expected<DesktopSnapshot, CaptureError> snapshot() override;

    // Layer of an EWMH window type name: 0 for normal, dialog and untyped
    // windows, positive for panels, menus and other floating kinds.
    static int layerForWindowType(const QByteArray& typeName);

private:
    struct Atoms;
    QList<DesktopScreen> readDisplays();
    QList<xcb_window_t> mappedPopups(xcb_window_t root);
    QByteArray atomName(xcb_atom_t atom);

    DisplayPtr m_display;
    XcbConnectionPtr m_xcb;
    std::unique_ptr<Atoms> m_atoms;
    QHash<xcb_atom_t, QByteArray> m_atomNames;
    std::unique_ptr<ClientProcessQuery> m_clientProcesses;
};

// The top-level (child of the root) that holds a window; None if it is gone.
Window topLevelOf(Display* d, Window w);

} // namespace zova::x11
