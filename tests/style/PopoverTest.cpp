#include "style/Popover.h"
#include "style/PillButton.h"
#include "style/PopoverRow.h"
#include "style/Typography.h"

#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>

using namespace zova;

namespace {

class PopoverTest : public testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<QWidget>();
        window->resize(800, 500);
        anchor = new PillButton(QStringLiteral("Open"), window.get());
        anchor->move(700, 10);
        anchor->resize(80, 30);
        elsewhere = new PillButton(QStringLiteral("Elsewhere"), window.get());
        elsewhere->move(20, 400);
        auto* content = new QWidget;
        content->setFixedSize(260, 120);
        row = new PopoverRow(
            QStringLiteral("sparkles"), QStringLiteral("Row"), { 16, 13, 8, Typography::font(12.5), 5, 10 }, content);
        row->setGeometry(0, 0, 260, 30);
        popover = new Popover(anchor, content);
        window->show();
        popover->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    std::unique_ptr<QWidget> window;
    PillButton* anchor = nullptr;
    PillButton* elsewhere = nullptr;
    PopoverRow* row = nullptr;
    Popover* popover = nullptr;
};

TEST_F(PopoverTest, OpensBelowItsAnchorInsideTheWindow)
{
    const QRect content(popover->content()->mapTo(window.get(), QPoint(0, 0)), popover->content()->size());
    EXPECT_GT(content.top(), anchor->geometry().bottom()) << "below the button";
    EXPECT_LE(content.top(), anchor->geometry().bottom() + 1 + Popover::arrowHeight + 4);
    EXPECT_LE(content.right(), window->width()) << "kept inside the window at the right edge";
    // It follows the anchor.
    anchor->move(100, 50);
    const QRect moved(popover->content()->mapTo(window.get(), QPoint(0, 0)), popover->content()->size());
    EXPECT_GT(moved.top(), anchor->geometry().bottom());
    EXPECT_NEAR(moved.center().x(), anchor->geometry().center().x(), 2);
}

TEST_F(PopoverTest, PressesOutsideAndEscapeAskToCloseTheCardAndAnchorDoNot)
{
    QSignalSpy dismiss(popover, &Popover::dismissRequested);
    int rowClicks = 0;
    QObject::connect(row, &QAbstractButton::clicked, [&] { ++rowClicks; });
    QTest::mouseClick(row, Qt::LeftButton);
    EXPECT_EQ(rowClicks, 1);
    QTest::mouseClick(anchor, Qt::LeftButton);
    EXPECT_EQ(dismiss.count(), 0) << "inside the card or on the anchor";

    QTest::mouseClick(elsewhere, Qt::LeftButton);
    EXPECT_EQ(dismiss.count(), 1) << "one request for one press, however far it propagates";
    QTest::mouseClick(window.get(), Qt::LeftButton, {}, QPoint(300, 300));
    EXPECT_EQ(dismiss.count(), 2);

    // A press in another window (a dialog the content opened) does not count.
    QWidget other;
    other.resize(200, 200);
    other.show();
    QTest::mouseClick(&other, Qt::LeftButton);
    EXPECT_EQ(dismiss.count(), 2);

    window->activateWindow();
    QTest::keyClick(elsewhere, Qt::Key_Escape);
    EXPECT_EQ(dismiss.count(), 3);
    QTest::keyClick(elsewhere, Qt::Key_Escape, Qt::ShiftModifier);
    EXPECT_EQ(dismiss.count(), 3);

    popover->hide();
    QTest::mouseClick(elsewhere, Qt::LeftButton);
    EXPECT_EQ(dismiss.count(), 3) << "nothing while hidden";
}

TEST(PopoverRowTest, SubtitleWidensAndHeightensTheRow)
{
    PopoverRow row(QStringLiteral("sparkles"), QStringLiteral("Rewrite every step"),
        { 16, 13, 8, Typography::semibold(12.5), 6, 10 });
    const QSize plain = row.sizeHint();
    row.setSubtitle(QStringLiteral("Professional tone, all 12 steps and then some"));
    EXPECT_GT(row.sizeHint().height(), plain.height());
    EXPECT_GT(row.sizeHint().width(), plain.width());
}

} // namespace
