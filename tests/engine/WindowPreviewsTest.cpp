#include "support/FakeBackends.h"
#include "support/TestSupport.h"

#include "engine/WindowPreviews.h"

#include <QThread>

#include <atomic>

#include <gtest/gtest.h>

using namespace zova;

namespace {

DesktopWindow window(WindowID id, QSizeF size, bool withApplication = true)
{
    DesktopWindow w;
    w.windowID = id;
    w.frame = QRectF(QPointF(10, 10), size);
    if (withApplication)
        w.owningApplication = RunningApplication { QStringLiteral("App"), QStringLiteral("app"), 100 };
    return w;
}

QImage square(QColor colour)
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

struct Answer {
    WindowID window;
    std::optional<QSize> thumbnail;
    std::optional<QColor> icon;
    bool onGuiThread;
};

// Previews taken on the worker with the fake session's back ends: what each
// answer holds, that it comes on the GUI thread, in the order asked.
TEST(WindowPreviews, ThumbnailElseIconOnTheGuiThreadInOrder)
{
    FakeBackends fakes;
    fakes.setIcon(2, square(Qt::blue));
    fakes.setIcon(3, square(Qt::red));
    std::atomic<QThread*> madeOn = nullptr;
    WindowPreviews previews([&madeOn, make = fakes.previews()] {
        madeOn = QThread::currentThread();
        return make();
    });
    QObject receiver;
    QList<Answer> answers;
    const struct {
        DesktopWindow window;
        std::optional<QSize> thumbnail;
        std::optional<QColor> icon;
    } rows[] = {
        { window(1, { 1200, 800 }), QSize(240, 160), std::nullopt }, // scaled to 240 on its longer side
        { window(2, { 100, 50 }), QSize(100, 50), std::nullopt }, // never enlarged; an icon is not read
        { window(2, { 0, 50 }), std::nullopt, QColor(Qt::blue) }, // no area: no thumbnail, the icon
        { window(3, { 0, 0 }, false), std::nullopt, std::nullopt }, // no application: no icon
        { window(4, { 0, 0 }), std::nullopt, std::nullopt }, // neither
    };
    for (const auto& row : rows) {
        previews.request(row.window, 240, 48, &receiver, [&answers, id = row.window.windowID](const auto& preview) {
            answers.append({ id, preview.thumbnail ? std::optional(preview.thumbnail->size()) : std::nullopt,
                preview.icon ? std::optional(preview.icon->pixelColor(0, 0)) : std::nullopt,
                QThread::currentThread() == qApp->thread() });
        });
    }
    EXPECT_TRUE(answers.isEmpty()) << "answered later, never inside the request";
    ASSERT_TRUE(test::waitUntil([&] { return answers.size() == int(std::size(rows)); }));
    for (int i = 0; i < int(std::size(rows)); ++i) {
        EXPECT_EQ(answers[i].window, rows[i].window.windowID) << i << ": in the order asked";
        EXPECT_EQ(answers[i].thumbnail, rows[i].thumbnail) << i;
        EXPECT_EQ(answers[i].icon, rows[i].icon) << i;
        EXPECT_TRUE(answers[i].onGuiThread) << i;
    }
    EXPECT_EQ(previews.pendingCount(), 0);
    EXPECT_NE(madeOn.load(), nullptr);
    EXPECT_NE(madeOn.load(), qApp->thread()) << "the back ends are made, and the captures taken, off the GUI thread";
    {
        std::lock_guard lock(fakes.icons->mutex);
        EXPECT_EQ(fakes.icons->reads, 2)
            << "icons are read only for windows without a thumbnail but with an application";
    }
}

TEST(WindowPreviews, CancelledOrReceiverGoneIsNotAnswered)
{
    FakeBackends fakes;
    WindowPreviews previews(fakes.previews());
    QObject kept;
    auto gone = std::make_unique<QObject>();
    QStringList answered;
    const auto note = [&answered](const QString& name) { return [&answered, name](const auto&) { answered << name; }; };
    const quint64 cancelled = previews.request(window(1, { 300, 200 }), 240, 48, &kept, note("cancelled"));
    previews.request(window(2, { 300, 200 }), 240, 48, gone.get(), note("receiver gone"));
    previews.request(window(3, { 300, 200 }), 240, 48, &kept, note("kept"));
    previews.cancel(cancelled);
    previews.cancel(cancelled);
    previews.cancel(12345);
    gone.reset();
    ASSERT_TRUE(test::waitUntil([&] { return !answered.isEmpty(); }));
    test::waitUntil([&] { return previews.pendingCount() == 0; });
    EXPECT_EQ(answered, QStringList { "kept" });
    EXPECT_EQ(previews.pendingCount(), 0);
}

// Gone with requests under way and waiting: none is answered, nothing leaks or crashes.
TEST(WindowPreviews, GoesWithRequestsOutstanding)
{
    FakeBackends fakes;
    int answered = 0;
    QObject receiver;
    {
        WindowPreviews previews(fakes.previews());
        for (WindowID id = 1; id <= 20; ++id)
            previews.request(window(id, { 1920, 1080 }), 240, 48, &receiver, [&](const auto&) { ++answered; });
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(answered, 0);
}

} // namespace
