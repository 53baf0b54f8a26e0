#include "model/Settings.h"
#include "onboarding/CoachMarksOverlay.h"
#include "onboarding/CoachMarksService.h"
#include "onboarding/TipCard.h"
#include "onboarding/TipContent.h"
#include "style/Symbols.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QDateTime>
#include <QFontMetrics>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace zova;
using Tip = CoachMarksService::Tip;

namespace {

class TourFixture : public ::testing::Test {
public:
    QVariant storedSeenAt() const { return m_store->value(settings::coachMarksSeenAllAt.key); }
    void clearSettings() { *m_store = MemorySettingsStore(); }

    MemorySettingsStore* m_store = new MemorySettingsStore;
    Settings m_settings { std::unique_ptr<SettingsStore>(m_store) };
};

// An overlay over a host the size of the main window, shown, with its tip settled.
class OverlayFixture : public TourFixture {
public:
    void SetUp() override
    {
        m_coach = std::make_unique<CoachMarksService>(m_settings);
        m_host.resize(1280, 820);
        m_overlay = new CoachMarksOverlay(m_coach.get(), &m_host);
        m_overlay->setGeometry(m_host.rect());
        m_host.show();
        m_host.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_host));
    }
    void show(Tip tip)
    {
        m_coach->setActiveTip(tip);
        settle();
    }
    void settle() const
    {
        ASSERT_TRUE(test::waitUntil([&] { return !m_overlay->isAnimating(); }, 3000));
    }
    void click(QAbstractButton* button) const
    {
        ASSERT_TRUE(button->isVisible());
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    }

    std::unique_ptr<CoachMarksService> m_coach;
    QWidget m_host;
    CoachMarksOverlay* m_overlay = nullptr;
};

} // namespace

TEST_F(TourFixture, TourPassesEveryTipThenIsSeen)
{
    CoachMarksService coach(m_settings);
    EXPECT_FALSE(coach.hasSeenTour());
    EXPECT_EQ(coach.positionLabel(), QString());
    coach.setActiveTip(Tip::Welcome);
    QStringList labels;
    for (int i = 0; i < 6; ++i) {
        labels << coach.positionLabel();
        coach.advance();
    }
    EXPECT_EQ(
        labels, (QStringList { "Tip 1 of 6", "Tip 2 of 6", "Tip 3 of 6", "Tip 4 of 6", "Tip 5 of 6", "Tip 6 of 6" }));
    EXPECT_FALSE(coach.activeTip().has_value());
    EXPECT_TRUE(coach.hasSeenTour());
    const QDateTime first = storedSeenAt().toDateTime();
    EXPECT_TRUE(first.isValid());
    EXPECT_TRUE(CoachMarksService(m_settings).hasSeenTour());

    QTest::qWait(5);
    coach.setActiveTip(Tip::Welcome);
    EXPECT_TRUE(coach.hasSeenTour());
    coach.finish();
    EXPECT_GT(storedSeenAt().toDateTime(), first);
}

TEST_F(TourFixture, AdvanceWithoutTipFinishesAndAnyStoredValueCounts)
{
    m_store->setValue(settings::coachMarksSeenAllAt.key, 42);
    EXPECT_TRUE(CoachMarksService(m_settings).hasSeenTour());
    clearSettings();
    CoachMarksService coach(m_settings);
    QSignalSpy tip(&coach, &CoachMarksService::activeTipChanged);
    coach.advance();
    EXPECT_TRUE(coach.hasSeenTour());
    EXPECT_EQ(tip.count(), 0) << "no tip was showing";
    EXPECT_TRUE(storedSeenAt().isValid());
}

TEST_F(TourFixture, RawValuesRoundTrip)
{
    const char* raws[] = { "welcome", "newGuide", "rightClickCard", "reorderSteps", "appearance", "helpMenu" };
    for (size_t i = 0; i < CoachMarksService::allTips.size(); ++i) {
        EXPECT_EQ(CoachMarksService::rawValue(CoachMarksService::allTips[i]), QString::fromLatin1(raws[i]));
        EXPECT_EQ(CoachMarksService::tipFromRaw(QString::fromLatin1(raws[i])), CoachMarksService::allTips[i]);
    }
    EXPECT_FALSE(CoachMarksService::tipFromRaw(QStringLiteral("Welcome")).has_value());
}

TEST_F(OverlayFixture, NoTipDrawsNothingAndTakesNoClicks)
{
    EXPECT_FALSE(m_overlay->isVisible());
    EXPECT_EQ(m_host.childAt(640, 410), nullptr) << "the host's own area is reachable";
    show(Tip::Welcome);
    EXPECT_TRUE(m_overlay->isVisible());
    m_coach->finish();
    settle();
    EXPECT_FALSE(m_overlay->isVisible());
}

