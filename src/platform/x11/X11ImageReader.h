#pragma once

#include "platform/x11/X11Display.h"

#include <X11/extensions/XShm.h>

namespace zova::x11 {

// Reads drawables into QImages through one reused MIT-SHM segment, so the
// pixels never cross the socket; falls back to XGetImage without MIT-SHM.
class X11ImageReader {
public:
    explicit X11ImageReader(Display* display);
    ~X11ImageReader();
    X11ImageReader(const X11ImageReader&) = delete;
    X11ImageReader& operator=(const X11ImageReader&) = delete;

    // The area of a drawable of the given visual and depth (24 or 32); null
    // when it cannot be read.
    QImage read(Drawable drawable, Visual* visual, int depth, int x, int y, int width, int height);

    bool usesSharedMemory() const { return m_shmAvailable; }

private:
    bool ensureSegment(size_t bytes);
    void releaseSegment();
    QImage readShared(Drawable drawable, Visual* visual, int depth, int x, int y, int width, int height);

    Display* m_display;
    bool m_shmAvailable = false;
    XShmSegmentInfo m_segment {};
    size_t m_segmentSize = 0;
};

} // namespace zova::x11
