#pragma once

#include <QString>

#include <cstdint>
#include <functional>

namespace zova {

// The settings of one video export; the defaults are the export panel's values.
struct VideoExportOptions {
    int width = 1920;
    int height = 1080;
    std::int32_t fps = 30;
    double minSecondsPerStep = 3.0;
    double tailSecondsAfterNarration = 0.5;
    bool revealWhenDone = false; // show the finished file in the file manager
    QString themeAccentHex = QStringLiteral("ff3d8a");
    bool narrateSteps = true;
    std::function<void(const QString&)> progress; // called on the GUI thread
    double synthesisTimeoutSeconds = 30.0;
};

} // namespace zova
