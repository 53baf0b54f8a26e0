#include "editor/marks/MarkInteraction.h"
#include "annotation/Marks.h"

#include <gtest/gtest.h>

using namespace zova;
using Kind = StepAnnotation::Kind;
using zova::test::mark;

namespace {

// A layer of 400 x 200 units that does what the interaction asks.
struct Host {
    QList<StepAnnotation> marks;
    std::optional<Kind> tool;
    QSizeF size { 400, 200 };
    MarkInteraction ui;
    int writes = 0;
    bool layerFocused = false;
    bool editorFocused = false;

    MarkInteraction::Scene scene() const { return { marks, size, tool }; }
    void apply(const MarkInteraction::Outcome& o)
    {
        if (o.marks) {
            marks = *o.marks;
            ++writes;
        }
        if (o.switchToolOff)
            tool.reset();
        layerFocused |= o.focusLayer;
        editorFocused |= o.focusLabelEditor;
    }
    void drag(QPointF from, QPointF to, int steps = 5)
    {
        apply(ui.press(from, scene()));
        for (int i = 1; i <= steps; ++i)
            apply(ui.drag(from + (to - from) * i / steps, scene()));
        apply(ui.release(to, scene()));
    }
    void click(QPointF at) { drag(at, at, 0); }
    // The centre of a mark in layer units.
    QPointF centreOf(int i) const
    {
        const StepAnnotation& a = marks.at(i);
        return { (a.x + a.width / 2) * size.width(), (a.y + a.height / 2) * size.height() };
    }
    void expectRect(int i, const QRectF& r, const char* name) const
    {
        ASSERT_LT(i, marks.size()) << name;
        const StepAnnotation& a = marks.at(i);
        EXPECT_NEAR(a.x, r.x(), 1e-9) << name;
        EXPECT_NEAR(a.y, r.y(), 1e-9) << name;
        EXPECT_NEAR(a.width, r.width(), 1e-9) << name;
        EXPECT_NEAR(a.height, r.height(), 1e-9) << name;
    }
};

} // namespace

TEST(MarkInteractionTest, EachToolDrawsOneMarkAndSwitchesItselfOff)
{
    for (Kind kind : { Kind::Blur, Kind::Arrow, Kind::Highlight, Kind::Text }) {
        SCOPED_TRACE(StepAnnotation::rawValue(kind).toStdString());
        Host h;
        h.tool = kind;
        h.drag({ 40, 20 }, { 240, 120 });
        ASSERT_EQ(h.marks.size(), 1);
        h.expectRect(0, QRectF(0.1, 0.1, 0.5, 0.5), "drawn");
        const StepAnnotation& a = h.marks.first();
        EXPECT_EQ(a.kind, kind);
        EXPECT_EQ(a.rotation, 0);
        EXPECT_EQ(a.colorHex, QStringLiteral("ff3d8a"));
        EXPECT_EQ(a.text, kind == Kind::Text ? std::optional(QStringLiteral("Label")) : std::nullopt);
        EXPECT_FALSE(h.tool) << "the tool switches itself off";
        EXPECT_EQ(h.ui.selected(), a.id) << "the new mark is selected";
        EXPECT_TRUE(h.layerFocused);
        EXPECT_FALSE(h.ui.draft());
        // A new text mark goes straight to editing its label.
        EXPECT_EQ(h.ui.editing(), kind == Kind::Text ? std::optional(a.id) : std::nullopt);
        EXPECT_EQ(h.editorFocused, kind == Kind::Text);
        EXPECT_EQ(h.ui.editingBuffer(), kind == Kind::Text ? QStringLiteral("Label") : QString());
    }
}

TEST(MarkInteractionTest, ADraftFollowsTheDragAndKeepsOnlyItsRectangle)
{
    Host h;
    h.tool = Kind::Arrow;
    // Drawn from the bottom right to the top left, past the layer's edge.
    h.apply(h.ui.press({ 300, 150 }, h.scene()));
    h.apply(h.ui.drag({ 200, 100 }, h.scene()));
    ASSERT_TRUE(h.ui.draft());
    EXPECT_EQ(h.ui.draft()->preview().x, 0.5);
    EXPECT_EQ(h.writes, 0) << "a draft is not stored";
    h.apply(h.ui.drag({ -50, -50 }, h.scene()));
    const StepAnnotation preview = h.ui.draft()->preview();
    EXPECT_EQ(QRectF(preview.x, preview.y, preview.width, preview.height), QRectF(0, 0, 0.75, 0.75))
        << "clamped to the layer";
    h.apply(h.ui.release({ -50, -50 }, h.scene()));
    h.expectRect(0, QRectF(0, 0, 0.75, 0.75), "an arrow always runs to the bottom right");
}

