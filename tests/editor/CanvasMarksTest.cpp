// The drawing tools as the editor holds them: the layer over the canvas's
// screenshot, the tools in its title bar and the crop overlay, driven through
// mouse and key events on the real widgets; what reaches the step, and what the
// canvas shows under a blur.
#include "EditorFixture.h"

#include "annotation/AnnotationGeometry.h"
#include "annotation/AnnotationPainter.h"
#include "annotation/Marks.h"
#include "annotation/Redaction.h"
#include "editor/GuideEditorView.h"
#include "editor/canvas/CanvasColumn.h"
#include "editor/canvas/CanvasRedaction.h"
#include "editor/canvas/CanvasTitleBar.h"
#include "editor/canvas/DescriptionCard.h"
#include "editor/canvas/HotspotMarker.h"
#include "editor/canvas/ScreenshotView.h"
#include "editor/crop/CropOverlayView.h"
#include "editor/list/StepListView.h"
#include "editor/list/StepRowPainter.h"
#include "editor/list/StepsSidebar.h"
#include "editor/marks/AnnotationToolbar.h"
#include "editor/marks/AnnotationsLayer.h"
#include "export/RedactionCases.h"
#include "model/ScreenshotCache.h"
#include "model/Settings.h"
#include "style/PillButton.h"

#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTest>

using namespace zova;
using Kind = StepAnnotation::Kind;
using zova::test::mark;

namespace {

class CanvasMarksTest : public EditorFixture {
protected:
    // An editor over a guide whose steps have 800 x 500 screenshots.
    void open(int steps = 2)
    {
        m_guide = makeGuide({}, false);
        for (int i = 0; i < steps; ++i) {
            auto* step = new Step(i, saveShot(i, QSize(800, 500)), 0.3, 0.4);
            step->setGuide(m_guide);
        }
        ASSERT_TRUE(context()->save().hasValue());
        show();
    }
    void show()
    {
        EditorController::Hooks hooks;
        hooks.imageEditor = ImageEditorHandOff(m_handOff.path(), [this](const QUrl& url) {
            m_opened.append(url.toLocalFile());
            return true;
        });
        GuideEditorView::Dependencies deps;
        deps.thumbnails = &m_thumbnails;
        deps.storage = &zova::test::storage();
        deps.settings = &m_settings;
        m_view = std::make_unique<GuideEditorView>(m_guide, context(), std::move(hooks), std::move(deps));
        ASSERT_TRUE(showActive(m_view.get()));
        ASSERT_TRUE(layer()->isVisible());
    }
    EditorController* controller() const { return m_view->controller(); }
    CanvasColumn* canvas() const { return m_view->canvas(); }
    AnnotationsLayer* layer() const { return canvas()->annotationsLayer(); }
    Step* step(int position) const { return m_guide->orderedSteps()[position]; }
    QRectF area() const { return QRectF(QPointF(), QSizeF(layer()->size())); }
    QPoint at(double fx, double fy) const { return QPointF(fx * layer()->width(), fy * layer()->height()).toPoint(); }
    void clickRow(int position)
    {
        StepListView* list = m_view->sidebar()->list();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->rowRect(position).center());
    }
    static void drag(QWidget* on, QPoint from, QPoint to, int steps = 6)
    {
        QTest::mousePress(on, Qt::LeftButton, {}, from);
        for (int i = 1; i <= steps; ++i) {
            const QPointF p = from + (to - from) * i / steps;
            QMouseEvent move(QEvent::MouseMove, p, on->mapToGlobal(p), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(on, &move);
        }
        QTest::mouseRelease(on, Qt::LeftButton, {}, to);
    }
    // What the canvas shows of the screenshot, in the screenshot's displayed rectangle.
    QImage shownScreenshot() const
    {
        const QRectF fitted = canvas()->screenshot()->fittedRect();
        const QPoint origin = canvas()->screenshot()->mapTo(canvas(), fitted.topLeft().toPoint());
        return canvas()->grab().toImage().copy(QRect(origin, fitted.size().toSize()));
    }
    bool waitForRedaction() const
    {
        return test::waitUntil([&] { return layer()->redaction()->isCurrent(layer()->marks()); }, 20000);
    }

    ScreenshotCache m_thumbnails { zova::test::storage() };
    Settings m_settings;
    QTemporaryDir m_handOff;
    QStringList m_opened;
    Guide* m_guide = nullptr;
    std::unique_ptr<GuideEditorView> m_view;
};

} // namespace

