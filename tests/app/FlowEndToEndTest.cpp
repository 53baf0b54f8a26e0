// Drives the real application binary under Xvfb + openbox: New Guide, pick a
// window of a child process, three clicks in it, then Stop (or Cancel) on the
// control panel; checks the window manager's active window and the store.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

#include "model/Guide.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Step.h"
#include "platform/x11/X11Display.h"
#include "platform/x11/X11Properties.h"
#include "support/TestSupport.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <memory>

using namespace zova;

namespace {

const QString targetTitle = QStringLiteral("Flow Target");

struct DumpEntry {
    QString name;
    QString className;
    QRect rect;
    QString text;
};

class Session : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            GTEST_SKIP() << "needs the X session of scripts/xsession.sh";
        m_display = x11::openDisplay();
        ASSERT_TRUE(m_display);
        ASSERT_TRUE(m_home.isValid());
        ASSERT_TRUE(x11::cardinal(d(), DefaultRootWindow(d()), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW))
            << "needs a window manager";
        for (const char* sub : { "data", "config", "cache", "runtime" })
            QDir().mkpath(m_home.filePath(QString::fromLatin1(sub)));
        QFile::setPermissions(
            m_home.filePath("runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        // A returning user: the library, not the onboarding screen.
        QSettings settings(m_home.filePath("config/ZOVA/ZOVA.conf"), QSettings::IniFormat);
        settings.setValue("vorne.onboarding.completed", true);
        settings.sync();
    }

    void TearDown() override
    {
        for (QProcess* p : { &m_app, &m_target }) {
            if (p->state() != QProcess::NotRunning) {
                p->terminate();
                if (!p->waitForFinished(5000))
                    p->kill();
                p->waitForFinished(2000);
            }
        }
    }

    Display* d() const { return m_display.get(); }
    QString dumpPath() const { return m_home.filePath("widgets.txt"); }
    QString screenshotsDir() const { return m_home.filePath("data/ZOVA/screenshots"); }
    QString storePath() const { return m_home.filePath("data/ZOVA/ZOVA.store"); }

    void launch()
    {
        m_target.start(qEnvironmentVariable("ZOVA_FLOW_TARGET"), { targetTitle });
        ASSERT_TRUE(m_target.waitForStarted(5000));
        ASSERT_TRUE(test::waitUntil([&] { return clientWindow(m_target.processId(), targetTitle) != 0; }, 15000));

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("QT_QPA_PLATFORM");
        for (const char* sub : { "data", "config", "cache", "runtime" })
            env.insert(QStringLiteral("XDG_%1_HOME").arg(QString::fromLatin1(sub).toUpper()),
                m_home.filePath(QString::fromLatin1(sub)));
        env.insert("XDG_RUNTIME_DIR", m_home.filePath("runtime"));
        env.insert("ZOVA_WIDGET_DUMP", dumpPath());
        m_app.setProcessEnvironment(env);
        m_app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_app.start(qEnvironmentVariable("ZOVA_APP"), {});
        ASSERT_TRUE(m_app.waitForStarted(5000));
        ASSERT_TRUE(test::waitUntil([&] { return appWindow() != 0; }, 30000)) << "the main window did not appear";
        ASSERT_TRUE(waitForWidget("newGuideButton"));
        snapshot("1-library");
    }

    // The client window of the process with this title, or 0.
    Window clientWindow(qint64 pid, const QString& title) const
    {
        const auto clients = x11::cardinals(d(), DefaultRootWindow(d()), "_NET_CLIENT_LIST", XA_WINDOW);
        if (!clients)
            return 0;
        for (unsigned long w : *clients) {
            const auto owner = x11::cardinal(d(), Window(w), "_NET_WM_PID", XA_CARDINAL);
            if (owner && qint64(*owner) == pid && x11::windowTitle(d(), Window(w)) == title)
                return Window(w);
        }
        return 0;
    }
    Window appWindow() const { return clientWindow(m_app.processId(), QStringLiteral("Z.O.V.A")); }
    Window activeWindow() const
    {
        const auto active = x11::cardinal(d(), DefaultRootWindow(d()), "_NET_ACTIVE_WINDOW", XA_WINDOW);
        return active ? Window(*active) : 0;
    }
    bool appIsIconic() const
    {
        const auto state = x11::cardinals(d(), appWindow(), "WM_STATE", x11::atom(d(), "WM_STATE"));
        return state && !state->isEmpty() && state->first() == IconicState;
    }

    QRect frameOf(Window w) const
    {
        XWindowAttributes attrs {};
        Window child = 0;
        int x = 0, y = 0;
        if (!XGetWindowAttributes(d(), w, &attrs)
            || !XTranslateCoordinates(d(), w, DefaultRootWindow(d()), 0, 0, &x, &y, &child))
            return {};
        return QRect(x, y, attrs.width, attrs.height);
    }

    QList<DumpEntry> dump() const
    {
        QList<DumpEntry> out;
        const QString text = QString::fromUtf8(test::readFile(dumpPath()));
        for (const QString& line : text.split('\n', Qt::SkipEmptyParts)) {
            const QStringList f = line.split('\t');
            if (f.size() >= 7)
                out.append({ f[0], f[1], QRect(f[2].toInt(), f[3].toInt(), f[4].toInt(), f[5].toInt()), f[6] });
        }
        return out;
    }
    std::optional<DumpEntry> widget(const QString& name, const QString& className = {}, const QString& text = {}) const
    {
        for (const DumpEntry& e : dump())
            if ((name.isEmpty() || e.name == name) && (className.isEmpty() || e.className == className)
                && (text.isEmpty() || e.text == text) && !e.rect.isEmpty())
                return e;
        return std::nullopt;
    }
    bool waitForWidget(
        const QString& name, const QString& className = {}, const QString& text = {}, int timeoutMs = 15000) const
    {
        return test::waitUntil([&] { return widget(name, className, text).has_value(); }, timeoutMs);
    }

    void click(QPoint p) const
    {
        XTestFakeMotionEvent(d(), -1, p.x(), p.y(), CurrentTime);
        XFlush(d());
        QThread::msleep(80);
        XTestFakeButtonEvent(d(), 1, True, CurrentTime);
        XFlush(d());
        QThread::msleep(60);
        XTestFakeButtonEvent(d(), 1, False, CurrentTime);
        XFlush(d());
        QThread::msleep(80);
    }
    void clickWidget(const QString& name, const QString& className = {}, const QString& text = {}) const
    {
        const auto e = widget(name, className, text);
        ASSERT_TRUE(e) << qPrintable(name + text);
        click(QPoint(e->rect.x() + e->rect.width() / 2, e->rect.y() + e->rect.height() / 2));
    }

    int screenshotCount() const { return int(QDir(screenshotsDir()).entryList({ "*.png" }, QDir::Files).size()); }

    // New Guide, the test window's card, then clicks in the target.
    void recordClicks(int clicks)
    {
        clickWidget("newGuideButton");
        ASSERT_TRUE(waitForWidget({}, "zova::WindowCard", targetTitle)) << "no card for the test window";
        QTest::qWait(400);
        snapshot("2-picker");
        clickWidget({}, "zova::WindowCard", targetTitle);
        ASSERT_TRUE(waitForWidget("stopButton", "zova::CircleButton")) << "no control panel";
        ASSERT_TRUE(test::waitUntil([&] { return appIsIconic(); }, 5000)) << "the library did not step aside";
        const Window target = clientWindow(m_target.processId(), targetTitle);
        ASSERT_TRUE(test::waitUntil([&] { return activeWindow() == target; }, 5000)) << "target not brought forward";
        const QRect frame = frameOf(target);
        ASSERT_FALSE(frame.isEmpty());
        const QPointF spots[] = { { 0.25, 0.3 }, { 0.75, 0.3 }, { 0.5, 0.75 } };
        for (int i = 0; i < clicks; ++i) {
            click(
                QPoint(frame.x() + int(frame.width() * spots[i].x()), frame.y() + int(frame.height() * spots[i].y())));
            const int expected = i + 1;
            ASSERT_TRUE(test::waitUntil([&] { return screenshotCount() >= expected; }, 10000))
                << "no screenshot for click " << expected;
        }
        QTest::qWait(300);
        snapshot("3-recording");
    }

    void quitApp()
    {
        m_app.terminate();
        ASSERT_TRUE(m_app.waitForFinished(10000));
    }

    // Root window pictures for the documentation, when $ZOVA_DOCS_SHOTS names a folder.
    void snapshot(const char* name) const
    {
        const QString folder = qEnvironmentVariable("ZOVA_DOCS_SHOTS");
        if (folder.isEmpty())
            return;
        const Window root = DefaultRootWindow(d());
        XWindowAttributes attrs {};
        XGetWindowAttributes(d(), root, &attrs);
        XImage* image = XGetImage(d(), root, 0, 0, unsigned(attrs.width), unsigned(attrs.height), AllPlanes, ZPixmap);
        if (!image)
            return;
        QImage picture(reinterpret_cast<const uchar*>(image->data), attrs.width, attrs.height, image->bytes_per_line,
            QImage::Format_RGB32);
        picture.scaledToWidth(attrs.width / 2, Qt::SmoothTransformation)
            .save(QStringLiteral("%1/recording-%2-%3.png").arg(folder, m_run, QString::fromLatin1(name)));
        XDestroyImage(image);
    }

    x11::DisplayPtr m_display;
    QTemporaryDir m_home { QDir::tempPath() + QStringLiteral("/zova-flow-XXXXXX") };
    QProcess m_target;
    QProcess m_app;
    QString m_run = QStringLiteral("stop");
};

TEST_F(Session, StopBringsTheLibraryBackWithTheGuideOpen)
{
    launch();
    ASSERT_FALSE(HasFatalFailure());
    recordClicks(3);
    ASSERT_FALSE(HasFatalFailure());
    clickWidget("stopButton", "zova::CircleButton");
    EXPECT_TRUE(waitForWidget("editorPlaceholder")) << "the guide was not opened";
    EXPECT_TRUE(test::waitUntil([&] { return activeWindow() == appWindow() && !appIsIconic(); }, 10000))
        << "the application is not in front";
    EXPECT_FALSE(widget("recordingHUD")) << "the control panel is still shown";
    EXPECT_FALSE(widget("recordingOutline")) << "the outline is still shown";
    QTest::qWait(300);
    snapshot("4-guide-open");
    quitApp();

    auto store = ModelContainer::open(storePath());
    ASSERT_TRUE(store.hasValue());
    const QList<Guide*> guides = store.value()->mainContext()->guides();
    ASSERT_EQ(guides.size(), 1);
    EXPECT_EQ(guides.first()->title(), targetTitle);
    const QList<Step*> steps = guides.first()->orderedSteps();
    ASSERT_EQ(steps.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(steps[i]->order(), i);
        EXPECT_TRUE(QFile::exists(QDir(screenshotsDir()).filePath(steps[i]->screenshotFilename())))
            << "step " << i << " has no screenshot";
    }
}

TEST_F(Session, CancelLeavesNoGuideAndNoScreenshot)
{
    m_run = QStringLiteral("cancel");
    launch();
    ASSERT_FALSE(HasFatalFailure());
    recordClicks(2);
    ASSERT_FALSE(HasFatalFailure());
    clickWidget("cancelButton", "zova::CircleButton");
    EXPECT_TRUE(test::waitUntil([&] { return activeWindow() == appWindow() && !appIsIconic(); }, 10000))
        << "the application is not in front";
    EXPECT_TRUE(waitForWidget("libraryRoot"));
    EXPECT_FALSE(widget("editorPlaceholder"));
    EXPECT_TRUE(test::waitUntil([&] { return screenshotCount() == 0; }, 5000)) << "screenshots left behind";
    QTest::qWait(300);
    snapshot("4-cancelled");
    quitApp();

    auto store = ModelContainer::open(storePath());
    ASSERT_TRUE(store.hasValue());
    EXPECT_TRUE(store.value()->mainContext()->guides().isEmpty());
    EXPECT_EQ(screenshotCount(), 0);
}

} // namespace
