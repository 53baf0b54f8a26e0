#pragma once

// A fixture for tests that drive the real application binary ($ZOVA_APP) under
// Xvfb + openbox: a private home for its data and settings, its widget dump,
// XTest clicks, and root-window pictures for the documentation.
#include "support/TestSupport.h"

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

// X11 headers after Qt's: their macros clash with Qt names.
#include "platform/x11/X11Display.h"
#include "platform/x11/X11Properties.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <optional>

namespace zova::test {

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
        m_display = x11::openDisplay();
        ASSERT_TRUE(m_display);
        ASSERT_TRUE(m_home.isValid());
        ASSERT_TRUE(x11::cardinal(d(), DefaultRootWindow(d()), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW))
            << "needs a window manager";
        for (const char* sub : { "data", "config", "cache", "runtime" })
            QDir().mkpath(m_home.filePath(QString::fromLatin1(sub)));
        QFile::setPermissions(
            m_home.filePath("runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    void TearDown() override
    {
        for (QProcess* p : m_processes) {
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
    // The application's user settings, as it stores them.
    QString settingsPath() const { return m_home.filePath("config/Unknown Organization/ZOVA.conf"); }

    // Starts the application in the private home and waits for its main window.
    void startApp()
    {
        QFile::remove(dumpPath());
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
    }

    void quitApp()
    {
        m_app.terminate();
        ASSERT_TRUE(m_app.waitForFinished(10000));
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

    // A root window picture for the documentation, "<prefix>-<name>.png" in the
    // folder $ZOVA_DOCS_SHOTS names; nothing when it is not set.
    void snapshot(const QString& prefix, const char* name) const
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
            .save(QStringLiteral("%1/%2-%3.png").arg(folder, prefix, QString::fromLatin1(name)));
        XDestroyImage(image);
    }

    x11::DisplayPtr m_display;
    QTemporaryDir m_home { QDir::tempPath() + QStringLiteral("/zova-session-XXXXXX") };
    QProcess m_app;
    // Ended when the test ends, the application first.
    QList<QProcess*> m_processes { &m_app };
};

} // namespace zova::test