TEST_F(CanvasMarksTest, EachToolDrawsItsMarkIntoTheFocusedStep)
{
    open();
    clickRow(1);
    ASSERT_EQ(layer()->stepId(), step(1)->id());
    AnnotationToolbar* tools = canvas()->annotationToolbar();
    const struct {
        Kind kind;
        QPointF from, to; // fractions of the shown screenshot
    } rows[] = {
        { Kind::Blur, { 0.1, 0.1 }, { 0.3, 0.2 } },
        { Kind::Arrow, { 0.6, 0.6 }, { 0.4, 0.3 } }, // drawn backwards: stored top-left to bottom-right
        { Kind::Highlight, { 0.5, 0.7 }, { 0.9, 0.9 } },
        { Kind::Text, { 0.2, 0.6 }, { 0.4, 0.7 } },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(StepAnnotation::rawValue(row.kind).toStdString());
        const QImage before = shownScreenshot();
        QTest::mouseClick(tools->button(row.kind), Qt::LeftButton);
        ASSERT_EQ(controller()->state().activeTool, row.kind);
        drag(layer(), at(row.from.x(), row.from.y()), at(row.to.x(), row.to.y()));
        const QList<StepAnnotation> marks = step(1)->annotations();
        ASSERT_FALSE(marks.isEmpty());
        const StepAnnotation& drawn = marks.last();
        EXPECT_EQ(drawn.kind, row.kind);
        const QRectF expected = QRectF(row.from, row.to).normalized();
        const double px = 1.5 / layer()->width();
        EXPECT_NEAR(drawn.x, expected.x(), px);
        EXPECT_NEAR(drawn.y, expected.y(), px);
        EXPECT_NEAR(drawn.width, expected.width(), 2 * px);
        EXPECT_NEAR(drawn.height, expected.height(), 2 * px);
        EXPECT_FALSE(controller()->state().activeTool) << "each tool draws one mark";
        for (AnnotationToolButton* b : tools->findChildren<AnnotationToolButton*>())
            EXPECT_FALSE(b->isChecked());
        if (row.kind == Kind::Text) {
            QLineEdit* editor = layer()->labelEditor();
            ASSERT_TRUE(test::waitUntil([&] { return editor->hasFocus(); }, 2000)) << "the new label is edited";
            editor->selectAll();
            QTest::keyClicks(editor, QStringLiteral("Save"));
            QTest::keyClick(editor, Qt::Key_Return);
            EXPECT_EQ(step(1)->annotations().last().text, QStringLiteral("Save"));
        }
        if (row.kind == Kind::Blur) {
            ASSERT_TRUE(waitForRedaction());
        }
        // The canvas shows it where it was drawn.
        const QRect drawnAt = annotation::renderedRect(step(1)->annotations().last(), area()).toAlignedRect();
        EXPECT_GT(test::redaction::difference(before, shownScreenshot(), drawnAt), 20) << "not shown on the canvas";
    }
    EXPECT_EQ(step(1)->annotations().size(), 4);
    EXPECT_TRUE(step(0)->annotations().isEmpty()) << "drawn into the focused step only";
}

