#include "platform/CaptureBackend.h"

namespace zova {

QString captureErrorMessage(CaptureError error)
{
    switch (error) {
    case CaptureError::NoDisplay: return QStringLiteral("No X11 display is available.");
    case CaptureError::WindowNotCapturable: return QStringLiteral("The window cannot be captured.");
    case CaptureError::CaptureFailed: return QStringLiteral("The screen capture failed.");
    }
    return {};
}

} // namespace zova
