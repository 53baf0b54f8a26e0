#include "model/AccentHue.h"
#include "model/Guide.h"
#include "model/Step.h"
#include "model/StepAnnotation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

using namespace zova;

TEST(AccentHueTest, RawValuesAndOrder)
{
    EXPECT_EQ(accent_hue::allCases.size(), 8u);
    EXPECT_EQ(accent_hue::allCases.front(), AccentHue::Pink);
    EXPECT_EQ(accent_hue::allCases.back(), AccentHue::Slate);
    EXPECT_EQ(accent_hue::fromRawValue("slate"), AccentHue::Slate);
    EXPECT_FALSE(accent_hue::fromRawValue("Slate").has_value());
    for (AccentHue h : accent_hue::allCases)
        EXPECT_EQ(accent_hue::fromRawValue(accent_hue::rawValue(h)), h);
}

TEST(GuideTest, NewGuideDefaults)
{
    Guide g(QStringLiteral("Settings"), AccentHue::Cyan, QStringLiteral("AB"));
    EXPECT_FALSE(g.id().isNull());
    EXPECT_EQ(g.title(), "Settings");
    EXPECT_EQ(g.themeHueRaw(), "cyan");
    EXPECT_EQ(g.ownerInitials(), "AB");
    EXPECT_EQ(g.publishStatusRaw(), "draft");
    EXPECT_FALSE(g.summary().has_value());
    EXPECT_EQ(g.order(), 0);
    EXPECT_FALSE(g.aiGenerated());
    EXPECT_EQ(g.aiRewriteCount(), 0);
    EXPECT_FALSE(g.videoBackgroundHex().has_value());
    EXPECT_TRUE(g.createdAt().isValid());
    EXPECT_LE(g.createdAt(), g.updatedAt());
    EXPECT_TRUE(g.orderedSteps().isEmpty());
}

TEST(GuideTest, PublishStatusRawValues)
{
    EXPECT_EQ(Guide::publishStatusFromRaw("review"), Guide::PublishStatus::Review);
    EXPECT_EQ(Guide::publishStatusFromRaw("private"), Guide::PublishStatus::Private);
    EXPECT_FALSE(Guide::publishStatusFromRaw("Draft").has_value());
    Guide g;
    g.setPublishStatusRaw("archived");
    EXPECT_EQ(g.publishStatus(), Guide::PublishStatus::Draft);
    g.setPublishStatusRaw("published");
    EXPECT_EQ(g.publishStatus(), Guide::PublishStatus::Published);
}

TEST(GuideTest, OrderedStepsSortsStablyAndCopies)
{
    Guide g;
    auto* a = new Step(2);
    auto* b = new Step(0);
    auto* c = new Step(2);
    auto* d = new Step(1);
    for (Step* s : { a, b, c, d }) {
        s->setParent(&g);
        s->setGuide(&g);
    }
    const QList<Step*> ordered = g.orderedSteps();
    ASSERT_EQ(ordered.size(), 4);
    EXPECT_EQ(ordered[0], b);
    EXPECT_EQ(ordered[1], d);
    EXPECT_EQ(ordered[2], a); // tie keeps the relation's order
    EXPECT_EQ(ordered[3], c);
    EXPECT_EQ(g.steps().first(), a); // the relation itself is untouched
}

TEST(GuideTest, RelationKeptOnBothSides)
{
    Guide g1, g2;
    auto step = std::make_unique<Step>();
    step->setGuide(&g1);
    EXPECT_EQ(step->guide(), &g1);
    EXPECT_TRUE(g1.steps().contains(step.get()));
    step->setGuide(&g2);
    EXPECT_FALSE(g1.steps().contains(step.get()));
    EXPECT_TRUE(g2.steps().contains(step.get()));
    step->setGuide(nullptr);
    EXPECT_TRUE(g2.steps().isEmpty());
}