TEST_F(CanvasMarksTest, AMarkIsSelectedMovedAndDeletedWithoutTouchingTheStep)
{
    open();
    const StepAnnotation arrow = mark(Kind::Arrow, { 0.1, 0.1, 0.3, 0.3 }, "2040ff");
    const StepAnnotation highlight = mark(Kind::Highlight, { 0.5, 0.5, 0.2, 0.2 });
    step(0)->setAnnotations({ arrow, highlight });
    ASSERT_TRUE(test::waitUntil([&] { return layer()->marks().size() == 2; }, 1000));

    // A click selects; a drag moves by the displayed image's fractions.
    QTest::mouseClick(layer(), Qt::LeftButton, {}, at(0.6, 0.6));
    EXPECT_EQ(layer()->interaction().selected(), highlight.id);
    EXPECT_TRUE(layer()->hasFocus());
    EXPECT_TRUE(layer()->deleteButton()->isVisible());
    drag(layer(), at(0.6, 0.6), at(0.7, 0.5));
    ASSERT_EQ(step(0)->annotations().size(), 2);
    EXPECT_NEAR(step(0)->annotations()[1].x, 0.6, 0.01);
    EXPECT_NEAR(step(0)->annotations()[1].y, 0.4, 0.01);
    // Far past the right edge: stops where its edge meets the screenshot's.
    drag(layer(), at(0.65, 0.45), at(1.6, 0.45));
    EXPECT_NEAR(step(0)->annotations()[1].x, 0.8, 1e-9);

    // Delete with the layer focused: the mark goes, the step stays and nothing asks.
    QTest::keyClick(layer(), Qt::Key_Delete);
    ASSERT_EQ(step(0)->annotations().size(), 1);
    EXPECT_EQ(step(0)->annotations()[0].id, arrow.id);
    EXPECT_FALSE(controller()->state().sheets.pendingDelete);
    EXPECT_EQ(m_guide->steps().size(), 2);
    // The delete button of a selected arrow.
    QTest::mouseClick(layer(), Qt::LeftButton, {}, at(0.25, 0.25));
    ASSERT_TRUE(layer()->deleteButton()->isVisible());
    QTest::mouseClick(layer()->deleteButton(), Qt::LeftButton);
    EXPECT_TRUE(step(0)->annotations().isEmpty());
    EXPECT_EQ(m_guide->steps().size(), 2);

    // Another step forgets the selection.
    QTest::mouseClick(m_view->canvas()->titleBar()->toolbar()->button(Kind::Highlight), Qt::LeftButton);
    drag(layer(), at(0.1, 0.1), at(0.3, 0.3));
    ASSERT_TRUE(layer()->interaction().selected());
    clickRow(1);
    EXPECT_EQ(layer()->stepId(), step(1)->id());
    EXPECT_FALSE(layer()->interaction().selected());
    EXPECT_FALSE(layer()->deleteButton()->isVisible());
}

TEST_F(CanvasMarksTest, UnreadableMarksShowNoneAndViewingTheStepDoesNotOverwriteThem)
{
    m_guide = makeGuide({ 0, 1 });
    const QByteArray foreign = R"([{"id":"6f1c7a1e-0000-4000-8000-000000000001","kind":"ellipse",)"
                               R"("x":0.1,"y":0.1,"width":0.5,"height":0.5,"rotation":0,"colorHex":"ff0000"}])";
    step(0)->setAnnotationsData(foreign);
    ASSERT_TRUE(context()->save().hasValue());
    show();
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_TRUE(layer()->marks().isEmpty());

    // Going away and back, moving the hotspot, describing, a crop cancelled and a
    // tool's click without a drag: all of them leave the stored marks alone.
    clickRow(1);
    clickRow(0);
    HotspotMarker* marker = canvas()->screenshot()->marker();
    drag(marker, QPoint(HotspotMarker::side / 2, HotspotMarker::side / 2),
        QPoint(HotspotMarker::side / 2 + 30, HotspotMarker::side / 2 + 10));
    QPlainTextEdit* field = canvas()->description()->field();
    field->setFocus();
    QTest::keyClicks(field, QStringLiteral("x"));
    controller()->canvas().requestCrop();
    ASSERT_TRUE(controller()->state().sheets.cropping);
    QTest::mouseClick(qobject_cast<CropOverlayView*>(canvas()->cropOverlay())->cancelButton(), Qt::LeftButton);
    ASSERT_FALSE(controller()->state().sheets.cropping);
    controller()->canvas().setActiveTool(Kind::Blur);
    QTest::mouseClick(layer(), Qt::LeftButton, {}, at(0.5, 0.5));
    controller()->canvas().setActiveTool(std::nullopt);
    layer()->setFocus();
    QTest::keyClick(layer(), Qt::Key_Backspace);
    ASSERT_TRUE(context()->save().hasValue());
    EXPECT_EQ(step(0)->annotationsData(), foreign);
    EXPECT_TRUE(step(0)->userDescription().has_value()) << "the other edits did happen";

    // The first real edit replaces them.
    QTest::mouseClick(canvas()->annotationToolbar()->button(Kind::Arrow), Qt::LeftButton);
    drag(layer(), at(0.2, 0.2), at(0.4, 0.4));
    ASSERT_EQ(step(0)->annotations().size(), 1);
    EXPECT_EQ(step(0)->annotations()[0].kind, Kind::Arrow);
}

