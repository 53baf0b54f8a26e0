// A drag frame of the annotation layer: a mark dragged over a 4K screenshot
// shown at 1472 x 828 with twenty marks, one of them a blur, and the blur
// itself dragged; then the same drag in the editor's canvas, where each frame
// also repaints the screenshot under the layer.
#include "Bench.h"
#include "MarkScene.h"

#include "editor/EditorController.h"
#include "editor/GuideEditorView.h"
#include "editor/canvas/CanvasColumn.h"
#include "editor/canvas/CanvasRedaction.h"
#include "editor/marks/AnnotationsLayer.h"
#include "model/Guide.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/ScreenshotCache.h"
#include "model/Settings.h"
#include "model/Step.h"
#include "model/StorageService.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

using namespace zova;
using Kind = StepAnnotation::Kind;

namespace {

// The screenshot folder of the default store, as the application makes it.
StorageService& screenshotFolder()
{
    static StorageService folder(StorageService::folderBeside(ModelContainer::defaultStorePath()));
    return folder;
}

// Presses on `from`, then measures frames of a drag: each one a pointer move and
// the layer painted whole, or with `paint` as the window paints what changed.
void measureDrag(const char* name, AnnotationsLayer& layer, QPoint from, const std::function<void()>& paint = {})
{
    QTest::mousePress(&layer, Qt::LeftButton, {}, from);
    int frame = 0;
    bench::measure(
        name, 120,
        [&] {
            const QPointF to = from + QPointF(3 * (frame % 40), 2 * (frame % 40));
            ++frame;
            QMouseEvent move(QEvent::MouseMove, to, layer.mapToGlobal(to), Qt::NoButton, Qt::LeftButton, {});
            QApplication::sendEvent(&layer, &move);
            if (paint)
                paint();
            else
                layer.repaint();
        },
        8);
    QTest::mouseRelease(&layer, Qt::LeftButton, {}, from);
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    bench::useHome(home.path());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    auto opened = ModelContainer::open(home.path() + "/ZOVA.store");
    if (!opened)
        return 1;
    auto store = std::move(opened).value();
    ModelContext* context = store->mainContext();

    const QImage shot = textScreenshot(3840, 2160);
    auto* guide = new Guide(QStringLiteral("Marks"));
    context->insert(guide);
    auto* step = new Step(0, screenshotFolder().saveScreenshot(shot).value(), 0.5, 0.5);
    step->setGuide(guide);
    QList<StepAnnotation> marks = { benchMark(Kind::Blur, 0.3, 0.4, 0.3, 0.05) };
    for (int i = 0; i < 19; ++i)
        marks.append(benchMark(Kind(1 + i % 3), 0.04 * i, 0.03 * i, 0.12, 0.08));
    step->setAnnotations(marks);
    (void)context->save();

    EditorController controller(guide, context);
    AnnotationsLayer layer(&controller);
    layer.resize(1472, 828);
    layer.setStep(step->id());
    layer.setScreenshot(shot);
    layer.show();
    while (!layer.redaction()->isCurrent(step->annotations()))
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);

    // The highlight at index 2 (marks[2] is the second of the others).
    const StepAnnotation& highlight = marks.at(2);
    measureDrag("drag frame: a highlight, 4K shown at 1472x828, 20 marks", layer,
        QPointF((highlight.x + highlight.width / 2) * 1472, (highlight.y + highlight.height / 2) * 828).toPoint());
    measureDrag("drag frame: the blur itself, 4K shown at 1472x828, 20 marks", layer,
        QPointF((0.3 + 0.15) * 1472, (0.4 + 0.025) * 828).toPoint());
    layer.hide();

    ScreenshotCache thumbnails(screenshotFolder());
    Settings settings;
    GuideEditorView::Dependencies deps;
    deps.thumbnails = &thumbnails;
    deps.storage = &screenshotFolder();
    deps.settings = &settings;
    GuideEditorView view(guide, context, {}, std::move(deps));
    view.resize(1920, 1080);
    view.show();
    AnnotationsLayer& canvasLayer = *view.canvas()->annotationsLayer();
    while (!canvasLayer.isVisible() || !canvasLayer.redaction()->isCurrent(step->annotations()))
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    const QSizeF shown = canvasLayer.size();
    measureDrag("drag frame in the editor canvas: a highlight, 4K, 20 marks", canvasLayer,
        QPointF(
            (highlight.x + highlight.width / 2) * shown.width(), (highlight.y + highlight.height / 2) * shown.height())
            .toPoint());
    return 0;
}
