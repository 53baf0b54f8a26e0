// The same cases against the fake back ends the other tests use and the X11 back
// ends under the test X server: a fake may promise nothing X11 does not do.
#include "WindowHelper.h"
#include "support/FakeBackends.h"
#include "support/TestSupport.h"

#include "platform/PlatformBackends.h"
#include "platform/x11/X11Backends.h"

#include <gtest/gtest.h>

#include <mutex>
#include <thread>

// Xlib after gtest; its None would clash with the typed tests' own.
#include "platform/x11/X11Display.h"

#include <X11/extensions/XTest.h>
#undef None

using namespace zova;

namespace {

// The fake session: windows are listed once added, presses are the test's own.
class FakeSession {
public:
    FakeSession()
    {
        m_fakes.windows->content.displays = { DesktopScreen { 1, QRectF(0, 0, 1920, 1080), 1920, 1080, true } };
    }
    PlatformBackends backends() { return m_fakes.bundle(); }
    qint32 clientPID() const { return 4242; }
    WindowID create(QRect geometry, const QString& title, std::optional<QColor> icon = std::nullopt)
    {
        DesktopWindow w;
        w.windowID = ++m_lastID;
        w.title = title;
        w.frame = QRectF(geometry);
        w.isOnScreen = true;
        w.owningApplication = RunningApplication { QStringLiteral("ZovaHelper"), QStringLiteral("zova-helper"), 4242 };
        m_fakes.windows->content.windows.prepend(w);
        if (icon) {
            QImage image(64, 64, QImage::Format_ARGB32);
            image.fill(*icon);
            m_fakes.setIcon(w.windowID, image);
        }
        m_fakes.windows->content.applications
            = { ApplicationInfo { 4242, QStringLiteral("ZovaHelper"), QStringLiteral("zova-helper"), true } };
        return w.windowID;
    }
    void destroy(WindowID id)
    {
        m_fakes.windows->content.windows.removeIf([id](const DesktopWindow& w) { return w.windowID == id; });
    }
    void press(QPoint at, unsigned button) { m_fakes.clickTaps.press(QPointF(at), button); }

private:
    FakeBackends m_fakes;
    WindowID m_lastID = 0x100;
};

// The X11 session: windows of a helper process, presses through XTest.
class X11Session {
public:
    PlatformBackends backends() { return m_backends; }
    qint32 clientPID() const { return m_helper.pid(); }
    WindowID create(QRect geometry, const QString& title, std::optional<QColor> icon = std::nullopt)
    {
        return m_helper.create(
            QStringLiteral("%1 %2 %3 %4 808080 title=%5%6")
                .arg(geometry.x())
                .arg(geometry.y())
                .arg(geometry.width())
                .arg(geometry.height())
                .arg(title, icon ? QStringLiteral(" icon=%1:32,64").arg(icon->name().mid(1)) : QString()));
    }
    void destroy(WindowID id) { m_helper.destroy(id); }
    void press(QPoint at, unsigned button)
    {
        Display* d = m_xtest.get();
        XTestFakeMotionEvent(d, -1, at.x(), at.y(), CurrentTime);
        XTestFakeButtonEvent(d, button, True, CurrentTime);
        XTestFakeButtonEvent(d, button, False, CurrentTime);
        XSync(d, False);
    }

private:
    WindowHelper m_helper { QStringLiteral(ZOVA_X11_HELPER) };
    x11::DisplayPtr m_xtest = x11::openDisplay();
    PlatformBackends m_backends = x11::makeBackends();
};

// Presses as the tap hands them on, from whatever thread it runs them on.
class Heard {
public:
    ClickTap::PressHandler handler()
    {
        return [this](const ClickTap::Press& press) {
            std::lock_guard lock(m_mutex);
            m_presses.push_back(press);
        };
    }
    std::vector<ClickTap::Press> presses()
    {
        std::lock_guard lock(m_mutex);
        return m_presses;
    }
    size_t count() { return presses().size(); }

private:
    std::mutex m_mutex;
    std::vector<ClickTap::Press> m_presses;
};

template <typename Session> class BackendContract : public ::testing::Test {
protected:
    std::optional<DesktopWindow> listed(WindowID id)
    {
        auto content = backends.windows->snapshot();
        if (!content)
            return std::nullopt;
        for (const auto& w : content->windows) {
            if (w.windowID == id)
                return w;
        }
        return std::nullopt;
    }
    bool onScreen(WindowID id)
    {
        const auto w = listed(id);
        return w && w->isOnScreen;
    }

    Session session;
    PlatformBackends backends = session.backends();
};

using Sessions = ::testing::Types<FakeSession, X11Session>;

class SessionNames {
public:
    template <typename T> static std::string GetName(int) { return std::is_same_v<T, FakeSession> ? "Fake" : "X11"; }
};

TYPED_TEST_SUITE(BackendContract, Sessions, SessionNames);

TYPED_TEST(BackendContract, EveryBackEndIsThere)
{
    const PlatformBackends& b = this->backends;
    EXPECT_TRUE(
        b.windows && b.screens && b.clickTaps && b.windowOperations && b.capabilities && b.compositing && b.previews);
}

TYPED_TEST(BackendContract, ListsANewWindowWithItsOwnerUntilItIsDestroyed)
{
    const WindowID id = this->session.create(QRect(120, 140, 420, 260), QStringLiteral("Contract"));
    ASSERT_TRUE(test::waitUntil([&] { return this->onScreen(id); }));
    const DesktopWindow w = *this->listed(id);
    EXPECT_EQ(w.title, QStringLiteral("Contract"));
    EXPECT_EQ(w.processID(), this->session.clientPID());
    EXPECT_EQ(w.frame.size(), QSizeF(420, 260));
    EXPECT_EQ(w.windowLayer, 0);

    const auto content = this->backends.windows->snapshot();
    ASSERT_TRUE(content);
    ASSERT_FALSE(content->displays.isEmpty());
    EXPECT_EQ(std::count_if(content->displays.begin(), content->displays.end(),
                  [](const DesktopScreen& d) { return d.isPrimary; }),
        1);
    const bool ownerListed = std::any_of(content->applications.begin(), content->applications.end(),
        [&](const ApplicationInfo& app) { return app.processID == this->session.clientPID() && app.isVisibleRegular; });
    EXPECT_TRUE(ownerListed);

    this->session.destroy(id);
    EXPECT_TRUE(test::waitUntil([&] { return !this->listed(id); }));
}

TYPED_TEST(BackendContract, CapturesAWindowAndADisplayAtTheirSizes)
{
    const WindowID id = this->session.create(QRect(200, 200, 320, 180), QStringLiteral("Shot"));
    ASSERT_TRUE(test::waitUntil([&] { return this->onScreen(id); }));
    const auto window = this->backends.screens->captureWindow(*this->listed(id));
    ASSERT_TRUE(window);
    EXPECT_EQ(window->size(), QSize(320, 180));

    const auto content = this->backends.windows->snapshot();
    ASSERT_TRUE(content && !content->displays.isEmpty());
    const DesktopScreen& display = content->displays.first();
    const auto screen = this->backends.screens->captureDisplay(display, { id });
    ASSERT_TRUE(screen);
    EXPECT_EQ(screen->size(), QSize(display.width, display.height));
}

TYPED_TEST(BackendContract, MinimisesRestoresAndActivatesThroughTheWindowManager)
{
    WindowOperations& ops = *this->backends.windowOperations;
    const WindowID id = this->session.create(QRect(300, 300, 300, 200), QStringLiteral("Managed"));
    ASSERT_TRUE(test::waitUntil([&] { return this->onScreen(id); }));

    ASSERT_TRUE(ops.minimizeWindow(id));
    EXPECT_TRUE(test::waitUntil([&] { return !this->onScreen(id); })) << "a minimised window is unmapped";
    EXPECT_TRUE(this->listed(id)) << "and still listed";
    ASSERT_TRUE(ops.restoreWindow(id));
    EXPECT_TRUE(test::waitUntil([&] { return this->onScreen(id); }));

    ASSERT_TRUE(ops.minimizeWindow(id));
    ASSERT_TRUE(test::waitUntil([&] { return !this->onScreen(id); }));
    EXPECT_TRUE(ops.activateProcess(this->session.clientPID())) << "the process's window comes back";
    EXPECT_TRUE(test::waitUntil([&] { return this->onScreen(id); }));
    EXPECT_TRUE(ops.activateWindow(id));

    this->session.destroy(id);
    ASSERT_TRUE(test::waitUntil([&] { return !this->listed(id); }));
    EXPECT_FALSE(ops.activateWindow(id)) << "a destroyed window";
    EXPECT_FALSE(ops.restoreWindow(id));
    EXPECT_FALSE(ops.minimizeWindow(id));
    EXPECT_FALSE(ops.activateWindow(0));
    EXPECT_FALSE(ops.activateProcess(0));
    EXPECT_FALSE(ops.activateProcess(0x7ffffff0)) << "a process without windows";
}

TYPED_TEST(BackendContract, TapHearsLeftAndRightPressesWhereTheyHappenUntilStopped)
{
    std::unique_ptr<ClickTap> tap = this->backends.clickTaps();
    ASSERT_TRUE(tap);
    EXPECT_FALSE(tap->isEnabled()) << "not listening before start";
    Heard heard;
    ASSERT_TRUE(tap->start(heard.handler(), [](quint32) {}));
    EXPECT_TRUE(tap->isEnabled());

    // The tap reads the pointer when it hears a press: the pointer rests until
    // then. The middle button's press is never handed on, so the next press
    // comes right after it.
    const struct {
        unsigned button;
        QPoint at;
        bool heard;
    } presses[] = { { 1, { 300, 400 }, true }, { 2, { 500, 500 }, false }, { 3, { 1000, 700 }, true },
        { 1, { 600, 600 }, true } };
    size_t expected = 0;
    for (const auto& p : presses) {
        this->session.press(p.at, p.button);
        if (!p.heard)
            continue;
        ++expected;
        ASSERT_TRUE(test::waitUntil([&] { return heard.count() >= expected; })) << p.button;
        const ClickTap::Press got = heard.presses().back();
        EXPECT_EQ(got.button, p.button);
        EXPECT_EQ(QPointF(got.x, got.y), QPointF(p.at)) << p.button;
        EXPECT_TRUE(got.timestamp.isValid());
    }
    EXPECT_EQ(heard.count(), 3u) << "the middle button is not handed on";

    tap->stop();
    EXPECT_FALSE(tap->isEnabled());
    this->session.press(QPoint(700, 700), 1);
    test::waitUntil([] { return false; }, 150);
    EXPECT_EQ(heard.count(), 3u) << "nothing is heard once stopped";
}

// The previews' back ends are made and used on a thread of their own.
TYPED_TEST(BackendContract, PreviewBackEndsCaptureAndReadIconsOffTheGuiThread)
{
    const QColor blue(0x20, 0x60, 0xC0);
    // (Whether a window without an icon of its own has one depends on the window
    // manager: openbox gives such windows its own.)
    const WindowID withIcon = this->session.create(QRect(500, 100, 300, 180), QStringLiteral("WithIcon"), blue);
    ASSERT_TRUE(test::waitUntil([&] { return this->onScreen(withIcon); }));
    const DesktopWindow listed = *this->listed(withIcon);

    std::optional<QImage> shot, icon, gone;
    std::thread([&] {
        PreviewBackends previews = this->backends.previews();
        ASSERT_TRUE(previews.screens && previews.icons);
        if (auto captured = previews.screens->captureWindow(listed))
            shot = *captured;
        icon = previews.icons->icon(withIcon, 48);
        gone = previews.icons->icon(0x7ffffff0, 48);
    }).join();
    ASSERT_TRUE(shot);
    EXPECT_EQ(shot->size(), QSize(300, 180));
    ASSERT_TRUE(icon) << "the window's icon";
    EXPECT_GE(std::max(icon->width(), icon->height()), 48) << "at least as large as asked where there is one";
    EXPECT_EQ(icon->pixelColor(icon->width() / 2, icon->height() / 2), blue);
    EXPECT_FALSE(gone) << "a window that is not there";
    this->session.destroy(withIcon);
}

TYPED_TEST(BackendContract, CapabilitiesAndCompositingOfThisSession)
{
    CapabilityProbe& probe = *this->backends.capabilities;
    const SessionCapabilities fresh = probe.capabilities(true);
    EXPECT_TRUE(fresh.canCaptureScreen);
    EXPECT_TRUE(fresh.canListenToInput);
    EXPECT_EQ(probe.capabilities(false), fresh) << "the cached answer is the last probe's";
    // Xvfb with openbox has no compositing manager.
    EXPECT_FALSE(this->backends.compositing->compositingManagerRunning());
}

} // namespace
