#include "style/GlassCard.h"
#include "style/MeshWallpaper.h"
#include "style/PillButton.h"
#include "style/StepBadge.h"
#include "style/Symbols.h"
#include "style/Typography.h"
#include "style/ZOVAMark.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

using namespace zova;

namespace {

QImage render(const std::function<void(QPainter&)>& draw, QSize size = { 64, 64 })
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    draw(p);
    p.end();
    return image;
}

} // namespace

TEST(PillButton, HeightIsFixedBySizeWhateverTheLabel)
{
    const struct {
        PillStyle::Size size;
        int height;
        qreal font;
    } rows[] = { { PillStyle::Size::Sm, 24, 11 }, { PillStyle::Size::Md, 30, 12 }, { PillStyle::Size::Lg, 38, 13 } };
    for (const auto& row : rows) {
        for (const QString& label : { QString(), QStringLiteral("New Guide"), QStringLiteral("Tall\nlabel\nhere") }) {
            PillButton button(label);
            pill(&button, PillStyle::Variant::primary(), row.size);
            button.setSymbol(QStringLiteral("record.circle.fill"));
            button.adjustSize();
            EXPECT_EQ(button.height(), row.height) << label.toStdString();
            EXPECT_EQ(button.sizeHint().height(), row.height);
            EXPECT_GE(button.width(), row.height) << "never narrower than a circle";
        }
        EXPECT_DOUBLE_EQ(Typography::pixelSize(PillStyle::font(row.size)), row.font);
        EXPECT_EQ(PillStyle::font(row.size).weight(), QFont::DemiBold);
    }
}

TEST(PillButton, PaddingWidensTheButtonOnBothSides)
{
    PillButton sm(QStringLiteral("Refresh")), lg(QStringLiteral("Refresh"));
    pill(&sm, PillStyle::Variant::ghost(), PillStyle::Size::Sm);
    pill(&lg, PillStyle::Variant::ghost(), PillStyle::Size::Lg);
    const qreal smText
        = QFontMetricsF(PillStyle::font(PillStyle::Size::Sm)).horizontalAdvance(QStringLiteral("Refresh"));
    EXPECT_NEAR(sm.sizeHint().width(), smText + 20, 1.0);
    EXPECT_GT(lg.sizeHint().width(), sm.sizeHint().width());
}

TEST(PillButton, OnlyTheCapsuleIsHit)
{
    PillButton button(QStringLiteral("Go"));
    pill(&button, PillStyle::Variant::primary(), PillStyle::Size::Md);
    button.setFixedSize(120, 30);
    button.show();
    QSignalSpy clicks(&button, &QAbstractButton::clicked);
    const struct {
        QPoint at;
        bool hits;
    } rows[] = {
        { { 60, 15 }, true }, // centre
        { { 3, 15 }, true }, // padding at the left end of the axis
        { { 116, 15 }, true }, // padding at the right end
        { { 1, 1 }, false }, // outside the rounded top-left corner
        { { 118, 28 }, false }, // outside the bottom-right corner
        { { 15, 1 }, true }, // top of the left cap
    };
    int expected = 0;
    for (const auto& row : rows) {
        QTest::mouseClick(&button, Qt::LeftButton, {}, row.at);
        expected += row.hits ? 1 : 0;
        EXPECT_EQ(clicks.count(), expected) << row.at.x() << "," << row.at.y();
    }
}

TEST(PillStyle, ForegroundByVariant)
{
    EXPECT_EQ(PillStyle::Variant::accent().foreground(), QColor(58, 26, 0));
    EXPECT_EQ(PillStyle::Variant::primary().foreground(), QColor(Qt::white));
    EXPECT_EQ(PillStyle::Variant::record().foreground(), QColor(Qt::white));
    EXPECT_NEAR(PillStyle::Variant::glass(true).foreground().alphaF(), 0.95, 0.01);
    EXPECT_NE(PillStyle::Variant::glass(true).foreground(), PillStyle::Variant::glass(false).foreground());
    EXPECT_EQ(PillStyle::Variant::ghost().foreground(), PillStyle::Variant::glass(false).foreground());
}

TEST(PillStyle, GhostDrawsOnlyItsHairline)
{
    const QImage image = render([](QPainter& p) {
        PillStyle { PillStyle::Variant::ghost(), PillStyle::Size::Md }.paintBackground(p, QRectF(0, 17, 64, 30));
    });
    EXPECT_EQ(qAlpha(image.pixel(32, 32)), 0) << "no fill inside";
    EXPECT_GT(qAlpha(image.pixel(32, 17)), 0) << "a hairline at the top edge";
}