TEST_F(OverlayFixture, CardPerTip)
{
    const struct {
        Tip tip;
        const char* symbol;
        const char* title;
        const char* bodyStart;
        const char* caption;
        const char* next;
    } rows[] = {
        { Tip::Welcome, "sparkles", "Welcome to Z.O.V.A", "Z.O.V.A captures clicks, screenshots, and OCR text",
            "Tip 1 of 6", "Next" },
        { Tip::NewGuide, "plus.rectangle.on.rectangle", "Start with \u201c+ New Guide\u201d",
            "Hit the + New Guide button in the top right", "Tip 2 of 6", "Next" },
        { Tip::RightClickCard, "hand.tap.fill", "Right-click any card",
            "Right-click any guide card to open the context menu. From there you can Open the guide or Delete",
            "Tip 3 of 6", "Next" },
        { Tip::ReorderSteps, "arrow.up.and.down.square.fill", "Drag to reorder steps",
            "Inside any guide, drag a step thumbnail", "Tip 4 of 6", "Next" },
        { Tip::Appearance, "circle.lefthalf.filled", "Light, Dark, or System",
            "Switch the app's look anytime via View \u2192 Appearance, or use Ctrl+Alt+1 (System), Ctrl+Alt+2 "
            "(Light), Ctrl+Alt+3 (Dark).",
            "Tip 5 of 6", "Next" },
        { Tip::HelpMenu, "questionmark.circle.fill", "Replay these tips anytime",
            "Forgot a tip? You can replay this whole tour from Help \u2192 Show tips again", "Tip 6 of 6", "Got it" },
    };
    const QFontMetrics symbols(Symbols::font(20));
    for (const auto& row : rows) {
        show(row.tip);
        TipCard* card = m_overlay->card();
        const char* name = row.caption;
        ASSERT_TRUE(card->isVisible()) << name;
        EXPECT_EQ(card->content().symbol, QString::fromLatin1(row.symbol)) << name;
        EXPECT_TRUE(Symbols::isKnown(card->content().symbol)) << name;
        EXPECT_TRUE(symbols.inFont(Symbols::glyph(card->content().symbol))) << name;
        EXPECT_EQ(card->content().title, QString::fromUtf8(row.title)) << name;
        EXPECT_TRUE(card->content().body.startsWith(QString::fromUtf8(row.bodyStart))) << name;
        EXPECT_EQ(card->positionLabel(), QString::fromLatin1(row.caption)) << name;
        EXPECT_EQ(card->nextButton()->text(), QString::fromLatin1(row.next)) << name;

        // One dot per tip in tour order; the active one is the large gradient dot.
        const TipCard::Layout layout = card->layoutFor(card->width());
        const QImage image = card->grab().toImage();
        for (size_t i = 0; i < layout.dots.size(); ++i) {
            const bool active = CoachMarksService::allTips[i] == row.tip;
            EXPECT_EQ(layout.dots[i].width(), active ? 8 : 6) << name << " dot " << i;
            if (i > 0) {
                EXPECT_GT(layout.dots[i].left(), layout.dots[i - 1].right()) << name;
            }
            const QColor c = image.pixelColor(layout.dots[i].center().toPoint());
            if (active)
                EXPECT_GT(c.saturationF(), 0.4) << name << ": the active dot is in the brand colours";
            else
                EXPECT_LT(c.saturationF(), 0.2) << name << ": the other dots are grey";
        }
        // The symbol is drawn in white on the gradient tile.
        int white = 0;
        for (int y = int(layout.iconTile.top()); y < int(layout.iconTile.bottom()); ++y)
            for (int x = int(layout.iconTile.left()); x < int(layout.iconTile.right()); ++x)
                white += image.pixelColor(x, y).lightnessF() > 0.95 ? 1 : 0;
        EXPECT_GT(white, 20) << name;
    }
}

TEST_F(OverlayFixture, CardKeepsItsWidthAndMarginsAndGrowsForLongText)
{
    show(Tip::Welcome);
    EXPECT_EQ(m_overlay->card()->geometry(), m_overlay->cardGeometry());
    EXPECT_EQ(m_overlay->card()->width(), 480);
    EXPECT_EQ(m_overlay->card()->x() + m_overlay->card()->width() / 2, 640);
    const int wideHeight = m_overlay->card()->height();

    m_host.resize(400, 820);
    m_overlay->setGeometry(m_host.rect());
    EXPECT_EQ(m_overlay->card()->width(), 400 - 2 * 32);
    EXPECT_EQ(m_overlay->card()->x(), 32);
    EXPECT_GT(m_overlay->card()->height(), wideHeight) << "the body wraps onto more lines";
    const TipCard::Layout layout = m_overlay->card()->layoutFor(m_overlay->card()->width());
    EXPECT_LE(layout.body.bottom(), layout.next.top()) << "the footer sits under the whole body";
    EXPECT_LE(layout.next.bottom() + TipCard::padding, m_overlay->card()->height() + 0.5);
}

