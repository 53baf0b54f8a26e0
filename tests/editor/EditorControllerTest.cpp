#include "EditorFixture.h"

#include "editor/EditorController.h"
#include "editor/list/StepDragPayload.h"

#include <QSignalSpy>
#include <QTest>

#include <sqlite3.h>

using namespace zova;

namespace {

class EditorControllerTest : public EditorFixture {
protected:
    // The controller of a guide with steps of these orders; steps()[i] has position i.
    void open(const QList<qint64>& orders, bool withFiles = true)
    {
        m_guide = makeGuide(orders, withFiles);
        m_controller = std::make_unique<EditorController>(m_guide, context(), withTestFiles(hooks));
        m_controller->list().appear();
    }
    QList<Step*> steps() const { return m_guide->orderedSteps(); }
    QUuid id(int position) const { return steps()[position]->id(); }
    QSet<QUuid> ids(const QList<int>& positions) const
    {
        QSet<QUuid> out;
        for (int p : positions)
            out.insert(id(p));
        return out;
    }
    // Selects `positions` with `focused` (one of them) focused, by clicks.
    void select(const QList<int>& positions, int focused)
    {
        QList<int> others = positions;
        others.removeAll(focused);
        if (others.isEmpty()) {
            m_controller->list().clickRow(id(focused), selection::Click::Plain);
            return;
        }
        m_controller->list().clickRow(id(others.first()), selection::Click::Plain);
        for (int p : others.mid(1))
            m_controller->list().clickRow(id(p), selection::Click::Toggle);
        m_controller->list().clickRow(id(focused), selection::Click::Toggle);
    }
    QList<qint64> orders() const
    {
        QList<qint64> out;
        for (const Step* s : steps())
            out.append(s->order());
        return out;
    }

