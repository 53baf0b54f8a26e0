#include "editor/list/SelectionRules.h"

#include <gtest/gtest.h>

using namespace zova;
using selection::Click;

namespace {

// Six steps with orders 0..5; cases name them by position.
QList<StepKey> sixSteps()
{
    QList<StepKey> keys;
    for (int i = 0; i < 6; ++i)
        keys.append({ QUuid::createUuid(), i });
    return keys;
}

Selection make(const QList<StepKey>& keys, const QList<int>& selected, int focused)
{
    Selection s;
    for (int i : selected)
        s.selected.insert(keys[i].id);
    if (focused >= 0)
        s.focused = keys[focused].id;
    return s;
}

struct ClickCase {
    const char* name;
    QList<int> selectedBefore;
    int focusedBefore; // -1: none
    int clicked;
    Click kind;
    QList<int> selectedAfter;
    int focusedAfter;
};

class ClickTable : public ::testing::TestWithParam<ClickCase> { };

TEST_P(ClickTable, GivesTheSelectionAndFocus)
{
    const ClickCase& c = GetParam();
    const QList<StepKey> keys = sixSteps();
    const Selection after
        = selection::applyClick(make(keys, c.selectedBefore, c.focusedBefore), keys, keys[c.clicked].id, c.kind);
    EXPECT_EQ(after, make(keys, c.selectedAfter, c.focusedAfter));
}

INSTANTIATE_TEST_SUITE_P(Clicks, ClickTable,
    ::testing::Values(ClickCase { "plain_on_nothing_selected", {}, -1, 2, Click::Plain, { 2 }, 2 },
        ClickCase { "plain_in_a_multi_selection_keeps_only_it", { 1, 2, 3 }, 2, 3, Click::Plain, { 3 }, 3 },
        ClickCase { "plain_on_the_focused_step", { 2, 4 }, 2, 2, Click::Plain, { 2 }, 2 },
        ClickCase { "toggle_adds_and_focuses", { 1 }, 1, 4, Click::Toggle, { 1, 4 }, 4 },
        ClickCase { "toggle_removes_an_unfocused_step", { 1, 4 }, 4, 1, Click::Toggle, { 4 }, 4 },
        ClickCase { "toggle_off_the_focused_moves_focus_to_the_first_left_in_order", { 5, 1, 3 }, 3, 3, Click::Toggle,
            { 1, 5 }, 1 },
        ClickCase { "toggle_off_the_focused_of_two", { 2, 4 }, 2, 2, Click::Toggle, { 4 }, 4 },
        ClickCase { "toggle_off_the_only_step", { 2 }, 2, 2, Click::Toggle, {}, -1 },
        ClickCase { "toggle_on_a_focused_unselected_step", {}, 2, 2, Click::Toggle, { 2 }, 2 },
        ClickCase { "toggle_off_while_focus_is_elsewhere", { 3 }, 1, 3, Click::Toggle, {}, 1 },
        ClickCase { "range_down_from_the_focus", { 2 }, 2, 5, Click::Range, { 2, 3, 4, 5 }, 5 },
        ClickCase { "range_measures_from_the_last_click", { 2, 3, 4, 5 }, 5, 1, Click::Range, { 1, 2, 3, 4, 5 }, 1 },
        ClickCase { "range_replaces_an_unrelated_selection", { 0, 5 }, 3, 4, Click::Range, { 3, 4 }, 4 },
        ClickCase { "range_onto_the_focus_itself", { 1, 2 }, 2, 2, Click::Range, { 2 }, 2 },
        ClickCase { "range_without_focus_is_a_plain_click", { 0, 1 }, -1, 3, Click::Range, { 3 }, 3 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ClickRules, RangeFromAFocusThatNoStepHasIsAPlainClick)
{
    const QList<StepKey> keys = sixSteps();
    Selection stale { { keys[1].id }, QUuid::createUuid() };
    EXPECT_EQ(selection::applyClick(stale, keys, keys[4].id, Click::Range), make(keys, { 4 }, 4));
}

TEST(ClickRules, RangeCoversEveryStepWithAnOrderInside)
{
    // Two steps share order 1: both lie in the range.
    const QList<StepKey> keys = { { QUuid::createUuid(), 0 }, { QUuid::createUuid(), 1 }, { QUuid::createUuid(), 1 },
        { QUuid::createUuid(), 3 } };
    const Selection after = selection::applyClick(make(keys, { 0 }, 0), keys, keys[2].id, Click::Range);
    EXPECT_EQ(after, make(keys, { 0, 1, 2 }, 2));
}

TEST(ClickRules, KindFromModifiers)
{
    const struct {
        Qt::KeyboardModifiers modifiers;
        Click kind;
    } cases[] = {
        { Qt::NoModifier, Click::Plain },
        { Qt::ControlModifier, Click::Toggle },
        { Qt::ShiftModifier, Click::Range },
        { Qt::ControlModifier | Qt::ShiftModifier, Click::Toggle },
        { Qt::AltModifier, Click::Plain },
        { Qt::MetaModifier, Click::Plain },
        { Qt::AltModifier | Qt::ShiftModifier, Click::Range },
    };
    for (const auto& c : cases)
        EXPECT_EQ(selection::clickKind(c.modifiers), c.kind) << c.modifiers.toInt();
}

TEST(DeletionFocus, StepBeforeTheFirstDeletedPosition)
{
    const QList<QUuid> five
        = { QUuid::createUuid(), QUuid::createUuid(), QUuid::createUuid(), QUuid::createUuid(), QUuid::createUuid() };
    const struct {
        const char* name;
        QList<int> remaining; // positions in `five`
        int firstDeleted;
        int expected; // position in `five`, -1 for none
    } cases[] = {
        { "middle", { 0, 1, 3, 4 }, 2, 1 },
        { "top", { 1, 2, 3, 4 }, 0, 1 },
        { "first_of_two_apart", { 0, 2, 4 }, 1, 0 },
        { "last", { 0, 1, 2, 3 }, 4, 3 },
        { "tail_past_the_end", { 0, 1 }, 2, 1 },
        { "everything", {}, 0, -1 },
    };
    for (const auto& c : cases) {
        QList<QUuid> remaining;
        for (int i : c.remaining)
            remaining.append(five[i]);
        const std::optional<QUuid> focus = selection::focusAfterDeletion(remaining, c.firstDeleted);
        if (c.expected < 0)
            EXPECT_FALSE(focus) << c.name;
        else
            EXPECT_EQ(focus, five[c.expected]) << c.name;
    }
}

TEST(AppearRules, FocusesTheFirstStepOnlyWhenNothingIsFocused)
{
    const QList<StepKey> keys = sixSteps();
    EXPECT_EQ(selection::onAppear({}, keys), make(keys, { 0 }, 0));
    const Selection kept = make(keys, { 2, 3 }, 3);
    EXPECT_EQ(selection::onAppear(kept, keys), kept);
    EXPECT_EQ(selection::onAppear({}, {}), Selection {});
}

} // namespace