TEST_F(OverlayFixture, NextSkipDismissAndBackdrop)
{
    const struct {
        const char* name;
        std::function<void(OverlayFixture&)> act;
        std::optional<Tip> after;
        bool seen;
    } rows[] = {
        { "Next", [](OverlayFixture& f) { f.click(f.m_overlay->card()->nextButton()); }, Tip::RightClickCard, false },
        { "Return", [](OverlayFixture& f) { QTest::keyClick(&f.m_host, Qt::Key_Return); }, Tip::RightClickCard, false },
        { "backdrop", [](OverlayFixture& f) { QTest::mouseClick(f.m_overlay, Qt::LeftButton, {}, QPoint(20, 20)); },
            Tip::RightClickCard, false },
        { "a click on the card's body",
            [](OverlayFixture& f) {
                const QRect card = f.m_overlay->cardGeometry();
                QTest::mouseClick(f.m_overlay, Qt::LeftButton, {}, card.topLeft() + QPoint(card.width() / 2, 100));
            },
            Tip::NewGuide, false },
        { "Skip", [](OverlayFixture& f) { f.click(f.m_overlay->card()->skipButton()); }, std::nullopt, true },
        { "close", [](OverlayFixture& f) { f.click(f.m_overlay->card()->closeButton()); }, std::nullopt, true },
    };
    for (const auto& row : rows) {
        clearSettings();
        m_coach = std::make_unique<CoachMarksService>(m_settings);
        delete m_overlay;
        m_overlay = new CoachMarksOverlay(m_coach.get(), &m_host);
        m_overlay->setGeometry(m_host.rect());
        show(Tip::NewGuide);
        row.act(*this);
        EXPECT_EQ(m_coach->activeTip(), row.after) << row.name;
        EXPECT_EQ(m_coach->hasSeenTour(), row.seen) << row.name;
        EXPECT_EQ(storedSeenAt().isValid(), row.seen) << row.name;
        settle();
        EXPECT_EQ(m_overlay->isVisible(), row.after.has_value()) << row.name;
    }
    EXPECT_EQ(m_overlay->card()->closeButton()->toolTip(), QStringLiteral("Dismiss"));
}

TEST_F(OverlayFixture, TheLastTipEndsTheTourEveryWay)
{
    const std::function<void(OverlayFixture&)> ways[] = {
        [](OverlayFixture& f) { f.click(f.m_overlay->card()->nextButton()); },
        [](OverlayFixture& f) { QTest::keyClick(&f.m_host, Qt::Key_Return); },
        [](OverlayFixture& f) { QTest::mouseClick(f.m_overlay, Qt::LeftButton, {}, QPoint(20, 20)); },
    };
    int index = 0;
    for (const auto& way : ways) {
        clearSettings();
        m_coach->setHasSeenTour(false);
        show(Tip::HelpMenu);
        EXPECT_EQ(m_overlay->card()->nextButton()->text(), QStringLiteral("Got it"));
        way(*this);
        EXPECT_FALSE(m_coach->activeTip().has_value()) << "way " << index;
        EXPECT_TRUE(m_coach->hasSeenTour()) << "way " << index;
        EXPECT_TRUE(storedSeenAt().isValid()) << "way " << index;
        settle();
        EXPECT_FALSE(m_overlay->isVisible()) << "way " << index;
        ++index;
    }
}

TEST_F(OverlayFixture, TheCardFollowsTheTourAndTheBackdropDims)
{
    show(Tip::Welcome);
    for (Tip expected : { Tip::NewGuide, Tip::RightClickCard, Tip::ReorderSteps, Tip::Appearance, Tip::HelpMenu }) {
        m_coach->advance();
        EXPECT_EQ(m_overlay->card()->tip(), expected) << "the card changes with the tip at once";
        settle();
        EXPECT_TRUE(m_overlay->card()->isVisible());
    }
    // Black at 0.45 over the host's own white.
    QPalette white = m_host.palette();
    white.setColor(QPalette::Window, Qt::white);
    m_host.setPalette(white);
    m_host.setAutoFillBackground(true);
    const QImage frame = m_host.grab().toImage();
    const QColor dimmed = frame.pixelColor(10, 10);
    EXPECT_NEAR(dimmed.redF(), 0.55, 0.02);
    EXPECT_NEAR(dimmed.blueF(), 0.55, 0.02);
}

TEST(TipContent, NextTitleTable)
{
    EXPECT_EQ(TipContent::nextTitle(std::nullopt), QStringLiteral("Got it"));
    for (size_t i = 0; i < CoachMarksService::allTips.size(); ++i)
        EXPECT_EQ(TipContent::nextTitle(CoachMarksService::allTips[i]),
            i + 1 == CoachMarksService::allTips.size() ? QStringLiteral("Got it") : QStringLiteral("Next"));
}
