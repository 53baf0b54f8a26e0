#include "FakeFeed.h"
#include "support/TestSupport.h"

#include "recording_ui/DisplayCard.h"
#include "recording_ui/WindowCard.h"
#include "style/Shapes.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace zova;

namespace {

struct TitleCase {
    const char* name;
    std::optional<QString> title;
    std::optional<QString> app;
    QString displayTitle;
    std::optional<QString> appLine;
};

class WindowTitle : public testing::TestWithParam<TitleCase> { };

TEST_P(WindowTitle, TitleAndApplicationLine)
{
    const TitleCase& c = GetParam();
    const DesktopWindow w = window(1, c.title, c.app);
    EXPECT_EQ(WindowCard::displayTitle(w), c.displayTitle);
    EXPECT_EQ(WindowCard::applicationLine(w), c.appLine);
}

INSTANTIATE_TEST_SUITE_P(Cards, WindowTitle,
    testing::Values(
        TitleCase { "TitleAndApp", QStringLiteral("Inbox"), QStringLiteral("Mail"), "Inbox", QStringLiteral("Mail") },
        TitleCase { "EmptyTitleUsesApp", QString(""), QStringLiteral("Notes"), "Notes", std::nullopt },
        TitleCase { "NoTitleUsesApp", std::nullopt, QStringLiteral("Notes"), "Notes", std::nullopt },
        TitleCase { "NoTitleNoApp", std::nullopt, std::nullopt, "Untitled", std::nullopt },
        TitleCase { "EmptyTitleEmptyApp", QString(""), QString(""), "Untitled", std::nullopt },
        TitleCase { "TitleWithoutApp", QStringLiteral("Report"), std::nullopt, "Report", std::nullopt }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DisplayCard, NamesAndSizeLine)
{
    struct Row {
        DesktopScreen display;
        QString name;
        QString size;
    };
    const Row rows[] = {
        { display(1, 1920, 1080, true), "Main Display", "1920 \u00d7 1080" },
        { display(2, 2560, 1440, false), "Display (2560 \u00d7 1440)", "2560 \u00d7 1440" },
    };
    for (const Row& row : rows) {
        EXPECT_EQ(DisplayCard::displayName(row.display), row.name);
        EXPECT_EQ(DisplayCard::sizeLine(row.display), row.size);
    }
}

// A card shown in a top-level of its own, as the grid would place it.
struct CardHost {
    explicit CardHost(TargetCard* card)
        : card(card)
    {
        card->resize(237, card->heightForWidth(237));
        card->show();
    }
    ~CardHost() { delete card; }
    TargetCard* card;
};

QImage filled(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

// The feed is answered by hand: each state follows from what the fetch returns,
// never from how fast it does.
TEST(WindowCard, FetchStatesAndWhatThePreviewShows)
{
    const struct {
        const char* name;
        std::optional<QString> app;
        bool minimised;
        std::optional<QImage> thumbnail;
        std::optional<QImage> icon;
        WindowCard::State state;
        bool iconShown;
        QString badge;
    } rows[] = {
        { "a thumbnail", QStringLiteral("Mail"), false, filled({ 240, 150 }, Qt::green), std::nullopt,
            WindowCard::State::Shown, false, {} },
        { "no thumbnail: the application's icon", QStringLiteral("Mail"), false, std::nullopt,
            filled({ 48, 48 }, Qt::blue), WindowCard::State::Unavailable, true, "On another workspace" },
        { "no thumbnail, no icon: the window symbol", QStringLiteral("Mail"), false, std::nullopt, std::nullopt,
            WindowCard::State::Unavailable, false, "On another workspace" },
        { "no application: no icon is asked for", std::nullopt, false, std::nullopt, filled({ 48, 48 }, Qt::blue),
            WindowCard::State::Unavailable, false, "On another workspace" },
        { "minimised", QStringLiteral("Mail"), true, std::nullopt, filled({ 48, 48 }, Qt::blue),
            WindowCard::State::Unavailable, true, "Minimised" },
    };
    for (const auto& row : rows) {
        FakeFeed feed;
        feed.autoAnswer = false;
        const std::optional<QImage> thumbnail = row.thumbnail;
        feed.thumbnailer = [thumbnail](const DesktopWindow&) { return thumbnail; };
        DesktopWindow w = window(7, QStringLiteral("Inbox"), row.app);
        w.isMinimized = row.minimised;
        w.isOnScreen = !row.minimised;
        if (row.icon)
            feed.icons.insert(7, *row.icon);
        auto* card = new WindowCard(w, &feed);
        CardHost host(card);
        EXPECT_EQ(card->state(), WindowCard::State::Fetching) << row.name;
        EXPECT_TRUE(feed.previewRequests.isEmpty()) << row.name << ": nothing is fetched before the card is on screen";

        card->setOnScreen(true);
        ASSERT_EQ(feed.previewRequests.size(), 1) << row.name;
        EXPECT_EQ(feed.previewRequests[0].maxDimension, 240) << row.name;
        EXPECT_EQ(feed.previewRequests[0].iconSize, WindowCard::iconSide) << row.name;
        EXPECT_EQ(card->state(), WindowCard::State::Fetching) << row.name << ": the answer comes later";
        EXPECT_FALSE(card->showsAnotherWorkspaceBadge()) << row.name;

        ASSERT_TRUE(feed.answer(1)) << row.name;
        EXPECT_TRUE(card->didFinishThumbnailFetch()) << row.name;
        EXPECT_EQ(card->state(), row.state) << row.name;
        EXPECT_EQ(card->appIcon().has_value(), row.iconShown) << row.name;
        EXPECT_EQ(card->showsAnotherWorkspaceBadge(), !row.badge.isEmpty()) << row.name;
        if (!row.badge.isEmpty()) {
            EXPECT_EQ(card->unavailableBadgeText(), row.badge) << row.name;
        }
        EXPECT_EQ(card->previewBackground(),
            row.thumbnail ? Shapes::withAlpha(Shapes::controlBackground(), 0.5)
                          : Shapes::withAlpha(Shapes::windowBackground(), 0.55))
            << row.name;

        // The preview's centre: the thumbnail, the icon, or the symbol's ground.
        const QColor centre = card->grab().toImage().pixelColor(card->previewRect().center().toPoint());
        const QColor expected = row.thumbnail ? QColor(Qt::green) : row.iconShown ? QColor(Qt::blue) : QColor();
        if (expected.isValid()) {
            EXPECT_EQ(centre, expected) << row.name;
        } else {
            EXPECT_NE(centre, QColor(Qt::blue)) << row.name;
        }
    }
}

TEST(WindowCard, TheIconFitsItsFrame)
{
    FakeFeed feed;
    feed.icons.insert(7, filled({ 256, 128 }, Qt::blue));
    auto* card = new WindowCard(window(7), &feed);
    CardHost host(card);
    card->setOnScreen(true);
    ASSERT_TRUE(test::waitUntil([&] { return card->didFinishThumbnailFetch(); }));
    const QImage picture = card->grab().toImage();
    const QPoint centre = card->previewRect().center().toPoint();
    const auto blue = [&](QPoint p) { return picture.pixelColor(p) == QColor(Qt::blue); };
    EXPECT_TRUE(blue(centre + QPoint(27, 0)) && blue(centre - QPoint(27, 0))) << "56 wide";
    EXPECT_FALSE(blue(centre + QPoint(30, 0)) || blue(centre - QPoint(30, 0)));
    EXPECT_TRUE(blue(centre + QPoint(0, 13)) && blue(centre - QPoint(0, 13))) << "28 high: the aspect is kept";
    EXPECT_FALSE(blue(centre + QPoint(0, 15)) || blue(centre - QPoint(0, 15)));
}

TEST(WindowCard, RefetchedWhenBackOnScreenKeepingWhatItShows)
{
    FakeFeed feed;
    feed.autoAnswer = false;
    bool give = true;
    feed.thumbnailer = [&](const DesktopWindow&) -> std::optional<QImage> {
        return give ? std::optional<QImage>(filled({ 240, 150 }, Qt::green)) : std::nullopt;
    };
    auto* card = new WindowCard(window(3), &feed);
    CardHost host(card);
    card->setOnScreen(true);
    ASSERT_TRUE(feed.answer(1));
    EXPECT_EQ(card->state(), WindowCard::State::Shown);

    give = false;
    card->setOnScreen(false);
    EXPECT_TRUE(feed.previewRequests[0].answered);
    card->setOnScreen(true);
    ASSERT_EQ(feed.previewRequests.size(), 2) << "a new fetch each time it comes on screen";
    EXPECT_EQ(card->state(), WindowCard::State::Shown) << "the old state stays until the new one returns";
    ASSERT_TRUE(feed.answer(2));
    EXPECT_EQ(card->state(), WindowCard::State::Unavailable);
}

TEST(WindowCard, LeavingTheScreenCancelsTheFetchAndALateAnswerIsDropped)
{
    FakeFeed feed;
    feed.autoAnswer = false;
    feed.thumbnailer = [](const DesktopWindow&) { return std::optional<QImage>(filled({ 240, 150 }, Qt::green)); };
    auto* card = new WindowCard(window(4), &feed);
    {
        CardHost host(card);
        card->setOnScreen(true);
        card->setOnScreen(false);
        EXPECT_TRUE(feed.previewRequests[0].cancelled);
        EXPECT_FALSE(feed.answer(1));
        EXPECT_EQ(card->state(), WindowCard::State::Fetching);

        // Back on screen, then gone before the answer: the answer reaches no card.
        card->setOnScreen(true);
        EXPECT_FALSE(feed.previewRequests[1].cancelled);
    }
    EXPECT_TRUE(feed.previewRequests[1].cancelled) << "a card that goes cancels its fetch";
    EXPECT_FALSE(feed.answer(2));
}

TEST(TargetCard, ClickRouting)
{
    QList<quint32> started;
    auto* card
        = new DisplayCard(display(9, 1920, 1080, true), [&](const DesktopScreen& d) { started.append(d.displayID); });
    CardHost host(card);
    QSignalSpy clicks(card, &TargetCard::clicked);

    QTest::mouseClick(card, Qt::LeftButton, {}, QPoint(2, 2)); // the transparent margin
    EXPECT_EQ(started, QList<quint32> { 9 });
    QTest::mouseClick(card, Qt::RightButton, {}, QPoint(50, 50));
    EXPECT_EQ(clicks.count(), 1) << "a right click starts nothing";
    // A double click as the window system delivers it: press, release, double-click press, release.
    QTest::mouseClick(card, Qt::LeftButton, {}, QPoint(100, 60));
    QTest::mouseDClick(card, Qt::LeftButton, {}, QPoint(100, 60));
    QTest::mouseRelease(card, Qt::LeftButton, {}, QPoint(100, 60));
    EXPECT_EQ(clicks.count(), 2) << "a double click fires once";

    QTest::mousePress(card, Qt::LeftButton, {}, QPoint(100, 60));
    QTest::mouseRelease(card, Qt::LeftButton, {}, QPoint(card->width() + 20, 60));
    EXPECT_EQ(clicks.count(), 2) << "a press dragged off the card is no click";
}

} // namespace
