#pragma once

#include "model/ModelContainer.h"
#include "platform/PlatformBackends.h"

#include <memory>

namespace zova {

class AppRestarter;
class AppearanceController;
class CoachMarksService;
class LibraryEditor;
class ScreenshotCache;
class LibraryRecording;
class MainWindow;
class PermissionsService;
class PortalColorScheme;
class Settings;
class StorageService;
class ThemeService;

// The application object: owns the shared store for the life of the process.
class ZOVAApp {
public:
    // Opens the store at the default location, or at $ZOVA_STORE_PATH when set.
    // Prints "Could not create ModelContainer: " and the error and exits non-zero
    // when it cannot be opened or written; the file is left untouched. Once it is
    // loaded, clears what earlier runs left: screenshots no step names, staged
    // temporary files, and modes that let others read the user's files.
    static ModelContainer& sharedModelContainer();
    static QString storePath();

    // Creates, in order, the session's back ends, the settings, the theme, the tip service,
    // the store and the permissions, then the main window. Needs a QApplication
    // with its organisation and application names set: the settings file is
    // ~/.config/<organisation>/<application>.conf.
    ZOVAApp();
    ~ZOVAApp();
    Settings* settings() const { return m_settings.get(); }
    ThemeService* theme() const { return m_theme.get(); }
    CoachMarksService* coach() const { return m_coach.get(); }
    MainWindow* mainWindow() const { return m_window.get(); }
    // Shows the main window and runs the event loop.
    int exec();
    // Raises the main window and gives it the focus, from wherever it is.
    void bringToFront();

private:
    static std::unique_ptr<ModelContainer>& instance();

    // The X11 session's back ends, made once here and handed down.
    PlatformBackends m_backends;
    // The store's screenshot folder, beside the store file; shared with the
    // start-up sweep, which may still run when the application ends.
    std::shared_ptr<const StorageService> m_storage;
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<ThemeService> m_theme;
    std::unique_ptr<CoachMarksService> m_coach;
    std::unique_ptr<AppRestarter> m_restarter;
    std::unique_ptr<PermissionsService> m_permissions;
    std::unique_ptr<PortalColorScheme> m_systemScheme;
    std::unique_ptr<AppearanceController> m_appearance;
    // Shared by the library and every editor; outlives the window.
    std::unique_ptr<ScreenshotCache> m_screenshots;
    // Outlives the window, whose library calls into it.
    std::unique_ptr<LibraryRecording> m_recording;
    std::unique_ptr<LibraryEditor> m_editor;
    std::unique_ptr<MainWindow> m_window;
};

} // namespace zova
