#pragma once

#include "platform/CaptureBackend.h"
#include "platform/DesktopSnapshot.h"

#include <QImage>

#include <optional>

namespace zova {

// A window's thumbnail for the picker's cards: the window's frame scaled to at
// most maxDimension pixels on its longer side, never enlarged; nothing when the
// window has no area or cannot be captured.
std::optional<QImage> windowThumbnail(ScreenGrabber& grabber, const DesktopWindow& window, double maxDimension);

} // namespace zova
