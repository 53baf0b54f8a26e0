#include "onboarding/PermissionRow.h"
#include "style/PillButton.h"
#include "style/Symbols.h"
#include "style/Typography.h"
#include "style/ZOVAColor.h"

#include <QTest>

#include <gtest/gtest.h>

using namespace zova;

namespace {

bool near(const QColor& a, const QColor& b, int tolerance = 24)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
        && std::abs(a.blue() - b.blue()) <= tolerance;
}

} // namespace

TEST(PermissionRow, StatesTable)
{
    const struct {
        const char* name;
        bool granted;
        QColor tint;
        bool configure, badge;
    } rows[] = {
        { "granted", true, ZOVAColor::emerald(), false, true },
        { "not granted", false, ZOVAColor::amber(), true, false },
    };
    for (const auto& row : rows) {
        int requests = 0;
        PermissionRow permission(QStringLiteral("Screen Recording"), QStringLiteral("Required to see windows."),
            QStringLiteral("rectangle.dashed.badge.record"), row.granted, [&] { ++requests; });
        permission.resize(560, permission.sizeHint().height());
        permission.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&permission));
        EXPECT_EQ(permission.tint(), row.tint) << row.name;
        EXPECT_EQ(permission.configureButton()->isVisible(), row.configure) << row.name;
        const PermissionRow::Layout layout = permission.layoutFor(permission.width());
        EXPECT_EQ(!layout.badge.isEmpty(), row.badge) << row.name;
        EXPECT_EQ(!layout.configure.isEmpty(), row.configure) << row.name;

        const QImage image = permission.grab().toImage();
        // The icon is drawn in the tint on a circle of the tint at 0.12.
        bool iconInTint = false;
        for (int x = int(layout.iconTile.left()); x < int(layout.iconTile.right()) && !iconInTint; ++x)
            iconInTint = near(image.pixelColor(x, int(layout.iconTile.center().y())), row.tint, 30);
        EXPECT_TRUE(iconInTint) << row.name;
        if (row.badge) {
            bool emeraldText = false;
            for (int x = int(layout.badge.left()); x < int(layout.badge.right()) && !emeraldText; ++x)
                emeraldText = near(image.pixelColor(x, int(layout.badge.center().y())), ZOVAColor::emerald(), 30);
            EXPECT_TRUE(emeraldText) << "the badge's check and text are emerald";
        } else {
            EXPECT_EQ(permission.configureButton()->text(), QStringLiteral("Configure"));
            EXPECT_EQ(permission.configureButton()->geometry(), layout.configure.toAlignedRect());
            QTest::mouseClick(
                permission.configureButton(), Qt::LeftButton, {}, permission.configureButton()->rect().center());
            EXPECT_EQ(requests, 1) << "Configure calls the request";
        }
        EXPECT_TRUE(Symbols::isKnown(permission.iconName()));
    }
}

TEST(PermissionRow, RevokedShowsConfigureAgainAndDescriptionKeepsTwoLines)
{
    PermissionRow permission(QStringLiteral("Input Monitoring"),
        QStringLiteral("Needed to turn each of your clicks into a step. ").repeated(6),
        QStringLiteral("cursorarrow.click.badge.keyboard"), true, {});
    permission.resize(560, permission.sizeHint().height());
    permission.show();
    EXPECT_FALSE(permission.configureButton()->isVisible());
    permission.setGranted(false);
    EXPECT_TRUE(permission.configureButton()->isVisible());
    EXPECT_EQ(permission.tint(), ZOVAColor::amber());
    const PermissionRow::Layout layout = permission.layoutFor(560);
    const qreal line = QFontMetricsF(Typography::font(11)).lineSpacing();
    EXPECT_LE(layout.description.height(), 2 * line + 0.5) << "at most two lines";
    EXPECT_GT(layout.description.height(), line) << "the second line shows in full";
    EXPECT_LE(layout.description.right(), layout.configure.left() - 16);
}
