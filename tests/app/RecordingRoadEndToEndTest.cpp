// Drives the real application binary under Xvfb + openbox through recordings
// of other programs: a classic X client without _NET_WM_PID (xcalc), a window
// whose menu is clicked, and the entire screen on a coloured root background.
#include "model/Guide.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Step.h"

// Xlib last: it defines None, Bool and the like.
#include "AppSession.h"

#include <QStandardPaths>

using namespace zova;

namespace {

// True when every pixel within the radius of the point is one and the same dark
// colour: what the pointer pass painted over clicked controls.
bool darkDiscAt(const QImage& image, QPointF centre, int radius = 25)
{
    const QPoint c = centre.toPoint();
    std::optional<QRgb> colour;
    for (int y = c.y() - radius; y <= c.y() + radius; ++y) {
        for (int x = c.x() - radius; x <= c.x() + radius; ++x) {
            if ((x - c.x()) * (x - c.x()) + (y - c.y()) * (y - c.y()) > radius * radius || !image.valid(x, y))
                continue;
            const QRgb p = image.pixel(x, y) & 0xffffff;
            if (colour && *colour != p)
                return false;
            colour = p;
        }
    }
    return colour && qGray(*colour) < 80;
}

double shareOf(const QImage& image, QRgb colour)
{
    qint64 hits = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            hits += (image.pixel(x, y) & 0xffffff) == (colour & 0xffffff);
    return double(hits) / double(qint64(image.width()) * image.height());
}

class Road : public AppSession {
protected:
    QList<QProcess*> processes() override { return { &m_app, &m_target }; }

    int screenshotCount() const { return int(QDir(screenshotsDir()).entryList({ "*.png" }, QDir::Files).size()); }

    // The client window whose WM_CLASS instance is the given one, or 0.
    Window clientOfClass(const QString& instance) const
    {
        const auto clients = zova::x11::cardinals(d(), DefaultRootWindow(d()), "_NET_CLIENT_LIST", XA_WINDOW);
        for (unsigned long w : clients.value_or(QList<unsigned long> {})) {
            const auto cls = zova::x11::windowClass(d(), Window(w));
            if (cls && cls->first == instance)
                return Window(w);
        }
        return 0;
    }

    // New Guide, then the card with this title; waits for the control panel and
    // the target in front.
    void pickWindow(const QString& title, Window target)
    {
        clickWidget("newGuideButton");
        ASSERT_TRUE(waitForWidget({}, "zova::WindowCard", title)) << "no card for " << qPrintable(title);
        QTest::qWait(300);
        clickWidget({}, "zova::WindowCard", title);
        ASSERT_TRUE(waitForWidget("stopButton", "zova::CircleButton")) << "no control panel";
        ASSERT_TRUE(zova::test::waitUntil([&] { return activeWindow() == target; }, 5000))
            << "target not brought forward";
        QTest::qWait(400); // the target's windows are in the click test's cache
    }

    void clickAndWaitForShot(QPoint p)
    {
        const int expected = screenshotCount() + 1;
        click(p);
        ASSERT_TRUE(zova::test::waitUntil([&] { return screenshotCount() >= expected; }, 10000))
            << "no screenshot for the click at " << p.x() << "," << p.y();
    }

    // Stop, then the guide as stored.
    QList<Step*> stopAndReadSteps(const QString& title)
    {
        QTest::qWait(300);
        clickWidget("stopButton", "zova::CircleButton");
        EXPECT_TRUE(waitForWidget("guideEditor")) << "the guide was not opened";
        quitApp();
        auto opened = ModelContainer::open(storePath());
        if (!opened.hasValue()) {
            ADD_FAILURE() << "store cannot be opened";
            return {};
        }
        m_store = std::move(opened.value());
        const QList<Guide*> guides = m_store->mainContext()->guides();
        if (guides.size() != 1) {
            ADD_FAILURE() << guides.size() << " guides";
            return {};
        }
        EXPECT_EQ(guides.first()->title(), title);
        return guides.first()->orderedSteps();
    }

    QImage shot(const Step* step) const { return QImage(QDir(screenshotsDir()).filePath(step->screenshotFilename())); }
    static QPointF hotspotPixel(const Step* step, const QImage& image)
    {
        return { step->clickX() * image.width(), step->clickY() * image.height() };
    }

