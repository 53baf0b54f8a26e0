#include "app/shell/ZOVAApp.h"

#include "app/AppLog.h"
#include "app/library/LibraryEditor.h"
#include "app/library/LibraryRecording.h"
#include "app/shell/AppearanceController.h"
#include "app/shell/ColorSchemeSource.h"
#include "app/shell/ContentView.h"
#include "app/shell/EwmhAppWindowOps.h"
#include "app/shell/MainWindow.h"
#include "app/shell/ThemeService.h"
#include "app/shell/WidgetDump.h"
#include "editor/files/ImageEditorHandOff.h"
#include "engine/AppRestarter.h"
#include "engine/PermissionsService.h"
#include "model/ImageReading.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/ScreenshotCache.h"
#include "model/Settings.h"
#include "model/StorageService.h"
#include "model/TemporaryFiles.h"
#include "onboarding/CoachMarksService.h"
#include "platform/llm/LocalModelClient.h"
#include "platform/png/PngEncoder.h"
#include "platform/x11/X11Backends.h"

#include <QApplication>
#include <QMessageBox>

#include <QByteArray>
#include <QDateTime>
#include <QSet>
#include <QStringList>
#include <QThreadPool>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace zova {

namespace {

// The screenshots folder holds a file per step, so it is cared for off the GUI
// thread, from the names in the store's file. Only what was written before now
// can be left over; the margin covers file times that lag the clock.
void clearLeftovers(std::shared_ptr<const StorageService> storage, const QString& storePath)
{
    const QDateTime writtenBefore = QDateTime::currentDateTimeUtc().addSecs(-2);
    QThreadPool::globalInstance()->start([storage = std::move(storage), storePath, writtenBefore] {
        ImageEditorHandOff::removeEveryCopy(ImageEditorHandOff::defaultFolder(), writtenBefore);
        storage->tightenPermissions();
        if (const std::optional<QStringList> referenced = ModelContainer::storedScreenshotNames(storePath))
            storage->removeUnreferenced(QSet<QString>(referenced->cbegin(), referenced->cend()), writtenBefore);
        else
            qCWarning(lcApp) << "Leftover screenshots are kept: the store could not be read";
        TemporaryFiles::clearStale();
    });
}

} // namespace

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
            // Started from a launcher nobody reads stderr: the same words in a dialog.
            if (qobject_cast<QApplication*>(QCoreApplication::instance())
                && QGuiApplication::platformName() != QLatin1String("offscreen")) {
                QMessageBox box(QMessageBox::Critical, QStringLiteral("Z.O.V.A"), QString::fromUtf8(message));
                box.setObjectName(QStringLiteral("storeErrorDialog"));
                box.setTextFormat(Qt::PlainText);
                box.exec();
            }
            std::_Exit(1);
        }
        container = std::move(opened).value();
    }
    return *container;
}

namespace {

PermissionsService::SessionProbe grantsOf(std::shared_ptr<CapabilityProbe> probe)
{
    return [probe = std::move(probe)](bool fresh) {
        const SessionCapabilities caps = probe->capabilities(fresh);
        return SessionGrants { caps.canCaptureScreen, caps.canListenToInput };
    };
}

// The language model client is told where to look; it reads no settings itself.
void configureModelClient(const Settings& settings)
{
    llm::LocalModelClient::shared().setConfig(
        llm::LocalModelConfig::from(settings.value(settings::aiEndpoint), settings.value(settings::aiModel)));
    // A first look at start-up, so the first step label already knows the status.
    llm::LocalModelClient::shared().refresh();
}

} // namespace

ZOVAApp::ZOVAApp()
    : m_backends(x11::makeBackends())
    , m_settings(std::make_unique<Settings>(std::make_unique<SettingsFileStore>()))
    , m_theme(std::make_unique<ThemeService>(*m_settings))
    , m_coach(std::make_unique<CoachMarksService>(*m_settings))
{
    configureModelClient(*m_settings);
    allowLargeImages();
    ModelContainer& store = sharedModelContainer();
    auto storage = std::make_shared<StorageService>(StorageService::folderBeside(store.path()));
    storage->setEncoder(png::encodeScreenshot);
    m_storage = std::move(storage);
    m_restarter = std::make_unique<ProcessRestarter>(ProcessRestarter::Steps {
        [&store]() -> std::optional<QString> {
            if (auto saved = store.mainContext()->save(); !saved)
                return saved.error().description();
            return std::nullopt;
        },
        [] { QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection); },
    });
    m_permissions
        = std::make_unique<PermissionsService>(*m_settings, grantsOf(m_backends.capabilities), m_restarter.get());
    m_systemScheme = std::make_unique<PortalColorScheme>();
    m_appearance = std::make_unique<AppearanceController>(m_theme.get(), m_systemScheme.get());
    m_appearance->apply();
    m_recording = std::make_unique<LibraryRecording>(store.mainContext(), *m_storage, *m_permissions, m_backends);
    m_screenshots = std::make_unique<ScreenshotCache>(*m_storage);
    m_editor = std::make_unique<LibraryEditor>(
        store.mainContext(), *m_storage, m_recording.get(), *m_screenshots, *m_settings, m_permissions.get());
    LibraryHooks hooks = m_recording->hooks();
    hooks.makeEditor = m_editor->hook();
    hooks.screenshots = m_screenshots.get();
    hooks.willDelete = [recording = std::move(hooks.willDelete), editor = m_editor.get()](const Guide& guide) {
        if (recording)
            recording(guide);
        editor->guideWillBeDeleted(guide);
    };
    auto* content = new ContentView(
        store.mainContext(), *m_storage, *m_settings, m_coach.get(), *m_permissions, std::move(hooks));
    m_window = std::make_unique<MainWindow>(*m_settings, m_theme.get(), m_coach.get(), content);
    WidgetDump::startFromEnvironment(m_window.get());
}

ZOVAApp::~ZOVAApp() = default;

void ZOVAApp::bringToFront() { EwmhAppWindowOps(m_backends.windowOperations).bringToFront(m_window.get()); }

int ZOVAApp::exec()
{
    m_window->show();
    // Once the window is up the session bus is connected. Connecting can fork a
    // helper, and a fork while the sweep's thread allocates leaves the child
    // stuck on the allocator's lock under AddressSanitizer.
    QTimer::singleShot(
        0, m_window.get(), [this, path = sharedModelContainer().path()] { clearLeftovers(m_storage, path); });
    return QApplication::exec();
}

} // namespace zova