TEST(MarkInteractionTest, ClicksAndTinyDragsDrawNothing)
{
    struct Row {
        const char* name;
        QPointF from, to;
        bool toolStays;
    };
    const QList<Row> rows = {
        { "a click keeps the tool", { 100, 100 }, { 100, 100 }, true },
        { "under 4 units keeps the tool", { 100, 100 }, { 102.5, 102.5 }, true },
        { "flat: nothing drawn, the tool used up", { 100, 100 }, { 300, 100.8 }, false },
        { "a perfectly vertical arrow", { 100, 20 }, { 100, 180 }, false },
        { "0.005 is not more than 0.005", { 0, 100 }, { 2, 160 }, false },
    };
    for (const Row& row : rows) {
        Host h;
        h.tool = Kind::Arrow;
        h.drag(row.from, row.to);
        EXPECT_TRUE(h.marks.isEmpty()) << row.name;
        EXPECT_EQ(h.writes, 0) << row.name;
        EXPECT_EQ(h.tool.has_value(), row.toolStays) << row.name;
        EXPECT_FALSE(h.ui.draft()) << row.name;
    }
}

TEST(MarkInteractionTest, ClickingSelectsAndASecondClickOpensALabel)
{
    Host h;
    h.marks = { mark(Kind::Highlight, { 0.1, 0.1, 0.3, 0.3 }),
        mark(Kind::Text, { 0.6, 0.6, 0.2, 0.2 }, "2040ff", QStringLiteral("Save")) };
    h.click(h.centreOf(0));
    EXPECT_EQ(h.ui.selected(), h.marks[0].id);
    EXPECT_TRUE(h.layerFocused);
    h.click(h.centreOf(0));
    EXPECT_FALSE(h.ui.editing()) << "only a text mark opens an editor";

    h.click(h.centreOf(1));
    EXPECT_EQ(h.ui.selected(), h.marks[1].id);
    EXPECT_FALSE(h.ui.editing()) << "the first click on a label selects it";
    h.click(h.centreOf(1));
    EXPECT_EQ(h.ui.editing(), h.marks[1].id);
    EXPECT_EQ(h.ui.editingBuffer(), QStringLiteral("Save"));
    EXPECT_TRUE(h.editorFocused);

    // While editing, a click on the empty layer only ends the editing.
    h.ui.setEditingBuffer(QStringLiteral("Save all"));
    h.click({ 390, 10 });
    EXPECT_FALSE(h.ui.editing());
    EXPECT_EQ(h.marks[1].text, QStringLiteral("Save all"));
    EXPECT_EQ(h.ui.selected(), h.marks[1].id);
    // Without a label being edited it clears the selection, and writes nothing.
    const int writes = h.writes;
    h.click({ 390, 10 });
    EXPECT_FALSE(h.ui.selected());
    EXPECT_EQ(h.writes, writes);

    // With a tool active, a click on a mark does not select it.
    h.tool = Kind::Blur;
    h.click(h.centreOf(0));
    EXPECT_FALSE(h.ui.selected());
    EXPECT_TRUE(h.tool);
}

TEST(MarkInteractionTest, DraggingMovesAMarkAndKeepsItInside)
{
    struct Row {
        const char* name;
        QRectF mark;
        QPointF by; // layer units
        QPointF origin;
    };
    const QList<Row> rows = {
        { "inside", { 0.1, 0.1, 0.2, 0.2 }, { 40, 20 }, { 0.2, 0.2 } },
        { "beyond the right edge: stops at it", { 0.5, 0.5, 0.3, 0.2 }, { 400, 0 }, { 0.7, 0.5 } },
        { "beyond the top left", { 0.2, 0.2, 0.2, 0.2 }, { -300, -300 }, { 0, 0 } },
        { "wider than the screenshot: pinned at 0", { 0.1, 0.1, 1.2, 0.2 }, { 100, 0 }, { 0, 0.1 } },
    };
    for (const Row& row : rows) {
        Host h;
        h.marks = { mark(Kind::Arrow, row.mark) };
        h.marks[0].rotation = 0.5;
        const QPointF from = h.centreOf(0);
        h.apply(h.ui.press(from, h.scene()));
        h.apply(h.ui.drag(from + row.by, h.scene()));
        ASSERT_TRUE(h.ui.move()) << row.name;
        EXPECT_EQ(h.ui.move()->offset, row.by) << row.name;
        EXPECT_EQ(h.ui.selected(), h.marks[0].id) << "the dragged mark is selected, " << row.name;
        EXPECT_EQ(h.writes, 0) << "nothing is stored during the drag, " << row.name;
        const StepAnnotation live = h.ui.shown(h.marks, h.size).first();
        EXPECT_NEAR(live.x, row.mark.x() + row.by.x() / 400, 1e-9) << "drawn where the pointer is, " << row.name;
        h.apply(h.ui.release(from + row.by, h.scene()));
        EXPECT_FALSE(h.ui.move());
        EXPECT_NEAR(h.marks[0].x, row.origin.x(), 1e-9) << row.name;
        EXPECT_NEAR(h.marks[0].y, row.origin.y(), 1e-9) << row.name;
        EXPECT_EQ(h.marks[0].width, row.mark.width()) << row.name;
        EXPECT_EQ(h.marks[0].rotation, 0.5) << "carried over, " << row.name;
    }

    // Under 2 units it is a click, not a move.
    Host h;
    h.marks = { mark(Kind::Highlight, { 0.1, 0.1, 0.2, 0.2 }) };
    h.drag(h.centreOf(0), h.centreOf(0) + QPointF(1, 1));
    EXPECT_EQ(h.writes, 0);
    EXPECT_EQ(h.ui.selected(), h.marks[0].id);
}

