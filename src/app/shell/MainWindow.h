#pragma once

#include "app/shell/ThemeService.h"

#include "onboarding/CoachMarksService.h"
#include <QMainWindow>

#include <QPointer>

class QAction;

namespace zova {

class CoachMarksService;
class ContentView;
class Settings;

// The main window "Z.O.V.A": the root view, View › Appearance, Help › "Show tips
// again", and File › Settings… (Ctrl+,) opening the Settings window.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // The settings are the application's and outlive the window.
    MainWindow(Settings& settings, ThemeService* theme, CoachMarksService* coach, ContentView* content,
        QWidget* parent = nullptr);

    // Ctrl+Alt+1, 2, 3 for the modes in order.
    static QKeySequence shortcut(ThemeService::Mode mode);
    QList<QAction*> appearanceActions() const { return m_appearance; }
    QAction* showTipsAction() const { return m_showTips; }
    QAction* settingsAction() const { return m_settings; }
    QWidget* settingsWindow() const { return m_settingsWindow; }
    // Where the Settings window of this size opens: over this window, on screen.
    QPoint settingsWindowPosition(QSize size) const;
    ContentView* content() const { return m_content; }

private:
    void updateAppearanceIcons();
    void openSettings();

    Settings& m_settingsStore;
    QPointer<ThemeService> m_theme;
    QPointer<CoachMarksService> m_coach;
    ContentView* m_content;
    QList<QAction*> m_appearance;
    QAction* m_showTips = nullptr;
    QAction* m_settings = nullptr;
    QPointer<QWidget> m_settingsWindow;
};

} // namespace zova
