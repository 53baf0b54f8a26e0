#pragma once

#include "platform/CaptureBackend.h"
#include "platform/x11/X11Display.h"

#include <QList>

namespace zova::x11 {

// Reads the icons clients publish, on a connection of its own: _NET_WM_ICON,
// else the icon pixmap (and mask) of the WM_HINTS of older clients; for a
// window without either, its group leader's.
class X11WindowIcons final : public WindowIconSource {
public:
    X11WindowIcons();
    std::optional<QImage> icon(WindowID window, int size) override;

private:
    DisplayPtr m_display;
};

// The icon nearest to `size` of _NET_WM_ICON's data (width, height, then
// width × height ARGB pixels, for each icon in turn): the smallest at least that
// large, else the largest; nothing when the data holds no whole icon.
std::optional<QImage> iconFromNetWmIcon(const QList<unsigned long>& data, int size);

} // namespace zova::x11
