// The annotation layer, its toolbar and the crop overlay as widgets: what they
// paint, what the pointer and the keys do with them.
#include "EditorFixture.h"

#include "annotation/AnnotationPainter.h"
#include "annotation/Marks.h"
#include "editor/EditorController.h"
#include "editor/GuideEditorView.h"
#include "editor/canvas/CanvasColumn.h"
#include "editor/canvas/CanvasRedaction.h"
#include "editor/crop/CropOverlayView.h"
#include "editor/list/StepListView.h"
#include "editor/list/StepRowPainter.h"
#include "editor/list/StepsSidebar.h"
#include "editor/marks/AnnotationToolbar.h"
#include "editor/marks/AnnotationsLayer.h"
#include "model/ScreenshotCache.h"
#include "model/Settings.h"
#include "style/PillButton.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using namespace zova;
using Kind = StepAnnotation::Kind;
using zova::test::mark;

namespace {

int distance(QRgb a, QRgb b)
{
    return std::max({ std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b)) });
}

// A window with the toolbar over a layer of 400 x 300 for the guide's first step.
class MarksViewTest : public EditorFixture {
protected:
    void open(const QList<StepAnnotation>& marks = {})
    {
        m_guide = makeGuide({ 0 });
        step()->setAnnotations(marks);
        m_controller = std::make_unique<EditorController>(m_guide, context(), withTestFiles({}));
        m_window = std::make_unique<QWidget>();
        auto* column = new QVBoxLayout(m_window.get());
        m_toolbar = new AnnotationToolbar(m_controller.get(), m_window.get());
        column->addWidget(m_toolbar);
        m_layer = new AnnotationsLayer(m_controller.get(), m_window.get());
        m_layer->setFixedSize(400, 300);
        column->addWidget(m_layer);
        m_layer->setStep(step()->id());
        m_window->show();
        m_window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
    }
    Step* step() const { return m_guide->orderedSteps().first(); }
    QPoint at(double fx, double fy) const { return QPoint(int(fx * 400), int(fy * 300)); }
    void drag(QPoint from, QPoint to)
    {
        QTest::mousePress(m_layer, Qt::LeftButton, {}, from);
        for (int i = 1; i <= 6; ++i) {
            QMouseEvent move(QEvent::MouseMove, QPointF(from + (to - from) * i / 6), m_layer->mapToGlobal(from),
                Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(m_layer, &move);
        }
        QTest::mouseRelease(m_layer, Qt::LeftButton, {}, to);
    }
    // The layer alone over white.
    QImage rendered() const
    {
        QImage image(m_layer->size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        m_layer->render(&image, {}, {}, QWidget::DrawChildren);
        return image;
    }

    Guide* m_guide = nullptr;
    std::unique_ptr<EditorController> m_controller;
    std::unique_ptr<QWidget> m_window;
    AnnotationToolbar* m_toolbar = nullptr;
    AnnotationsLayer* m_layer = nullptr;
};

} // namespace

TEST_F(MarksViewTest, EachKindIsPaintedAtItsPlaceInItsColourUnrotated)
{
    struct Probe {
        QPointF at; // fractions of the layer
        QRgb colour;
        int tolerance;
    };
    struct Row {
        const char* name;
        StepAnnotation mark;
        QList<Probe> probes;
    };
    const QRgb white = qRgb(255, 255, 255);
    StepAnnotation rotated = mark(Kind::Highlight, { 0.1, 0.4, 0.8, 0.2 }, "00c040");
    rotated.rotation = 90; // stored, never applied
    const QList<Row> rows = {
        { "highlight: faint inside, its colour on the border", mark(Kind::Highlight, { 0.2, 0.2, 0.4, 0.4 }, "00c040"),
            { { { 0.4, 0.4 }, qRgb(209, 244, 220), 8 }, { { 0.2 + 1.5 / 400, 0.4 }, qRgb(0, 192, 64), 40 },
                { { 0.8, 0.8 }, white, 0 } } },
        { "arrow: on its diagonal, not beside it", mark(Kind::Arrow, { 0.1, 0.1, 0.6, 0.6 }, "2040ff"),
            { { { 0.4, 0.4 }, qRgb(32, 64, 255), 30 }, { { 0.6, 0.2 }, white, 0 }, { { 0.1, 0.7 }, white, 0 } } },
        { "text: a capsule of its colour centred on its rectangle",
            mark(Kind::Text, { 0.4, 0.4, 0.2, 0.2 }, "d02030", QStringLiteral("Save")),
            { { { 0.5 - 24.0 / 400, 0.5 }, qRgb(208, 32, 48), 30 }, { { 0.5, 0.2 }, white, 0 } } },
        { "rotation is not applied", rotated,
            { { { 0.15, 0.5 }, qRgb(209, 244, 220), 8 }, { { 0.5, 0.15 }, white, 0 } } },
        { "an unreadable colour draws magenta", mark(Kind::Highlight, { 0, 0, 1, 1 }, "zz"),
            { { { 1.5 / 400, 0.5 }, qRgb(255, 61, 138), 40 } } },
    };
    open();
    for (const Row& row : rows) {
        step()->setAnnotations({ row.mark });
        const QImage image = rendered();
        for (const Probe& probe : row.probes) {
            const QPoint p(int(probe.at.x() * 400), int(probe.at.y() * 300));
            EXPECT_LE(distance(image.pixel(p), probe.colour), probe.tolerance)
                << row.name << " at " << p.x() << "," << p.y() << ": " << std::hex << image.pixel(p);
        }
        // The exports' painter draws the very same pixels (inside the rounded corners).
        QImage painted(image.size(), QImage::Format_ARGB32_Premultiplied);
        painted.fill(Qt::white);
        {
            QPainter p(&painted);
            annotation::paintAnnotations(p, QRectF(0, 0, 400, 300), { row.mark });
        }
        EXPECT_EQ(image.copy(10, 10, 380, 280), painted.copy(10, 10, 380, 280)) << row.name;
    }
}

TEST_F(MarksViewTest, AToolDrawsOneMarkThenNoButtonIsLit)
{
    open();
    AnnotationToolButton* highlight = m_toolbar->button(Kind::Highlight);
    QTest::mouseClick(highlight, Qt::LeftButton);
    EXPECT_EQ(m_controller->state().activeTool, Kind::Highlight);
    EXPECT_TRUE(highlight->isChecked());

    // A click draws nothing and keeps the tool.
    QTest::mouseClick(m_layer, Qt::LeftButton, {}, at(0.5, 0.5));
    EXPECT_TRUE(step()->annotations().isEmpty());
    EXPECT_FALSE(
        step()->annotationsData() && !step()->annotationsData()->isEmpty() && *step()->annotationsData() != "[]")
        << "a click writes nothing";
    EXPECT_EQ(m_controller->state().activeTool, Kind::Highlight);

    drag(at(0.6, 0.6), at(0.2, 0.2));
    const QList<StepAnnotation> marks = step()->annotations();
    ASSERT_EQ(marks.size(), 1);
    EXPECT_EQ(marks[0].kind, Kind::Highlight);
    EXPECT_NEAR(marks[0].x, 0.2, 0.01);
    EXPECT_NEAR(marks[0].width, 0.4, 0.01);
    EXPECT_FALSE(m_controller->state().activeTool);
    for (Kind k : { Kind::Blur, Kind::Arrow, Kind::Highlight, Kind::Text })
        EXPECT_FALSE(m_toolbar->button(k)->isChecked());
    EXPECT_EQ(m_layer->interaction().selected(), marks[0].id);
    EXPECT_TRUE(m_layer->hasFocus()) << "a selected mark gives the layer the keys";
    ASSERT_TRUE(m_layer->deleteButton()->isVisible());
    EXPECT_EQ(m_layer->deleteButton()->toolTip(), QStringLiteral("Delete annotation"));
    EXPECT_NEAR(m_layer->deleteButton()->geometry().center().x(), at(0.6, 0.6).x(), 1.5)
        << "on the mark's top-right corner";
    EXPECT_NEAR(m_layer->deleteButton()->geometry().center().y(), at(0.2, 0.2).y(), 1.5);

    QTest::mouseClick(m_layer->deleteButton(), Qt::LeftButton);
    EXPECT_TRUE(step()->annotations().isEmpty());
    EXPECT_FALSE(m_layer->deleteButton()->isVisible());
}

TEST_F(MarksViewTest, ToolButtonsAreNotAnExclusiveGroup)
{
    open();
    QTest::mouseClick(m_toolbar->button(Kind::Arrow), Qt::LeftButton);
    QTest::mouseClick(m_toolbar->button(Kind::Text), Qt::LeftButton);
    EXPECT_EQ(m_controller->state().activeTool, Kind::Text);
    EXPECT_FALSE(m_toolbar->button(Kind::Arrow)->isChecked());
    EXPECT_TRUE(m_toolbar->button(Kind::Text)->isChecked());
    QTest::mouseClick(m_toolbar->button(Kind::Text), Qt::LeftButton);
    EXPECT_FALSE(m_controller->state().activeTool) << "the active tool clicked again: none";
    for (Kind k : { Kind::Blur, Kind::Arrow, Kind::Highlight, Kind::Text })
        EXPECT_FALSE(m_toolbar->button(k)->isChecked());

    const QStringList titles = { "Hide", "Arrow", "Highlight", "Text" };
    const QStringList symbols = { "eye.slash.fill", "arrow.up.right", "square.dashed", "textformat" };
    int i = 0;
    for (Kind k : { Kind::Blur, Kind::Arrow, Kind::Highlight, Kind::Text }) {
        EXPECT_EQ(m_toolbar->button(k)->text(), titles[i]);
        EXPECT_EQ(m_toolbar->button(k)->symbol(), symbols[i]);
        EXPECT_EQ(m_toolbar->button(k)->height(), 28);
        ++i;
    }
    EXPECT_EQ(m_toolbar->button(Kind::Blur)->toolTip(),
        QStringLiteral("Hide sensitive areas — drag over passwords, names, emails to blur them"));
}

TEST_F(MarksViewTest, ALabelIsEditedInPlace)
{
    open();
    m_controller->canvas().setActiveTool(Kind::Text);
    drag(at(0.3, 0.3), at(0.6, 0.5));
    QLineEdit* editor = m_layer->labelEditor();
    ASSERT_TRUE(editor->isVisible()) << "a new text mark opens its label";
    EXPECT_EQ(editor->text(), QStringLiteral("Label"));
    ASSERT_TRUE(test::waitUntil([&] { return editor->hasFocus(); }, 2000)) << "focused shortly after";
    QTest::keyClicks(editor, QStringLiteral("Click Save"));
    EXPECT_EQ(step()->annotations()[0].text, QStringLiteral("Label")) << "stored when the editing ends";
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(step()->annotations()[0].text, QStringLiteral("Click Save")) << "Escape keeps what was typed";

    // The second click on the selected label opens it again; cleared and Return: empty, shown as "Label".
    const QRectF capsule = annotation::labelRect(step()->annotations()[0], QRectF(0, 0, 400, 300));
    QTest::mouseClick(m_layer, Qt::LeftButton, {}, capsule.center().toPoint());
    ASSERT_TRUE(editor->isVisible());
    ASSERT_TRUE(test::waitUntil([&] { return editor->hasFocus(); }, 2000));
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Backspace);
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(step()->annotations()[0].text, QString());
    EXPECT_EQ(annotation::labelText(step()->annotations()[0]), QStringLiteral("Label"));
    EXPECT_EQ(m_layer->interaction().selected(), step()->annotations()[0].id);
}

