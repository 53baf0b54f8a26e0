#pragma once

#include <QObject>

namespace zova {

// Launch-time adjustments once the event loop runs.
class AppDelegate : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Names the application "Z.O.V.A" in a later turn of the event loop.
    void applicationDidFinishLaunching();
};

} // namespace zova
