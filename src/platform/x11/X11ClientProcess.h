#pragma once

#include "platform/x11/XcbReplies.h"

#include <xcb/res.h>

#include <QtGlobal>

#include <optional>

namespace zova::x11 {

// The process behind a window's X client, from the X-Resource extension
// (XResQueryClientIds with the local-client-pid mask). It answers for clients
// that set no _NET_WM_PID, as long as they run on this machine.
class ClientProcessQuery {
public:
    explicit ClientProcessQuery(xcb_connection_t* connection);

    bool available() const { return m_available; }
    // Sends the request; its answer is read with take().
    xcb_res_query_client_ids_cookie_t ask(xcb_window_t window) const;
    // The pid the server knows for the client, or nothing (remote client, the
    // window gone, no extension).
    std::optional<qint32> take(xcb_res_query_client_ids_cookie_t cookie) const;

private:
    xcb_connection_t* m_connection;
    bool m_available = false;
};

// _NET_WM_PID of the window, else the pid the X server knows for its client;
// nothing when neither answers. Opens a connection of its own for the latter.
std::optional<qint32> windowProcessID(const char* displayName, xcb_window_t window);

} // namespace zova::x11
