// Drives the real application binary under Xvfb + openbox through the export
// panel: an HTML folder exported over an earlier export keeps the earlier page
// until the user agrees to replace it, and a PDF export cut short by Quit leaves
// no page behind in the temporary folder.
#include <QDirIterator>
#include <QPainter>

#include "model/Guide.h"
#include "model/Step.h"

// Xlib last: it defines None, Bool and the like.
#include "AppSession.h"

#include <X11/keysym.h>

using namespace zova;

namespace {

class ExportSession : public AppSession {
protected:
    // A guide titled "Export Guide" (slug export-guide) opened in the editor, the
    // working folder (where the destination dialog starts) the export folder.
    void openGuide(int steps)
    {
        storeGuide(QStringLiteral("Export Guide"), steps, QSize(1920, 1080), [](int i, QImage& shot, Step& step) {
            QPainter p(&shot);
            for (int row = 0; row < 40; ++row)
                p.drawText(40, 40 + row * 24, QStringLiteral("Line %1 of step %2").arg(row).arg(i));
            step.setOcrLabel(QStringLiteral("Open ") + QChar('A' + i % 26));
        });
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_TRUE(m_exports.isValid());
        launchApp(m_exports.path());
        ASSERT_FALSE(HasFatalFailure());
        clickWidget("guideCard");
        ASSERT_TRUE(waitForWidget("guideEditor")) << "the guide did not open in the editor";
    }

    // Opens the export panel with the format's card chosen and reveal off, presses
    // export and accepts the destination the dialog proposes.
    void exportAs(const QString& formatCard)
    {
        if (!widget("exportPanel")) {
            clickWidget("editorExportButton");
            ASSERT_TRUE(waitForWidget("exportPanel"));
            ASSERT_TRUE(waitForWidget("revealSwitch"));
            clickWidget("revealSwitch"); // no file manager window in the test session
        }
        clickWidget(formatCard);
        QTest::qWait(200);
        clickWidget("exportButton");
        ASSERT_TRUE(waitForWidget("exportDestinationDialog")) << "no destination dialog";
        QTest::qWait(500);
        key(XK_Return);
    }

    QString folder() const { return m_exports.filePath("export-guide"); }
    QString temporaryRoot() const { return m_home.filePath("data/ZOVA/tmp"); }

    QTemporaryDir m_exports;
};

TEST_F(ExportSession, AnEarlierHtmlExportIsKeptUntilTheUserAgrees)
{
    QDir().mkpath(folder() + "/assets/screenshots");
    ASSERT_TRUE(test::writeFile(folder() + "/index.html", "earlier page"));
    ASSERT_TRUE(test::writeFile(folder() + "/notes.txt", "mine"));
    openGuide(2);
    ASSERT_FALSE(HasFatalFailure());

    exportAs("formatCard-html");
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(waitForWidget("replaceExportAlert")) << "exported over the earlier page without asking";
    snapshot("export-replace-question.png");
    clickWidget("keepExportButton");
    ASSERT_TRUE(test::waitUntil([&] { return !widget("replaceExportAlert"); }, 5000));
    QTest::qWait(1000);
    EXPECT_EQ(test::readFile(folder() + "/index.html"), "earlier page");
    EXPECT_TRUE(QDir(folder() + "/assets/screenshots").isEmpty());

    exportAs("formatCard-html");
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(waitForWidget("replaceExportAlert"));
    clickWidget("replaceExportButton");
    ASSERT_TRUE(
        test::waitUntil([&] { return test::readFile(folder() + "/index.html").startsWith("<!DOCTYPE html>"); }, 30000))
        << "the page was not replaced once the user agreed";
    EXPECT_EQ(QDir(folder() + "/assets/screenshots").entryList(QDir::Files).size(), 2);
    EXPECT_EQ(test::readFile(folder() + "/notes.txt"), "mine");
    quitApp();
}

TEST_F(ExportSession, QuitDuringAPdfExportLeavesNoPageBehind)
{
    // QtWebEngine's own page teardown trips the new/delete size check inside the library.
    if (const QString asan = qEnvironmentVariable("ASAN_OPTIONS"); !asan.isEmpty())
        m_appEnvironment.insert("ASAN_OPTIONS", asan + ":new_delete_type_mismatch=0");
    m_appEnvironment.insert("QTWEBENGINE_DISABLE_SANDBOX", "1");
    openGuide(24);
    ASSERT_FALSE(HasFatalFailure());
    exportAs("formatCard-pdf");
    ASSERT_FALSE(HasFatalFailure());
    // Quit once the page to print is in the temporary folder.
    const auto pageFiles = [&] {
        QStringList found;
        QDirIterator it(temporaryRoot(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            found << it.next();
        return found;
    };
    ASSERT_TRUE(test::waitUntil([&] { return !pageFiles().isEmpty(); }, 60000)) << "no page was written";
    key(XK_q, { XK_Control_L });
    ASSERT_TRUE(m_app.waitForFinished(20000)) << "the process did not end after Quit";
    EXPECT_EQ(m_app.exitStatus(), QProcess::NormalExit);
    EXPECT_TRUE(pageFiles().isEmpty()) << "left behind: " << pageFiles().join(' ').toStdString();
}

} // namespace
