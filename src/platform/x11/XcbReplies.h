#pragma once

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace zova::x11 {

struct XcbDisconnect {
    void operator()(xcb_connection_t* c) const
    {
        if (c)
            xcb_disconnect(c);
    }
};
using XcbConnectionPtr = std::unique_ptr<xcb_connection_t, XcbDisconnect>;

struct FreeReply {
    void operator()(void* p) const { std::free(p); }
};
template <typename T> using ReplyPtr = std::unique_ptr<T, FreeReply>;

// The reply of a request whose cookie was sent earlier; null on an X error
// (a window that vanished), which is dropped.
template <typename Reply, typename Cookie, typename Fetch>
ReplyPtr<Reply> take(xcb_connection_t* c, Cookie cookie, Fetch fetch)
{
    xcb_generic_error_t* error = nullptr;
    ReplyPtr<Reply> reply(fetch(c, cookie, &error));
    std::free(error);
    return reply;
}

} // namespace zova::x11
