#include "model/HexColor.h"
#include "style/ZOVAColor.h"

#include <QGuiApplication>
#include <QPalette>

#include <gtest/gtest.h>

using namespace zova;

struct HexCase {
    const char* name;
    const char* text;
    int r, g, b; // -1: no colour
};

class HexParse : public ::testing::TestWithParam<HexCase> { };

TEST_P(HexParse, Table)
{
    const auto& c = GetParam();
    const auto color = colorFromHexString(QString::fromUtf8(c.text));
    if (c.r < 0) {
        EXPECT_FALSE(color.has_value());
        return;
    }
    ASSERT_TRUE(color.has_value());
    EXPECT_EQ(color->red(), c.r);
    EXPECT_EQ(color->green(), c.g);
    EXPECT_EQ(color->blue(), c.b);
    EXPECT_EQ(color->alpha(), 255);
}

INSTANTIATE_TEST_SUITE_P(Table, HexParse,
    ::testing::Values(HexCase { "upper", "FF3D8A", 255, 61, 138 }, HexCase { "lower", "ff3d8a", 255, 61, 138 },
        HexCase { "hash", "#FF3D8A", 255, 61, 138 }, HexCase { "blanksAndNewline", "  FF3D8A \n", 255, 61, 138 },
        HexCase { "hashThenBlank", "# FF3D8A", -1, 0, 0 }, HexCase { "twoHashes", "##FF3D8A", -1, 0, 0 },
        HexCase { "five", "FF3D8", -1, 0, 0 }, HexCase { "seven", "FF3D8A0", -1, 0, 0 },
        HexCase { "empty", "", -1, 0, 0 }, HexCase { "letterBeyondF", "FF3D8G", -1, 0, 0 },
        HexCase { "plus", "+fffff", 15, 255, 255 }, HexCase { "minusZero", "-00000", 0, 0, 0 },
        HexCase { "minusNonZero", "-00001", -1, 0, 0 }, HexCase { "hexPrefix", "0x3D8A", -1, 0, 0 },
        HexCase { "innerBlank", "FF 3D8", -1, 0, 0 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HexFormat, Table)
{
    EXPECT_EQ(hexString(*colorFromHexString("FF3D8A")), "ff3d8a");
    EXPECT_EQ(hexString(QColor::fromRgbF(0.5f, 0.0f, 1.0f)), "8000ff"); // 127.5 rounds up
    EXPECT_EQ(hexString(QColor::fromRgbF(0.1f, 0.2f, 0.3f, 0.2f)), "1a334d"); // opacity dropped
    EXPECT_EQ(hexString(QColor()), "ffffff");
    EXPECT_EQ(hexString(QColor::fromHsv(0, 0, 0)), "000000");
    // Extended-range components are clamped, so the text always parses back.
    const QString extended = hexString(QColor::fromRgbF(1.4f, -0.2f, 0.5f));
    EXPECT_EQ(extended, "ff0080");
    EXPECT_TRUE(colorFromHexString(extended).has_value());
}

TEST(ColorTokens, FollowThePaletteAndFixedValues)
{
    EXPECT_EQ(ZOVAColor::magenta(), QColor(255, 61, 138));
    EXPECT_EQ(ZOVAColor::amber(), QColor(245, 158, 11));
    EXPECT_EQ(ZOVAColor::emerald(), QColor(16, 185, 129));
    EXPECT_EQ(ZOVAColor::coral(), QColor(255, 122, 89));
    const QPalette saved = QGuiApplication::palette();
    QPalette p = saved;
    p.setColor(QPalette::Highlight, QColor(1, 2, 3));
    p.setColor(QPalette::WindowText, QColor(200, 201, 202));
    QGuiApplication::setPalette(p);
    EXPECT_EQ(ZOVAColor::accent(), QColor(1, 2, 3));
    EXPECT_EQ(ZOVAColor::purple(), ZOVAColor::accent());
    EXPECT_EQ(ZOVAColor::label(), QColor(200, 201, 202));
    const QLinearGradient brand = ZOVAGradient::brand(QRectF(0, 0, 10, 10));
    for (const auto& stop : brand.stops())
        EXPECT_EQ(stop.second, QColor(1, 2, 3));
    QGuiApplication::setPalette(saved);
    const QLinearGradient ai = ZOVAGradient::ai(QRectF(0, 0, 100, 50));
    ASSERT_EQ(ai.stops().size(), 4);
    EXPECT_DOUBLE_EQ(ai.stops()[1].first, 1.0 / 3.0);
    EXPECT_EQ(ai.start(), QPointF(0, 0));
    EXPECT_EQ(ai.finalStop(), QPointF(100, 50));
}