    EditorController::Hooks hooks;
    Guide* m_guide = nullptr;
    std::unique_ptr<EditorController> m_controller;
};

TEST_F(EditorControllerTest, AppearFocusesTheSmallestOrderNotTheFirstInTheRelation)
{
    open({ 2, 0, 1 });
    ASSERT_NE(m_controller->focusedStep(), nullptr);
    EXPECT_EQ(m_controller->focusedStep()->order(), 0);
    EXPECT_EQ(m_controller->state().selection.selected, ids({ 0 }));
}

TEST_F(EditorControllerTest, AppearWithoutStepsFocusesNothing)
{
    open({});
    EXPECT_FALSE(m_controller->state().selection.focused);
    EXPECT_EQ(m_controller->focusedStep(), nullptr);
}

struct DeleteCase {
    const char* name;
    QList<int> selected; // positions of 0..4
    int focused;
    QList<int> doomed;
    int focusAfter; // old position, -1 for none
};

class DeleteTable : public EditorControllerTest, public ::testing::WithParamInterface<DeleteCase> { };

TEST_P(DeleteTable, RenumbersFocusesAndRemovesTheFiles)
{
    const DeleteCase& c = GetParam();
    open({ 0, 1, 2, 3, 4 });
    const QList<Step*> before = steps();
    select(c.selected, c.focused);
    ASSERT_EQ(m_controller->state().selection, (Selection { ids(c.selected), id(c.focused) }));
    if (c.selected == c.doomed) {
        // The keyboard and the footer: the alert is about the selection.
        m_controller->list().requestDeleteSelection();
        ASSERT_EQ(m_controller->state().sheets.pendingDelete, ids(c.doomed));
        m_controller->list().confirmDelete();
    } else {
        m_controller->list().performDelete(ids(c.doomed));
    }

    EXPECT_FALSE(m_controller->state().sheets.pendingDelete);
    EXPECT_TRUE(m_controller->state().selection.selected.isEmpty());
    const QList<Step*> after = steps();
    ASSERT_EQ(after.size(), 5 - c.doomed.size());
    for (int i = 0; i < after.size(); ++i)
        EXPECT_EQ(after[i]->order(), i);
    for (int p = 0; p < 5; ++p)
        EXPECT_EQ(fileExists(before[p]->screenshotFilename()), !c.doomed.contains(p)) << "file of position " << p;
    if (c.focusAfter < 0)
        EXPECT_FALSE(m_controller->state().selection.focused);
    else
        EXPECT_EQ(m_controller->state().selection.focused, before[c.focusAfter]->id());
    EXPECT_FALSE(context()->hasChanges());
    EXPECT_EQ(storedOrders().size(), after.size());
}

INSTANTIATE_TEST_SUITE_P(Deletions, DeleteTable,
    ::testing::Values(DeleteCase { "middle", { 2 }, 2, { 2 }, 1 }, DeleteCase { "first", { 0 }, 0, { 0 }, 1 },
        DeleteCase { "last", { 4 }, 4, { 4 }, 3 }, DeleteCase { "three_selected", { 1, 2, 3 }, 2, { 1, 2, 3 }, 0 },
        DeleteCase { "two_apart_while_another_is_focused", { 1, 3, 4 }, 4, { 1, 3 }, 0 },
        DeleteCase { "everything", { 0, 1, 2, 3, 4 }, 2, { 0, 1, 2, 3, 4 }, -1 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditorControllerTest, FocusAfterDeletionCountsPositionsWhenOrdersHaveGaps)
{
    open({ 0, 5, 9, 12 });
    const QUuid before = id(1);
    m_controller->list().performDelete(ids({ 2 }));
    EXPECT_EQ(m_controller->state().selection.focused, before);
    EXPECT_EQ(orders(), (QList<qint64> { 0, 1, 2 }));
}

TEST_F(EditorControllerTest, DeletingWorksWithoutFilesAndWithMissingOnes)
{
    open({ 0, 1, 2 }, false);
    steps()[1]->setScreenshotFilename(QStringLiteral("gone.png"));
    m_controller->list().performDelete(ids({ 0, 1 }));
    ASSERT_EQ(steps().size(), 1);
    EXPECT_EQ(steps()[0]->order(), 0);
}

TEST_F(EditorControllerTest, UnknownIdsChangeNothing)
{
    open({ 0, 1, 2 });
    const Selection before = m_controller->state().selection;
    QSignalSpy saves(context(), &ModelContext::didSave);
    m_controller->list().performDelete({ QUuid::createUuid() });
    EXPECT_EQ(steps().size(), 3);
    EXPECT_EQ(m_controller->state().selection, before);
    EXPECT_EQ(saves.count(), 0);
}

TEST_F(EditorControllerTest, CancelKeepsEverything)
{
    open({ 0, 1, 2 });
    m_controller->list().requestDeleteStep(id(1));
    ASSERT_EQ(m_controller->state().sheets.pendingDelete, ids({ 1 }));
    const Selection before = m_controller->state().selection;
    m_controller->list().cancelDelete();
    EXPECT_FALSE(m_controller->state().sheets.pendingDelete);
    EXPECT_EQ(steps().size(), 3);
    EXPECT_EQ(m_controller->state().selection, before);
    EXPECT_TRUE(fileExists(steps()[1]->screenshotFilename()));
}

TEST_F(EditorControllerTest, DeletingAnEmptySelectionAsksNothing)
{
    open({ 0, 1 });
    m_controller->list().clickRow(id(0), selection::Click::Toggle); // the only selected step, off
    ASSERT_TRUE(m_controller->state().selection.selected.isEmpty());
    m_controller->list().requestDeleteSelection();
    EXPECT_FALSE(m_controller->state().sheets.pendingDelete);
}

TEST_F(EditorControllerTest, ScreenshotsStayUntilTheDeletionIsSaved)
{
    open({ 0, 1, 2 });
    const QString file = steps()[1]->screenshotFilename();
    context()->setBusyTimeout(0);
    // Another connection holds the write lock: the save fails.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(storePath().toUtf8().constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    m_controller->list().performDelete(ids({ 1 }));
    EXPECT_EQ(steps().size(), 2);
    EXPECT_TRUE(fileExists(file)) << "the screenshot went while its step is still in the store";
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    ASSERT_TRUE(context()->save().hasValue());
    EXPECT_FALSE(fileExists(file));
}

TEST_F(EditorControllerTest, StepsDeletedElsewhereLeaveTheSelection)
{
    open({ 0, 1, 2 });
    m_controller->list().clickRow(id(1), selection::Click::Toggle);
    const QUuid gone = id(1);
    context()->remove(steps()[1]);
    EXPECT_EQ(m_controller->selectedCount(), 1);
    ASSERT_TRUE(test::waitUntil([&] { return !m_controller->state().selection.selected.contains(gone); }));
    EXPECT_EQ(m_controller->focusedStep(), steps().first()) << "steps are left, so one of them is focused";
}

TEST_F(EditorControllerTest, MovesWriteOnlyChangedOrdersAndSave)
{
    open({ 0, 2, 7 });
    std::vector<std::unique_ptr<QSignalSpy>> writes;
    for (Step* s : steps())
        writes.push_back(std::make_unique<QSignalSpy>(s, &Step::orderChanged));
    const QUuid first = id(0), second = id(1), third = id(2);
    EXPECT_TRUE(m_controller->list().moveStep(second, 3)); // to the end: 0 stays, 7 becomes 1, 2 stays 2
    EXPECT_EQ(writes[0]->count(), 0);
    EXPECT_EQ(writes[1]->count(), 0);
    EXPECT_EQ(writes[2]->count(), 1);
    EXPECT_EQ(steps()[0]->id(), first);
    EXPECT_EQ(steps()[1]->id(), third);
    EXPECT_EQ(steps()[2]->id(), second);
    EXPECT_EQ(orders(), (QList<qint64> { 0, 1, 2 }));
    EXPECT_FALSE(context()->hasChanges());
    const auto stored = storedOrders();
    EXPECT_EQ(stored.value(second), 2);
    EXPECT_EQ(stored.value(third), 1);
}

TEST_F(EditorControllerTest, RefusedMovesTouchNothing)
{
    open({ 0, 2, 7 });
    QSignalSpy saves(context(), &ModelContext::didSave);
    const struct {
        const char* name;
        QUuid step;
        int gap;
    } cases[] = {
        { "own_gap", id(1), 1 },
        { "gap_below_itself", id(1), 2 },
        { "gap_below_zero", id(1), -1 },
        { "gap_past_the_end", id(0), 4 },
        { "step_of_another_guide", QUuid::createUuid(), 0 },
    };
    for (const auto& c : cases)
        EXPECT_FALSE(m_controller->list().moveStep(c.step, c.gap)) << c.name;
    EXPECT_EQ(orders(), (QList<qint64> { 0, 2, 7 }));
    EXPECT_EQ(saves.count(), 0);
}

TEST_F(EditorControllerTest, MoveToStepLandsAtThePositionWithGappedOrders)
{
    // Orders 0, 5, 9, 12: positions and orders disagree.
    open({ 0, 5, 9, 12 });
    const QUuid last = id(3);
    EXPECT_TRUE(m_controller->list().moveToPosition(last, 1));
    EXPECT_EQ(m_controller->positionOf(last), 1);
    EXPECT_EQ(orders(), (QList<qint64> { 0, 1, 2, 3 }));
    EXPECT_FALSE(m_controller->list().moveToPosition(last, 1));
}

TEST_F(EditorControllerTest, MovesKeepSelectionAndFocus)
{
    open({ 0, 1, 2, 3 });
    m_controller->list().clickRow(id(2), selection::Click::Toggle);
    const Selection before = m_controller->state().selection;
    EXPECT_TRUE(m_controller->list().moveStep(id(2), 0));
    EXPECT_EQ(m_controller->state().selection, before);
}

TEST_F(EditorControllerTest, DropOutcomes)
{
    enum class Payload { Dragged, Foreign, Unreadable };
    const struct {
        const char* name;
        int dragged; // position
        Payload payload;
        std::optional<int> gap;
        bool moved;
    } cases[] = {
        { "onto_gap_zero", 3, Payload::Dragged, 0, true },
        { "onto_its_own_gap", 2, Payload::Dragged, 2, false },
        { "onto_the_gap_below_it", 2, Payload::Dragged, 3, false },
        { "onto_an_edge_strip", 0, Payload::Dragged, std::nullopt, false },
        { "a_step_of_another_guide", 0, Payload::Foreign, 0, false },
        { "an_unreadable_payload", 0, Payload::Unreadable, 0, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_controller.reset();
        open({ 0, 1, 2, 3 });
        const QList<qint64> before = orders();
        const QUuid dragged = id(c.dragged);
        m_controller->list().beginDrag(dragged);
        if (c.gap)
            m_controller->list().enterDropGap(*c.gap);
        else
            m_controller->list().setEdgeHover(ScrollDirection::Down, true);
        const QByteArray payload = c.payload == Payload::Dragged ? step_drag::encode(dragged)
            : c.payload == Payload::Foreign                      ? step_drag::encode(QUuid::createUuid())
                                                                 : QByteArray("{}");
        EXPECT_EQ(m_controller->list().drop(payload, c.gap), c.moved);
        const DragState& drag = m_controller->state().drag;
        EXPECT_FALSE(drag.dragging);
        EXPECT_FALSE(drag.dropGap);
        EXPECT_FALSE(drag.hoverTop || drag.hoverBottom);
        if (c.moved)
            EXPECT_EQ(m_controller->positionOf(dragged), 0);
        else
            EXPECT_EQ(orders(), before);
    }
}

TEST_F(EditorControllerTest, DragTargetsFollowThePointer)
{
    open({ 0, 1, 2, 3, 4 });
    m_controller->list().beginDrag(id(3));
    EXPECT_EQ(m_controller->state().drag.lastActiveIndex, 3);
    m_controller->list().enterDropGap(3);
    m_controller->list().enterDropGap(4);
    m_controller->list().leaveDropGap(3); // the late leave of the gap before
    EXPECT_EQ(m_controller->state().drag.dropGap, 4);
    EXPECT_EQ(m_controller->state().drag.lastActiveIndex, 4);
    m_controller->list().leaveDropGap(4);
    EXPECT_FALSE(m_controller->state().drag.dropGap);
    EXPECT_EQ(m_controller->state().drag.lastActiveIndex, 4);
    m_controller->list().beginDrag(QUuid::createUuid());
    EXPECT_EQ(m_controller->state().drag.lastActiveIndex, 4);
    m_controller->list().endDrag();
    EXPECT_EQ(m_controller->state().drag.lastActiveIndex, 4);
    EXPECT_FALSE(m_controller->state().drag.dragging);
}

TEST_F(EditorControllerTest, AutoScrollMovesOneGapPerTickAndStopsAtTheEnds)
{
    open({ 0, 1, 2, 3, 4 });
    QSignalSpy scrolls(m_controller.get(), &EditorController::autoScrollRequested);
    m_controller->list().beginDrag(id(4)); // lastActiveIndex 4
    m_controller->list().setEdgeHover(ScrollDirection::Down, true);
    ASSERT_EQ(scrolls.count(), 1);
    EXPECT_EQ(scrolls.takeFirst().at(0).toInt(), 5);
    m_controller->list().autoScrollTick();
    EXPECT_EQ(scrolls.count(), 0) << "scrolled past the last gap";
    m_controller->list().setEdgeHover(ScrollDirection::Down, false);
    m_controller->list().setEdgeHover(ScrollDirection::Up, true);
    for (int i = 0; i < 7; ++i)
        m_controller->list().autoScrollTick();
    QList<int> gaps;
    for (const QList<QVariant>& args : scrolls)
        gaps.append(args.at(0).toInt());
    EXPECT_EQ(gaps, (QList<int> { 4, 3, 2, 1, 0 }));
    EXPECT_EQ(m_controller->state().drag.lastActiveIndex, 0);
    m_controller->list().endDrag();
    EXPECT_FALSE(m_controller->list().autoScrolling());
}

TEST_F(EditorControllerTest, AQuickLeaveAndReenterKeepsOneTimer)
{
    open({ 0, 1, 2, 3, 4, 5, 6, 7 });
    QSignalSpy scrolls(m_controller.get(), &EditorController::autoScrollRequested);
    m_controller->list().beginDrag(id(0));
    m_controller->list().setEdgeHover(ScrollDirection::Down, true);
    m_controller->list().setEdgeHover(ScrollDirection::Down, false);
    m_controller->list().setEdgeHover(ScrollDirection::Down, true);
    EXPECT_EQ(scrolls.count(), 1) << "the re-enter started a second loop";
    EXPECT_TRUE(m_controller->list().autoScrolling());
    // The timer ends at its first tick without a hovered edge.
    m_controller->list().setEdgeHover(ScrollDirection::Down, false);
    m_controller->list().autoScrollTick();
    EXPECT_FALSE(m_controller->list().autoScrolling());
    EXPECT_EQ(scrolls.count(), 1);
}

TEST_F(EditorControllerTest, EdgeHoverWithoutADragDoesNothing)
{
    open({ 0, 1 });
    m_controller->list().setEdgeHover(ScrollDirection::Up, true);
    EXPECT_FALSE(m_controller->state().drag.hoverTop);
    EXPECT_FALSE(m_controller->list().autoScrolling());
}

TEST_F(EditorControllerTest, TitleCommit)
{
    const struct {
        const char* name;
        QString draft;
        QString title;
        QString draftAfter;
        bool saves;
    } cases[] = {
        { "trimmed", QStringLiteral("  New title \n"), QStringLiteral("New title"), QStringLiteral("  New title \n"),
            true },
        { "only_spaces_restore_the_title", QStringLiteral("   "), QStringLiteral("Original"),
            QStringLiteral("Original"), false },
        { "empty_restores_the_title", QString(), QStringLiteral("Original"), QStringLiteral("Original"), false },
        { "unchanged_saves_nothing", QStringLiteral(" Original "), QStringLiteral("Original"),
            QStringLiteral(" Original "), false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_controller.reset();
        open({ 0 });
        QSignalSpy saves(context(), &ModelContext::didSave);
        m_controller->setTitleDraft(c.draft);
        m_controller->commitTitle();
        EXPECT_EQ(m_guide->title(), c.title);
        EXPECT_EQ(m_controller->state().titleDraft, c.draftAfter);
        EXPECT_EQ(saves.count(), c.saves ? 1 : 0);
    }
}

TEST_F(EditorControllerTest, CloseCommitsTheTypedTitleFirst)
{
    QString titleWhenClosed;
    hooks.close = [&] { titleWhenClosed = m_guide->title(); };
    open({ 0 });
    m_controller->setTitleDraft(QStringLiteral("Typed"));
    m_controller->close();
    EXPECT_EQ(titleWhenClosed, "Typed");
    EXPECT_FALSE(context()->hasChanges());
}

TEST_F(EditorControllerTest, TheDraftFollowsTheStoredTitleUnlessEditing)
{
    open({ 0 });
    m_controller->setTitleDraft(QStringLiteral("typing"));
    m_guide->setTitle(QStringLiteral("Renamed"));
    m_controller->syncTitleDraft(true);
    EXPECT_EQ(m_controller->state().titleDraft, "typing");
    m_controller->syncTitleDraft(false);
    EXPECT_EQ(m_controller->state().titleDraft, "Renamed");
}

TEST_F(EditorControllerTest, ExportPanelOnlyForAGuideWithSteps)
{
    open({});
    m_controller->openExportPanel();
    EXPECT_FALSE(m_controller->state().sheets.exportPanel);
    m_controller.reset();
    open({ 0 });
    QSignalSpy sheets(m_controller.get(), &EditorController::sheetsChanged);
    m_controller->openExportPanel();
    m_controller->openExportPanel();
    EXPECT_TRUE(m_controller->state().sheets.exportPanel);
    EXPECT_EQ(sheets.count(), 1) << "notified without a change";
    m_controller->dismissExportPanel();
    EXPECT_FALSE(m_controller->state().sheets.exportPanel);
}

TEST_F(EditorControllerTest, AppendRecordingGoesThroughTheHook)
{
    Guide* asked = nullptr;
    hooks.appendRecording = [&](Guide* g) { asked = g; };
    open({ 0 });
    m_controller->requestAppendRecording();
    EXPECT_EQ(asked, m_guide);
}

TEST_F(EditorControllerTest, ADeletedGuideIsLetGo)
{
    open({ 0, 1 });
    context()->remove(m_guide);
    EXPECT_EQ(m_controller->guide(), nullptr);
    EXPECT_TRUE(m_controller->orderedSteps().isEmpty());
    EXPECT_FALSE(m_controller->list().moveStep(QUuid::createUuid(), 0));
    m_controller->setTitleDraft(QStringLiteral("x"));
    m_controller->close();
    m_controller->list().performDelete({});
}

TEST_F(EditorControllerTest, FailureAlertsAreIndependent)
{
    open({ 0 });
    m_controller->reportFileError(QStringLiteral("disk full"));
    m_controller->reportAiError(QStringLiteral("model busy"));
    m_controller->clearAiError();
    EXPECT_EQ(m_controller->state().alerts.fileOpError, QStringLiteral("disk full"));
    EXPECT_FALSE(m_controller->state().alerts.aiError);
}

} // namespace
