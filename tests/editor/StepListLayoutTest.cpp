#include "editor/list/StepListLayout.h"
#include "editor/list/StepDragPayload.h"

#include <gtest/gtest.h>

using namespace zova;

namespace {

// Rows 50, 80 and 50 tall: gaps at 0, 62, 154 and 216; rows at 9, 71 and 163.
const step_list::Layout threeRows = step_list::layout({ 50, 80, 50 });

TEST(ListLayout, GapsAndRowsInTheirPlaces)
{
    EXPECT_EQ(threeRows.gapTops, (QList<int> { 0, 62, 154, 216 }));
    EXPECT_EQ(threeRows.rowTops, (QList<int> { 9, 71, 163 }));
    EXPECT_EQ(threeRows.height, 216 + 6 + 12);
    EXPECT_EQ(step_list::layout({}).gapTops, QList<int> { 0 });
}

TEST(ListLayout, GapUnderThePointer)
{
    const struct {
        const char* name;
        int y;
        std::optional<int> dragged;
        std::optional<int> gap;
    } cases[] = {
        { "above_everything", -5, std::nullopt, 0 },
        { "in_the_first_gap", 3, std::nullopt, 0 },
        { "upper_half_of_the_first_row", 10, std::nullopt, 0 },
        { "lower_half_of_the_first_row", 40, std::nullopt, 1 },
        { "padding_below_the_first_row", 60, std::nullopt, 1 },
        { "second_gap", 64, std::nullopt, 1 },
        { "upper_half_of_the_second_row", 100, std::nullopt, 1 },
        { "lower_half_of_the_second_row", 120, std::nullopt, 2 },
        { "lower_half_of_the_last_row", 200, std::nullopt, 3 },
        { "below_everything", 230, std::nullopt, 3 },
        { "over_the_dragged_row", 100, 1, std::nullopt },
        { "in_the_gap_above_the_dragged_row", 64, 1, 1 },
        { "over_a_row_beside_the_dragged_one", 120, 0, 2 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(step_list::gapAt(threeRows, c.y, c.dragged), c.gap) << c.name;
}

TEST(ListLayout, EdgeStrips)
{
    const struct {
        int y;
        bool canScrollUp;
        bool canScrollDown;
        std::optional<ScrollDirection> zone;
    } cases[] = { { -1, true, true, std::nullopt }, { 0, true, true, ScrollDirection::Up },
        { 49, true, true, ScrollDirection::Up }, { 50, true, true, std::nullopt }, { 349, true, true, std::nullopt },
        { 350, true, true, ScrollDirection::Down }, { 399, true, true, ScrollDirection::Down },
        { 400, true, true, std::nullopt },
        // At the top of the list the first gap under the upper strip stays a target; likewise at the end.
        { 10, false, true, std::nullopt }, { 390, true, false, std::nullopt },
        { 390, false, true, ScrollDirection::Down } };
    for (const auto& c : cases)
        EXPECT_EQ(step_list::edgeZoneAt(c.y, 400, c.canScrollUp, c.canScrollDown), c.zone)
            << c.y << " " << c.canScrollUp << c.canScrollDown;
}

TEST(ListLayout, AutoScrollTicks)
{
    using D = ScrollDirection;
    const struct {
        const char* name;
        D direction;
        int last;
        int count;
        std::optional<int> next;
    } cases[] = {
        { "down_one_gap", D::Down, 3, 5, 4 },
        { "down_onto_the_last_gap", D::Down, 4, 5, 5 },
        { "down_stays_at_the_last_gap", D::Down, 5, 5, std::nullopt },
        { "up_one_gap", D::Up, 1, 5, 0 },
        { "up_stays_at_the_first_gap", D::Up, 0, 5, std::nullopt },
        { "no_steps_never_scrolls", D::Down, 0, 0, std::nullopt },
        { "a_stale_index_comes_back_in_range", D::Up, 9, 5, 5 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(step_list::autoScrollNext(c.direction, c.last, c.count), c.next) << c.name;
}

TEST(ListLayout, ScrollOffsetShowsTheGapAtTheEdge)
{
    EXPECT_EQ(step_list::scrollOffsetFor(threeRows, 2, ScrollDirection::Up, 100, 134), 134); // clamped
    EXPECT_EQ(step_list::scrollOffsetFor(threeRows, 1, ScrollDirection::Up, 100, 134), 62);
    EXPECT_EQ(step_list::scrollOffsetFor(threeRows, 2, ScrollDirection::Down, 100, 134), 154 + 6 - 100);
    EXPECT_EQ(step_list::scrollOffsetFor(threeRows, 0, ScrollDirection::Down, 100, 134), 0);
}

TEST(DragPayload, ExactBytes)
{
    const QUuid id = QUuid::fromString(QStringLiteral("0f8fad5b-d9cb-469f-a165-70867728950e"));
    EXPECT_EQ(step_drag::encode(id), QByteArray(R"({"stepID":"0F8FAD5B-D9CB-469F-A165-70867728950E"})"));
    EXPECT_EQ(step_drag::decode(step_drag::encode(id)), id);
}

TEST(DragPayload, DecodesOnlyAStepId)
{
    const QUuid id = QUuid::fromString(QStringLiteral("0f8fad5b-d9cb-469f-a165-70867728950e"));
    const struct {
        const char* name;
        QByteArray bytes;
        std::optional<QUuid> id;
    } cases[] = {
        { "upper_case", R"({"stepID":"0F8FAD5B-D9CB-469F-A165-70867728950E"})", id },
        { "lower_case", R"({"stepID":"0f8fad5b-d9cb-469f-a165-70867728950e"})", id },
        { "another_key_beside_it", R"({"stepID":"0F8FAD5B-D9CB-469F-A165-70867728950E","x":1})", id },
        { "braces", R"({"stepID":"{0F8FAD5B-D9CB-469F-A165-70867728950E}"})", std::nullopt },
        { "not_a_uuid", R"({"stepID":"step-1"})", std::nullopt },
        { "a_number", R"({"stepID":7})", std::nullopt },
        { "missing_key", R"({"stepId":"0F8FAD5B-D9CB-469F-A165-70867728950E"})", std::nullopt },
        { "an_array", R"(["0F8FAD5B-D9CB-469F-A165-70867728950E"])", std::nullopt },
        { "not_json", "0F8FAD5B-D9CB-469F-A165-70867728950E", std::nullopt },
        { "empty", "", std::nullopt },
    };
    for (const auto& c : cases)
        EXPECT_EQ(step_drag::decode(c.bytes), c.id) << c.name;
}

} // namespace
