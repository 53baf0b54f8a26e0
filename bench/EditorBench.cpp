// Opening a guide of 200 steps with 1080p screenshots to a painted step list
// with the visible rows' thumbnails (cold and cached), and a reorder of 200 steps
// saved. With --screenshots DIR it writes the editor's look to DIR instead.
#include "Bench.h"

#include "app/shell/AppPalettes.h"
#include "editor/GuideEditorView.h"
#include "editor/list/StepListView.h"
#include "editor/list/StepRowPainter.h"
#include "editor/list/StepsSidebar.h"
#include "model/Guide.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/ScreenshotCache.h"
#include "model/Step.h"
#include "model/StorageService.h"

#include <QApplication>
#include <QPainter>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtConcurrent>

using namespace zova;

namespace {

// The screenshot folder of the default store, as the application makes it.
StorageService& screenshotFolder()
{
    static StorageService folder(StorageService::folderBeside(ModelContainer::defaultStorePath()));
    return folder;
}

// A screenshot-like picture: window chrome, text lines, a highlighted button.
QImage desktopShot(int seed, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(0xf4, 0xf4, 0xf6));
    QPainter p(&image);
    p.fillRect(0, 0, size.width(), 44, QColor(0xe2, 0xe2, 0xe6));
    const QColor accent = QColor::fromHsv((seed * 37) % 360, 170, 220);
    for (int line = 0; line < 24; ++line)
        p.fillRect(80, 120 + line * 34, 600 + (seed * 13 + line * 71) % 900, 14, QColor(0xcc, 0xcc, 0xd2));
    p.fillRect(1300, 700 + seed % 200, 320, 64, accent);
    p.setPen(Qt::black);
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 18));
    p.drawText(90, 90, QStringLiteral("Settings — page %1").arg(seed));
    return image;
}

Guide* seed(ModelContext* context, int steps, QSize shotSize)
{
    QList<int> seeds;
    for (int i = 0; i < steps; ++i)
        seeds << i;
    const QStringList names = QtConcurrent::blockingMapped<QStringList>(seeds, [shotSize](int i) {
        auto saved = screenshotFolder().saveScreenshot(desktopShot(i, shotSize));
        return saved ? saved.value() : QString();
    });
    auto* guide = new Guide(QStringLiteral("Set up the office printer"));
    context->insert(guide);
    const char* verbs[] = { "Click", "Open", "Choose", "Type in", "Select", "Press" };
    const char* things[]
        = { "Settings", "Printers & Scanners", "Add printer", "the network address", "Driver", "Print test page" };
    for (int i = 0; i < steps; ++i) {
        auto* step = new Step(i, names[i], 0.4, 0.5);
        step->setOcrLabel(QStringLiteral("%1 %2").arg(verbs[i % 6], things[(i / 6) % 6]));
        step->setGuide(guide);
    }
    (void)context->save();
    return guide;
}

GuideEditorView* openEditor(Guide* guide, ModelContext* context, ScreenshotCache* thumbnails)
{
    GuideEditorView::Dependencies deps;
    deps.thumbnails = thumbnails;
    deps.storage = &screenshotFolder();
    auto* view = new GuideEditorView(guide, context, {}, std::move(deps));
    view->resize(1280, 820);
    view->show();
    return view;
}

// Opens the editor and returns once the visible rows are painted with their thumbnails.
void openToPaintedList(Guide* guide, ModelContext* context, ScreenshotCache* thumbnails)
{
    std::unique_ptr<GuideEditorView> view(openEditor(guide, context, thumbnails));
    QApplication::processEvents();
    StepListView* list = view->sidebar()->list();
    const QList<Step*> ordered = guide->orderedSteps();
    const auto visibleReady = [&] {
        for (int i = 0; i < ordered.size(); ++i) {
            if (!list->rowRect(i).intersects(list->viewport()->rect()))
                continue;
            if (thumbnails->lookup(ordered[i]->screenshotFilename(), list->thumbnailBox()).status
                == ScreenshotCache::Status::Loading)
                return false;
        }
        return true;
    };
    while (!visibleReady())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    list->viewport()->repaint();
}

void screenshots(const QString& dir, ModelContext* context, ScreenshotCache* thumbnails)
{
    QDir().mkpath(dir);
    Guide* guide = seed(context, 9, QSize(1600, 1000));
    for (bool dark : { false, true }) {
        QApplication::setPalette(dark ? AppPalettes::dark() : AppPalettes::light());
        std::unique_ptr<GuideEditorView> view(openEditor(guide, context, thumbnails));
        EditorController* controller = view->controller();
        const QList<Step*> steps = guide->orderedSteps();
        controller->list().clickRow(steps[1]->id(), selection::Click::Plain);
        controller->list().clickRow(steps[3]->id(), selection::Click::Toggle);
        // The first paint asks for the visible thumbnails; the next shows them.
        view->grab();
        thumbnails->waitForIdle();
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
        const QString file = QStringLiteral("%1/editor-selection-%2.png").arg(dir, dark ? "dark" : "light");
        view->grab().save(file);
        std::printf("wrote %s\n", qPrintable(file));
        if (dark)
            continue;
        // A drag of the fourth step, its drop indicator over the first gap.
        controller->list().beginDrag(steps[3]->id());
        controller->list().enterDropGap(1);
        QApplication::processEvents();
        QImage shot = view->grab().toImage();
        const QRect row = view->sidebar()->list()->rowRect(1);
        const QPoint at = view->sidebar()->list()->viewport()->mapTo(view.get(), row.topLeft());
        QPainter p(&shot);
        p.drawPixmap(at + QPoint(60, -14), step_row::dragPreview(4, AccentHue::Pink, steps[3]->displayLabel(), 1));
        p.end();
        const QString dragFile = dir + "/editor-drag-light.png";
        shot.save(dragFile);
        std::printf("wrote %s\n", qPrintable(dragFile));
        controller->list().endDrag();
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

    auto opened = ModelContainer::open(home.path() + "/ZOVA.store");
    if (!opened)
        return 1;
    auto store = std::move(opened).value();
    ModelContext* context = store->mainContext();
    ScreenshotCache thumbnails(screenshotFolder());

    const QStringList args = app.arguments();
    if (const qsizetype i = args.indexOf(QStringLiteral("--screenshots")); i >= 0 && i + 1 < args.size()) {
        screenshots(args[i + 1], context, &thumbnails);
        return 0;
    }

    Guide* guide = seed(context, 200, QSize(1920, 1080));
    bench::measure(
        "open 200 x 1080p steps to a painted list, cold", 7, [&] { openToPaintedList(guide, context, &thumbnails); },
        150, [&] { thumbnails.clear(); });
    bench::measure(
        "open 200 x 1080p steps to a painted list, cached", 7, [&] { openToPaintedList(guide, context, &thumbnails); },
        30);

    {
        // Rows scrolled into view fill in later; the scroll itself only paints.
        std::unique_ptr<GuideEditorView> view(openEditor(guide, context, &thumbnails));
        thumbnails.clear();
        QApplication::processEvents();
        StepListView* list = view->sidebar()->list();
        int page = 0;
        bench::measure(
            "scroll the list a page onto rows not yet loaded", 9,
            [&] {
                list->verticalScrollBar()->setValue(++page * list->viewport()->height());
                list->viewport()->repaint();
            },
            16);
    }

    EditorController controller(guide, context);
    bench::measure(
        "reorder 200 steps (last to the top), saved", 21,
        [&] { controller.list().moveStep(guide->orderedSteps().last()->id(), 0); }, 5);
    return 0;
}