TEST(GuideTest, FieldSignalsOnlyOnRealChange)
{
    Guide g(QStringLiteral("A"));
    int titles = 0, any = 0;
    QObject::connect(&g, &Guide::titleChanged, [&] { ++titles; });
    QObject::connect(&g, &Record::changed, [&] { ++any; });
    g.setTitle("A");
    EXPECT_EQ(titles, 0);
    g.setTitle("B");
    g.setTitle("B");
    EXPECT_EQ(titles, 1);
    EXPECT_EQ(any, 1);
}

struct DisplayLabelCase {
    const char* name;
    std::optional<QString> description;
    std::optional<QString> ocr;
    qint64 order;
    QString expected;
};

class DisplayLabelTest : public ::testing::TestWithParam<DisplayLabelCase> { };

TEST_P(DisplayLabelTest, PicksDescriptionThenLabelThenNumber)
{
    const auto& c = GetParam();
    Step s(c.order);
    s.setUserDescription(c.description);
    s.setOcrLabel(c.ocr);
    EXPECT_EQ(s.displayLabel(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Table, DisplayLabelTest,
    ::testing::Values(DisplayLabelCase { "description", QStringLiteral("Open menu"), QStringLiteral("Click ‘File’"), 0,
                          QStringLiteral("Open menu") },
        DisplayLabelCase {
            "blankDescriptionKept", QStringLiteral("   "), QStringLiteral("x"), 0, QStringLiteral("   ") },
        DisplayLabelCase {
            "emptyDescriptionFallsToLabel", QString(), QStringLiteral("Click ‘OK’"), 0, QStringLiteral("Click ‘OK’") },
        DisplayLabelCase { "bothAbsent", std::nullopt, std::nullopt, 4, QStringLiteral("Step 5") },
        DisplayLabelCase { "bothEmpty", QString(), QString(), 0, QStringLiteral("Step 1") }),
    [](const auto& info) { return std::string(info.param.name); });

namespace {

StepAnnotation sample(StepAnnotation::Kind kind, std::optional<QString> text = std::nullopt)
{
    StepAnnotation a;
    a.id = QUuid::fromString(QStringLiteral("6f1c2a9e-0b7d-4c1e-9a55-3d2e1f0a9b8c"));
    a.kind = kind;
    a.x = 0.25;
    a.y = 0.5;
    a.width = 0.1;
    a.height = 1;
    a.rotation = 0;
    a.text = std::move(text);
    a.colorHex = QStringLiteral("ff3d8a");
    return a;
}

} // namespace

TEST(AnnotationTest, EncodesExactBytesInKeyOrder)
{
    const auto bytes = StepAnnotation::encodeList(
        { sample(StepAnnotation::Kind::Blur), sample(StepAnnotation::Kind::Text, QStringLiteral("a/b \"q\"")) });
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(bytes->toStdString(),
        "[{\"id\":\"6F1C2A9E-0B7D-4C1E-9A55-3D2E1F0A9B8C\",\"kind\":\"blur\",\"x\":0.25,\"y\":0.5,\"width\":0.1,"
        "\"height\":1,\"rotation\":0,\"colorHex\":\"ff3d8a\"},"
        "{\"id\":\"6F1C2A9E-0B7D-4C1E-9A55-3D2E1F0A9B8C\",\"kind\":\"text\",\"x\":0.25,\"y\":0.5,\"width\":0.1,"
        "\"height\":1,\"rotation\":0,\"text\":\"a\\/b \\\"q\\\"\",\"colorHex\":\"ff3d8a\"}]");
}

TEST(AnnotationTest, RoundTripThroughStep)
{
    Step s;
    const QList<StepAnnotation> list
        = { sample(StepAnnotation::Kind::Arrow), sample(StepAnnotation::Kind::Text, QStringLiteral("Größe ✓")) };
    s.setAnnotations(list);
    EXPECT_EQ(s.annotations(), list);
}

TEST(AnnotationTest, EmptyAndAbsent)
{
    Step s;
    EXPECT_TRUE(s.annotations().isEmpty());
    s.setAnnotations({});
    ASSERT_TRUE(s.annotationsData().has_value());
    EXPECT_EQ(*s.annotationsData(), "[]");
    EXPECT_TRUE(s.annotations().isEmpty());
}

TEST(AnnotationTest, NonFiniteNumberStoresNone)
{
    Step s;
    s.setAnnotations({ sample(StepAnnotation::Kind::Blur) });
    auto bad = sample(StepAnnotation::Kind::Highlight);
    bad.x = std::numeric_limits<double>::infinity();
    s.setAnnotations({ sample(StepAnnotation::Kind::Blur), bad });
    EXPECT_FALSE(s.annotationsData().has_value());
    bad.x = std::nan("");
    EXPECT_FALSE(StepAnnotation::encodeList({ bad }).has_value());
}

TEST(AnnotationTest, TextMissingOrNullReadsAbsentAndWritesNoKey)
{
    const QByteArray stored = R"([{"id":"6F1C2A9E-0B7D-4C1E-9A55-3D2E1F0A9B8C","kind":"text","x":0,"y":0,"width":1,)"
                              R"("height":1,"rotation":0,"text":null,"colorHex":"000000","extra":5}])";
    const auto list = StepAnnotation::decodeList(stored);
    ASSERT_EQ(list.size(), 1);
    EXPECT_FALSE(list[0].text.has_value());
    EXPECT_FALSE(StepAnnotation::encodeList(list)->contains("\"text\":"));
}

struct BadJsonCase {
    const char* name;
    const char* json;
};

class AnnotationDecodeFailure : public ::testing::TestWithParam<BadJsonCase> { };

TEST_P(AnnotationDecodeFailure, WholeListEmpty) { EXPECT_TRUE(StepAnnotation::decodeList(GetParam().json).isEmpty()); }

#define GOOD                                                                                                           \
    R"({"id":"6F1C2A9E-0B7D-4C1E-9A55-3D2E1F0A9B8C","kind":"blur","x":0,"y":0,"width":1,"height":1,"rotation":0,"colorHex":"000000"})"
INSTANTIATE_TEST_SUITE_P(Table, AnnotationDecodeFailure,
    ::testing::Values(BadJsonCase { "notJson", "nope" }, BadJsonCase { "notArray", GOOD },
        BadJsonCase { "unknownKindInSecond",
            "[" GOOD
            R"(,{"id":"6F1C2A9E-0B7D-4C1E-9A55-3D2E1F0A9B8C","kind":"circle","x":0,"y":0,"width":1,"height":1,"rotation":0,"colorHex":"000000"}])" },
        BadJsonCase { "missingRotation",
            "[" GOOD
            R"(,{"id":"6F1C2A9E-0B7D-4C1E-9A55-3D2E1F0A9B8C","kind":"blur","x":0,"y":0,"width":1,"height":1,"colorHex":"000000"}])" },
        BadJsonCase { "numberAsString",
            R"([{"id":"6F1C2A9E-0B7D-4C1E-9A55-3D2E1F0A9B8C","kind":"blur","x":"0","y":0,"width":1,"height":1,"rotation":0,"colorHex":"000000"}])" },
        BadJsonCase { "badUuid",
            R"([{"id":"not-a-uuid","kind":"blur","x":0,"y":0,"width":1,"height":1,"rotation":0,"colorHex":"000000"}])" },
        BadJsonCase { "textWrongType",
            R"([{"id":"6F1C2A9E-0B7D-4C1E-9A55-3D2E1F0A9B8C","kind":"text","x":0,"y":0,"width":1,"height":1,"rotation":0,"text":3,"colorHex":"000000"}])" }),
    [](const auto& info) { return std::string(info.param.name); });
#undef GOOD
