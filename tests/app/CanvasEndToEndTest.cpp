// Drives the real application binary under Xvfb + openbox through the canvas:
// drags the hotspot of step 2, types its description, adds a step from an image
// file and replaces step 1's screenshot through the file dialog; then starts the
// application again and checks that all of it is there, in the store and the
// screenshot folder.
#include <QImageReader>
#include <QPainter>

#include "model/Guide.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Step.h"

// Xlib last: it defines None, Bool and the like.
#include "AppSession.h"

#include <X11/keysym.h>

using namespace zova;

namespace {

class CanvasSession : public AppSession {
protected:
    void rightClick(QPoint p) const
    {
        moveTo(p);
        QThread::msleep(80);
        XTestFakeButtonEvent(d(), 3, True, CurrentTime);
        XTestFakeButtonEvent(d(), 3, False, CurrentTime);
        XFlush(d());
        QThread::msleep(150);
    }
    // Lower-case letters, digits, dots and spaces.
    void typeText(const QString& text) const
    {
        for (const QChar c : text) {
            const KeySym sym = c == ' ' ? XK_space : c == '.' ? XK_period : XStringToKeysym(QString(c).toLatin1());
            key(sym);
        }
    }
    // Chooses a file of the working folder in the image dialog.
    void chooseInDialog(const QString& fileName) const
    {
        ASSERT_TRUE(waitForWidget("imageFileDialog")) << "no image dialog";
        QTest::qWait(500);
        typeText(fileName);
        key(XK_Return);
        ASSERT_TRUE(test::waitUntil([&] { return !widget("imageFileDialog"); }, 10000)) << "the dialog stayed";
    }
    // The library shows the newest guide first: the canvas guide, then the empty one.
    void openGuide(const QString& title) const
    {
        ASSERT_TRUE(test::waitUntil([&] { return widgets("guideCard").size() == 2; })) << "not two cards";
        QList<DumpEntry> cards = widgets("guideCard");
        std::sort(cards.begin(), cards.end(), [](const DumpEntry& a, const DumpEntry& b) {
            return std::pair(a.rect.y(), a.rect.x()) < std::pair(b.rect.y(), b.rect.x());
        });
        click(cards[title == "Canvas Guide" ? 0 : 1].rect.center());
        ASSERT_TRUE(waitForWidget("guideEditor")) << "the guide did not open in the editor";
    }
    static QSize imageSize(const QString& path) { return QImageReader(path).size(); }

