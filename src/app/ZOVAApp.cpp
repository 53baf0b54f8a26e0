#include "app/ZOVAApp.h"

#include "app/AppDelegate.h"
#include "app/AppearanceController.h"
#include "app/CoachMarksService.h"
#include "app/ColorSchemeSource.h"
#include "app/ContentView.h"
#include "app/EnginePermissionProbe.h"
#include "app/LibraryEditor.h"
#include "app/LibraryRecording.h"
#include "app/MainWindow.h"
#include "app/ThemeService.h"
#include "app/WidgetDump.h"

#include <QApplication>

#include <QByteArray>

#include <cstdio>
#include <cstdlib>

namespace zova {

std::unique_ptr<ModelContainer>& ZOVAApp::instance()
{
    static std::unique_ptr<ModelContainer> container;
    return container;
}

QString ZOVAApp::storePath()
{
    const QByteArray overridePath = qgetenv("ZOVA_STORE_PATH");
    return overridePath.isEmpty() ? ModelContainer::defaultStorePath() : QString::fromLocal8Bit(overridePath);
}

ModelContainer& ZOVAApp::sharedModelContainer()
{
    auto& container = instance();
    if (!container) {
        auto opened = ModelContainer::open(storePath());
        if (!opened) {
            const QByteArray message
                = (QStringLiteral("Could not create ModelContainer: ") + opened.error().description()).toUtf8();
            std::fprintf(stderr, "%s\n", message.constData());
            std::fflush(stderr);
            std::_Exit(1);
        }
        container = std::move(opened).value();
    }
    return *container;
}

ZOVAApp::ZOVAApp()
    : m_delegate(std::make_unique<AppDelegate>())
    , m_theme(std::make_unique<ThemeService>())
    , m_coach(std::make_unique<CoachMarksService>())
{
    ModelContainer& store = sharedModelContainer();
    m_systemScheme = std::make_unique<PortalColorScheme>();
    m_appearance = std::make_unique<AppearanceController>(m_theme.get(), m_systemScheme.get());
    m_appearance->apply();
    m_recording = std::make_unique<LibraryRecording>(store.mainContext());
    m_editor = std::make_unique<LibraryEditor>(store.mainContext(), m_recording.get());
    LibraryHooks hooks = m_recording->hooks();
    hooks.makeEditor = m_editor->hook();
    auto* content = new ContentView(
        store.mainContext(), m_coach.get(), std::make_shared<const EnginePermissionProbe>(), std::move(hooks));
    m_window = std::make_unique<MainWindow>(m_theme.get(), m_coach.get(), content);
    WidgetDump::startFromEnvironment(m_window.get());
}

ZOVAApp::~ZOVAApp() = default;

int ZOVAApp::exec()
{
    m_window->show();
    m_delegate->applicationDidFinishLaunching();
    return QApplication::exec();
}

} // namespace zova