TEST_F(MarksViewTest, UnreadableMarksShowNothingAndStayUntilTheFirstEdit)
{
    open();
    const QByteArray foreign = R"([{"id":"6f1c7a1e-0000-4000-8000-000000000001","kind":"ellipse",)"
                               R"("x":0.1,"y":0.1,"width":0.5,"height":0.5,"rotation":0,"colorHex":"ff0000"}])";
    step()->setAnnotationsData(foreign);
    m_layer->setStep(std::nullopt);
    m_layer->setStep(step()->id());
    EXPECT_TRUE(m_layer->marks().isEmpty());
    QImage blank(400, 300, QImage::Format_ARGB32_Premultiplied);
    blank.fill(Qt::white);
    EXPECT_EQ(rendered(), blank) << "nothing drawn";

    // Looking, clicking, dragging on nothing and the Delete key write nothing.
    QTest::mouseClick(m_layer, Qt::LeftButton, {}, at(0.3, 0.3));
    drag(at(0.2, 0.2), at(0.4, 0.4));
    m_layer->setFocus();
    QTest::keyClick(m_layer, Qt::Key_Delete);
    QTest::keyClick(m_layer, Qt::Key_Backspace);
    EXPECT_EQ(step()->annotationsData(), foreign);

    // The first real edit replaces them.
    m_controller->canvas().setActiveTool(Kind::Arrow);
    drag(at(0.2, 0.2), at(0.4, 0.4));
    ASSERT_EQ(step()->annotations().size(), 1);
    EXPECT_EQ(step()->annotations()[0].kind, Kind::Arrow);
}

