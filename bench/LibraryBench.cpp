// Start-up to the library with 1,000 guides of 20 steps, and refiltering on a
// keystroke. With --screenshots DIR it also writes the library's look to DIR.
#include "Bench.h"

#include "app/AppPalettes.h"
#include "app/CoachMarksService.h"
#include "app/ContentView.h"
#include "app/LibraryView.h"
#include "engine/PermissionsService.h"
#include "model/Guide.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Settings.h"
#include "model/Step.h"
#include "model/StorageService.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QTemporaryDir>

using namespace zova;

namespace {

void seed(ModelContext* context, int guides, int steps, const QStringList& shots)
{
    const QDateTime now = QDateTime::currentDateTime();
    const char* words[] = { "Export", "invoices", "Setup", "printer", "Share", "folder", "Create", "report" };
    for (int g = 0; g < guides; ++g) {
        auto* guide = new Guide(QStringLiteral("%1 %2 %3").arg(words[g % 8], words[(g / 8) % 8]).arg(g));
        guide->setCreatedAt(now.addSecs(-g * 3600));
        guide->setUpdatedAt(now.addSecs(-g * 1800));
        guide->setPublishStatusRaw(QStringList { "draft", "review", "published", "private" }[g % 4]);
        guide->setAiGenerated(g % 3 == 0);
        context->insert(guide);
        for (int s = 0; s < steps; ++s) {
            auto* step = new Step(s, shots.isEmpty() ? QString() : shots[(g + s) % shots.size()]);
            step->setGuide(guide);
            context->insert(step);
        }
    }
    (void)context->save();
}

QStringList makeShots()
{
    QStringList names;
    const QColor colors[] = { QColor(0x3b, 0x82, 0xf6), QColor(0x10, 0xb9, 0x81), QColor(0xf5, 0x9e, 0x0b) };
    for (const QColor& c : colors) {
        QImage image(640, 400, QImage::Format_RGB32);
        image.fill(QColor(0xf4, 0xf4, 0xf6));
        QPainter p(&image);
        p.fillRect(0, 0, 640, 36, QColor(0xe2, 0xe2, 0xe6));
        p.fillRect(40, 80, 360, 28, c);
        p.fillRect(40, 130, 520, 14, QColor(0xcc, 0xcc, 0xd2));
        p.fillRect(40, 160, 480, 14, QColor(0xcc, 0xcc, 0xd2));
        p.fillRect(420, 260, 160, 44, c.darker(120));
        p.end();
        if (auto saved = StorageService::shared().saveScreenshot(image))
            names << saved.value();
    }
    return names;
}

Settings& benchSettings()
{
    static Settings s;
    return s;
}

PermissionsService& permissions()
{
    static PermissionsService p(benchSettings(), [](bool) { return SessionGrants { true, true }; });
    return p;
}

void screenshots(const QString& dir)
{
    QDir().mkpath(dir);
    for (bool dark : { false, true }) {
        QApplication::setPalette(dark ? AppPalettes::dark() : AppPalettes::light());
        for (const char* mode : { "grid", "list", "empty" }) {
            QTemporaryDir storeDir;
            auto container = ModelContainer::open(storeDir.path() + "/ZOVA.store");
            if (!container)
                return;
            auto store = std::move(container).value();
            if (QString::fromLatin1(mode) != QLatin1String("empty"))
                seed(store->mainContext(), 7, 3, makeShots());
            benchSettings().setValue(settings::libraryViewMode,
                QString::fromLatin1(mode) == QLatin1String("list") ? LibraryViewMode::List : LibraryViewMode::Grid);
            LibraryView view(store->mainContext(), benchSettings(), permissions());
            view.resize(1280, 820);
            view.show();
            for (int i = 0; i < 10; ++i)
                QApplication::processEvents();
            const QString file
                = QStringLiteral("%1/library-%2-%3.png").arg(dir, QString::fromLatin1(mode), dark ? "dark" : "light");
            view.grab().save(file);
            std::printf("wrote %s\n", qPrintable(file));
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toLocal8Bit());
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setPalette(AppPalettes::light());
    benchSettings().setValue(settings::coachMarksSeenAllAt, QDateTime::currentDateTime());
    permissions().setHasCompletedOnboarding(true);

    const QStringList args = app.arguments();
    if (const qsizetype i = args.indexOf(QStringLiteral("--screenshots")); i >= 0 && i + 1 < args.size()) {
        screenshots(args[i + 1]);
        return 0;
    }

    QTemporaryDir storeDir;
    const QString path = storeDir.path() + "/ZOVA.store";
    {
        auto created = ModelContainer::open(path);
        if (!created)
            return 1;
        seed(std::move(created).value()->mainContext(), 1000, 20, makeShots());
    }
    CoachMarksService coach(benchSettings());
    bench::measure(
        "start-up: open store + library shown (1000x20)", 5,
        [&] {
            auto opened = ModelContainer::open(path);
            auto store = std::move(opened).value();
            ContentView view(
                store->mainContext(), benchSettings(), &coach, permissions(), {}, StartupTiming { 100000, 0, 100000 });
            view.resize(1280, 820);
            view.show();
            QApplication::processEvents();
            view.repaint();
        },
        1000);

    auto opened = ModelContainer::open(path);
    auto store = std::move(opened).value();
    LibraryView view(store->mainContext(), benchSettings(), permissions());
    view.resize(1280, 820);
    view.show();
    QApplication::processEvents();
    const QStringList keys = { "E", "Ex", "Exp", "Expo", "Export", "Expor", "Exp", "E", "" };
    int k = 0;
    bench::measure(
        "refilter 1000 guides on a keystroke", 45, [&] { view.setSearchText(keys[k++ % keys.size()]); }, 16);
    benchSettings().setValue(settings::librarySortOrder, LibrarySort::NameAZ);
    bench::measure(
        "refilter 1000 guides on a keystroke, Name A-Z", 45, [&] { view.setSearchText(keys[k++ % keys.size()]); }, 16);
    return 0;
}
