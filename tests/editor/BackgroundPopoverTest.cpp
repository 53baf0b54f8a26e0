#include "EditorFixture.h"

#include "editor/EditorController.h"
#include "editor/canvas/BackgroundPopover.h"
#include "model/VideoBackground.h"
#include "style/PillButton.h"
#include "style/TextLine.h"

#include <QColorDialog>
#include <QTest>

using namespace zova;

namespace {

class BackgroundPopoverTest : public EditorFixture {
protected:
    void open(int steps)
    {
        QList<qint64> orders;
        for (int i = 0; i < steps; ++i)
            orders << i;
        m_guide = makeGuide(orders);
        context()->setAutosaveDelay(600000);
        controller = std::make_unique<EditorController>(m_guide, context(), withTestFiles({}));
        controller->list().appear();
    }
    Step* step(int position) const { return m_guide->orderedSteps()[position]; }
    // The popover of the step at `position`, as the title bar opens it.
    BackgroundPopover& popoverFor(int position)
    {
        popover = std::make_unique<BackgroundPopover>(controller.get(), step(position)->id());
        popover->show();
        return *popover;
    }
    struct Shown {
        QString hex;
        QString source;
        bool badge;
        bool reset;
        QRgb swatch;
    };
    Shown shown() const
    {
        return { popover->hexLabel()->text(), popover->sourceLabel()->text(), popover->overrideBadge()->isVisible(),
            popover->resetButton()->isVisible(), popover->swatch()->color().rgb() };
    }
    QStringList resolved() const
    {
        QStringList out;
        for (const Step* s : m_guide->orderedSteps())
            out << video_background::effectiveHex(*s);
        return out;
    }

    Guide* m_guide = nullptr;
    std::unique_ptr<EditorController> controller;
    std::unique_ptr<BackgroundPopover> popover;
};

TEST_F(BackgroundPopoverTest, ANewGuideShowsTheAppDefault)
{
    open(3);
    EXPECT_EQ(resolved(), QStringList({ "f5f3ef", "f5f3ef", "f5f3ef" }));
    popoverFor(1);
    const Shown s = shown();
    EXPECT_EQ(s.hex, QStringLiteral("F5F3EF"));
    EXPECT_EQ(s.source, QStringLiteral("App default"));
    EXPECT_FALSE(s.badge);
    EXPECT_FALSE(s.reset);
    EXPECT_EQ(s.swatch, qRgb(0xf5, 0xf3, 0xef));
    EXPECT_EQ(popover->applyButton()->text(), QStringLiteral("Apply to all steps"));
}

TEST_F(BackgroundPopoverTest, PickingGivesOnlyThatStepItsOwnLowerCaseColour)
{
    open(3);
    m_guide->setVideoBackgroundHex(QStringLiteral("112233"));
    ASSERT_TRUE(context()->save().hasValue());
    popoverFor(1).openColorDialog();
    QColorDialog* dialog = popover->colorDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->testOption(QColorDialog::DontUseNativeDialog));
    EXPECT_EQ(dialog->currentColor().rgb(), qRgb(0x11, 0x22, 0x33)) << "opens on the shown colour";
    dialog->setCurrentColor(QColor(0xFF, 0x3D, 0x8A));
    dialog->accept();

    EXPECT_EQ(step(1)->videoBackgroundHex(), QStringLiteral("ff3d8a"));
    EXPECT_EQ(resolved(), QStringList({ "112233", "ff3d8a", "112233" }));
    const Shown s = shown();
    EXPECT_EQ(s.hex, QStringLiteral("FF3D8A"));
    EXPECT_EQ(s.source, QStringLiteral("Custom for this step"));
    EXPECT_TRUE(s.badge);
    EXPECT_TRUE(s.reset);
    EXPECT_TRUE(context()->hasChanges()) << "a picked colour is left to the automatic save";