TEST_F(CanvasMarksTest, TheCropOverlayKeepsItsRectangleUntilItIsAppliedAndEndsTheCrop)
{
    open();
    step(0)->setAnnotations({ mark(Kind::Highlight, { 0.5, 0.5, 0.4, 0.4 }) });
    QTest::mouseClick(canvas()->titleBar()->cropButton(), Qt::LeftButton);
    ASSERT_EQ(canvas()->content(), CanvasColumn::Content::CropOverlay);
    QPointer<CropOverlayView> overlay = qobject_cast<CropOverlayView*>(canvas()->cropOverlay());
    ASSERT_TRUE(overlay);
    EXPECT_NE(overlay->imageEditorButton(), nullptr) << "the editor offers the image editor";
    // The left handle a quarter of the image to the right.
    const QRectF image = overlay->imageRect();
    const QPoint left(int(image.left()) + 1, int(image.center().y()));
    drag(overlay, left, left + QPoint(int(image.width() / 4), 0));
    const QRectF chosen = overlay->cropRect();
    ASSERT_NEAR(chosen.x(), 0.25, 0.01);

    // Updates that have nothing to do with the crop.
    step(1)->setUserDescription(QStringLiteral("elsewhere"));
    controller()->setModelAvailable(true);
    controller()->setTitleDraft(QStringLiteral("Renamed"));
    m_guide->setVideoBackgroundHex(QStringLiteral("223344"));
    QTest::qWait(50);
    ASSERT_TRUE(overlay) << "an editor update made a new overlay";
    EXPECT_EQ(canvas()->cropOverlay(), overlay.data());
    EXPECT_EQ(overlay->cropRect(), chosen);

    // Return applies it: the file, the hotspot and the marks follow; cropping ends.
    const QString old = step(0)->screenshotFilename();
    const annotation::Crop crop = annotation::cropFor(chosen, QSize(800, 500)).value();
    QTest::keyClick(overlay, Qt::Key_Return);
    EXPECT_FALSE(controller()->state().sheets.cropping);
    EXPECT_NE(step(0)->screenshotFilename(), old);
    EXPECT_FALSE(fileExists(old));
    const QSize cut = crop.pixels.size();
    EXPECT_EQ(zova::test::storage().loadScreenshot(step(0)->screenshotFilename()).size(), cut);
    EXPECT_NEAR(step(0)->clickX(), (0.3 - crop.x) / crop.width, 1e-9);
    EXPECT_NEAR(step(0)->annotations()[0].x, (0.5 - crop.x) / crop.width, 1e-9);
    ASSERT_TRUE(test::waitUntil([&] { return canvas()->content() == CanvasColumn::Content::Step; }, 1000));
    EXPECT_EQ(canvas()->screenshot()->image().size(), cut) << "the canvas shows the cropped image";

    // A new crop starts afresh; the image editor's button ends it and hands the file over.
    controller()->canvas().requestCrop();
    overlay = qobject_cast<CropOverlayView*>(canvas()->cropOverlay());
    ASSERT_TRUE(overlay);
    EXPECT_EQ(overlay->cropRect(), QRectF(0, 0, 1, 1));
    const QString cropped = step(0)->screenshotFilename();
    QTest::mouseClick(overlay->imageEditorButton(), Qt::LeftButton);
    EXPECT_FALSE(controller()->state().sheets.cropping);
    ASSERT_EQ(m_opened.size(), 1);
    EXPECT_TRUE(m_opened.first().startsWith(m_handOff.path()));
    EXPECT_EQ(QImage(m_opened.first()).size(), cut);
    EXPECT_EQ(step(0)->screenshotFilename(), cropped) << "the hand-off changes nothing";
}