    // Lines the target printed so far.
    QStringList targetLines()
    {
        m_targetOutput += QString::fromUtf8(m_target.readAllStandardOutput());
        return m_targetOutput.split('\n', Qt::SkipEmptyParts);
    }
    // "KEY x y ..." → the numbers, waiting for the line.
    QList<int> targetLine(const QString& key)
    {
        QList<int> numbers;
        zova::test::waitUntil(
            [&] {
                for (const QString& line : targetLines()) {
                    if (line.startsWith(key + ' ')) {
                        numbers.clear();
                        for (const QString& n : line.mid(key.size() + 1).split(' '))
                            numbers.append(n.toInt());
                    }
                }
                return !numbers.isEmpty();
            },
            10000);
        return numbers;
    }

    QProcess m_target;
    QString m_targetOutput;
    std::unique_ptr<ModelContainer> m_store;
};

TEST_F(Road, ClassicClientWithoutPidIsRecordedWithClicksOnItsKeys)
{
    const QString xcalc = QStandardPaths::findExecutable(QStringLiteral("xcalc"));
    ASSERT_FALSE(xcalc.isEmpty()) << "xcalc (x11-apps) is not installed";
    m_target.start(xcalc, { QStringLiteral("-geometry"), QStringLiteral("260x360+300+150") });
    ASSERT_TRUE(m_target.waitForStarted(5000));
    Window calculator = 0;
    ASSERT_TRUE(zova::test::waitUntil([&] { return (calculator = clientOfClass("xcalc")) != 0; }, 15000));
    ASSERT_FALSE(zova::x11::cardinal(d(), calculator, "_NET_WM_PID", XA_CARDINAL)) << "xcalc sets no pid";
    launchApp();
    ASSERT_FALSE(HasFatalFailure());

    pickWindow(QStringLiteral("Calculator"), calculator);
    ASSERT_FALSE(HasFatalFailure());
    const QRect frame = frameOf(calculator);
    ASSERT_FALSE(frame.isEmpty());
    // Keys in the lower part of the keypad.
    const QPointF keys[] = { { 0.3, 0.62 }, { 0.5, 0.75 }, { 0.7, 0.88 } };
    for (QPointF k : keys) {
        clickAndWaitForShot(QPoint(frame.x() + int(frame.width() * k.x()), frame.y() + int(frame.height() * k.y())));
        ASSERT_FALSE(HasFatalFailure());
    }

    const QList<Step*> steps = stopAndReadSteps(QStringLiteral("Calculator"));
    ASSERT_EQ(steps.size(), 3);
    for (int i = 0; i < 3; ++i) {
        const QImage image = shot(steps[i]);
        ASSERT_FALSE(image.isNull()) << "step " << i;
        EXPECT_EQ(image.size(), frame.size()) << "step " << i << " shows the calculator alone";
        EXPECT_NEAR(steps[i]->clickX(), keys[i].x(), 0.01) << "step " << i;
        EXPECT_NEAR(steps[i]->clickY(), keys[i].y(), 0.01) << "step " << i;
        EXPECT_FALSE(darkDiscAt(image, hotspotPixel(steps[i], image))) << "step " << i;
    }
}

TEST_F(Road, ClickOnAnOpenMenuMakesAStepThatShowsTheMenu)
{
    const QString title = QStringLiteral("Menu Target");
    m_target.start(qEnvironmentVariable("ZOVA_FLOW_TARGET"), { title, QStringLiteral("--menu") });
    ASSERT_TRUE(m_target.waitForStarted(5000));
    ASSERT_TRUE(zova::test::waitUntil([&] { return clientWindow(m_target.processId(), title) != 0; }, 15000));
    const QList<int> menuTitle = targetLine("TITLE");
    ASSERT_EQ(menuTitle.size(), 2);
    launchApp();
    ASSERT_FALSE(HasFatalFailure());
    const Window target = clientWindow(m_target.processId(), title);
    pickWindow(title, target);
    ASSERT_FALSE(HasFatalFailure());
    const QRect frame = frameOf(target);

    m_targetOutput.clear();
    clickAndWaitForShot(QPoint(menuTitle[0], menuTitle[1])); // opens File
    ASSERT_FALSE(HasFatalFailure());
    const QList<int> m = targetLine("MENU");
    ASSERT_EQ(m.size(), 4) << "the menu did not open";
    const QRect menu(m[0], m[1], m[2], m[3]);
    ASSERT_GT(menu.bottom(), frame.bottom()) << "the menu hangs below the window";
    const QList<int> share = targetLine("ITEM Share");
    const QList<int> close = targetLine("ITEM Close");
    ASSERT_EQ(share.size(), 2);
    ASSERT_EQ(close.size(), 2);
    ASSERT_GT(share[1], frame.bottom()) << "the clicked item lies outside the window";
    QTest::qWait(400);
    // A press of a tenth of a second and more, as a hand makes it.
    moveTo(QPoint(share[0], share[1]));
    QThread::msleep(80);
    button(true);
    QThread::msleep(150);
    button(false);
    ASSERT_TRUE(zova::test::waitUntil([&] { return screenshotCount() >= 2; }, 10000)) << "no step for the item";

    const QList<Step*> steps = stopAndReadSteps(title);
    ASSERT_EQ(steps.size(), 2);
    const QRect area = frame.united(menu);
    for (int i = 0; i < 2; ++i) {
        const QImage image = shot(steps[i]);
        ASSERT_FALSE(image.isNull());
        EXPECT_NEAR(image.width(), area.width(), 2) << "step " << i << " shows the window and the open menu";
        EXPECT_NEAR(image.height(), area.height(), 2) << "step " << i;
        // The menu's own pixels below the window: the light rows of its last item.
        const QPoint closeInShot = QPoint(menu.right() - 12, close[1]) - area.topLeft();
        EXPECT_GT(qGray(image.pixel(closeInShot)), 180) << "step " << i << " has no menu where it was";
        EXPECT_FALSE(darkDiscAt(image, hotspotPixel(steps[i], image))) << "step " << i;
    }
    // The hotspot of the item click points at the item.
    const QImage itemShot = shot(steps[1]);
    const QPointF at = hotspotPixel(steps[1], itemShot) + QPointF(area.topLeft());
    EXPECT_NEAR(at.x(), share[0], 2);
    EXPECT_NEAR(at.y(), share[1], 2);
}

TEST_F(Road, EntireScreenStepsShowTheRootBackground)
{
    constexpr unsigned long rootColour = 0x3a7bd5;
    const Window root = DefaultRootWindow(d());
    struct Restore {
        Display* d;
        Window root;
        ~Restore()
        {
            XSetWindowBackgroundPixmap(d, root, None);
            XClearWindow(d, root);
            XSync(d, False);
        }
    } restore { d(), root };
    XSetWindowBackground(d(), root, rootColour);
    XClearWindow(d(), root);
    XSync(d(), False);

    launchApp();
    ASSERT_FALSE(HasFatalFailure());
    clickWidget("newGuideButton");
    ASSERT_TRUE(waitForWidget("pickerTab", {}, "Entire Screen"));
    clickWidget("pickerTab", {}, "Entire Screen");
    ASSERT_TRUE(waitForWidget("displayCard"));
    QTest::qWait(300);
    clickWidget("displayCard");
    ASSERT_TRUE(waitForWidget("stopButton", "zova::CircleButton")) << "no control panel";
    ASSERT_TRUE(zova::test::waitUntil([&] { return appIsIconic(); }, 5000));
    QTest::qWait(300);
    clickAndWaitForShot(QPoint(1500, 800));
    ASSERT_FALSE(HasFatalFailure());

    const QList<Step*> steps = stopAndReadSteps(QStringLiteral("Entire Screen Guide"));
    ASSERT_EQ(steps.size(), 1);
    const QImage image = shot(steps[0]);
    ASSERT_EQ(image.size(), QSize(1920, 1080));
    EXPECT_GT(shareOf(image, rootColour), 0.3) << "the screen shows black where no window lies";
    EXPECT_FALSE(darkDiscAt(image, hotspotPixel(steps[0], image)));
}

} // namespace