TEST(GlassCard, TintFillTable)
{
    EXPECT_NEAR(GlassCard::tintFill(GlassCard::Tone::tinted(Qt::red)).alphaF(), 0.14, 0.005);
    EXPECT_EQ(GlassCard::tintFill(GlassCard::Tone::tinted(Qt::red)).red(), 255);
    EXPECT_EQ(GlassCard::tintFill(GlassCard::Tone::clear()).alpha(), 0);
    EXPECT_NEAR(GlassCard::tintFill(GlassCard::Tone::light()).alphaF(), 0.35, 0.005);
    EXPECT_NEAR(GlassCard::tintFill(GlassCard::Tone::strong()).alphaF(), 0.55, 0.005);
    EXPECT_NEAR(GlassCard::tintFill(GlassCard::Tone::dark()).alphaF(), 0.2, 0.005);
    EXPECT_NEAR(GlassCard::tintFill(GlassCard::Tone::inkier()).alphaF(), 0.4, 0.005);
}

TEST(GlassCard, ClearToneStillHasGlass)
{
    const QImage image
        = render([](QPainter& p) { GlassCard::paint(p, QRectF(0, 0, 64, 64), GlassCard::Tone::clear(), 16); });
    EXPECT_GT(qAlpha(image.pixel(32, 32)), 0);
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << "corners are rounded";
}

struct MarkCase {
    qreal size, radius, outerWidth, innerWidth, outlineWidth;
};

TEST(ZOVAMark, GeometryAtHundredAndTwenty)
{
    const MarkCase rows[] = { { 100, 22.5, 2.4, 3.0, 1.8 }, { 20, 4.5, 1.0, 1.2, 0.5 } };
    for (const auto& row : rows) {
        const auto g = ZOVAMark::geometry(row.size);
        EXPECT_DOUBLE_EQ(g.cornerRadius, row.radius);
        EXPECT_DOUBLE_EQ(g.center.x(), 0.39 * row.size);
        EXPECT_DOUBLE_EQ(g.center.y(), 0.34 * row.size);
        EXPECT_DOUBLE_EQ(g.outerRippleRadius, 0.3 * row.size);
        EXPECT_DOUBLE_EQ(g.innerRippleRadius, 0.2 * row.size);
        EXPECT_NEAR(g.outerRippleWidth, row.outerWidth, 1e-9);
        EXPECT_NEAR(g.innerRippleWidth, row.innerWidth, 1e-9);
        EXPECT_NEAR(g.pointerOutlineWidth, row.outlineWidth, 1e-9);
        EXPECT_DOUBLE_EQ(g.pointerScale, 0.42 * row.size);
        ASSERT_EQ(g.pointer.size(), 7);
        EXPECT_EQ(g.pointer[0], g.center) << "the tip sits on the ripples' centre";
        // (0, 0.86) lies straight below the tip before rotation; clockwise turns it left.
        const QPointF below = g.pointer[1] - g.center;
        const qreal len = 0.86 * g.pointerScale;
        EXPECT_NEAR(below.x(), -len * std::sin(M_PI / 15), 1e-9);
        EXPECT_NEAR(below.y(), len * std::cos(M_PI / 15), 1e-9);
        // (0.71, 0.595) is right of and below the tip; turning +x towards +y moves it further down.
        const QPointF right = g.pointer[6] - g.center;
        EXPECT_GT(right.y(), 0.595 * g.pointerScale);
    }
    EXPECT_DOUBLE_EQ(ZOVAMark::geometry(100).center.x(), 39);
    EXPECT_DOUBLE_EQ(ZOVAMark::geometry(100).center.y(), 34);
    EXPECT_DOUBLE_EQ(ZOVAMark::geometry(100).pointerScale, 42);
}

TEST(ZOVAMark, RipplesAddOnlyRipplesAndThePointerStays)
{
    const qreal size = 100;
    const auto draw = [&](bool ripples) {
        return render([&](QPainter& p) { ZOVAMark::paint(p, QPointF(0, 0), size, false, ripples); }, { 100, 100 });
    };
    const QImage plain = draw(false), rippled = draw(true);
    const auto g = ZOVAMark::geometry(size);
    // A point on the outer ripple, away from the pointer (left of the centre).
    const QPoint onRipple(qRound(g.center.x() - g.outerRippleRadius), qRound(g.center.y()));
    EXPECT_NE(plain.pixel(onRipple), rippled.pixel(onRipple));
    // Inside the pointer both are white.
    const QPointF inside = g.center + QPointF(0.1 * g.pointerScale, 0.4 * g.pointerScale);
    EXPECT_EQ(plain.pixel(inside.toPoint()), qRgba(255, 255, 255, 255));
    EXPECT_EQ(rippled.pixel(inside.toPoint()), qRgba(255, 255, 255, 255));
}

TEST(StepBadge, TextAndFont)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German));
    EXPECT_EQ(StepBadge::text(12), QStringLiteral("12"));
    EXPECT_EQ(StepBadge::text(1234), QStringLiteral("1234")) << "no grouping separator";
    QLocale::setDefault(previous);
    EXPECT_NEAR(Typography::pixelSize(StepBadge::font(24)), 11.04, 0.01);
    EXPECT_EQ(StepBadge::font(24).weight(), QFont::Bold);
}

