#include "app/SettingsWindow.h"

#include "style/MeshWallpaper.h"

#include <QVBoxLayout>

namespace zova {

SettingsWindow::SettingsWindow(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("settingsWindow"));
    setWindowTitle(QStringLiteral("Settings"));
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->addWidget(new MeshWallpaper(MeshWallpaper::Variant::Pink, this));
    resize(640, 460);
}

} // namespace zova