TEST_F(MarksViewTest, ABlurShowsTheRedactionOfTheScreenshot)
{
    open();
    // Black text on white where the blur goes, red around it.
    QImage shot(800, 600, QImage::Format_RGB32);
    shot.fill(qRgb(200, 30, 30));
    QPainter(&shot).fillRect(QRect(200, 150, 400, 300), Qt::white);
    QPainter(&shot).fillRect(QRect(300, 250, 200, 100), Qt::black);
    m_layer->setScreenshot(shot);
    const StepAnnotation blur = mark(Kind::Blur, { 0.25, 0.25, 0.5, 0.5 });
    step()->setAnnotations({ blur });
    ASSERT_TRUE(test::waitUntil([&] { return m_layer->redaction()->isCurrent(step()->annotations()); }, 10000));
    const QImage image = rendered();
    // Built from the red around the mark: nothing of the white or the black is left.
    const QRgb centre = image.pixel(at(0.5, 0.5));
    EXPECT_GT(qRed(centre), 150) << std::hex << centre;
    EXPECT_LT(qGreen(centre), 150) << std::hex << centre;
    EXPECT_EQ(image.pixel(at(0.1, 0.1)), qRgb(255, 255, 255)) << "outside the mark the layer paints nothing";

    // Moved: until its redaction arrives it carries its hidden pixels along.
    m_layer->setFocus();
    QTest::mousePress(m_layer, Qt::LeftButton, {}, at(0.5, 0.5));
    QMouseEvent move(QEvent::MouseMove, QPointF(at(0.6, 0.5)), m_layer->mapToGlobal(at(0.6, 0.5)), Qt::NoButton,
        Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_layer, &move);
    const QRgb moved = rendered().pixel(at(0.6, 0.5));
    EXPECT_GT(qRed(moved), 150) << std::hex << moved;
    EXPECT_LT(qGreen(moved), 150) << std::hex << moved;
    QTest::mouseRelease(m_layer, Qt::LeftButton, {}, at(0.6, 0.5));
    EXPECT_NEAR(step()->annotations()[0].x, 0.35, 0.01);
}

