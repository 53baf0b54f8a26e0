#include "platform/x11/X11WindowIcons.h"

#include "platform/x11/X11Properties.h"
#include "platform/x11/X11ScreenGrabber.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>

namespace zova::x11 {

namespace {

// Icons larger than this are not real icons: malformed data is read no further.
constexpr unsigned long largestSide = 1024;

struct ImageDeleter {
    void operator()(XImage* image) const
    {
        if (image)
            XDestroyImage(image);
    }
};
using ImagePtr = std::unique_ptr<XImage, ImageDeleter>;

// A pixmap's pixels: a bitmap (depth 1) as black on white, other depths as they are.
QImage readPixmap(Display* d, Pixmap pixmap, int* depthOut = nullptr)
{
    ErrorTrap trap(d);
    Window root = None;
    int x = 0, y = 0;
    unsigned int width = 0, height = 0, border = 0, depth = 0;
    if (!XGetGeometry(d, pixmap, &root, &x, &y, &width, &height, &border, &depth) || trap.failed() || width == 0
        || height == 0 || width > largestSide || height > largestSide)
        return {};
    ImagePtr image(XGetImage(d, pixmap, 0, 0, width, height, AllPlanes, ZPixmap));
    if (!image || trap.failed())
        return {};
    if (depthOut)
        *depthOut = int(depth);
    if (depth != 1)
        return toQImage(image.get(), int(depth));
    QImage bits(int(width), int(height), QImage::Format_RGB32);
    for (int row = 0; row < int(height); ++row)
        for (int column = 0; column < int(width); ++column)
            bits.setPixel(column, row, XGetPixel(image.get(), column, row) ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    return bits;
}

std::optional<QImage> hintsIcon(Display* d, const XWMHints& hints)
{
    if (!(hints.flags & IconPixmapHint) || !hints.icon_pixmap)
        return std::nullopt;
    QImage icon = readPixmap(d, hints.icon_pixmap);
    if (icon.isNull())
        return std::nullopt;
    icon = icon.convertToFormat(QImage::Format_ARGB32);
    int maskDepth = 0;
    const QImage mask
        = (hints.flags & IconMaskHint) && hints.icon_mask ? readPixmap(d, hints.icon_mask, &maskDepth) : QImage();
    if (!mask.isNull() && maskDepth == 1 && mask.size() == icon.size()) {
        // Where the mask's bit is clear (read as white) the icon is transparent.
        for (int row = 0; row < icon.height(); ++row)
            for (int column = 0; column < icon.width(); ++column)
                if (qRed(mask.pixel(column, row)) != 0)
                    icon.setPixel(column, row, 0);
    }
    return icon;
}

// The window's own icon; `leader` (when asked for) receives its group leader.
std::optional<QImage> iconOf(Display* d, Window w, int size, Window* leader)
{
    ErrorTrap trap(d);
    if (auto data = cardinals(d, w, "_NET_WM_ICON", XA_CARDINAL))
        if (auto icon = iconFromNetWmIcon(*data, size))
            return icon;
    XPtr<XWMHints> hints(XGetWMHints(d, w));
    if (trap.failed() || !hints)
        return std::nullopt;
    if (leader && (hints->flags & WindowGroupHint))
        *leader = hints->window_group;
    return hintsIcon(d, *hints);
}

} // namespace

std::optional<QImage> iconFromNetWmIcon(const QList<unsigned long>& data, int size)
{
    struct Entry {
        qsizetype at;
        int width, height;
    };
    std::optional<Entry> best;
    for (qsizetype at = 0; at + 2 <= data.size();) {
        const unsigned long width = data[at], height = data[at + 1];
        if (width == 0 || height == 0 || width > largestSide || height > largestSide
            || qsizetype(width * height) > data.size() - at - 2)
            break;
        const Entry entry { at + 2, int(width), int(height) };
        const int side = std::max(entry.width, entry.height);
        const int bestSide = best ? std::max(best->width, best->height) : 0;
        const bool better = !best || (side >= size ? (bestSide < size || side < bestSide) : side > bestSide);
        if (better)
            best = entry;
        at += 2 + qsizetype(width * height);
    }
    if (!best)
        return std::nullopt;
    QImage icon(best->width, best->height, QImage::Format_ARGB32);
    for (int row = 0; row < best->height; ++row) {
        auto* line = reinterpret_cast<QRgb*>(icon.scanLine(row));
        for (int column = 0; column < best->width; ++column)
            line[column] = QRgb(data[best->at + qsizetype(row) * best->width + column] & 0xFFFFFFFFu);
    }
    return icon;
}

X11WindowIcons::X11WindowIcons()
    : m_display(openDisplay())
{
}

std::optional<QImage> X11WindowIcons::icon(WindowID window, int size)
{
    Display* d = m_display.get();
    if (!d || window == 0)
        return std::nullopt;
    Window leader = None;
    if (auto icon = iconOf(d, Window(window), size, &leader))
        return icon;
    if (leader != None && leader != Window(window))
        return iconOf(d, leader, size, nullptr);
    return std::nullopt;
}

} // namespace zova::x11
