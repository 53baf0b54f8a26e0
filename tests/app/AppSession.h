#pragma once

// Drives the real application binary under Xvfb + openbox from outside: a home
// of its own, the widget dump that the binary writes, XTest pointer and keys.
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QUuid>
#include <gtest/gtest.h>

#include "model/Guide.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Settings.h"
#include "model/Step.h"
#include "platform/x11/X11Display.h"
#include "platform/x11/X11Properties.h"
#include "support/TestSupport.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <functional>
#include <optional>

struct DumpEntry {
    QString name;
    QString className;
    QRect rect;
    QString text;
};

class AppSession : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            GTEST_SKIP() << "needs the X session of scripts/xsession.sh";
        m_display = zova::x11::openDisplay();
        ASSERT_TRUE(m_display);
        ASSERT_TRUE(m_home.isValid());
        ASSERT_TRUE(zova::x11::cardinal(d(), DefaultRootWindow(d()), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW))
            << "needs a window manager";
        for (const char* sub : { "data", "config", "cache", "runtime" })
            QDir().mkpath(m_home.filePath(QString::fromLatin1(sub)));
        QFile::setPermissions(
            m_home.filePath("runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        // A returning user who has seen the tips: the library, nothing over it.
        storeSetting(zova::settings::onboardingCompleted, true);
        storeSetting(zova::settings::coachMarksSeenAllAt, QDateTime::currentDateTime());
        // A closed port: no language model answers, whatever this machine runs.
        storeSetting(zova::settings::aiEndpoint, QStringLiteral("http://127.0.0.1:1"));
    }

    // Writes the application's settings file as the application does.
    template <typename T> void storeSetting(const zova::Setting<T>& setting, const T& value)
    {
        zova::Settings settings { std::make_unique<zova::SettingsFileStore>(settingsPath()) };
        settings.setValue(setting, value);
    }

    void TearDown() override
    {
        for (QProcess* p : processes()) {
            if (p->state() != QProcess::NotRunning) {
                p->terminate();
                if (!p->waitForFinished(5000))
                    p->kill();
                p->waitForFinished(2000);
            }
        }
    }

    // Every child process, for the tear-down.
    virtual QList<QProcess*> processes() { return { &m_app }; }

    Display* d() const { return m_display.get(); }
    QString dumpPath() const { return m_home.filePath("widgets.txt"); }
    QString screenshotsDir() const { return m_home.filePath("data/ZOVA/screenshots"); }
    QString storePath() const { return m_home.filePath("data/ZOVA/ZOVA.store"); }

    // The application's user settings file in its home.
    QString settingsPath() const { return m_home.filePath("config/ZOVA/ZOVA.conf"); }

    // Starts the binary in its own home; waits for the main window and the library.
    void launchApp(const QString& workingDirectory = {})
    {
        startApp(workingDirectory);
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_TRUE(waitForWidget("newGuideButton"));
        // The launch splash covers the window for its first second.
        ASSERT_TRUE(zova::test::waitUntil([&] { return !widget("splash"); }, 10000)) << "the splash did not go";
    }

    // Starts the binary in its own home; waits for the main window only.
    void startApp(const QString& workingDirectory = {})
    {
        QFile::remove(dumpPath());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("QT_QPA_PLATFORM");
        for (const char* sub : { "data", "config", "cache", "runtime" })
            env.insert(QStringLiteral("XDG_%1_HOME").arg(QString::fromLatin1(sub).toUpper()),
                m_home.filePath(QString::fromLatin1(sub)));
        env.insert("XDG_RUNTIME_DIR", m_home.filePath("runtime"));
        env.insert("ZOVA_WIDGET_DUMP", dumpPath());
        for (auto it = m_appEnvironment.cbegin(); it != m_appEnvironment.cend(); ++it)
            env.insert(it.key(), it.value());
        m_app.setProcessEnvironment(env);
        m_app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        if (!workingDirectory.isEmpty())
            m_app.setWorkingDirectory(workingDirectory);
        m_app.start(qEnvironmentVariable("ZOVA_APP"), {});
        ASSERT_TRUE(m_app.waitForStarted(5000));
        ASSERT_TRUE(zova::test::waitUntil([&] { return appWindow() != 0; }, 30000)) << "the main window did not appear";
    }

    // The client window of the process with this title, or 0.
    Window clientWindow(qint64 pid, const QString& title) const
    {
        const auto clients = zova::x11::cardinals(d(), DefaultRootWindow(d()), "_NET_CLIENT_LIST", XA_WINDOW);
        if (!clients)
            return 0;
        for (unsigned long w : *clients) {
            const auto owner = zova::x11::cardinal(d(), Window(w), "_NET_WM_PID", XA_CARDINAL);
            if (owner && qint64(*owner) == pid && zova::x11::windowTitle(d(), Window(w)) == title)
                return Window(w);
        }
        return 0;
    }
    Window appWindow() const { return clientWindow(m_app.processId(), QStringLiteral("Z.O.V.A")); }
    Window activeWindow() const
    {
        const auto active = zova::x11::cardinal(d(), DefaultRootWindow(d()), "_NET_ACTIVE_WINDOW", XA_WINDOW);
        return active ? Window(*active) : 0;
    }
    bool appIsIconic() const
    {
        const auto state = zova::x11::cardinals(d(), appWindow(), "WM_STATE", zova::x11::atom(d(), "WM_STATE"));
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
        const QString text = QString::fromUtf8(zova::test::readFile(dumpPath()));
        for (const QString& line : text.split('\n', Qt::SkipEmptyParts)) {
            const QStringList f = line.split('\t');
            if (f.size() >= 7)
                out.append({ f[0], f[1], QRect(f[2].toInt(), f[3].toInt(), f[4].toInt(), f[5].toInt()), f[6] });
        }
        return out;
    }
    // Every visible entry with this name, top to bottom.
    QList<DumpEntry> widgets(const QString& name) const
    {
        QList<DumpEntry> out;
        for (const DumpEntry& e : dump())
            if (e.name == name && !e.rect.isEmpty())
                out.append(e);
        std::sort(
            out.begin(), out.end(), [](const DumpEntry& a, const DumpEntry& b) { return a.rect.y() < b.rect.y(); });
        return out;
    }
    // The editor's step rows, top to bottom, by their shown text.
    QStringList rowLabels() const
    {
        QStringList out;
        for (const DumpEntry& e : widgets("stepRow"))
            out << e.text;
        return out;
    }
    bool waitForRows(const QStringList& labels) const
    {
        return zova::test::waitUntil([&] { return rowLabels() == labels; }, 10000);
    }
    QRect rowRect(const QString& label) const
    {
        for (const DumpEntry& e : widgets("stepRow"))
            if (e.text == label)
                return e.rect;
        return {};
    }
    // The widgets named so once at least minCount of them keep their place across two dumps: a
    // window the window manager is still placing reports rects that are about to move.
    QList<DumpEntry> settledWidgets(const QString& name, int minCount, int timeoutMs = 10000) const
    {
        QList<QRect> last;
        QList<DumpEntry> found;
        zova::test::waitUntil(
            [&] {
                found = widgets(name);
                QList<QRect> rects;
                for (const DumpEntry& e : found)
                    rects.append(e.rect);
                const bool settled = found.size() >= minCount && rects == last;
                last = rects;
                if (!settled)
                    QThread::msleep(150);
                return settled;
            },
            timeoutMs);
        return found;
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
        return zova::test::waitUntil([&] { return widget(name, className, text).has_value(); }, timeoutMs);
    }

    void moveTo(QPoint p) const
    {
        XTestFakeMotionEvent(d(), -1, p.x(), p.y(), CurrentTime);
        XFlush(d());
    }
    void button(bool down) const
    {
        XTestFakeButtonEvent(d(), 1, down ? True : False, CurrentTime);
        XFlush(d());
    }
    void click(QPoint p) const
    {
        moveTo(p);
        QThread::msleep(80);
        button(true);
        QThread::msleep(60);
        button(false);
        QThread::msleep(80);
    }
    void clickWidget(const QString& name, const QString& className = {}, const QString& text = {}) const
    {
        const auto e = widget(name, className, text);
        ASSERT_TRUE(e) << qPrintable(name + text);
        click(e->rect.center());
    }
    // A key with optional modifier keysyms held around it.
    void key(KeySym sym, const QList<KeySym>& modifiers = {}) const
    {
        for (KeySym m : modifiers)
            XTestFakeKeyEvent(d(), XKeysymToKeycode(d(), m), True, CurrentTime);
        XTestFakeKeyEvent(d(), XKeysymToKeycode(d(), sym), True, CurrentTime);
        XTestFakeKeyEvent(d(), XKeysymToKeycode(d(), sym), False, CurrentTime);
        for (KeySym m : modifiers)
            XTestFakeKeyEvent(d(), XKeysymToKeycode(d(), m), False, CurrentTime);
        XFlush(d());
        QThread::msleep(80);
    }

    void quitApp()
    {
        m_app.terminate();
        ASSERT_TRUE(m_app.waitForFinished(10000));
    }

    // Stores one guide in the application's store before it starts: `steps` steps with
    // `size` screenshots of one hue each. `shape`, when given, draws on a step's image
    // and fills in the step before both are saved.
    void storeGuide(const QString& title, int steps, QSize size,
        const std::function<void(int index, QImage& shot, zova::Step& step)>& shape = {})
    {
        QDir().mkpath(screenshotsDir());
        auto opened = zova::ModelContainer::open(storePath());
        ASSERT_TRUE(opened.hasValue());
        zova::ModelContext* context = opened.value()->mainContext();
        auto* guide = new zova::Guide(title);
        context->insert(guide);
        for (int i = 0; i < steps; ++i) {
            const QString name = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() + ".png";
            QImage shot(size, QImage::Format_RGB32);
            shot.fill(QColor::fromHsv(i * 60 % 360, 120, 235));
            auto* step = new zova::Step(i, name, 0.3, 0.4);
            if (shape)
                shape(i, shot, *step);
            ASSERT_TRUE(shot.save(QDir(screenshotsDir()).filePath(name)));
            step->setGuide(guide);
        }
        ASSERT_TRUE(context->save().hasValue());
    }

    // A root window picture for the documentation, when $ZOVA_DOCS_SHOTS names a folder.
    void snapshot(const QString& fileName) const
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
        picture.scaledToWidth(attrs.width / 2, Qt::SmoothTransformation).save(folder + '/' + fileName);
        XDestroyImage(image);
    }

    zova::x11::DisplayPtr m_display;
    QTemporaryDir m_home { QDir::tempPath() + QStringLiteral("/zova-app-XXXXXX") };
    QProcess m_app;
    // Variables added to the binary's environment.
    QHash<QString, QString> m_appEnvironment;
};
