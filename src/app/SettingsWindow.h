#pragma once

#include <QWidget>

namespace zova {

// The Settings window; its tabs are added by the settings screens.
class SettingsWindow : public QWidget {
    Q_OBJECT
public:
    explicit SettingsWindow(QWidget* parent = nullptr);
};

} // namespace zova