TEST_F(CanvasMarksTest, TheCropOverlayShowsTheScreenshotWithItsBlursHidden)
{
    m_guide = makeGuide({}, false);
    QImage shot(400, 300, QImage::Format_RGB32);
    shot.fill(Qt::white);
    QPainter(&shot).fillRect(QRect(100, 100, 80, 40), Qt::black);
    const StepAnnotation blur = mark(Kind::Blur, { 0.2, 0.3, 0.3, 0.2 });
    for (int i = 0; i < 2; ++i) {
        auto* s = new Step(i, zova::test::storage().saveScreenshot(shot).value());
        s->setAnnotations({ blur, mark(Kind::Arrow, { 0.6, 0.6, 0.2, 0.2 }) });
        s->setGuide(m_guide);
    }
    ASSERT_TRUE(context()->save().hasValue());
    show();
    ASSERT_FALSE(HasFatalFailure());
    const QImage hidden = annotation::redacted(shot, { blur });
    ASSERT_NE(hidden.pixel(140, 120), qRgb(0, 0, 0));
    // The step on the canvas, and one cropped from its row before the canvas showed it.
    for (int position : { 0, 1 }) {
        SCOPED_TRACE(position);
        if (position == 0) {
            ASSERT_TRUE(waitForRedaction());
            controller()->canvas().requestCrop();
        } else {
            controller()->canvas().cropStep(step(1)->id());
        }
        auto* overlay = qobject_cast<CropOverlayView*>(canvas()->cropOverlay());
        ASSERT_NE(overlay, nullptr);
        EXPECT_EQ(overlay->image().convertToFormat(QImage::Format_RGB32), hidden)
            << "the crop shows what the blur hides";
        controller()->canvas().endCropping();
    }
}

TEST_F(CanvasMarksTest, TheCanvasHidesUnderABlurWhatTheExportsHide)
{
    using namespace zova::test::redaction;
    const QString secrets[] = { QStringLiteral("4827 1930"), QStringLiteral("6153 0472") };
    m_guide = makeGuide({}, false);
    for (const Case& c : cases()) {
        for (const QString& secret : secrets) {
            QRectF text;
            const QImage shot = capture(c, secret, &text);
            const QRectF m = markFor(c, text);
            StepAnnotation blur = mark(Kind::Blur, m);
            blur.rotation = c.rotation;
            auto* s = new Step(m_guide->steps().size(), zova::test::storage().saveScreenshot(shot).value());
            s->setAnnotations({ blur });
            s->setGuide(m_guide);
        }
    }
    ASSERT_TRUE(context()->save().hasValue());
    show();
    ASSERT_FALSE(HasFatalFailure());

    // Where the secrets differ a readable text differs by far more than this.
    constexpr int hidden = 2;
    constexpr int readable = 60;
    for (qsizetype i = 0; i < cases().size(); ++i) {
        const Case& c = cases().at(i);
        SCOPED_TRACE(c.name);
        QImage shown[2];
        for (int k = 0; k < 2; ++k) {
            clickRow(int(2 * i + k));
            ASSERT_EQ(layer()->stepId(), step(int(2 * i + k))->id());
            ASSERT_TRUE(waitForRedaction());
            shown[k] = shownScreenshot();
        }
        ASSERT_EQ(shown[0].size(), shown[1].size());
        QRectF textA, textB;
        capture(c, secrets[0], &textA);
        capture(c, secrets[1], &textB);
        const QRectF secret = textA.united(textB);
        const double sx = double(shown[0].width()) / c.size.width(), sy = double(shown[0].height()) / c.size.height();
        const QRect onCanvas
            = QRectF(secret.x() * sx, secret.y() * sy, secret.width() * sx, secret.height() * sy).toAlignedRect();
        if (c.hides) {
            EXPECT_LE(difference(shown[0], shown[1], onCanvas), hidden) << "the canvas shows the secret";
        } else {
            EXPECT_GT(difference(shown[0], shown[1], onCanvas), readable) << "the canvas hides an unmarked text";
        }
    }
}
