// Drives the real application binary under Xvfb + openbox: opens a guide from
// the library, selects two steps with Ctrl-click, deletes them with the Delete
// key through the alert,
// drags the last step to the top and exports an HTML folder; then checks the
// store, the screenshot files and the export.
#include "model/Guide.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Step.h"

// Xlib last: it defines None, Bool and the like.
#include "AppSession.h"

#include <QDirIterator>
#include <QPainter>

#include <X11/keysym.h>

using namespace zova;

namespace {

class EditorSession : public AppSession {
protected:
    // Five steps with 1080p screenshots, labelled "Open A" .. "Open E".
    void seedGuide()
    {
        storeGuide(QStringLiteral("Editor Guide"), 5, QSize(1920, 1080), [this](int i, QImage& shot, Step& step) {
            QPainter(&shot).fillRect(200, 200, 800, 120, QColor::fromHsv(i * 60, 200, 120));
            step.setOcrLabel(QStringLiteral("Open ") + QChar('A' + i));
            m_files.insert(step.ocrLabel().value_or(QString()), step.screenshotFilename());
        });
    }

    // The seeded guide opened in the editor, the working folder the export folder.
    void openSeededGuide()
    {
        seedGuide();
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_TRUE(m_exports.isValid());
        launchApp(m_exports.path());
        ASSERT_FALSE(HasFatalFailure());
        clickWidget("guideCard");
        ASSERT_TRUE(waitForWidget("guideEditor")) << "the guide did not open in the editor";
        ASSERT_TRUE(waitForRows({ "Open A", "Open B", "Open C", "Open D", "Open E" }))
            << rowLabels().join(", ").toStdString();
    }

    void clickRow(const QString& label, const QList<KeySym>& modifiers = {}) const
    {
        const QRect r = rowRect(label);
        ASSERT_FALSE(r.isEmpty()) << qPrintable(label);
        for (KeySym m : modifiers)
            XTestFakeKeyEvent(d(), XKeysymToKeycode(d(), m), True, CurrentTime);
        click(r.center());
        for (KeySym m : modifiers)
            XTestFakeKeyEvent(d(), XKeysymToKeycode(d(), m), False, CurrentTime);
        XFlush(d());
        QThread::msleep(100);
    }

    QTemporaryDir m_exports;
    QHash<QString, QString> m_files; // label -> screenshot file
};

TEST_F(EditorSession, OpenSelectDeleteReorderAndExport)
{
    openSeededGuide();
    ASSERT_FALSE(HasFatalFailure());

    // A plain click, then Ctrl-click: B and D selected.
    clickRow("Open B");
    clickRow("Open D", { XK_Control_L });
    ASSERT_TRUE(waitForWidget("deleteSelectionButton", {}, {}, 5000));
    QTest::qWait(400);
    snapshot("editor-selection-x11.png");
    key(XK_Delete);
    ASSERT_TRUE(waitForWidget("confirmDeleteButton")) << "no deletion alert";
    clickWidget("confirmDeleteButton");
    ASSERT_TRUE(waitForRows({ "Open A", "Open C", "Open E" })) << rowLabels().join(", ").toStdString();

    // Drag the last row onto the upper half of the first.
    const QRect last = rowRect("Open E");
    const QRect first = rowRect("Open A");
    moveTo(last.center());
    QThread::msleep(100);
    button(true);
    QThread::msleep(100);
    const QPoint to(first.center().x(), first.top() + first.height() / 4);
    for (int i = 1; i <= 30; ++i) {
        moveTo(last.center() + (to - last.center()) * i / 30);
        QThread::msleep(25);
    }
    QThread::msleep(300);
    snapshot("editor-drag-x11.png");
    button(false);
    ASSERT_TRUE(waitForRows({ "Open E", "Open A", "Open C" })) << rowLabels().join(", ").toStdString();

    // Export an HTML folder into the working folder, where the dialog starts.
    clickWidget("editorExportButton");
    ASSERT_TRUE(waitForWidget("exportPanel"));
    ASSERT_TRUE(waitForWidget("revealSwitch"));
    clickWidget("revealSwitch"); // no file manager window in the test session
    QTest::qWait(200);
    clickWidget("exportButton");
    ASSERT_TRUE(waitForWidget("exportDestinationDialog")) << "no destination dialog";
    QTest::qWait(500);
    key(XK_Return);
    QString index;
    ASSERT_TRUE(test::waitUntil(
        [&] {
            QDirIterator it(m_exports.path(), { "index.html" }, QDir::Files, QDirIterator::Subdirectories);
            index = it.hasNext() ? it.next() : QString();
            return !index.isEmpty();
        },
        15000))
        << "no export";
    QTest::qWait(300);
    quitApp();

    auto store = ModelContainer::open(storePath());
    ASSERT_TRUE(store.hasValue());
    const QList<Guide*> guides = store.value()->mainContext()->guides();
    ASSERT_EQ(guides.size(), 1);
    const QList<Step*> steps = guides.first()->orderedSteps();
    ASSERT_EQ(steps.size(), 3);
    const QStringList expected = { "Open E", "Open A", "Open C" };
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(steps[i]->order(), i);
        EXPECT_EQ(steps[i]->ocrLabel(), expected[i]);
    }
    for (const QString label : { "Open A", "Open C", "Open E" })
        EXPECT_TRUE(QFile::exists(QDir(screenshotsDir()).filePath(m_files[label]))) << qPrintable(label);
    for (const QString label : { "Open B", "Open D" })
        EXPECT_FALSE(QFile::exists(QDir(screenshotsDir()).filePath(m_files[label]))) << qPrintable(label);

