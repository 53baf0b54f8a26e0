#include "app/shell/AppDelegate.h"

#include <QGuiApplication>
#include <QTimer>

namespace zova {

void AppDelegate::applicationDidFinishLaunching()
{
    QTimer::singleShot(0, this, [] { QGuiApplication::setApplicationDisplayName(QStringLiteral("Z.O.V.A")); });
}

} // namespace zova