TEST_F(MarksViewTest, CropOverlayMovesResizesAndAnswersItsKeys)
{
    QImage image(800, 400, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QWidget window;
    auto* overlay = new CropOverlayView(image, false, &window);
    overlay->resize(600, 500);
    window.resize(600, 500);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    EXPECT_EQ(overlay->imageRect(), QRectF(0, 100, 600, 300)) << "a wide image in a tall area: full width, centred";
    EXPECT_EQ(overlay->cropRect(), QRectF(0, 0, 1, 1));
    EXPECT_EQ(overlay->imageEditorButton(), nullptr) << "two buttons without the image editor";
    EXPECT_EQ(overlay->cancelButton()->toolTip(), QStringLiteral("Cancel crop (Esc)"));
    EXPECT_EQ(overlay->applyButton()->toolTip(), QStringLiteral("Apply crop (Return)"));

    // The right handle, dragged a quarter of the image to the left.
    const auto dragOn = [&](QPoint from, QPoint to) {
        QTest::mousePress(overlay, Qt::LeftButton, {}, from);
        for (int i = 1; i <= 4; ++i) {
            const QPointF p = from + (to - from) * i / 4;
            QMouseEvent move(
                QEvent::MouseMove, p, overlay->mapToGlobal(p), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(overlay, &move);
        }
        QTest::mouseRelease(overlay, Qt::LeftButton, {}, to);
    };
    dragOn(QPoint(600 - 2, 250), QPoint(450 - 2, 250));
    EXPECT_NEAR(overlay->cropRect().width(), 0.75, 1e-9);
    EXPECT_EQ(overlay->cropRect().x(), 0);
    // Moved by its inside far to the right: flush with the edge, size unchanged.
    dragOn(QPoint(200, 250), QPoint(900, 250));
    EXPECT_NEAR(overlay->cropRect().x(), 0.25, 1e-9);
    EXPECT_NEAR(overlay->cropRect().width(), 0.75, 1e-9);
    // A press on the dimmed outside moves nothing.
    dragOn(QPoint(20, 250), QPoint(100, 250));
    EXPECT_NEAR(overlay->cropRect().x(), 0.25, 1e-9);

    QSignalSpy applied(overlay, &CropOverlayView::applied);
    QSignalSpy cancelled(overlay, &CropOverlayView::cancelled);
    QTest::keyClick(&window, Qt::Key_Return);
    ASSERT_EQ(applied.size(), 1);
    EXPECT_EQ(applied.first().first().toRectF(), overlay->cropRect());
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_EQ(cancelled.size(), 1);

    auto* withEditor = new CropOverlayView(image, true, &window);
    ASSERT_NE(withEditor->imageEditorButton(), nullptr);
    EXPECT_EQ(withEditor->imageEditorButton()->text(), QStringLiteral("Full Editor"));
    EXPECT_EQ(withEditor->imageEditorButton()->toolTip(), QStringLiteral("Open in your default image editor"));
}

TEST_F(MarksViewTest, ADragFrameLooksLikeTheMarksPaintedWhereTheyWillBe)
{
    open({ mark(Kind::Highlight, { 0.1, 0.1, 0.5, 0.5 }, "00c040"), mark(Kind::Arrow, { 0.3, 0.3, 0.4, 0.4 }, "2040ff"),
        mark(Kind::Text, { 0.2, 0.5, 0.3, 0.1 }, "d02030", QStringLiteral("Over")) });
    QImage shot(800, 600, QImage::Format_RGB32);
    shot.fill(qRgb(90, 90, 200));
    m_layer->setScreenshot(shot);
    step()->setAnnotations(step()->annotations() << mark(Kind::Blur, { 0.6, 0.1, 0.2, 0.2 }));
    ASSERT_TRUE(test::waitUntil([&] { return m_layer->redaction()->isCurrent(step()->annotations()); }, 10000));

    const QPoint from = at(0.65, 0.65), to = from + QPoint(-60, 30);
    QTest::mousePress(m_layer, Qt::LeftButton, {}, from);
    for (int i = 1; i <= 3; ++i) {
        const QPointF p = from + (to - from) * i / 3;
        QMouseEvent move(QEvent::MouseMove, p, m_layer->mapToGlobal(p), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_layer, &move);
    }
    ASSERT_TRUE(m_layer->interaction().move());
    const QImage during = rendered();
    QTest::mouseRelease(m_layer, Qt::LeftButton, {}, to);
    ASSERT_FALSE(m_layer->interaction().move());
    const QImage after = rendered();
    ASSERT_EQ(during.size(), after.size());
    int worst = 0;
    for (int y = 0; y < during.height(); ++y)
        for (int x = 0; x < during.width(); ++x)
            worst = std::max(worst, distance(during.pixel(x, y), after.pixel(x, y)));
    EXPECT_LE(worst, 2) << "the frame's still marks are the marks as painted";
}

TEST_F(MarksViewTest, TheLayerTakesDeleteBeforeTheStepDeletion)
{
    m_guide = makeGuide({ 0, 1 });
    const StepAnnotation label = mark(Kind::Text, { 0.5, 0.5, 0.2, 0.1 }, "d02030", QStringLiteral("Keep"));
    m_guide->orderedSteps().first()->setAnnotations({ mark(Kind::Highlight, { 0.1, 0.1, 0.3, 0.3 }), label });
    ScreenshotCache thumbnails(zova::test::storage());
    Settings settings;
    GuideEditorView::Dependencies deps;
    deps.thumbnails = &thumbnails;
    deps.storage = &zova::test::storage();
    deps.settings = &settings;
    GuideEditorView view(m_guide, context(), {}, std::move(deps));
    ASSERT_TRUE(showActive(&view));
    // The canvas's own layer, over the focused first step.
    AnnotationsLayer* layer = view.canvas()->annotationsLayer();
    ASSERT_TRUE(layer->isVisible());
    const QRectF area(QPointF(), QSizeF(layer->size()));
    Step* first = m_guide->orderedSteps().first();
    ASSERT_EQ(layer->stepId(), first->id());

    // A selected mark: Backspace deletes it, not the selected step.
    QTest::mouseClick(layer, Qt::LeftButton, {}, QPoint(int(area.width() * 0.2), int(area.height() * 0.2)));
    ASSERT_TRUE(layer->hasFocus());
    QTest::keyClick(layer, Qt::Key_Backspace);
    EXPECT_EQ(first->annotations().size(), 1);
    EXPECT_FALSE(view.controller()->state().sheets.pendingDelete);
    // Nothing selected: the key is still the layer's.
    QTest::keyClick(layer, Qt::Key_Delete);
    EXPECT_FALSE(view.controller()->state().sheets.pendingDelete);

    // A label being edited takes Backspace for its text.
    const QRectF capsule = annotation::labelRect(first->annotations()[0], area);
    QTest::mouseClick(layer, Qt::LeftButton, {}, capsule.center().toPoint());
    QTest::mouseClick(layer, Qt::LeftButton, {}, capsule.center().toPoint());
    QLineEdit* editor = layer->labelEditor();
    ASSERT_TRUE(test::waitUntil([&] { return editor->hasFocus(); }, 2000));
    editor->end(false);
    QTest::keyClick(editor, Qt::Key_Backspace);
    EXPECT_EQ(editor->text(), QStringLiteral("Kee"));
    EXPECT_FALSE(view.controller()->state().sheets.pendingDelete);
    EXPECT_EQ(first->annotations().size(), 1);

    // The list has the key again once it has the focus.
    view.sidebar()->list()->setFocus();
    QTest::keyClick(view.sidebar()->list(), Qt::Key_Backspace);
    EXPECT_TRUE(view.controller()->state().sheets.pendingDelete);
    EXPECT_EQ(first->annotations()[0].text, QStringLiteral("Kee")) << "leaving the label stored its text";
}
