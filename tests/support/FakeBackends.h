#pragma once

#include "platform/PlatformBackends.h"

#include <QColor>
#include <QHash>
#include <QImage>

#include <algorithm>
#include <memory>
#include <mutex>
#include <vector>

// In-memory session: the content it is given, or a failure.
class FakeWindowSource final : public zova::WindowSource {
public:
    zova::Expected<zova::DesktopSnapshot, zova::CaptureError> snapshot() override
    {
        ++calls;
        if (fail)
            return zova::unexpected(zova::CaptureError::NoDisplay);
        return content;
    }

    zova::DesktopWindow* find(zova::WindowID id)
    {
        auto it = std::find_if(content.windows.begin(), content.windows.end(),
            [id](const zova::DesktopWindow& w) { return id != 0 && w.windowID == id; });
        return it == content.windows.end() ? nullptr : &*it;
    }

    zova::DesktopSnapshot content;
    bool fail = false;
    int calls = 0;
};

// Hands back an image of the frame's size and records what it was asked for.
class FakeScreenGrabber final : public zova::ScreenGrabber {
public:
    zova::Expected<QImage, zova::CaptureError> captureWindow(const zova::DesktopWindow& window) override
    {
        windowsAsked.append(window);
        if (fail)
            return zova::unexpected(zova::CaptureError::WindowNotCapturable);
        QImage image(window.frame.size().toSize(), QImage::Format_RGB32);
        image.fill(colours.value(window.windowID, Qt::red));
        return image;
    }
    zova::Expected<QImage, zova::CaptureError> captureDisplay(
        const zova::DesktopScreen& display, const QList<zova::WindowID>& excluded) override
    {
        excludedAsked = excluded;
        displaysAsked.append(display.frame);
        if (fail)
            return zova::unexpected(zova::CaptureError::CaptureFailed);
        QImage image(display.width, display.height, QImage::Format_RGB32);
        image.fill(Qt::blue);
        return image;
    }

    QList<zova::DesktopWindow> windowsAsked;
    QList<zova::WindowID> excludedAsked;
    QList<QRectF> displaysAsked;
    // Fill of each window's image (red when not listed).
    QHash<zova::WindowID, QColor> colours;
    bool fail = false;
};

// A window manager over the fake session's windows: minimising unmaps, restoring
// maps again, activating raises to the top. Records the processes asked for.
class FakeWindowOperations final : public zova::WindowOperations {
public:
    explicit FakeWindowOperations(std::shared_ptr<FakeWindowSource> source)
        : m_source(std::move(source))
    {
    }
    bool activateWindow(zova::WindowID window) override
    {
        zova::DesktopWindow* w = m_source->find(window);
        if (!w || m_source->fail)
            return false;
        raise(window);
        return true;
    }
    bool minimizeWindow(zova::WindowID window) override
    {
        zova::DesktopWindow* w = m_source->find(window);
        if (!w || m_source->fail)
            return false;
        w->isOnScreen = false;
        return true;
    }
    bool restoreWindow(zova::WindowID window) override
    {
        zova::DesktopWindow* w = m_source->find(window);
        if (!w || m_source->fail)
            return false;
        w->isOnScreen = true;
        raise(window);
        return true;
    }
    bool activateProcess(qint32 processID) override
    {
        activatedProcesses.append(processID);
        if (processID <= 0 || m_source->fail)
            return false;
        for (const auto& w : m_source->content.windows) {
            if (w.processID() == processID && w.windowLayer == 0)
                return restoreWindow(w.windowID);
        }
        return false;
    }

    QList<qint32> activatedProcesses;

private:
    void raise(zova::WindowID window)
    {
        auto& windows = m_source->content.windows;
        auto it
            = std::find_if(windows.begin(), windows.end(), [window](const auto& w) { return w.windowID == window; });
        if (it != windows.end())
            windows.move(it - windows.begin(), 0);
    }

    std::shared_ptr<FakeWindowSource> m_source;
};

