#include "app/shell/ThemeService.h"

#include "base/NotifyingProperty.h"
#include "model/Settings.h"

namespace zova {

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

ThemeService::ThemeService(Settings& settings, QObject* parent)
    : QObject(parent)
    , m_settings(&settings)
    , m_mode(settings.value(settings::themeMode))
{
}

void ThemeService::setMode(Mode mode)
{
    if (m_settings)
        m_settings->setValue(settings::themeMode, mode);
    setNotifying(this, m_mode, mode, &ThemeService::modeChanged);
}

} // namespace zova
