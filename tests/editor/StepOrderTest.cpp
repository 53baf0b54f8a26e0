#include "editor/list/StepOrder.h"
#include "editor/EditorTexts.h"

#include <gtest/gtest.h>

using namespace zova;
using step_order::Write;

namespace {

struct MoveCase {
    const char* name;
    QList<qint64> orders;
    int from;
    int gap;
    std::optional<QList<int>> sequence; // none: refused
    QList<Write> writes;
};

class MoveTable : public ::testing::TestWithParam<MoveCase> { };

TEST_P(MoveTable, PlansTheSequenceAndOnlyTheChangedWrites)
{
    const MoveCase& c = GetParam();
    const std::optional<step_order::Move> move = step_order::planMove(c.orders, c.from, c.gap);
    ASSERT_EQ(move.has_value(), c.sequence.has_value());
    if (!move)
        return;
    EXPECT_EQ(move->sequence, *c.sequence);
    EXPECT_EQ(move->writes, c.writes);
}

INSTANTIATE_TEST_SUITE_P(Moves, MoveTable,
    ::testing::Values(MoveCase { "own_gap_is_a_no_op", { 0, 1, 2, 3, 4 }, 2, 2, std::nullopt, {} },
        MoveCase { "gap_below_itself_is_a_no_op", { 0, 1, 2, 3, 4 }, 2, 3, std::nullopt, {} },
        MoveCase {
            "to_the_top", { 0, 1, 2, 3, 4 }, 2, 0, QList<int> { 2, 0, 1, 3, 4 }, { { 2, 0 }, { 0, 1 }, { 1, 2 } } },
        MoveCase {
            "to_the_end", { 0, 1, 2, 3, 4 }, 2, 5, QList<int> { 0, 1, 3, 4, 2 }, { { 3, 2 }, { 4, 3 }, { 2, 4 } } },
        MoveCase { "first_onto_the_second_rows_lower_half_swaps", { 0, 1, 2, 3, 4 }, 0, 2, QList<int> { 1, 0, 2, 3, 4 },
            { { 1, 0 }, { 0, 1 } } },
        MoveCase { "last_to_the_top", { 0, 1, 2, 3 }, 3, 0, QList<int> { 3, 0, 1, 2 },
            { { 3, 0 }, { 0, 1 }, { 1, 2 }, { 2, 3 } } },
        MoveCase { "gapped_orders_become_dense", { 0, 2, 7 }, 2, 0, QList<int> { 2, 0, 1 }, { { 2, 0 }, { 0, 1 } } },
        MoveCase { "gapped_orders_keep_a_step_already_right", { 0, 2, 7 }, 1, 3, QList<int> { 0, 2, 1 }, { { 2, 1 } } },
        MoveCase { "gapped_no_op_writes_nothing", { 0, 2, 7 }, 1, 1, std::nullopt, {} },
        MoveCase { "duplicate_orders", { 0, 1, 1, 2 }, 3, 0, QList<int> { 3, 0, 1, 2 },
            { { 3, 0 }, { 0, 1 }, { 1, 2 }, { 2, 3 } } },
        MoveCase { "duplicate_orders_that_land_right_are_not_written", { 0, 0, 1 }, 0, 3, QList<int> { 1, 2, 0 },
            { { 0, 2 } } },
        MoveCase { "gap_below_zero", { 0, 1, 2 }, 1, -1, std::nullopt, {} },
        MoveCase { "gap_past_the_end", { 0, 1, 2 }, 0, 4, std::nullopt, {} },
        MoveCase { "unknown_step", { 0, 1, 2 }, -1, 0, std::nullopt, {} },
        MoveCase { "step_past_the_end", { 0, 1, 2 }, 3, 0, std::nullopt, {} },
        MoveCase { "empty_list", {}, 0, 0, std::nullopt, {} }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Densify, WritesOnlyTheStepsOffTheirNumber)
{
    EXPECT_EQ(step_order::densify({ 0, 1, 2 }), QList<Write> {});
    EXPECT_EQ(step_order::densify({ 0, 2, 7 }), (QList<Write> { { 1, 1 }, { 2, 2 } }));
    EXPECT_EQ(step_order::densify({ 1, 1 }), (QList<Write> { { 0, 0 } }));
    EXPECT_EQ(step_order::densify({}), QList<Write> {});
}

TEST(MoveToStep, EntriesByRowPosition)
{
    using editor_texts::MoveEntry;
    // Four steps: the first row's last entry goes below the end, the last row's first to the top.
    EXPECT_EQ(editor_texts::moveToStepEntries(0, 4),
        (QList<MoveEntry> {
            { "Step 1", false, 0 }, { "Step 2", true, 2 }, { "Step 3", true, 3 }, { "Step 4", true, 4 } }));
    EXPECT_EQ(editor_texts::moveToStepEntries(3, 4),
        (QList<MoveEntry> {
            { "Step 1", true, 0 }, { "Step 2", true, 1 }, { "Step 3", true, 2 }, { "Step 4", false, 3 } }));
    EXPECT_EQ(editor_texts::moveToStepEntries(1, 3),
        (QList<MoveEntry> { { "Step 1", true, 0 }, { "Step 2", false, 1 }, { "Step 3", true, 3 } }));
    // Every enabled entry lands the step at its position.
    for (int from = 0; from < 4; ++from) {
        const QList<MoveEntry> entries = editor_texts::moveToStepEntries(from, 4);
        for (int to = 0; to < 4; ++to) {
            if (!entries[to].enabled)
                continue;
            const auto move = step_order::planMove({ 0, 1, 2, 3 }, from, entries[to].gap);
            ASSERT_TRUE(move) << from << "->" << to;
            EXPECT_EQ(move->sequence.indexOf(from), to) << from << "->" << to;
        }
    }
}

TEST(EditorTexts, CountsAndAlert)
{
    EXPECT_EQ(editor_texts::stepCount(0), "0 steps");
    EXPECT_EQ(editor_texts::stepCount(1), "1 step");
    EXPECT_EQ(editor_texts::stepCount(2), "2 steps");
    EXPECT_EQ(editor_texts::stepCount(12), "12 steps");
    EXPECT_EQ(editor_texts::selectionFooter(1), "1 selected · Delete");
    EXPECT_EQ(editor_texts::selectionFooter(2), "2 selected · Delete");
    EXPECT_EQ(editor_texts::deleteAlertTitle(1), "Delete 1 step?");
    EXPECT_EQ(editor_texts::deleteAlertTitle(3), "Delete 3 steps?");
    EXPECT_EQ(
        editor_texts::deleteAlertMessage(1), "This will remove the step and their screenshot. This can't be undone.");
    EXPECT_EQ(
        editor_texts::deleteAlertMessage(2), "This will remove the steps and their screenshots. This can't be undone.");
}

} // namespace
