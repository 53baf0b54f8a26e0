#pragma once

#include <QObject>
#include <QString>

#include <array>
#include <optional>

namespace zova {

// The user's appearance choice, kept under "vorne.theme.mode".
class ThemeService : public QObject {
    Q_OBJECT
public:
    enum class Mode { System, Light, Dark };
    static constexpr std::array<Mode, 3> allModes = { Mode::System, Mode::Light, Mode::Dark };
    static QString rawValue(Mode mode);
    static std::optional<Mode> modeFromRaw(const QString& raw);
    static QString title(Mode mode);
    static QString iconName(Mode mode);

    // Reads the stored mode (exact raw values only, else System); writes nothing.
    explicit ThemeService(QObject* parent = nullptr);

    Mode mode() const { return m_mode; }
    // Always stores the raw value; notifies only when the mode changes.
    void setMode(Mode mode);

signals:
    void modeChanged(zova::ThemeService::Mode mode);

private:
    Mode m_mode = Mode::System;
};

} // namespace zova