TEST(MarkInteractionTest, AMarkGoneDuringADragOrAnEditIsLeftAlone)
{
    Host h;
    h.marks = { mark(Kind::Highlight, { 0.1, 0.1, 0.2, 0.2 }), mark(Kind::Text, { 0.5, 0.5, 0.2, 0.2 }) };
    h.apply(h.ui.press(h.centreOf(0), h.scene()));
    h.apply(h.ui.drag(h.centreOf(0) + QPointF(30, 0), h.scene()));
    h.marks.removeFirst(); // deleted elsewhere meanwhile
    h.apply(h.ui.release(QPointF(100, 40), h.scene()));
    EXPECT_EQ(h.writes, 0);
    EXPECT_FALSE(h.ui.move());

    h.apply(h.ui.beginEditingText(h.marks[0]));
    h.ui.setEditingBuffer(QStringLiteral("typed"));
    h.marks.clear();
    h.apply(h.ui.exitEditingText(h.marks));
    EXPECT_EQ(h.writes, 0);
    EXPECT_FALSE(h.ui.editing());
    EXPECT_TRUE(h.ui.editingBuffer().isEmpty());
}

TEST(MarkInteractionTest, DeletingRemovesOnlyTheSelectedMark)
{
    Host h;
    const StepAnnotation a = mark(Kind::Blur, { 0.1, 0.1, 0.2, 0.2 }), b = mark(Kind::Text, { 0.5, 0.5, 0.2, 0.2 }),
                         c = mark(Kind::Arrow, { 0.3, 0.6, 0.2, 0.2 });
    h.marks = { a, b, c };
    h.apply(h.ui.deleteSelected(h.marks));
    EXPECT_EQ(h.writes, 0) << "nothing selected: nothing written";
    EXPECT_EQ(h.marks.size(), 3);

    // Deleting the label being edited ends the editing too.
    h.apply(h.ui.beginEditingText(b));
    h.apply(h.ui.deleteSelected(h.marks));
    EXPECT_EQ(h.marks, (QList<StepAnnotation> { a, c })) << "the others keep their order";
    EXPECT_FALSE(h.ui.selected());
    EXPECT_FALSE(h.ui.editing());

    // A selected mark deleted elsewhere: nothing to write.
    h.click(h.centreOf(1));
    ASSERT_EQ(h.ui.selected(), c.id);
    h.marks.removeLast();
    const int writes = h.writes;
    h.apply(h.ui.deleteSelected(h.marks));
    EXPECT_EQ(h.writes, writes);
}

TEST(MarkInteractionTest, LabelsKeepWhatWasTypedHoweverTheEditingEnds)
{
    struct Row {
        const char* name;
        std::optional<QString> before;
        QString typed;
        std::optional<QString> after;
    };
    const QList<Row> rows = {
        { "typed text is kept (Escape commits like Return)", QStringLiteral("Label"), QStringLiteral("Open the menu"),
            QStringLiteral("Open the menu") },
        { "cleared: an empty text, shown as Label", QStringLiteral("Label"), QString(), QString() },
        { "a mark without text starts empty", std::nullopt, QStringLiteral("x"), QStringLiteral("x") },
    };
    for (const Row& row : rows) {
        Host h;
        h.marks = { mark(Kind::Text, { 0.2, 0.2, 0.2, 0.1 }, "2040ff", row.before) };
        h.apply(h.ui.beginEditingText(h.marks[0]));
        EXPECT_EQ(h.ui.editingBuffer(), row.before.value_or(QString())) << row.name;
        h.ui.setEditingBuffer(row.typed);
        EXPECT_EQ(h.ui.shown(h.marks, h.size)[0].text, row.typed) << "drawn as typed, " << row.name;
        EXPECT_EQ(h.marks[0].text, row.before) << "stored only at the end, " << row.name;
        h.apply(h.ui.exitEditingText(h.marks));
        EXPECT_EQ(h.marks[0].text, row.after) << row.name;
        EXPECT_FALSE(h.ui.editing()) << row.name;
        h.apply(h.ui.exitEditingText(h.marks));
        EXPECT_LE(h.writes, 1) << "a second end does nothing, " << row.name;
    }
    Host h;
    h.marks = { mark(Kind::Arrow, { 0.2, 0.2, 0.2, 0.1 }) };
    h.apply(h.ui.beginEditingText(h.marks[0]));
    EXPECT_FALSE(h.ui.editing()) << "only text marks have labels";
}
