#include "platform/x11/X11ImageReader.h"

#include "platform/Platform.h"
#include "platform/x11/X11ScreenGrabber.h"

#include <X11/Xutil.h>

#include <sys/ipc.h>
#include <sys/shm.h>

namespace zova::x11 {

namespace {

struct ImageDeleter {
    void operator()(XImage* image) const
    {
        if (image)
            XDestroyImage(image);
    }
};
using ImagePtr = std::unique_ptr<XImage, ImageDeleter>;

} // namespace

X11ImageReader::X11ImageReader(Display* display)
    : m_display(display)
{
    // A remote server cannot share our memory; XShmQueryExtension still says yes there.
    m_shmAvailable = display && XShmQueryExtension(display) && XShmPixmapFormat(display) >= 0;
    const char* name = display ? DisplayString(display) : nullptr;
    if (name && name[0] != ':' && qstrncmp(name, "unix:", 5) != 0)
        m_shmAvailable = false;
}

X11ImageReader::~X11ImageReader() { releaseSegment(); }

bool X11ImageReader::ensureSegment(size_t bytes)
{
    if (m_segmentSize >= bytes)
        return true;
    releaseSegment();
    const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (id < 0)
        return false;
    void* address = shmat(id, nullptr, 0);
    if (address == reinterpret_cast<void*>(-1)) {
        shmctl(id, IPC_RMID, nullptr);
        return false;
    }
    m_segment.shmid = id;
    m_segment.shmaddr = static_cast<char*>(address);
    m_segment.readOnly = False;
    ErrorTrap trap(m_display);
    const bool attached = XShmAttach(m_display, &m_segment) && !trap.failed();
    // Once both sides are attached the segment goes away with the last detach.
    shmctl(id, IPC_RMID, nullptr);
    if (!attached) {
        shmdt(address);
        m_segment = {};
        return false;
    }
    m_segmentSize = bytes;
    return true;
}

void X11ImageReader::releaseSegment()
{
    if (m_segmentSize == 0)
        return;
    XShmDetach(m_display, &m_segment);
    XSync(m_display, False);
    shmdt(m_segment.shmaddr);
    m_segment = {};
    m_segmentSize = 0;
}

QImage X11ImageReader::readShared(Drawable drawable, Visual* visual, int depth, int x, int y, int width, int height)
{
    ImagePtr image(XShmCreateImage(
        m_display, visual, unsigned(depth), ZPixmap, nullptr, &m_segment, unsigned(width), unsigned(height)));
    if (!image)
        return {};
    if (!ensureSegment(size_t(image->bytes_per_line) * size_t(height))) {
        m_shmAvailable = false;
        qCWarning(lcPlatform) << "Shared memory for screen captures is not available; reading over the socket";
        return {};
    }
    image->data = m_segment.shmaddr;
    image->obdata = reinterpret_cast<char*>(&m_segment);
    ErrorTrap trap(m_display);
    const bool ok = XShmGetImage(m_display, drawable, image.get(), x, y, AllPlanes) && !trap.failed();
    QImage result = ok ? toQImage(image.get(), depth) : QImage();
    image->data = nullptr; // the segment is ours, not the image's
    return result;
}

QImage X11ImageReader::read(Drawable drawable, Visual* visual, int depth, int x, int y, int width, int height)
{
    if (width <= 0 || height <= 0)
        return {};
    if (m_shmAvailable) {
        QImage shared = readShared(drawable, visual, depth, x, y, width, height);
        if (!shared.isNull() || m_shmAvailable)
            return shared;
    }
    ImagePtr image(XGetImage(m_display, drawable, x, y, unsigned(width), unsigned(height), AllPlanes, ZPixmap));
    return toQImage(image.get(), depth);
}

} // namespace zova::x11
