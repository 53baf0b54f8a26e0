#pragma once

#include "platform/CaptureBackend.h"
#include "support/FakeBackends.h"

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
