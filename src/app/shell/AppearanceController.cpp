#include "app/shell/AppearanceController.h"

#include "app/shell/AppPalettes.h"
#include "app/shell/ColorSchemeSource.h"

#include <QApplication>

namespace zova {

AppearanceController::AppearanceController(ThemeService* theme, ColorSchemeSource* system, QObject* parent)
    : QObject(parent)
    , m_theme(theme)
    , m_system(system)
{
    connect(theme, &ThemeService::modeChanged, this, &AppearanceController::apply);
    if (system)
        connect(system, &ColorSchemeSource::changed, this, &AppearanceController::apply);
}

bool AppearanceController::isDark(ThemeService::Mode mode, bool systemPrefersDark)
{
    switch (mode) {
    case ThemeService::Mode::System: return systemPrefersDark;
    case ThemeService::Mode::Light: return false;
    case ThemeService::Mode::Dark: return true;
    }
    return false;
}

bool AppearanceController::isDark() const
{
    return m_theme && isDark(m_theme->mode(), m_system && m_system->prefersDark());
}

void AppearanceController::apply()
{
    const bool dark = isDark();
    QApplication::setPalette(dark ? AppPalettes::dark() : AppPalettes::light());
    emit applied(dark);
}

} // namespace zova
