#pragma once

#include "app/shell/ThemeService.h"

#include "app/shell/ColorSchemeSource.h"
#include <QObject>

#include <QPointer>

namespace zova {

class ColorSchemeSource;

// Applies the light or dark palette to the application whenever the mode or,
// for "Follow system", the desktop's preference changes.
class AppearanceController : public QObject {
    Q_OBJECT
public:
    AppearanceController(ThemeService* theme, ColorSchemeSource* system, QObject* parent = nullptr);

    static bool isDark(ThemeService::Mode mode, bool systemPrefersDark);
    bool isDark() const;
    void apply();

signals:
    void applied(bool dark);

private:
    QPointer<ThemeService> m_theme;
    QPointer<ColorSchemeSource> m_system;
};

} // namespace zova