    QTemporaryDir m_images;
    QHash<QString, QString> m_files; // label -> screenshot file
};

TEST_F(CanvasSession, DragDescribeAddAndReplaceSurviveARestart)
{
    ASSERT_TRUE(m_images.isValid());
    QImage added(640, 400, QImage::Format_RGB32);
    added.fill(QColor(230, 120, 60));
    ASSERT_TRUE(added.save(m_images.filePath("added.png")));
    QImage replacement(500, 500, QImage::Format_RGB32);
    replacement.fill(QColor(60, 120, 230));
    ASSERT_TRUE(replacement.save(m_images.filePath("replacement.png")));
    storeGuide(QStringLiteral("Empty guide"), 0, QSize());
    ASSERT_FALSE(HasFatalFailure());
    QThread::msleep(20); // created strictly earlier than the canvas guide
    storeGuide(QStringLiteral("Canvas Guide"), 3, QSize(1600, 1000), [this](int i, QImage& shot, Step& step) {
        QPainter(&shot).fillRect(300, 250, 700, 140, QColor::fromHsv(i * 90, 200, 140));
        step.setOcrLabel(QStringLiteral("Open ") + QChar('A' + i));
        m_files.insert(step.ocrLabel().value_or(QString()), step.screenshotFilename());
    });
    ASSERT_FALSE(HasFatalFailure());
    launchApp(m_images.path());
    ASSERT_FALSE(HasFatalFailure());

    openGuide("Empty guide");
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(waitForWidget("noStepsPanel")) << "no empty state";
    QTest::qWait(400);
    snapshot("editor-empty-light.png");
    clickWidget("backToLibraryButton");
    ASSERT_TRUE(waitForWidget("newGuideButton"));

    openGuide("Canvas Guide");
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(waitForRows({ "Open A", "Open B", "Open C" })) << rowLabels().join(", ").toStdString();
    click(rowRect("Open B").center());
    ASSERT_TRUE(waitForWidget("canvasTitle"));

    // Drag the marker 120 px right and 60 px down.
    ASSERT_TRUE(waitForWidget("hotspotMarker"));
    const QPoint from = widget("hotspotMarker")->rect.center();
    moveTo(from);
    QThread::msleep(100);
    button(true);
    QThread::msleep(80);
    for (int i = 1; i <= 20; ++i) {
        moveTo(from + QPoint(120, 60) * i / 20);
        QThread::msleep(20);
    }
    button(false);
    QThread::msleep(200);

    // Type the description.
    clickWidget("descriptionField");
    key(XK_a, { XK_Control_L });
    typeText("typed in the editor");
    ASSERT_TRUE(waitForRows({ "Open A", "typed in the editor", "Open C" })) << rowLabels().join(", ").toStdString();
    QTest::qWait(300);
    snapshot("editor-canvas-light.png");

    // Add a step from an image file through the menu.
    key(XK_n, { XK_Control_L, XK_Shift_L });
    ASSERT_TRUE(waitForWidget("addStepMenu")) << "no add-step menu";
    QTest::qWait(200);
    key(XK_Down);
    key(XK_Return);
    chooseInDialog("added.png");
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(waitForRows({ "Open A", "typed in the editor", "Open C", "Step 4" }))
        << rowLabels().join(", ").toStdString();

    // Replace step 1's screenshot from its row's menu.
    rightClick(rowRect("Open A").center());
    ASSERT_TRUE(waitForWidget("stepRowMenu")) << "no row menu";
    QTest::qWait(200);
    key(XK_Down);
    key(XK_Return);
    chooseInDialog("replacement.png");
    ASSERT_FALSE(HasFatalFailure());
    const QString replaced = QDir(screenshotsDir()).filePath(m_files["Open A"]);
    ASSERT_TRUE(test::waitUntil([&] { return !QFile::exists(replaced); }, 5000)) << "the old screenshot stayed";
    QTest::qWait(300);
    quitApp();

    // Start again, in dark mode: everything is still there.
    storeSetting(settings::themeMode, ThemeMode::Dark);
    launchApp(m_images.path());
    ASSERT_FALSE(HasFatalFailure());
    openGuide("Canvas Guide");
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(waitForRows({ "Open A", "typed in the editor", "Open C", "Step 4" }))
        << rowLabels().join(", ").toStdString();
    click(rowRect("typed in the editor").center());
    QTest::qWait(500);
    snapshot("editor-canvas-dark.png");
    clickWidget("backToLibraryButton");
    ASSERT_TRUE(waitForWidget("newGuideButton"));
    openGuide("Empty guide");
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(waitForWidget("noStepsPanel")) << "no empty state";
    QTest::qWait(400);
    snapshot("editor-empty-dark.png");
    quitApp();

    auto store = ModelContainer::open(storePath());
    ASSERT_TRUE(store.hasValue());
    Guide* guide = nullptr;
    for (Guide* g : store.value()->mainContext()->guides())
        if (g->title() == "Canvas Guide")
            guide = g;
    ASSERT_NE(guide, nullptr);
    const QList<Step*> steps = guide->orderedSteps();
    ASSERT_EQ(steps.size(), 4);
    EXPECT_GT(steps[1]->clickX(), 0.35) << "the hotspot drag was not kept";
    EXPECT_LT(steps[1]->clickX(), 0.6);
    EXPECT_GT(steps[1]->clickY(), 0.42);
    EXPECT_LT(steps[1]->clickY(), 0.7);
    EXPECT_EQ(steps[1]->userDescription(), "typed in the editor");
    EXPECT_FALSE(steps[0]->userDescription()) << "showing a step wrote its label into its description";
    EXPECT_FALSE(steps[2]->userDescription());
    EXPECT_EQ(steps[3]->order(), 3);
    EXPECT_EQ(steps[3]->clickX(), 0.5);
    EXPECT_EQ(imageSize(QDir(screenshotsDir()).filePath(steps[3]->screenshotFilename())), QSize(640, 400));
    EXPECT_NE(steps[0]->screenshotFilename(), m_files["Open A"]);
    EXPECT_EQ(imageSize(QDir(screenshotsDir()).filePath(steps[0]->screenshotFilename())), QSize(500, 500));
    EXPECT_EQ(steps[0]->clickX(), 0.3) << "the replacement moved the hotspot";
    EXPECT_FALSE(QFile::exists(replaced));
    EXPECT_EQ(QDir(screenshotsDir()).entryList(QDir::Files).size(), 4) << "files left behind";
}

} // namespace
