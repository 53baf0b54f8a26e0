#pragma once

#include "model/SettingsTable.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <array>
#include <optional>

namespace zova {

class Settings;

// The user's appearance choice, kept under "vorne.theme.mode".
class ThemeService : public QObject {
    Q_OBJECT
public:
    using Mode = ThemeMode;
    static constexpr std::array<Mode, 3> allModes = { Mode::System, Mode::Light, Mode::Dark };
    static QString title(Mode mode);
    static QString iconName(Mode mode);

    // Reads the stored mode (exact raw values only, else System); writes nothing.
    explicit ThemeService(Settings& settings, QObject* parent = nullptr);

    Mode mode() const { return m_mode; }
    // Always stores the raw value; notifies only when the mode changes.
    void setMode(Mode mode);

signals:
    void modeChanged(zova::ThemeMode mode);

private:
    QPointer<Settings> m_settings;
    Mode m_mode = Mode::System;
};

} // namespace zova
