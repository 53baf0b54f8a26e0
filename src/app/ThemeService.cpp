#include "app/ThemeService.h"

#include "app/SettingsKeys.h"
#include "base/NotifyingProperty.h"

#include <QSettings>

namespace zova {

QString ThemeService::rawValue(Mode mode)
{
    switch (mode) {
    case Mode::System: return QStringLiteral("system");
    case Mode::Light: return QStringLiteral("light");
    case Mode::Dark: return QStringLiteral("dark");
    }
    return {};
}

std::optional<ThemeService::Mode> ThemeService::modeFromRaw(const QString& raw)
{
    for (Mode m : allModes)
        if (rawValue(m) == raw)
            return m;
    return std::nullopt;
}

QString ThemeService::title(Mode mode)
{
    switch (mode) {
    case Mode::System: return QStringLiteral("Follow system");
    case Mode::Light: return QStringLiteral("Light");
    case Mode::Dark: return QStringLiteral("Dark");
    }
    return {};
}

QString ThemeService::iconName(Mode mode)
{
    switch (mode) {
    case Mode::System: return QStringLiteral("circle.lefthalf.filled");
    case Mode::Light: return QStringLiteral("sun.max.fill");
    case Mode::Dark: return QStringLiteral("moon.fill");
    }
    return {};
}

ThemeService::ThemeService(QObject* parent)
    : QObject(parent)
{
    const QVariant stored = QSettings().value(SettingsKeys::themeMode);
    if (stored.typeId() == QMetaType::QString)
        m_mode = modeFromRaw(stored.toString()).value_or(Mode::System);
}

void ThemeService::setMode(Mode mode)
{
    QSettings().setValue(SettingsKeys::themeMode, rawValue(mode));
    setNotifying(this, m_mode, mode, &ThemeService::modeChanged);
}

} // namespace zova
