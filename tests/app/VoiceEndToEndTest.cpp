// Drives the real application binary under Xvfb + openbox: chooses a narrator
// voice in the Settings window, exports the guide as an MP4 and checks that the
// narration was spoken with that voice; then chooses "ZOVA default" and checks
// that the automatic choice is stored.
#include "export/NarratorService.h"
#include "model/Guide.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Settings.h"
#include "model/Step.h"
#include "platform/speech/EspeakVoiceCatalog.h"

// Xlib last: it defines None, Bool and the like.
#include "AppSession.h"

#include <QDirIterator>
#include <QStandardPaths>

#include <X11/keysym.h>

using namespace zova;

namespace {

class VoiceSession : public AppSession {
protected:
    void seedGuide()
    {
        storeGuide(QStringLiteral("Voice Guide"), 2, QSize(640, 400), [](int i, QImage&, Step& step) {
            step.setUserDescription(i == 0 ? QStringLiteral("Open the menu") : QStringLiteral("Pick a file"));
        });
    }

    // espeak-ng on the application's PATH, logging its arguments before it speaks.
    void wrapSpeech()
    {
        const QString real = QStandardPaths::findExecutable(QStringLiteral("espeak-ng"));
        ASSERT_FALSE(real.isEmpty());
        const QString script = m_bin.filePath("espeak-ng");
        ASSERT_TRUE(test::writeFile(
            script, QStringLiteral("#!/bin/sh\necho \"$*\" >> %1\nexec %2 \"$@\"\n").arg(speechLog(), real).toUtf8()));
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", (m_bin.path() + ":" + qEnvironmentVariable("PATH")).toLocal8Bit());
    }
    QString speechLog() const { return m_bin.filePath("speech.log"); }

    // Asks the window manager to close the application's window of that title.
    void closeWindow(const QString& title) const
    {
        Window w = 0;
        const auto clients = x11::cardinals(d(), DefaultRootWindow(d()), "_NET_CLIENT_LIST", XA_WINDOW);
        for (unsigned long client : clients.value_or(QList<unsigned long> {})) {
            const auto owner = x11::cardinal(d(), Window(client), "_NET_WM_PID", XA_CARDINAL);
            // Qt appends the application's display name to the title.
            if (owner && qint64(*owner) == m_app.processId()
                && x11::windowTitle(d(), Window(client)).value_or(QString()).startsWith(title))
                w = Window(client);
        }
        ASSERT_NE(w, Window(0)) << qPrintable(title);
        XEvent event {};
        event.xclient.type = ClientMessage;
        event.xclient.window = w;
        event.xclient.message_type = XInternAtom(d(), "_NET_CLOSE_WINDOW", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = CurrentTime;
        event.xclient.data.l[1] = 2;
        XSendEvent(d(), DefaultRootWindow(d()), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
        XFlush(d());
        ASSERT_TRUE(test::waitUntil([&] { return !widget("voiceSettings"); }, 5000));
    }

    QString exportedVideo() const
    {
        QDirIterator it(m_exports.path(), { "*.mp4" }, QDir::Files);
        while (it.hasNext()) {
            const QString file = it.next();
            if (!QFileInfo(file).fileName().startsWith(QLatin1String("zova-export-")))
                return file;
        }
        return {};
    }

    QTemporaryDir m_exports;
    QTemporaryDir m_bin;
};

TEST_F(VoiceSession, TheChosenVoiceNarratesTheVideoAndZovaDefaultReturnsToTheAutomaticChoice)
{
    seedGuide();
    ASSERT_FALSE(HasFatalFailure());
    wrapSpeech();
    ASSERT_FALSE(HasFatalFailure());
    const QList<speech::SpeechVoice> voices
        = NarratorService::sortedVoices(speech::EspeakVoiceCatalog().installedVoices());
    ASSERT_GT(voices.size(), 3) << "espeak-ng-data is installed";
    launchApp(m_exports.path());
    ASSERT_FALSE(HasFatalFailure());

    key(XK_comma, { XK_Control_L });
    ASSERT_TRUE(waitForWidget("voiceSettings")) << "no Settings window";
    // The rows top to bottom: the automatic row, then the voices in list order.
    const QList<DumpEntry> rows = settledWidgets("voiceRow", 3);
    ASSERT_GE(rows.size(), 3);
    click(rows[2].rect.center());
    const QString chosen = voices[1].identifier;
    QTest::qWait(300);
    closeWindow(QStringLiteral("Settings"));
    ASSERT_FALSE(HasFatalFailure());

    clickWidget("guideCard");
    ASSERT_TRUE(waitForWidget("guideEditor")) << "the guide did not open in the editor";
    clickWidget("editorExportButton");
    ASSERT_TRUE(waitForWidget("exportPanel"));
    ASSERT_TRUE(waitForWidget("formatCard-video"));
    clickWidget("formatCard-video");
    // The video's narration row moves the switches below it: click them only once
    // the dump shows the new layout.
    ASSERT_TRUE(waitForWidget("narrationSwitch")) << "the video options did not appear";
    QTest::qWait(400);
    clickWidget("revealSwitch"); // no file manager window in the test session
    QTest::qWait(200);
    clickWidget("exportButton");
    ASSERT_TRUE(waitForWidget("exportDestinationDialog")) << "no destination dialog";
    QTest::qWait(500);
    key(XK_Return);
    ASSERT_TRUE(test::waitUntil([&] { return !exportedVideo().isEmpty(); }, 180000)) << "no video";

    const QString spoken = QString::fromUtf8(test::readFile(speechLog()));
    EXPECT_TRUE(spoken.contains(QStringLiteral("-v ") + chosen + QStringLiteral(" "))) << spoken.toStdString();
    for (const QString& line : spoken.split('\n', Qt::SkipEmptyParts))
        EXPECT_TRUE(line.startsWith(QStringLiteral("-v ") + chosen + QStringLiteral(" "))) << line.toStdString();

    // Back to the automatic choice.
    key(XK_comma, { XK_Control_L });
    ASSERT_TRUE(waitForWidget("voiceSettings"));
    const QList<DumpEntry> rowsAgain = settledWidgets("voiceRow", 3);
    ASSERT_GE(rowsAgain.size(), 3);
    click(rowsAgain.first().rect.center());
    QTest::qWait(300);
    quitApp();
    ASSERT_FALSE(HasFatalFailure());

    Settings stored { std::make_unique<SettingsFileStore>(m_home.filePath(QStringLiteral("config/ZOVA/ZOVA.conf"))) };
    EXPECT_TRUE(stored.isStored(settings::narratorVoiceID));
    EXPECT_EQ(stored.value(settings::narratorVoiceID), QString()) << "the automatic row stores the empty string";
    NarratorService narrator(stored);
    EXPECT_TRUE(narrator.isAutoPicking());
}

} // namespace