TEST(StepBadge, HueIsNotDrawn)
{
    const QImage first = render([](QPainter& p) { StepBadge::paint(p, QPointF(8, 8), 7, AccentHue::Pink, 40); });
    for (AccentHue hue : accent_hue::allCases) {
        const QImage other = render([&](QPainter& p) { StepBadge::paint(p, QPointF(8, 8), 7, hue, 40); });
        EXPECT_EQ(first, other) << accent_hue::rawValue(hue).toStdString();
    }
    const QImage eight = render([](QPainter& p) { StepBadge::paint(p, QPointF(8, 8), 8, AccentHue::Pink, 40); });
    EXPECT_NE(first, eight) << "the number is drawn";
    StepBadge badge(3, AccentHue::Cyan, 24);
    EXPECT_GE(badge.width(), 24);
}

TEST(MeshWallpaper, VariantsRoundTripAndDrawAlike)
{
    ASSERT_EQ(MeshWallpaper::allVariants.size(), 4u);
    for (auto v : MeshWallpaper::allVariants)
        EXPECT_EQ(MeshWallpaper::variantFromRaw(MeshWallpaper::rawValue(v)), v);
    EXPECT_FALSE(MeshWallpaper::variantFromRaw(QStringLiteral("Pink")).has_value());
    MeshWallpaper a(MeshWallpaper::Variant::Pink), b(MeshWallpaper::Variant::Night);
    a.resize(20, 20);
    b.resize(20, 20);
    EXPECT_EQ(a.grab().toImage(), b.grab().toImage());
}

TEST(Symbols, EveryNamedSymbolIsInTheFont)
{
    const QFont font = Symbols::font(16);
    ASSERT_EQ(QFontInfo(font).family(), QStringLiteral("Material Icons"));
    const QFontMetrics metrics(font);
    const QStringList names = Symbols::names();
    EXPECT_GE(names.size(), 50);
    for (const QString& name : names) {
        const QChar g = Symbols::glyph(name);
        ASSERT_FALSE(g.isNull()) << name.toStdString();
        EXPECT_TRUE(metrics.inFont(g)) << name.toStdString();
    }
    EXPECT_TRUE(Symbols::glyph(QStringLiteral("no.such.symbol")).isNull());
    EXPECT_FALSE(Symbols::isKnown(QStringLiteral("no.such.symbol")));
}

TEST(Symbols, AnUnknownNameShowsAndIsReported)
{
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous
        = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& m) {
              if (type == QtWarningMsg)
                  warnings << m;
          });
    auto draw = [](const QString& name) {
        QImage image(24, 24, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        Symbols::paint(p, QRectF(0, 0, 24, 24), name, 20, Qt::black);
        p.end();
        int inked = 0;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 24; ++x)
                inked += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
        return inked;
    };
    EXPECT_GT(draw(QStringLiteral("no.such.symbol.here")), 20) << "a missing symbol leaves a visible mark";
    draw(QStringLiteral("no.such.symbol.here"));
    EXPECT_GT(draw(QStringLiteral("checkmark")), 20);
    qInstallMessageHandler(previous);
    ASSERT_EQ(warnings.size(), 1) << "reported once per name";
    EXPECT_TRUE(warnings.first().contains(QStringLiteral("no.such.symbol.here")));
}

TEST(Typography, InterWithRealSemibold)
{
    const QFont f = Typography::semibold(12.5);
    EXPECT_EQ(QFontInfo(f).family(), QStringLiteral("Inter"));
    EXPECT_EQ(QFontInfo(f).weight(), QFont::DemiBold);
    EXPECT_NEAR(Typography::pixelSize(f), 12.5, 0.01);
    EXPECT_EQ(QFontInfo(Typography::font(12, QFont::Normal, Typography::Design::Serif)).family(),
        QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(QFontInfo(Typography::font(12, QFont::Normal, Typography::Design::Monospaced)).family(),
        QStringLiteral("DejaVu Sans Mono"));
}

TEST(PillButton, TrailingSymbolAfterTheText)
{
    PillButton plain(QStringLiteral("Continue to Library"));
    PillButton arrow(QStringLiteral("Continue to Library"));
    arrow.setTrailingSymbol(QStringLiteral("arrow.right"), 11);
    for (PillButton* b : { &plain, &arrow })
        pill(b, PillStyle::Variant::ghost(), PillStyle::Size::Lg);
    EXPECT_EQ(arrow.sizeHint().width() - plain.sizeHint().width(), 8 + 11 + 2) << "spacing 8, then the symbol";
    arrow.resize(arrow.sizeHint());
    plain.resize(arrow.sizeHint());
    const QImage withArrow = arrow.grab().toImage();
    const QImage without = plain.grab().toImage();
    // The text starts further left with the symbol; the symbol's own column differs.
    const int x = arrow.width() - 16 - 6;
    bool differs = false;
    for (int y = 0; y < arrow.height() && !differs; ++y)
        differs = withArrow.pixel(x, y) != without.pixel(x, y);
    EXPECT_TRUE(differs);
}
