#include "FakeFeed.h"
#include "support/TestSupport.h"

#include "engine/PermissionsService.h"
#include "model/Settings.h"
#include "recording_ui/CardGrid.h"
#include "recording_ui/DisplayCard.h"
#include "recording_ui/PickerStates.h"
#include "recording_ui/PickerTabSelector.h"
#include "recording_ui/WindowCard.h"
#include "recording_ui/WindowPickerView.h"
#include "style/CloseButton.h"
#include "style/PillButton.h"
#include "style/TextLine.h"

#include <QApplication>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace zova;
using Content = WindowPickerView::Content;

namespace {

TEST(PickerTab, LabelsAndParsing)
{
    EXPECT_EQ(allPickerTabs(), (QList<PickerTab> { PickerTab::Windows, PickerTab::Screens }));
    EXPECT_EQ(pickerTabLabel(PickerTab::Windows), "Windows");
    EXPECT_EQ(pickerTabLabel(PickerTab::Screens), "Entire Screen");
    EXPECT_EQ(pickerTabFromLabel("Windows"), PickerTab::Windows);
    EXPECT_EQ(pickerTabFromLabel("Entire Screen"), PickerTab::Screens);
    for (const char* other : { "windows", "Screens", "", "Entire screen" })
        EXPECT_EQ(pickerTabFromLabel(other), std::nullopt) << other;
}

struct ContentCase {
    const char* name;
    PickerTab tab;
    bool denied, loading, windowsEmpty, displaysEmpty;
    Content expected;
};

class PickerContent : public testing::TestWithParam<ContentCase> { };

TEST_P(PickerContent, FirstRuleThatHoldsWins)
{
    const ContentCase& c = GetParam();
    EXPECT_EQ(WindowPickerView::contentFor(c.tab, c.denied, c.loading, c.windowsEmpty, c.displaysEmpty), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Picker, PickerContent,
    testing::Values(ContentCase { "DeniedBeatsListsOnWindows", PickerTab::Windows, true, false, false, false,
                        Content::PermissionDenied },
        ContentCase {
            "DeniedBeatsListsOnScreens", PickerTab::Screens, true, false, false, false, Content::PermissionDenied },
        ContentCase { "DeniedBeatsLoading", PickerTab::Windows, true, true, true, true, Content::PermissionDenied },
        ContentCase { "LoadingOnWindows", PickerTab::Windows, false, true, false, false, Content::Loading },
        ContentCase { "LoadingOnScreens", PickerTab::Screens, false, true, false, false, Content::Loading },
        ContentCase { "NoWindows", PickerTab::Windows, false, false, true, false, Content::NoWindows },
        ContentCase { "WindowGrid", PickerTab::Windows, false, false, false, true, Content::WindowGrid },
        ContentCase { "NoScreens", PickerTab::Screens, false, false, false, true, Content::NoScreens },
        ContentCase { "ScreenGridWithoutWindows", PickerTab::Screens, false, false, true, false, Content::ScreenGrid }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PickerTexts, CountLines)
{
    struct Row {
        PickerTab tab;
        qsizetype count;
        const char* line;
    };
    const Row rows[]
        = { { PickerTab::Windows, 1, "1 window available" }, { PickerTab::Windows, 0, "0 windows available" },
              { PickerTab::Windows, 12, "12 windows available" }, { PickerTab::Screens, 1, "1 screen available" },
              { PickerTab::Screens, 2, "2 screens available" }, { PickerTab::Screens, 0, "0 screens available" } };
    for (const Row& row : rows)
        EXPECT_EQ(WindowPickerView::countLine(row.tab, row.count), row.line);
}

class PickerFixture : public testing::Test {
protected:
    void SetUp() override
    {
        host.resize(1000, 720);
        host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    }

    WindowPickerView* makePicker()
    {
        picker = std::make_unique<WindowPickerView>(
            feed, permissions, [this] { ++cancels; },
            [this](const DesktopWindow& w) { startedWindows.append(w.windowID); },
            [this](const DesktopScreen& d) { startedDisplays.append(d.displayID); }, &host);
        picker->show();
        return picker.get();
    }

    void click(QWidget* widget, QPoint at)
    {
        QTest::mouseClick(widget, Qt::LeftButton, {}, at);
        QCoreApplication::processEvents();
    }

    QString contentName() const { return picker->contentWidget()->objectName(); }

    QWidget host;
    FakeFeed feed;
    Settings settings;
    PermissionsService permissions { settings, [](bool) { return SessionGrants { true, true }; } };
    std::unique_ptr<WindowPickerView> picker;
    int cancels = 0;
    QList<WindowID> startedWindows;
    QList<quint32> startedDisplays;
};

TEST_F(PickerFixture, ContentFollowsTheServiceAndTheTab)
{
    feed.setListing({ window(1), window(2) }, { display(5, 1920, 1080, true) }, false, true);
    makePicker();
    // Denied while both lists hold entries: the state on both tabs, the count still of the tab's list.
    EXPECT_EQ(picker->content(), Content::PermissionDenied);
    EXPECT_EQ(contentName(), "permissionDeniedState");
    EXPECT_EQ(picker->countText(), "2 windows available");
    auto* checkAgain = picker->contentWidget()->findChild<PillButton*>("grantButton");
    ASSERT_NE(checkAgain, nullptr);
    const int refreshesBefore = feed.refreshCalls;
    checkAgain->click();
    EXPECT_EQ(feed.refreshCalls, refreshesBefore + 1) << "Check Again lists the windows again";
    picker->selectTab(PickerTab::Screens);
    EXPECT_EQ(contentName(), "permissionDeniedState");
    EXPECT_EQ(picker->countText(), "1 screen available");

    // A refresh on the screens tab shows the same loading text as on Windows.
    feed.setListing(feed.windows, feed.displays, true, false);
    EXPECT_EQ(contentName(), "loadingState");
    auto texts = picker->contentWidget()->findChildren<TextLine*>();
    ASSERT_EQ(texts.size(), 1);
    EXPECT_EQ(texts.first()->text(), QString::fromUtf8(PickerStates::loadingText));
    EXPECT_EQ(texts.first()->text(), QStringLiteral("Loading available windows\u2026"));

    feed.setListing(feed.windows, feed.displays, false, false);
    EXPECT_EQ(picker->content(), Content::ScreenGrid);
    ASSERT_NE(picker->grid(), nullptr);
    EXPECT_EQ(picker->grid()->count(), 1);

    feed.setListing(feed.windows, {}, false, false);
    EXPECT_EQ(contentName(), "noScreensState");
    EXPECT_EQ(picker->countText(), "0 screens available");

    picker->selectTab(PickerTab::Windows);
    EXPECT_EQ(picker->content(), Content::WindowGrid);
    feed.setListing({}, {}, false, false);
    EXPECT_EQ(contentName(), "noWindowsState");
    EXPECT_EQ(picker->countText(), "0 windows available");
}

TEST_F(PickerFixture, TabSwitchChangesTextsRebuildsCardsAndDoesNotRefresh)
{
    feed.setListing({ window(1) }, { display(5, 1920, 1080, true), display(6, 2560, 1440, false) });
    makePicker();
    EXPECT_EQ(picker->selectedTab(), PickerTab::Windows);
    EXPECT_EQ(picker->titleText(), "Choose a window to record");
    EXPECT_EQ(picker->subtitleText(), "Z.O.V.A will capture every click you make inside it.");
    EXPECT_EQ(picker->countText(), "1 window available");
    ASSERT_TRUE(test::waitUntil([&] { return picker->grid() && picker->grid()->cardAt(0); }));
    QPointer<TargetCard> firstCard = picker->grid()->cardAt(0);
    const int refreshes = feed.refreshCalls;

    click(picker->tabSelector()->button(PickerTab::Screens), { 10, 10 });
    EXPECT_EQ(picker->selectedTab(), PickerTab::Screens);
    EXPECT_EQ(picker->titleText(), "Choose a screen to record");
    EXPECT_EQ(picker->subtitleText(), "Z.O.V.A will capture every click on this screen, excluding our own app.");
    EXPECT_EQ(picker->countText(), "2 screens available");
    EXPECT_EQ(picker->content(), Content::ScreenGrid);
    EXPECT_TRUE(picker->tabSelector()->button(PickerTab::Screens)->isChecked());
    EXPECT_FALSE(picker->tabSelector()->button(PickerTab::Windows)->isChecked());

    click(picker->tabSelector()->button(PickerTab::Windows), { 10, 10 });
    ASSERT_TRUE(test::waitUntil([&] { return picker->grid() && picker->grid()->cardAt(0); }));
    EXPECT_NE(picker->grid()->cardAt(0), firstCard.data()) << "window cards are built anew";
    EXPECT_EQ(feed.refreshCalls, refreshes);
}

TEST_F(PickerFixture, CardHidesTheHostAndTheSelectedTabReadsInLightAndDark)
{
    const QPalette original = QApplication::palette();
    auto palette = [&](QColor window, QColor base, QColor text) {
        QPalette p = original;
        p.setColor(QPalette::Window, window);
        p.setColor(QPalette::Base, base);
        p.setColor(QPalette::WindowText, text);
        return p;
    };
    const struct {
        const char* name;
        QPalette palette;
    } looks[] = {
        { "light", palette(QColor(0xEC, 0xEC, 0xEC), Qt::white, QColor(0x1D, 0x1D, 0x1F)) },
        { "dark", palette(QColor(0x1E, 0x1E, 0x20), QColor(0x2B, 0x2B, 0x2E), QColor(0xF2, 0xF2, 0xF4)) },
    };
    QPalette red = host.palette();
    red.setColor(QPalette::Window, Qt::red);
    host.setPalette(red);
    host.setAutoFillBackground(true);
    for (const auto& look : looks) {
        QApplication::setPalette(look.palette);
        makePicker();
        QCoreApplication::processEvents();
        const QImage shot = host.grab().toImage();
        // A bare spot of the card, right of the title.
        const QPoint bare = picker->card()->mapTo(&host, QPoint(picker->card()->width() / 2, 12));
        const QColor under = shot.pixelColor(bare);
        EXPECT_LT(under.red() - under.green(), 12) << look.name << ": the host shows through the card";

        QWidget* tab = picker->tabSelector()->button(PickerTab::Windows);
        const QRect area(tab->mapTo(&host, QPoint(0, 0)), tab->size());
        int darkest = 255, lightest = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) {
                const int grey = qGray(shot.pixel(x, y));
                darkest = std::min(darkest, grey);
                lightest = std::max(lightest, grey);
            }
        EXPECT_GT(lightest - darkest, 120) << look.name << ": the selected tab's label is lost on its plate";
    }
    QApplication::setPalette(original);
}

TEST_F(PickerFixture, RefreshOnEachAppearanceAndOnEveryPress)
{
    makePicker();
    EXPECT_EQ(feed.refreshCalls, 1);
    feed.setListing({}, {}, true);
    ASSERT_TRUE(picker->refreshButton()->isEnabled());
    EXPECT_EQ(picker->refreshButton()->toolTip(), "Refresh the list of targets");
    click(picker->refreshButton(), picker->refreshButton()->rect().center());
    click(picker->refreshButton(), picker->refreshButton()->rect().center());
    EXPECT_EQ(feed.refreshCalls, 3) << "presses during a refresh start further refreshes";
    EXPECT_TRUE(picker->refreshButton()->isEnabled());

    // A new picker after the user chose Entire Screen opens on Windows and refreshes again.
    picker->selectTab(PickerTab::Screens);
    makePicker();
    EXPECT_EQ(picker->selectedTab(), PickerTab::Windows);
    EXPECT_EQ(feed.refreshCalls, 4);
}

TEST_F(PickerFixture, CancelRoutesCallOnCancelOnceAndCardSpaceCallsNothing)
{
    feed.setListing({ window(1) }, {});
    makePicker();
    QWidget* card = picker->card();
    ASSERT_EQ(card->size(), WindowPickerView::cardSize);
    EXPECT_EQ(card->geometry().center().x() + 1, picker->width() / 2);

    // The card's own background, its header and its footer space.
    const QPoint cardSpaces[] = { { 4, card->height() / 2 }, { card->width() / 2, 8 },
        { card->width() / 2, card->height() - 6 }, { card->width() / 3, card->height() - 30 } };
    for (QPoint p : cardSpaces)
        click(card, p);
    EXPECT_EQ(cancels, 0);
    EXPECT_TRUE(startedWindows.isEmpty());

    struct Route {
        const char* name;
        std::function<void()> act;
    };
    const Route routes[] = {
        { "backdrop",
            [&] {
                click(picker.get(), { 10, 10 });
            } },
        { "close",
            [&] {
                click(picker->closeButton(), { 11, 11 });
            } },
        { "cancel", [&] { click(picker->cancelButton(), picker->cancelButton()->rect().center()); } },
        { "escape", [&] { QTest::keyClick(picker.get(), Qt::Key_Escape); } },
    };
    for (const Route& route : routes) {
        cancels = 0;
        route.act();
        EXPECT_EQ(cancels, 1) << route.name;
        EXPECT_TRUE(picker->isVisible()) << route.name << ": the picker stays until its owner removes it";
    }
    EXPECT_EQ(picker->closeButton()->toolTip(), "Cancel (Esc)");
}

TEST_F(PickerFixture, CardClicksStartAtMostOneRecording)
{
    feed.setListing({ window(11), window(12) }, { display(5, 1920, 1080, true) });
    makePicker();
    ASSERT_TRUE(test::waitUntil([&] { return picker->grid() && picker->grid()->builtCount() == 2; }));
    TargetCard* second = picker->grid()->cardAt(1);
    click(second, { 20, 20 });
    EXPECT_EQ(startedWindows, QList<WindowID> { 12 });
    // A double click's second click, or another card, while the owner is still
    // switching phases, starts nothing more.
    click(second, { 20, 20 });
    click(picker->grid()->cardAt(0), { 20, 20 });
    EXPECT_EQ(startedWindows, QList<WindowID> { 12 });
    EXPECT_TRUE(picker->isVisible());

    makePicker();
    picker->selectTab(PickerTab::Screens);
    ASSERT_TRUE(test::waitUntil([&] { return picker->grid() && picker->grid()->builtCount() == 1; }));
    click(picker->grid()->cardAt(0), { 30, 30 });
    click(picker->grid()->cardAt(0), { 30, 30 });
    EXPECT_EQ(startedDisplays, QList<quint32> { 5 });
}

TEST_F(PickerFixture, AFinishedStartLetsTheCardsStartAgain)
{
    feed.setListing({ window(11) }, {});
    makePicker();
    ASSERT_TRUE(test::waitUntil([&] { return picker->grid() && picker->grid()->builtCount() == 1; }));
    click(picker->grid()->cardAt(0), { 20, 20 });
    click(picker->grid()->cardAt(0), { 20, 20 });
    EXPECT_EQ(startedWindows, QList<WindowID> { 11 });
    // The owner's start failed and the picker stays: the next click starts again.
    picker->startFinished();
    click(picker->grid()->cardAt(0), { 20, 20 });
    EXPECT_EQ(startedWindows, (QList<WindowID> { 11, 11 }));
}

TEST_F(PickerFixture, ThumbnailsAreFetchedOnlyForCardsInView)
{
    QList<DesktopWindow> many;
    for (WindowID id = 1; id <= 30; ++id)
        many.append(window(id));
    feed.setListing(many, {});
    makePicker();
    CardGrid* grid = picker->grid();
    ASSERT_NE(grid, nullptr);
    ASSERT_TRUE(test::waitUntil([&] { return !feed.thumbnailRequests.isEmpty(); }));
    QTest::qWait(20);
    EXPECT_LT(grid->builtCount(), 30);
    EXPECT_EQ(feed.thumbnailRequests.size(), grid->builtCount());
    EXPECT_FALSE(feed.thumbnailRequests.contains(30));
    EXPECT_EQ(picker->card()->size(), WindowPickerView::cardSize) << "the list scrolls inside the fixed card";

    auto* scroll = picker->findChild<QScrollArea*>("windowGrid");
    ASSERT_NE(scroll, nullptr);
    scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
    ASSERT_TRUE(test::waitUntil([&] { return feed.thumbnailRequests.contains(30); }));
    EXPECT_NE(grid->cardAt(29), nullptr);
    // Cards scrolled out are no longer on screen.
    auto* first = qobject_cast<WindowCard*>(grid->cardAt(0));
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(first->isOnScreen());
    EXPECT_EQ(feed.thumbnailRequests.count(1), 1);
}

TEST_F(PickerFixture, GridIsThreeColumnsInListOrder)
{
    feed.setListing({ window(1), window(2), window(3), window(4) }, {});
    makePicker();
    CardGrid* grid = picker->grid();
    ASSERT_TRUE(test::waitUntil([&] { return grid->builtCount() == 4; }));
    const QRect a = grid->cellRect(0), b = grid->cellRect(1), c = grid->cellRect(2), d = grid->cellRect(3);
    EXPECT_EQ(a.topLeft(), QPoint(20, 20));
    EXPECT_EQ(b.left() - a.right() - 1, 14);
    EXPECT_EQ(a.top(), c.top());
    EXPECT_EQ(d.left(), a.left());
    EXPECT_EQ(d.top() - a.bottom() - 1, 14);
    EXPECT_NEAR(a.width(), 237, 8);
    EXPECT_EQ(qobject_cast<WindowCard*>(grid->cardAt(3))->window().windowID, 4u);
}

} // namespace