    const QString page = QString::fromUtf8(test::readFile(index));
    const qsizetype e = page.indexOf("Open E"), a = page.indexOf("Open A"), c = page.indexOf("Open C");
    EXPECT_TRUE(e >= 0 && e < a && a < c) << "the page does not follow the new order";
    EXPECT_FALSE(page.contains("Open B"));
    EXPECT_FALSE(page.contains("Open D"));
    const QDir assets(QFileInfo(index).absolutePath() + "/assets/screenshots");
    EXPECT_EQ(assets.entryList(QDir::Files).size(), 3);
}

// Quit from the menu's shortcut after a PDF export (QtWebEngine running): the process
// ends on its own with success, and what was edited before is in the store.
TEST_F(EditorSession, QuitAfterAPdfExportEndsAndKeepsTheEdits)
{
    // QtWebEngine's own page teardown trips the new/delete size check inside the library.
    if (const QString asan = qEnvironmentVariable("ASAN_OPTIONS"); !asan.isEmpty())
        m_appEnvironment.insert("ASAN_OPTIONS", asan + ":new_delete_type_mismatch=0");
    m_appEnvironment.insert("QTWEBENGINE_DISABLE_SANDBOX", "1");
    openSeededGuide();
    ASSERT_FALSE(HasFatalFailure());
    clickRow("Open B");
    key(XK_Delete);
    ASSERT_TRUE(waitForWidget("confirmDeleteButton")) << "no deletion alert";
    clickWidget("confirmDeleteButton");
    ASSERT_TRUE(waitForRows({ "Open A", "Open C", "Open D", "Open E" })) << rowLabels().join(", ").toStdString();

    clickWidget("editorExportButton");
    ASSERT_TRUE(waitForWidget("exportPanel"));
    clickWidget("formatCard-pdf");
    ASSERT_TRUE(waitForWidget("revealSwitch"));
    clickWidget("revealSwitch");
    QTest::qWait(200);
    clickWidget("exportButton");
    ASSERT_TRUE(waitForWidget("exportDestinationDialog")) << "no destination dialog";
    QTest::qWait(500);
    key(XK_Return);
    ASSERT_TRUE(
        test::waitUntil([&] { return !QDir(m_exports.path()).entryList({ "*.pdf" }, QDir::Files).isEmpty(); }, 30000))
        << "no PDF";
    QTest::qWait(500);

    key(XK_q, { XK_Control_L });
    ASSERT_TRUE(m_app.waitForFinished(10000)) << "the process did not end after Quit";
    EXPECT_EQ(m_app.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(m_app.exitCode(), 0);
    EXPECT_FALSE(QFile::exists(storePath() + ".lock")) << "the instance lock outlived the process";

    auto store = ModelContainer::open(storePath());
    ASSERT_TRUE(store.hasValue());
    const QList<Guide*> guides = store.value()->mainContext()->guides();
    ASSERT_EQ(guides.size(), 1);
    QStringList labels;
    for (Step* step : guides.first()->orderedSteps())
        labels << step->ocrLabel().value_or(QString());
    EXPECT_EQ(labels, QStringList({ "Open A", "Open C", "Open D", "Open E" }));
}

} // namespace
