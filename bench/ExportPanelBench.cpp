// Export panel figures, and its screenshots for docs/ (--screenshots DIR).
#include "Bench.h"

#include "app/shell/AppPalettes.h"
#include "export/panel/ExportPanel.h"
#include "export/panel/ExportRun.h"
#include "export/panel/ExportSlug.h"
#include "model/Guide.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Settings.h"
#include "model/Step.h"
#include "model/StorageService.h"
#include "style/MeshWallpaper.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include <cstdio>
#include <optional>

using namespace zova;

namespace {

// The screenshot folder of the default store, as the application makes it.
StorageService& screenshotFolder()
{
    static StorageService folder(StorageService::folderBeside(ModelContainer::defaultStorePath()));
    return folder;
}

// Never asked in the screenshots and the benchmark.
class NoPicker : public DestinationPicker {
public:
    std::optional<QString> pick(const DestinationRequest&) override { return std::nullopt; }
    bool confirmReplace(const QString&) override { return false; }
};

// In memory: nothing of the user's is read or written.
const Settings& benchSettings()
{
    static const Settings settings;
    return settings;
}

Guide* makeGuide(ModelContext* context)
{
    auto* guide = new Guide(QStringLiteral("Set up a shared printer"));
    context->insert(guide);
    for (int i = 0; i < 6; ++i)
        (new Step(i))->setGuide(guide);
    return guide;
}

void screenshots(const QString& dir, Guide* guide)
{
    QDir().mkpath(dir);
    const struct {
        const char* name;
        bool dark;
        ExportFormat format;
    } shots[] = {
        { "export-panel-light", false, ExportFormat::Html },
        { "export-panel-video-dark", true, ExportFormat::Video },
    };
    for (const auto& s : shots) {
        QApplication::setPalette(s.dark ? AppPalettes::dark() : AppPalettes::light());
        QWidget host;
        host.resize(1280, 920);
        auto* layout = new QVBoxLayout(&host);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(new MeshWallpaper(MeshWallpaper::Variant::Pink, &host));
        ExportPanel::Dependencies deps;
        deps.picker = std::make_shared<NoPicker>();
        auto* panel = new ExportPanel(guide, {}, benchSettings(), screenshotFolder(), std::move(deps), &host);
        panel->run()->setSelectedFormat(s.format);
        host.show();
        panel->show();
        for (int i = 0; i < 10; ++i)
            QApplication::processEvents();
        const QString file = QStringLiteral("%1/%2.png").arg(dir, QString::fromLatin1(s.name));
        host.grab().save(file);
        std::printf("wrote %s\n", qPrintable(file));
    }
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    zova::bench::useHome(home.path());
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setPalette(AppPalettes::light());

    auto container = ModelContainer::open(home.path() + "/ZOVA.store");
    if (!container)
        return 1;
    auto store = std::move(container).value();
    Guide* guide = makeGuide(store->mainContext());

    const QStringList args = app.arguments();
    if (const qsizetype i = args.indexOf(QStringLiteral("--screenshots")); i >= 0 && i + 1 < args.size()) {
        screenshots(args[i + 1], guide);
        return 0;
    }

    const QString longTitle
        = QStringLiteral("Ein sehr langer Titel für einen Leitfaden mit Ümlauten & Zeichen! ").repeated(150);
    bench::measure(
        "slugFor: 10 000-character title", 20, [&] { (void)slugFor(longTitle); }, 5);
    QWidget host;
    host.resize(1280, 820);
    host.show();
    bench::measure(
        "export panel: build, lay out and paint over a host", 20,
        [&] {
            ExportPanel::Dependencies deps;
            deps.picker = std::make_shared<NoPicker>();
            auto* panel = new ExportPanel(guide, {}, benchSettings(), screenshotFolder(), std::move(deps), &host);
            panel->show();
            (void)panel->grab();
            delete panel;
        },
        100);
    return 0;
}
