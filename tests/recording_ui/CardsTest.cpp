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

TEST(WindowCard, FetchThatReturnsNothingEndsUnavailableWithBadge)
{
    int fetches = 0;
    auto* card = new WindowCard(window(7), [&](const DesktopWindow& w, double maxDimension) -> std::optional<QImage> {
        ++fetches;
        EXPECT_EQ(w.windowID, 7u);
        EXPECT_EQ(maxDimension, 240);
        return std::nullopt;
    });
    CardHost host(card);
    EXPECT_EQ(card->state(), WindowCard::State::Fetching);
    EXPECT_FALSE(card->showsAnotherWorkspaceBadge());
    EXPECT_EQ(fetches, 0) << "nothing is fetched before the card is on screen";

    card->setOnScreen(true);
    EXPECT_EQ(card->state(), WindowCard::State::Fetching) << "the fetch is queued, the first paint shows progress";
    ASSERT_TRUE(test::waitUntil([&] { return card->didFinishThumbnailFetch(); }));
    EXPECT_EQ(fetches, 1);
    EXPECT_EQ(card->state(), WindowCard::State::Unavailable);
    EXPECT_TRUE(card->showsAnotherWorkspaceBadge());
    EXPECT_EQ(WindowCard::anotherWorkspaceText(), "On another workspace");
    EXPECT_EQ(card->unavailableBadgeText(), "On another workspace");
}

TEST(WindowCard, AMinimisedWindowIsBadgedSo)
{
    DesktopWindow minimised = window(8);
    minimised.isOnScreen = false;
    minimised.isMinimized = true;
    auto* card = new WindowCard(minimised, [](const DesktopWindow&, double) { return std::optional<QImage>(); });
    CardHost host(card);
    card->setOnScreen(true);
    ASSERT_TRUE(test::waitUntil([&] { return card->didFinishThumbnailFetch(); }));
    EXPECT_TRUE(card->showsAnotherWorkspaceBadge());
    EXPECT_EQ(card->unavailableBadgeText(), "Minimised");
    EXPECT_EQ(card->previewBackground(), Shapes::withAlpha(Shapes::windowBackground(), 0.55));
}

TEST(WindowCard, ThumbnailShownAndRefetchedWhenBackOnScreen)
{
    int fetches = 0;
    bool give = true;
    auto* card = new WindowCard(window(3), [&](const DesktopWindow&, double) -> std::optional<QImage> {
        ++fetches;
        if (!give)
            return std::nullopt;
        QImage image(240, 150, QImage::Format_RGB32);
        image.fill(Qt::green);
        return image;
    });
    CardHost host(card);
    card->setOnScreen(true);
    ASSERT_TRUE(test::waitUntil([&] { return card->didFinishThumbnailFetch(); }));
    EXPECT_EQ(card->state(), WindowCard::State::Shown);
    EXPECT_FALSE(card->showsAnotherWorkspaceBadge());
    EXPECT_EQ(card->previewBackground(), Shapes::withAlpha(Shapes::controlBackground(), 0.5));

    // Off screen and back: a new fetch, and the old state stays until it returns.
    give = false;
    card->setOnScreen(false);
    card->setOnScreen(true);
    EXPECT_EQ(card->state(), WindowCard::State::Shown);
    ASSERT_TRUE(test::waitUntil([&] { return fetches == 2; }));
    EXPECT_EQ(card->state(), WindowCard::State::Unavailable);
}

TEST(WindowCard, LeavingTheScreenBeforeTheFetchRunsCancelsIt)
{
    int fetches = 0;
    auto* card = new WindowCard(window(4), [&](const DesktopWindow&, double) -> std::optional<QImage> {
        ++fetches;
        return std::nullopt;
    });
    CardHost host(card);
    card->setOnScreen(true);
    card->setOnScreen(false);
    QTest::qWait(50);
    EXPECT_EQ(fetches, 0);
    EXPECT_EQ(card->state(), WindowCard::State::Fetching);
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
