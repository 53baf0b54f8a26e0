#include "platform/x11/X11ClientProcess.h"

#include <cstring>

namespace zova::x11 {

ClientProcessQuery::ClientProcessQuery(xcb_connection_t* connection)
    : m_connection(connection)
{
    if (!connection || xcb_connection_has_error(connection))
        return;
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection, &xcb_res_id);
    if (!extension || !extension->present)
        return;
    // Client ids came with version 1.2.
    auto version = x11::take<xcb_res_query_version_reply_t>(
        connection, xcb_res_query_version(connection, 1, 2), xcb_res_query_version_reply);
    m_available = version && (version->server_major > 1 || (version->server_major == 1 && version->server_minor >= 2));
}

xcb_res_query_client_ids_cookie_t ClientProcessQuery::ask(xcb_window_t window) const
{
    const xcb_res_client_id_spec_t spec { window, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID };
    return xcb_res_query_client_ids(m_connection, 1, &spec);
}

std::optional<qint32> ClientProcessQuery::take(xcb_res_query_client_ids_cookie_t cookie) const
{
    auto reply = x11::take<xcb_res_query_client_ids_reply_t>(m_connection, cookie, xcb_res_query_client_ids_reply);
    if (!reply)
        return std::nullopt;
    for (auto it = xcb_res_query_client_ids_ids_iterator(reply.get()); it.rem; xcb_res_client_id_value_next(&it)) {
        if (!(it.data->spec.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID)
            || xcb_res_client_id_value_value_length(it.data) < 1)
            continue;
        const auto pid = qint32(xcb_res_client_id_value_value(it.data)[0]);
        if (pid > 0)
            return pid;
    }
    return std::nullopt;
}

std::optional<qint32> windowProcessID(const char* displayName, xcb_window_t window)
{
    XcbConnectionPtr connection(xcb_connect(displayName, nullptr));
    xcb_connection_t* c = connection.get();
    if (xcb_connection_has_error(c))
        return std::nullopt;
    static constexpr char name[] = "_NET_WM_PID";
    auto interned = x11::take<xcb_intern_atom_reply_t>(
        c, xcb_intern_atom(c, 1, uint16_t(std::strlen(name)), name), xcb_intern_atom_reply);
    if (interned && interned->atom != XCB_ATOM_NONE) {
        auto property = x11::take<xcb_get_property_reply_t>(
            c, xcb_get_property(c, 0, window, interned->atom, XCB_ATOM_CARDINAL, 0, 1), xcb_get_property_reply);
        if (property && property->format == 32 && xcb_get_property_value_length(property.get()) >= 4) {
            const auto pid = qint32(*static_cast<const uint32_t*>(xcb_get_property_value(property.get())));
            if (pid > 0)
                return pid;
        }
    }
    const ClientProcessQuery query(c);
    if (!query.available())
        return std::nullopt;
    return query.take(query.ask(window));
}

} // namespace zova::x11
