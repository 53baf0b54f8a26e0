#include "engine/WindowThumbnail.h"

#include <algorithm>

namespace zova {

std::optional<QImage> windowThumbnail(ScreenGrabber& grabber, const DesktopWindow& window, double maxDimension)
{
    const double w = window.frame.width();
    const double h = window.frame.height();
    if (!(w > 0) || !(h > 0))
        return std::nullopt;
    const double scale = std::min({ maxDimension / w, maxDimension / h, 1.0 });
    const int width = std::max(1, int(w * scale));
    const int height = std::max(1, int(h * scale));
    auto image = grabber.captureWindow(window);
    if (!image || image->isNull())
        return std::nullopt;
    return image->scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace zova
