#include "platform/CaptureBackend.h"

namespace zova {

QString captureErrorMessage(CaptureError error)
{
    switch (error) {
    case CaptureError::noDisplay: return QStringLiteral("No X11 display is available.");
    case CaptureError::windowNotCapturable: return QStringLiteral("The window cannot be captured.");
    case CaptureError::captureFailed: return QStringLiteral("The screen capture failed.");
    }
    return {};
}

} // namespace zova
