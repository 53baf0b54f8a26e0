#include "WindowHelper.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

// Xlib after gtest: its None would clash with gtest's own.
#include "platform/x11/X11WindowIcons.h"

using namespace zova;

namespace {

QList<unsigned long> icons(std::initializer_list<std::pair<int, QRgb>> squares)
{
    QList<unsigned long> data;
    for (auto [side, colour] : squares) {
        data << static_cast<unsigned long>(side) << static_cast<unsigned long>(side);
        for (int i = 0; i < side * side; ++i)
            data << static_cast<unsigned long>(colour);
    }
    return data;
}

TEST(NetWmIcon, TheNearestWholeIcon)
{
    const QRgb red = 0xFFFF0000, green = 0xFF00FF00, blue = 0x800000FF;
    const struct {
        const char* name;
        QList<unsigned long> data;
        int size;
        std::optional<QSize> picked;
        QRgb colour;
    } rows[] = {
        { "the smallest at least as large", icons({ { 16, red }, { 64, green }, { 32, blue } }), 24, QSize(32, 32),
            blue },
        { "an exact size", icons({ { 16, red }, { 48, green }, { 32, blue } }), 48, QSize(48, 48), green },
        { "else the largest", icons({ { 16, red }, { 32, blue } }), 128, QSize(32, 32), blue },
        { "one icon", icons({ { 16, red } }), 16, QSize(16, 16), red },
        { "none", {}, 48, std::nullopt, 0 },
        { "cut short: the whole ones before", icons({ { 16, red }, { 32, green } }).mid(0, 2 + 256 + 2 + 100), 48,
            QSize(16, 16), red },
        { "zero sized", QList<unsigned long> { 0, 0, 1, 2 }, 48, std::nullopt, 0 },
        { "absurdly large", QList<unsigned long> { 100000, 100000, 1 }, 48, std::nullopt, 0 },
    };
    for (const auto& row : rows) {
        const std::optional<QImage> icon = x11::iconFromNetWmIcon(row.data, row.size);
        ASSERT_EQ(icon.has_value(), row.picked.has_value()) << row.name;
        if (!icon)
            continue;
        EXPECT_EQ(icon->size(), *row.picked) << row.name;
        EXPECT_EQ(icon->pixel(0, 0), row.colour) << row.name << ": ARGB, not premultiplied";
    }
}

// Windows the window manager leaves alone (override-redirect), so what they
// publish is all there is.
class X11WindowIconsTest : public ::testing::Test {
protected:
    WindowID create(const QString& options)
    {
        return m_helper.create(QStringLiteral("10 10 200 120 808080 title=Icons override ") + options);
    }
    WindowHelper m_helper { QStringLiteral(ZOVA_X11_HELPER) };
    x11::X11WindowIcons m_icons;
};

TEST_F(X11WindowIconsTest, FromNetWmIconWmHintsOrTheGroupLeader)
{
    const struct {
        const char* name;
        QString options;
        std::optional<QSize> size;
        QColor colour;
    } rows[] = {
        { "_NET_WM_ICON, nearest size", QStringLiteral("icon=2060c0:16,64,32"), QSize(64, 64),
            QColor(0x20, 0x60, 0xc0) },
        { "WM_HINTS pixmap", QStringLiteral("pixmapicon=c04020:32"), QSize(32, 32), QColor(0xc0, 0x40, 0x20) },
        { "_NET_WM_ICON before WM_HINTS", QStringLiteral("icon=2060c0:32 pixmapicon=c04020:32"), QSize(32, 32),
            QColor(0x20, 0x60, 0xc0) },
        { "the group leader's", QStringLiteral("leadericon=30a050:48"), QSize(48, 48), QColor(0x30, 0xa0, 0x50) },
        { "none", QString(), std::nullopt, {} },
    };
    for (const auto& row : rows) {
        const WindowID id = create(row.options);
        const std::optional<QImage> icon = m_icons.icon(id, 48);
        ASSERT_EQ(icon.has_value(), row.size.has_value()) << row.name;
        if (icon) {
            EXPECT_EQ(icon->size(), *row.size) << row.name;
            EXPECT_EQ(icon->pixelColor(2, icon->height() / 2), row.colour) << row.name;
        }
        m_helper.destroy(id);
    }
}

TEST_F(X11WindowIconsTest, TheMaskShapesAHintsIconAndAGoneWindowHasNone)
{
    const WindowID id = create(QStringLiteral("pixmapicon=c04020:32"));
    const std::optional<QImage> icon = m_icons.icon(id, 32);
    ASSERT_TRUE(icon);
    EXPECT_EQ(qAlpha(icon->pixel(4, 16)), 255) << "inside the mask";
    EXPECT_EQ(qAlpha(icon->pixel(28, 16)), 0) << "outside it";
    m_helper.destroy(id);
    EXPECT_FALSE(m_icons.icon(id, 32));
    EXPECT_FALSE(m_icons.icon(0, 32));
}

} // namespace
