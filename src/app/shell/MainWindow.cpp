#include "app/shell/MainWindow.h"

#include "app/shell/ContentView.h"
#include "onboarding/CoachMarksService.h"
#include "onboarding/SettingsView.h"
#include "style/Symbols.h"
#include "style/ZOVAColor.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>

#include <algorithm>

namespace zova {

MainWindow::MainWindow(
    Settings& settings, ThemeService* theme, CoachMarksService* coach, ContentView* content, QWidget* parent)
    : QMainWindow(parent)
    , m_settingsStore(settings)
    , m_theme(theme)
    , m_coach(coach)
    , m_content(content)
{
    setWindowTitle(QStringLiteral("Z.O.V.A"));
    setCentralWidget(content);
    resize(1280, 820);

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    m_settings = file->addAction(QStringLiteral("Settings\u2026"));
    m_settings->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    m_settings->setMenuRole(QAction::PreferencesRole);
    connect(m_settings, &QAction::triggered, this, &MainWindow::openSettings);
    file->addSeparator();
    QAction* quit = file->addAction(QStringLiteral("Quit"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quit, &QAction::triggered, qApp, &QApplication::quit);

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    QMenu* appearance = view->addMenu(QStringLiteral("Appearance"));
    for (ThemeService::Mode mode : ThemeService::allModes) {
        QAction* a = appearance->addAction(ThemeService::title(mode));
        a->setShortcut(shortcut(mode));
        a->setShortcutContext(Qt::ApplicationShortcut);
        connect(a, &QAction::triggered, this, [this, mode] {
            if (m_theme)
                m_theme->setMode(mode);
        });
        m_appearance << a;
    }
    connect(theme, &ThemeService::modeChanged, this, &MainWindow::updateAppearanceIcons);
    updateAppearanceIcons();

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    m_showTips = help->addAction(QStringLiteral("Show tips again"));
    m_showTips->setShortcuts({ QKeySequence(Qt::CTRL | Qt::Key_Question), QKeySequence(Qt::Key_F1) });
    m_showTips->setShortcutContext(Qt::ApplicationShortcut);
    connect(m_showTips, &QAction::triggered, this, [this] {
        if (m_coach)
            m_coach->setActiveTip(CoachMarksService::Tip::Welcome);
    });
}

QKeySequence MainWindow::shortcut(ThemeService::Mode mode)
{
    const auto index = std::find(ThemeService::allModes.begin(), ThemeService::allModes.end(), mode)
        - ThemeService::allModes.begin();
    return QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key(Qt::Key_1 + int(index)));
}

void MainWindow::updateAppearanceIcons()
{
    if (!m_theme)
        return;
    for (qsizetype i = 0; i < m_appearance.size(); ++i) {
        const ThemeService::Mode mode = ThemeService::allModes[size_t(i)];
        const QString symbol = mode == m_theme->mode() ? QStringLiteral("checkmark") : ThemeService::iconName(mode);
        m_appearance[i]->setProperty("symbol", symbol);
        m_appearance[i]->setIcon(Symbols::icon(symbol, ZOVAColor::label()));
    }
}

QPoint MainWindow::settingsWindowPosition(QSize size) const
{
    // Centred over this window, kept inside the screen's free area.
    QRect place(QPoint(), size);
    place.moveCenter(frameGeometry().center());
    if (const QScreen* s = screen()) {
        const QRect free = s->availableGeometry();
        place.moveLeft(std::clamp(place.left(), free.left(), std::max(free.left(), free.right() - size.width() + 1)));
        place.moveTop(std::clamp(place.top(), free.top(), std::max(free.top(), free.bottom() - size.height() + 1)));
    }
    return place.topLeft();
}

void MainWindow::openSettings()
{
    if (!m_settingsWindow) {
        m_settingsWindow = new SettingsView(m_settingsStore, {}, this);
        m_settingsWindow->move(settingsWindowPosition(m_settingsWindow->size()));
    }
    m_settingsWindow->show();
    m_settingsWindow->raise();
    m_settingsWindow->activateWindow();
}

} // namespace zova
