#pragma once

#include "platform/CaptureBackend.h"

#include <QColor>
#include <QHash>

// In-memory session: the content it is given, or a failure.
class FakeWindowSource final : public zova::WindowSource {
public:
    zova::Expected<zova::DesktopSnapshot, zova::CaptureError> snapshot() override
    {
        ++calls;
        if (fail)
            return zova::unexpected(zova::CaptureError::NoDisplay);
        return content;
    }

    zova::DesktopSnapshot content;
    bool fail = false;
    int calls = 0;
};

// Hands back an image of the frame's size and records what it was asked for.
class FakeScreenGrabber final : public zova::ScreenGrabber {
public:
    zova::Expected<QImage, zova::CaptureError> captureWindow(const zova::DesktopWindow& window) override
    {
        windowsAsked.append(window);
        if (fail)
            return zova::unexpected(zova::CaptureError::WindowNotCapturable);
        QImage image(window.frame.size().toSize(), QImage::Format_RGB32);
        image.fill(colours.value(window.windowID, Qt::red));
        return image;
    }
    zova::Expected<QImage, zova::CaptureError> captureDisplay(
        const zova::DesktopScreen& display, const QList<zova::WindowID>& excluded) override
    {
        excludedAsked = excluded;
        displaysAsked.append(display.frame);
        if (fail)
            return zova::unexpected(zova::CaptureError::CaptureFailed);
        QImage image(display.width, display.height, QImage::Format_RGB32);
        image.fill(Qt::blue);
        return image;
    }

    QList<zova::DesktopWindow> windowsAsked;
    QList<zova::WindowID> excludedAsked;
    QList<QRectF> displaysAsked;
    // Fill of each window's image (red when not listed).
    QHash<zova::WindowID, QColor> colours;
    bool fail = false;
};

inline zova::DesktopWindow makeWindow(zova::WindowID id, std::optional<QString> title, QRectF frame, qint32 pid,
    QString app = QStringLiteral("Editor"), QString instance = QStringLiteral("editor"), int layer = 0)
{
    zova::DesktopWindow w;
    w.windowID = id;
    w.title = std::move(title);
    w.frame = frame;
    w.windowLayer = layer;
    w.isOnScreen = true;
    if (pid != 0)
        w.owningApplication = zova::RunningApplication { std::move(app), std::move(instance), pid };
    return w;
}
