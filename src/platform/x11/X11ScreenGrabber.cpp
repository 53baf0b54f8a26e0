#include "platform/x11/X11ScreenGrabber.h"

#include "platform/Platform.h"
#include "platform/x11/X11ImageReader.h"
#include "platform/x11/X11Properties.h"
#include "platform/x11/X11WindowSource.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xcomposite.h>
#include <X11/extensions/Xfixes.h>
#include <X11/extensions/Xrender.h>

#include <QRegion>
#include <QSet>

#include <cstring>
#include <vector>

namespace zova::x11 {

namespace {

// A server-side resource freed with the given call when it goes out of scope.
template <typename Free> class Resource {
public:
    Resource(Display* d, XID id, Free free)
        : m_display(d)
        , m_id(id)
        , m_free(free)
    {
    }
    ~Resource()
    {
        if (m_id)
            m_free(m_display, m_id);
    }
    Resource(const Resource&) = delete;
    Resource& operator=(const Resource&) = delete;
    XID get() const { return m_id; }

private:
    Display* m_display;
    XID m_id;
    Free m_free;
};

auto freePixmap = [](Display* d, XID id) { XFreePixmap(d, id); };
auto freePicture = [](Display* d, XID id) { XRenderFreePicture(d, id); };
auto freeRegion = [](Display* d, XID id) { XFixesDestroyRegion(d, id); };

// The wallpaper that setters publish as a root pixmap, tiled from the root's
// origin, over `rect` of the root, into `target` whose origin lies at `origin`;
// false when none is set or it has gone.
bool paintWallpaper(Display* d, Picture target, const QRect& rect, QPoint origin)
{
    const Window root = DefaultRootWindow(d);
    std::optional<unsigned long> pixmap;
    for (const char* name : { "_XROOTPMAP_ID", "ESETROOT_PMAP_ID" }) {
        if ((pixmap = cardinal(d, root, name, XA_PIXMAP)) && *pixmap)
            break;
    }
    if (!pixmap || !*pixmap)
        return false;
    ErrorTrap trap(d);
    Window geometryRoot = None;
    int x = 0, y = 0;
    unsigned int width = 0, height = 0, border = 0, depth = 0;
    if (!XGetGeometry(d, Pixmap(*pixmap), &geometryRoot, &x, &y, &width, &height, &border, &depth) || trap.failed()
        || width == 0 || height == 0)
        return false;
    const int screen = DefaultScreen(d);
    XRenderPictFormat* format = int(depth) == DefaultDepth(d, screen)
        ? XRenderFindVisualFormat(d, DefaultVisual(d, screen))
        : XRenderFindStandardFormat(d, depth == 32 ? PictStandardARGB32 : PictStandardRGB24);
    if (!format || format->depth != int(depth))
        return false;
    XRenderPictureAttributes pa {};
    pa.repeat = RepeatNormal;
    Resource picture(d, XRenderCreatePicture(d, Pixmap(*pixmap), format, CPRepeat, &pa), freePicture);
    const QPoint at = rect.topLeft() - origin;
    XRenderComposite(d, PictOpSrc, picture.get(), None, target, rect.x(), rect.y(), 0, 0, at.x(), at.y(),
        unsigned(rect.width()), unsigned(rect.height()));
    return !trap.failed();
}

// The root window's own background (a solid colour or a tile set on the root)
// over `rect`, the same way: a window that takes its parent's background,
// mapped beneath every other one for the moment it takes to name its pixmap.
bool paintRootBackground(Display* d, Picture target, const QRect& rect, QPoint origin)
{
    const Window root = DefaultRootWindow(d);
    const int screen = DefaultScreen(d);
    ErrorTrap created(d);
    XSetWindowAttributes attrs {};
    attrs.background_pixmap = ParentRelative;
    attrs.override_redirect = True;
    Resource window(d,
        XCreateWindow(d, root, rect.x(), rect.y(), unsigned(rect.width()), unsigned(rect.height()), 0, CopyFromParent,
            InputOutput, CopyFromParent, CWBackPixmap | CWOverrideRedirect, &attrs),
        [](Display* display, XID id) { XDestroyWindow(display, id); });
    if (created.failed())
        return false;
    // Redirected by hand, it is never drawn to the screen, so mapping it repaints
    // nothing there. A compositing manager that redirects the root's windows by
    // hand refuses this, and draws it itself, beneath all, unseen.
    {
        ErrorTrap redirect(d);
        XCompositeRedirectWindow(d, window.get(), CompositeRedirectManual);
        (void)redirect.failed();
    }
    ErrorTrap trap(d);
    XLowerWindow(d, window.get());
    XMapWindow(d, window.get());
    XSync(d, False);
    Resource pixmap(d, XCompositeNameWindowPixmap(d, window.get()), freePixmap);
    XRenderPictFormat* format = XRenderFindVisualFormat(d, DefaultVisual(d, screen));
    if (trap.failed() || !format)
        return false;
    Resource picture(d, XRenderCreatePicture(d, pixmap.get(), format, 0, nullptr), freePicture);
    const QPoint at = rect.topLeft() - origin;
    XRenderComposite(d, PictOpSrc, picture.get(), None, target, 0, 0, 0, 0, at.x(), at.y(), unsigned(rect.width()),
        unsigned(rect.height()));
    XUnmapWindow(d, window.get());
    return !trap.failed();
}

// A top-level window as the display capture draws it.
struct Layer {
    Window window = None;
    QRect outer; // with its border, in root coordinates
    int border = 0;
    XRenderPictFormat* format = nullptr;
    bool alpha = false;
    XserverRegion shape = None;
};

} // namespace

QImage toQImage(XImage* image, int depth)
{
    if (!image || image->bits_per_pixel != 32 || image->byte_order != LSBFirst || (depth != 24 && depth != 32))
        return {};
    QImage result(
        image->width, image->height, depth == 32 ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (result.isNull())
        return {};
    const size_t rowBytes = size_t(image->width) * 4;
    for (int y = 0; y < image->height; ++y)
        std::memcpy(result.scanLine(y), image->data + qsizetype(y) * image->bytes_per_line, rowBytes);
    return result;
}

X11ScreenGrabber::X11ScreenGrabber()
    : m_display(openDisplay())
{
    if (!m_display)
        return;
    m_reader = std::make_unique<X11ImageReader>(m_display.get());
    Display* d = m_display.get();
    int event = 0, error = 0, major = 0, minor = 2;
    if (!XCompositeQueryExtension(d, &event, &error) || !XCompositeQueryVersion(d, &major, &minor)
        || (major == 0 && minor < 2)) {
        qCWarning(lcPlatform) << "Composite 0.2 is missing: windows cannot be captured";
        return;
    }
    ErrorTrap trap(d);
    XCompositeRedirectSubwindows(d, DefaultRootWindow(d), CompositeRedirectAutomatic);
    m_composite = !trap.failed();
}

X11ScreenGrabber::~X11ScreenGrabber() = default;

Expected<QImage, CaptureError> X11ScreenGrabber::captureWindow(const DesktopWindow& window)
{
    if (!m_display)
        return unexpected(CaptureError::NoDisplay);
    if (!m_composite)
        return unexpected(CaptureError::CaptureFailed);
    Display* d = m_display.get();
    ErrorTrap trap(d);
    const Window w = Window(window.windowID);
    XWindowAttributes attrs;
    if (!XGetWindowAttributes(d, w, &attrs) || attrs.map_state != IsViewable)
        return unexpected(CaptureError::WindowNotCapturable);
    const Window top = topLevelOf(d, w);
    XWindowAttributes topAttrs;
    if (top == None || !XGetWindowAttributes(d, top, &topAttrs))
        return unexpected(CaptureError::WindowNotCapturable);

    // Where the frame lies inside the top-level's pixmap (which includes its border).
    int rootX = 0, rootY = 0, inTopX = 0, inTopY = 0;
    Window child = None;
    XTranslateCoordinates(d, w, DefaultRootWindow(d), 0, 0, &rootX, &rootY, &child);
    XTranslateCoordinates(d, w, top, 0, 0, &inTopX, &inTopY, &child);
    const int x = inTopX + topAttrs.border_width + int(window.frame.x()) - rootX;
    const int y = inTopY + topAttrs.border_width + int(window.frame.y()) - rootY;
    const int pixW = topAttrs.width + 2 * topAttrs.border_width;
    const int pixH = topAttrs.height + 2 * topAttrs.border_width;
    const QRect area = QRect(x, y, std::max(1, int(window.frame.width())), std::max(1, int(window.frame.height())))
                           .intersected(QRect(0, 0, pixW, pixH));
    if (area.isEmpty())
        return unexpected(CaptureError::WindowNotCapturable);

    Resource pixmap(d, XCompositeNameWindowPixmap(d, top), freePixmap);
    if (trap.failed())
        return unexpected(CaptureError::WindowNotCapturable);
    QImage result = m_reader->read(
        pixmap.get(), topAttrs.visual, topAttrs.depth, area.x(), area.y(), area.width(), area.height());
    if (result.isNull())
        return unexpected(CaptureError::CaptureFailed);
    return result;
}

Expected<QImage, CaptureError> X11ScreenGrabber::captureDisplay(
    const DesktopScreen& display, const QList<WindowID>& excluded)
{
    if (!m_display)
        return unexpected(CaptureError::NoDisplay);
    if (!m_composite)
        return unexpected(CaptureError::CaptureFailed);
    Display* d = m_display.get();
    const Window root = DefaultRootWindow(d);
    const int screen = DefaultScreen(d);
    ErrorTrap trap(d);

    QSet<Window> skipped;
    for (WindowID id : excluded) {
        if (Window top = topLevelOf(d, Window(id)))
            skipped.insert(top);
    }

    const int width = std::max(1, int(display.frame.width()));
    const int height = std::max(1, int(display.frame.height()));
    const int depth = DefaultDepth(d, screen);
    XRenderPictFormat* rootFormat = XRenderFindVisualFormat(d, DefaultVisual(d, screen));
    if (!rootFormat)
        return unexpected(CaptureError::CaptureFailed);
    const QRect area = display.frame.toRect();

    Window rootReturn = None, parent = None;
    Window* children = nullptr;
    unsigned int n = 0;
    if (!XQueryTree(d, root, &rootReturn, &parent, &children, &n))
        return unexpected(CaptureError::CaptureFailed);
    XPtr<Window> childList(children);
    std::vector<Layer> layers;
    layers.reserve(n);
    struct FreeShapes {
        Display* d;
        std::vector<Layer>& layers;
        ~FreeShapes()
        {
            for (const Layer& layer : layers)
                XFixesDestroyRegion(d, layer.shape);
        }
    } freeShapes { d, layers };
    // The root's background shows only where no opaque window lies.
    QRegion bare(area);
    for (unsigned int i = 0; i < n; ++i) {
        const Window w = children[i];
        XWindowAttributes attrs;
        if (skipped.contains(w) || !XGetWindowAttributes(d, w, &attrs) || attrs.map_state != IsViewable
            || attrs.c_class != InputOutput)
            continue;
        Layer layer;
        layer.window = w;
        layer.border = attrs.border_width;
        layer.outer = QRect(attrs.x, attrs.y, attrs.width + 2 * layer.border, attrs.height + 2 * layer.border);
        if (!layer.outer.intersects(area) || !(layer.format = XRenderFindVisualFormat(d, attrs.visual)))
            continue;
        layer.alpha = layer.format->type == PictTypeDirect && layer.format->direct.alphaMask != 0;
        layer.shape = XFixesCreateRegionFromWindow(d, w, WindowRegionBounding);
        layers.push_back(layer);
        if (layer.alpha || bare.isEmpty())
            continue;
        int count = 0;
        if (XRectangle* rects = XFixesFetchRegion(d, layer.shape, &count)) {
            // The bounding shape lies relative to the inside of the border.
            const QPoint inside = layer.outer.topLeft() + QPoint(layer.border, layer.border);
            for (int r = 0; r < count; ++r)
                bare -= QRect(rects[r].x, rects[r].y, rects[r].width, rects[r].height).translated(inside);
            XFree(rects);
        }
    }

    Resource target(d, XCreatePixmap(d, root, unsigned(width), unsigned(height), unsigned(depth)), freePixmap);
    Resource targetPicture(d, XRenderCreatePicture(d, target.get(), rootFormat, 0, nullptr), freePicture);
    if (!bare.isEmpty()) {
        const QRect rect = bare.boundingRect();
        if (!paintWallpaper(d, targetPicture.get(), rect, area.topLeft())
            && !paintRootBackground(d, targetPicture.get(), rect, area.topLeft())) {
            const XRenderColor black { 0, 0, 0, 0xffff };
            XRenderFillRectangle(d, PictOpSrc, targetPicture.get(), &black, rect.x() - area.x(), rect.y() - area.y(),
                unsigned(rect.width()), unsigned(rect.height()));
        }
    }
    // Bottom to top, each top-level's own pixmap over what lies beneath it.
    for (const Layer& layer : layers) {
        Resource pixmap(d, XCompositeNameWindowPixmap(d, layer.window), freePixmap);
        XRenderPictureAttributes pa {};
        pa.subwindow_mode = IncludeInferiors;
        Resource picture(d, XRenderCreatePicture(d, pixmap.get(), layer.format, CPSubwindowMode, &pa), freePicture);
        XFixesSetPictureClipRegion(d, picture.get(), layer.border, layer.border, layer.shape);
        XRenderComposite(d, layer.alpha ? PictOpOver : PictOpSrc, picture.get(), None, targetPicture.get(), 0, 0, 0, 0,
            layer.outer.x() - area.x(), layer.outer.y() - area.y(), unsigned(layer.outer.width()),
            unsigned(layer.outer.height()));
    }
    QImage result = m_reader->read(target.get(), DefaultVisual(d, screen), depth, 0, 0, width, height);
    if (result.isNull())
        return unexpected(CaptureError::CaptureFailed);
    if (depth == 32)
        result = result.convertToFormat(QImage::Format_RGB32);
    return result;
}

} // namespace zova::x11