// The presses a test makes, heard by every tap made by `factory()` that listens;
// only buttons 1 and 3 are handed on, as the X11 tap does.
class FakeClickTaps final {
public:
    zova::ClickTapFactory factory()
    {
        return [state = m_state] { return std::make_unique<Tap>(state); };
    }
    // Delivers on the calling thread.
    void press(QPointF at, unsigned button)
    {
        if (button != 1 && button != 3)
            return;
        const zova::ClickTap::Press press { at.x(), at.y(), button, QDateTime::currentDateTime() };
        const auto listening = m_state->listening;
        for (Tap* tap : listening)
            tap->m_onPress(press);
    }
    // Every listening tap stops by itself, as after a lost connection.
    void loseConnection()
    {
        const auto listening = m_state->listening;
        for (Tap* tap : listening) {
            tap->stop();
            if (tap->m_onLoss)
                tap->m_onLoss(zova::ClickTap::connectionLost);
        }
    }
    int created() const { return m_state->created; }
    int listening() const { return int(m_state->listening.size()); }
    // Starts fail while set.
    void setRefuse(bool refuse) { m_state->refuse = refuse; }

private:
    class Tap;
    struct State {
        std::vector<Tap*> listening;
        int created = 0;
        bool refuse = false;
    };
    class Tap final : public zova::ClickTap {
    public:
        explicit Tap(std::shared_ptr<State> state)
            : m_state(std::move(state))
        {
            ++m_state->created;
        }
        ~Tap() override { stop(); }
        bool start(PressHandler onPress, LossHandler onLoss) override
        {
            if (m_state->refuse)
                return false;
            m_onPress = std::move(onPress);
            m_onLoss = std::move(onLoss);
            listen();
            return true;
        }
        void stop() override { std::erase(m_state->listening, this); }
        bool isEnabled() const override
        {
            return std::find(m_state->listening.begin(), m_state->listening.end(), this) != m_state->listening.end();
        }
        bool reenable() override
        {
            if (m_state->refuse || !m_onPress)
                return false;
            listen();
            return true;
        }

        PressHandler m_onPress;
        LossHandler m_onLoss;

    private:
        void listen()
        {
            if (!isEnabled())
                m_state->listening.push_back(this);
        }
        std::shared_ptr<State> m_state;
    };

    std::shared_ptr<State> m_state = std::make_shared<State>();
};

// Answers `answer`, probed again only when asked fresh (or never probed).
class FakeCapabilityProbe final : public zova::CapabilityProbe {
public:
    zova::SessionCapabilities capabilities(bool fresh) override
    {
        if (fresh || !m_probed) {
            m_cached = answer;
            m_probed = true;
            ++probes;
        }
        return m_cached;
    }

    zova::SessionCapabilities answer { true, true };
    int probes = 0;

private:
    zova::SessionCapabilities m_cached;
    bool m_probed = false;
};

class FakeCompositingCheck final : public zova::CompositingCheck {
public:
    bool compositingManagerRunning() override { return running; }
    bool running = false;
};

// Icons the test gives windows; read from any thread.
class FakeWindowIcons final : public zova::WindowIconSource {
public:
    struct Shared {
        std::mutex mutex;
        QHash<zova::WindowID, QImage> icons;
        int reads = 0;
    };
    explicit FakeWindowIcons(std::shared_ptr<Shared> shared)
        : m_shared(std::move(shared))
    {
    }
    std::optional<QImage> icon(zova::WindowID window, int) override
    {
        std::lock_guard lock(m_shared->mutex);
        ++m_shared->reads;
        const auto it = m_shared->icons.constFind(window);
        return it == m_shared->icons.cend() ? std::nullopt : std::optional<QImage>(*it);
    }

private:
    std::shared_ptr<Shared> m_shared;
};

// One fake session behind every back end of the bundle.
struct FakeBackends {
    std::shared_ptr<FakeWindowSource> windows = std::make_shared<FakeWindowSource>();
    std::shared_ptr<FakeScreenGrabber> screens = std::make_shared<FakeScreenGrabber>();
    FakeClickTaps clickTaps;
    std::shared_ptr<FakeWindowOperations> windowOperations = std::make_shared<FakeWindowOperations>(windows);
    std::shared_ptr<FakeCapabilityProbe> capabilities = std::make_shared<FakeCapabilityProbe>();
    std::shared_ptr<FakeCompositingCheck> compositing = std::make_shared<FakeCompositingCheck>();
    std::shared_ptr<FakeWindowIcons::Shared> icons = std::make_shared<FakeWindowIcons::Shared>();

    void setIcon(zova::WindowID window, QImage icon)
    {
        std::lock_guard lock(icons->mutex);
        icons->icons.insert(window, std::move(icon));
    }
    // Each set has a grabber of its own (it paints every window red) and the icons above.
    zova::PreviewBackendsFactory previews()
    {
        return [icons = icons] {
            return zova::PreviewBackends { std::make_unique<FakeScreenGrabber>(),
                std::make_unique<FakeWindowIcons>(icons) };
        };
    }

    zova::PlatformBackends bundle()
    {
        return { windows, screens, clickTaps.factory(), windowOperations, capabilities, compositing, previews() };
    }
};