    // Picking the guide's own colour still makes an override.
    controller->canvas().pickBackground(step(2)->id(), QColor(0x11, 0x22, 0x33));
    EXPECT_EQ(step(2)->videoBackgroundHex(), QStringLiteral("112233"));
}

TEST_F(BackgroundPopoverTest, ApplyToAllMakesTheShownColourTheGuidesAndDropsEveryOverride)
{
    struct Row {
        const char* name;
        const char* guide; // nullptr: none
        int from;
        const char* applied;
    };
    for (const Row& r : { Row { "from a step with its own colour", "112233", 1, "00ff00" },
             Row { "from a step without any colour", nullptr, 2, "f5f3ef" } }) {
        SCOPED_TRACE(r.name);
        open(3);
        m_guide->setVideoBackgroundHex(r.guide ? std::optional<QString>(QString::fromUtf8(r.guide)) : std::nullopt);
        step(0)->setVideoBackgroundHex(QStringLiteral("abcdef"));
        step(1)->setVideoBackgroundHex(QStringLiteral("00ff00"));
        popoverFor(r.from);
        QTest::mouseClick(popover->applyButton(), Qt::LeftButton);
        EXPECT_EQ(m_guide->videoBackgroundHex(), QString::fromUtf8(r.applied));
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(step(i)->videoBackgroundHex(), std::nullopt) << i;
        const QString applied = QString::fromUtf8(r.applied);
        EXPECT_EQ(resolved(), QStringList({ applied, applied, applied }));
        EXPECT_EQ(shown().source, QStringLiteral("From guide default"));
        EXPECT_FALSE(shown().reset);
        EXPECT_FALSE(context()->hasChanges()) << "saved";
    }
}

TEST_F(BackgroundPopoverTest, ResetFollowsTheGuideAgainAndSaves)
{
    open(2);
    m_guide->setVideoBackgroundHex(QStringLiteral("112233"));
    step(0)->setVideoBackgroundHex(QStringLiteral("abcdef"));
    popoverFor(0);
    ASSERT_TRUE(shown().reset);
    QTest::mouseClick(popover->resetButton(), Qt::LeftButton);
    EXPECT_EQ(step(0)->videoBackgroundHex(), std::nullopt);
    EXPECT_EQ(resolved(), QStringList({ "112233", "112233" }));
    EXPECT_EQ(shown().source, QStringLiteral("From guide default"));
    EXPECT_EQ(shown().hex, QStringLiteral("112233"));
    EXPECT_FALSE(shown().badge);
    EXPECT_FALSE(context()->hasChanges()) << "saved";
}

TEST_F(BackgroundPopoverTest, StoredTextsThatAreNotColoursShowAsTheyAreOnWhite)
{
    struct Row {
        const char* stored;
        const char* hex;
        QRgb swatch;
    };
    open(1);
    for (const Row& r : { Row { "#ff0000", "#FF0000", qRgb(255, 0, 0) },
             Row { "ff00zz", "FF00ZZ", qRgb(255, 255, 255) }, Row { "", "", qRgb(255, 255, 255) } }) {
        step(0)->setVideoBackgroundHex(QString::fromUtf8(r.stored));
        popoverFor(0);
        EXPECT_EQ(shown().hex, QString::fromUtf8(r.hex)) << r.stored;
        EXPECT_EQ(shown().swatch, r.swatch) << r.stored;
        EXPECT_EQ(shown().source, QStringLiteral("Custom for this step")) << r.stored;
    }
}

TEST_F(BackgroundPopoverTest, AStepDeletedWhileShownDisablesThePopover)
{
    open(2);
    popoverFor(1);
    const QUuid id = step(1)->id();
    controller->list().performDelete({ id });
    ASSERT_TRUE(test::waitUntil([&] { return !popover->isEnabled(); }));
    controller->canvas().pickBackground(id, Qt::red);
    controller->canvas().resetBackground(id);
    EXPECT_EQ(step(0)->videoBackgroundHex(), std::nullopt);
}

} // namespace
