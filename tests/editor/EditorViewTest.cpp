#include "EditorFixture.h"
#include "export/PanelFakes.h"
#include "model/Settings.h"

#include "editor/GuideEditorView.h"
#include "editor/canvas/CanvasColumn.h"
#include "editor/list/StepDragPayload.h"
#include "editor/list/StepListView.h"
#include "editor/list/StepRowMenu.h"
#include "editor/list/StepRowPainter.h"
#include "editor/list/StepsSidebar.h"
#include "export/panel/ExportPanel.h"
#include "model/ScreenshotCache.h"
#include "style/CloseButton.h"
#include "style/ConfirmDialog.h"
#include "style/PillButton.h"
#include "style/SheetTransition.h"
#include "style/TextLine.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

using namespace zova;

namespace {

class EditorViewTest : public EditorFixture {
protected:
    void open(const QList<qint64>& orders)
    {
        m_guide = makeGuide(orders);
        EditorController::Hooks hooks;
        hooks.close = [this] {
            ++m_closed;
            m_titleAtClose = m_guide->title();
        };
        GuideEditorView::Dependencies deps;
        deps.thumbnails = &m_thumbnails;
        deps.storage = &zova::test::storage();
        deps.makeExportPanel = [this](Guide* guide, std::function<void()> onDismiss, QWidget* host) {
            auto exporters = std::make_unique<FakeExporters>();
            m_calls = exporters->calls;
            ExportPanel::Dependencies panelDeps { m_picker, std::move(exporters), {} };
            return new ExportPanel(
                guide, std::move(onDismiss), m_settings, zova::test::storage(), std::move(panelDeps), host);
        };
        m_view = std::make_unique<GuideEditorView>(m_guide, context(), std::move(hooks), std::move(deps));
        ASSERT_TRUE(showActive(m_view.get()));
    }
    EditorController* controller() const { return m_view->controller(); }
    static QAction* entry(QMenu* menu, const QString& title)
    {
        for (QAction* a : menu->actions())
            if (a->text() == title)
                return a;
        ADD_FAILURE() << "no entry " << title.toStdString();
        return new QAction(menu);
    }
    StepListView* list() const { return m_view->sidebar()->list(); }
    QUuid id(int position) const { return m_guide->orderedSteps()[position]->id(); }
    QPoint rowCenter(int position) const { return list()->rowRect(position).center(); }
    void clickRow(int position, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, modifiers, rowCenter(position));
    }

    ScreenshotCache m_thumbnails { zova::test::storage() };
    Settings m_settings;
    std::shared_ptr<FakePicker> m_picker = std::make_shared<FakePicker>();
    std::shared_ptr<QList<FakeExporters::Call>> m_calls;
    Guide* m_guide = nullptr;
    std::unique_ptr<GuideEditorView> m_view;
    int m_closed = 0;
    QString m_titleAtClose;
};

TEST_F(EditorViewTest, ShowsTheStepsInOrderWithTheFirstFocused)
{
    open({ 1, 0, 2 });
    EXPECT_EQ(m_view->sidebar()->countLabel()->text(), "3 steps");
    ASSERT_EQ(list()->rowLayout().count(), 3);
    const QVariantList items = list()->dumpItems();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0].toMap().value("text").toString(), "Step with order 0");
    EXPECT_EQ(items[2].toMap().value("text").toString(), "Step with order 2");
    EXPECT_EQ(controller()->state().selection.focused, id(0));
    EXPECT_EQ(m_view->canvas()->titleLabel()->text(), "Step 1");
    EXPECT_EQ(m_view->sidebar()->titleField()->text(), "Original");
}

TEST_F(EditorViewTest, TheTitleFollowsTheAppearance)
{
    open({ 0 });
    const QPalette before = QApplication::palette();
    QLineEdit* title = m_view->sidebar()->titleField();
    for (const QColor text : { QColor(Qt::white), QColor(20, 20, 20), QColor(Qt::white) }) {
        QPalette palette = before;
        palette.setColor(QPalette::Text, text);
        palette.setColor(QPalette::WindowText, text);
        QApplication::setPalette(palette);
        QCoreApplication::processEvents();
        EXPECT_EQ(title->palette().color(QPalette::Text), text);
        EXPECT_EQ(title->palette().color(QPalette::Base).alpha(), 0) << "the field keeps its clear fill";
    }
    QApplication::setPalette(before);
}

TEST_F(EditorViewTest, ClicksSelectAndTheFooterCounts)
{
    open({ 0, 1, 2, 3 });
    clickRow(2, Qt::ControlModifier);
    EXPECT_EQ(controller()->state().selection.selected, (QSet<QUuid> { id(0), id(2) }));
    EXPECT_EQ(controller()->state().selection.focused, id(2));
    EXPECT_TRUE(m_view->sidebar()->footer()->isVisible());
    EXPECT_EQ(m_view->sidebar()->deleteButton()->text(), "2 selected · Delete");
    EXPECT_EQ(m_view->canvas()->titleLabel()->text(), "Step 3");
    clickRow(3, Qt::ShiftModifier);
    EXPECT_EQ(controller()->state().selection.selected, (QSet<QUuid> { id(2), id(3) }));
    clickRow(1);
    EXPECT_EQ(controller()->state().selection.selected, QSet<QUuid> { id(1) });
    EXPECT_EQ(m_view->sidebar()->deleteButton()->text(), "1 selected · Delete");
    clickRow(1, Qt::ControlModifier);
    EXPECT_FALSE(m_view->sidebar()->footer()->isVisible());
    // Nothing selected, but the guide has steps: the canvas shows the first, not the empty state.
    EXPECT_EQ(m_view->canvas()->titleLabel()->text(), "Step 1");
    EXPECT_EQ(m_view->canvas()->content(), CanvasColumn::Content::Step);
}

TEST_F(EditorViewTest, KeysReachTheDeletionOnlyWhenNoTextFieldHasThem)
{
    const struct {
        const char* name;
        bool focusTitle;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool openExport;
        bool asks;
    } cases[] = {
        { "backspace_in_the_list", false, Qt::Key_Backspace, Qt::NoModifier, false, true },
        { "delete_in_the_list", false, Qt::Key_Delete, Qt::NoModifier, false, true },
        { "backspace_in_the_title_field", true, Qt::Key_Backspace, Qt::NoModifier, false, false },
        { "delete_in_the_title_field", true, Qt::Key_Delete, Qt::NoModifier, false, false },
        { "ctrl_backspace", false, Qt::Key_Backspace, Qt::ControlModifier, false, false },
        { "shift_delete", false, Qt::Key_Delete, Qt::ShiftModifier, false, false },
        { "backspace_under_the_export_panel", false, Qt::Key_Backspace, Qt::NoModifier, true, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_view.reset();
        open({ 0, 1, 2 });
        QLineEdit* title = m_view->sidebar()->titleField();
        if (c.openExport)
            controller()->openExportPanel();
        QWidget* target = c.openExport ? static_cast<QWidget*>(m_view->exportPanel()) : list();
        if (c.focusTitle) {
            title->setFocus();
            title->setCursorPosition(c.key == Qt::Key_Delete ? 0 : int(title->text().size()));
            target = title;
        } else if (!c.openExport) {
            list()->setFocus();
        }
        QTest::keyClick(target, c.key, c.modifiers);
        EXPECT_EQ(controller()->state().sheets.pendingDelete.has_value(), c.asks);
        EXPECT_EQ(m_view->deleteAlert() != nullptr, c.asks);
        if (c.focusTitle) {
            EXPECT_EQ(title->text(), c.key == Qt::Key_Delete ? "riginal" : "Origina") << "the field lost the key";
        }
        EXPECT_EQ(m_guide->steps().size(), 3);
    }
}

TEST_F(EditorViewTest, TheAlertDeletesTheSelection)
{
    open({ 0, 1, 2, 3 });
    clickRow(1, Qt::ControlModifier);
    m_view->sidebar()->deleteButton()->click();
    ConfirmDialog* alert = m_view->deleteAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_TRUE(alert->isVisible());
    EXPECT_EQ(alert->title(), "Delete 2 steps?");
    EXPECT_EQ(alert->windowTitle(), "Delete 2 steps?");
    EXPECT_EQ(alert->message(), "This will remove the steps and their screenshots. This can't be undone.");
    EXPECT_EQ(alert->defaultButton()->text(), "Delete");
    const QUuid kept = id(2);
    QTest::keyClick(alert, Qt::Key_Return);
    ASSERT_TRUE(test::waitUntil([&] { return !m_view->deleteAlert(); }));
    ASSERT_EQ(m_guide->steps().size(), 2);
    EXPECT_EQ(m_guide->orderedSteps()[0]->id(), kept);
    EXPECT_EQ(m_guide->orderedSteps()[0]->order(), 0);
    EXPECT_EQ(m_view->sidebar()->countLabel()->text(), "2 steps");
    EXPECT_FALSE(m_view->sidebar()->footer()->isVisible());
    EXPECT_EQ(list()->rowLayout().count(), 2);
}

TEST_F(EditorViewTest, CancelInTheAlertKeepsTheSteps)
{
    open({ 0, 1 });
    QTest::keyClick(list(), Qt::Key_Backspace);
    ASSERT_NE(m_view->deleteAlert(), nullptr);
    EXPECT_EQ(m_view->deleteAlert()->title(), "Delete 1 step?");
    EXPECT_EQ(
        m_view->deleteAlert()->message(), "This will remove the step and their screenshot. This can't be undone.");
    QTest::keyClick(m_view->deleteAlert(), Qt::Key_Escape);
    ASSERT_TRUE(test::waitUntil([&] { return !m_view->deleteAlert(); }));
    EXPECT_FALSE(controller()->state().sheets.pendingDelete);
    EXPECT_EQ(m_guide->steps().size(), 2);
}

TEST_F(EditorViewTest, RowMenuEntriesAndTheirStates)
{
    open({ 0, 1, 2, 3 });
    std::unique_ptr<QMenu> menu(buildStepRowMenu(controller(), id(3), nullptr));
    QStringList titles;
    for (QAction* a : menu->actions())
        titles << (a->isSeparator() ? QStringLiteral("—") : a->text());
    EXPECT_EQ(titles, (QStringList { "Replace screenshot…", "Crop…", "—", "Move to Step", "—", "Delete step" }));
    QMenu* move = entry(menu.get(), "Move to Step")->menu();
    ASSERT_NE(move, nullptr);
    QStringList entries;
    for (QAction* a : move->actions())
        entries << a->text() + (a->isEnabled() ? "" : " (off)");
    EXPECT_EQ(entries, (QStringList { "Step 1", "Step 2", "Step 3", "Step 4 (off)" }));

    const QUuid last = id(3);
    move->actions()[0]->trigger();
    EXPECT_EQ(controller()->positionOf(last), 0);

    // Deleting from the menu of an unselected row is about that row alone.
    clickRow(2, Qt::ControlModifier);
    std::unique_ptr<QMenu> other(buildStepRowMenu(controller(), id(1), nullptr));
    entry(other.get(), "Delete step")->trigger();
    EXPECT_EQ(controller()->state().sheets.pendingDelete, QSet<QUuid> { id(1) });
}

TEST_F(EditorViewTest, MoveToStepGoesByRowPositionWhenOrdersHaveGaps)
{
    open({ 0, 5, 9, 12 });
    const QUuid last = id(3);
    std::unique_ptr<QMenu> menu(buildStepRowMenu(controller(), last, nullptr));
    QMenu* move = entry(menu.get(), "Move to Step")->menu();
    ASSERT_NE(move, nullptr);
    QList<bool> enabled;
    for (QAction* a : move->actions())
        enabled << a->isEnabled();
    EXPECT_EQ(enabled, (QList<bool> { true, true, true, false }));
    move->actions()[1]->trigger();
    EXPECT_EQ(controller()->positionOf(last), 1);
}

TEST_F(EditorViewTest, DragOverRowHalvesAndDrop)
{
    open({ 0, 1, 2, 3 });
    const QUuid first = id(0), second = id(1);
    QMimeData mime;
    mime.setData(step_drag::mimeType(), step_drag::encode(first));
    ASSERT_TRUE(list()->acceptsPayload(&mime));
    controller()->list().beginDrag(first);
    const QRect row = list()->rowRect(1);
    list()->dragMovedTo(QPoint(row.center().x(), row.top() + row.height() / 4));
    EXPECT_EQ(controller()->state().drag.dropGap, 1);
    list()->dragMovedTo(QPoint(row.center().x(), row.bottom() - row.height() / 4));
    EXPECT_EQ(controller()->state().drag.dropGap, 2);
    EXPECT_TRUE(list()->dropAt(QPoint(row.center().x(), row.bottom() - row.height() / 4), &mime));
    EXPECT_EQ(id(0), second);
    EXPECT_EQ(id(1), first);
    EXPECT_FALSE(controller()->state().drag.dragging);

    QMimeData foreign;
    foreign.setData(QStringLiteral("text/plain"), "hello");
    EXPECT_FALSE(list()->acceptsPayload(&foreign));
}

TEST_F(EditorViewTest, ACancelledDragLeavesNoDragState)
{
    open({ 0, 1, 2 });
    const QUuid dragged = id(2);
    QWidget* viewport = list()->viewport();
    const QPoint start = rowCenter(2);
    std::optional<QUuid> during;
    QObject::connect(controller(), &EditorController::dragChanged, viewport, [&] {
        if (controller()->state().drag.dragging)
            during = controller()->state().drag.dragging;
    });
    // Should the platform run the drag in a loop of its own, give it up with Escape.
    QTimer::singleShot(200, viewport, [&] { QTest::keyClick(viewport, Qt::Key_Escape); });
    QTest::mousePress(viewport, Qt::LeftButton, {}, start);
    const QPoint to = start - QPoint(0, 40);
    QMouseEvent move(QEvent::MouseMove, to, viewport->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    ASSERT_TRUE(test::waitUntil([&] { return during.has_value(); }, 10000)) << "no drag started";
    EXPECT_EQ(during, dragged);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, start - QPoint(0, 40));
    EXPECT_FALSE(controller()->state().drag.dragging) << "the row stays dimmed";
    EXPECT_FALSE(controller()->state().drag.dropGap);
    EXPECT_EQ(controller()->positionOf(dragged), 2);
}

TEST_F(EditorViewTest, AutoScrollShowsTheNextGap)
{
    QList<qint64> orders;
    for (int i = 0; i < 30; ++i)
        orders << i;
    open(orders);
    QScrollBar* bar = list()->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    controller()->list().beginDrag(id(20));
    list()->dragMovedTo(QPoint(100, list()->viewport()->height() - 10));
    EXPECT_TRUE(controller()->state().drag.hoverBottom);
    EXPECT_FALSE(controller()->state().drag.dropGap);
    EXPECT_EQ(controller()->state().drag.lastActiveIndex, 21);
    ASSERT_TRUE(test::waitUntil([&] { return bar->value() > 0; }, 10000));
    list()->dragLeft();
    controller()->list().endDrag();
    EXPECT_FALSE(controller()->list().autoScrolling());
}

TEST_F(EditorViewTest, ExportPanelLiesOverTheEditorUntilDismissed)
{
    open({ 0, 1 });
    PillButton* button = m_view->canvas()->exportButton();
    EXPECT_TRUE(button->isEnabled());
    button->click();
    ExportPanel* panel = m_view->exportPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->geometry(), m_view->rect());
    // It fades in while it scales up from 0.96, and is drawn plainly once in.
    auto* in = qobject_cast<SheetTransition*>(panel->graphicsEffect());
    ASSERT_NE(in, nullptr);
    in->animation()->pause();
    in->animation()->setCurrentTime(0);
    EXPECT_EQ(in->opacity(), 0);
    EXPECT_EQ(in->scale(), SheetTransition::startScale);
    in->animation()->resume();
    EXPECT_TRUE(test::waitUntil([&] { return !panel->graphicsEffect(); }, 10000));
    QPointer<ExportPanel> leaving(panel);
    panel->closeButton()->click();
    EXPECT_FALSE(controller()->state().sheets.exportPanel);
    EXPECT_EQ(m_view->exportPanel(), nullptr);
    // It goes the same way, taking no clicks.
    ASSERT_TRUE(leaving);
    EXPECT_TRUE(leaving->testAttribute(Qt::WA_TransparentForMouseEvents));
    auto* out = qobject_cast<SheetTransition*>(leaving->graphicsEffect());
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(out->animation()->endValue().toReal(), 0);
    EXPECT_TRUE(test::waitUntil([&] { return !leaving; }, 10000));
}

TEST_F(EditorViewTest, ExportNeedsSteps)
{
    open({});
    EXPECT_FALSE(m_view->canvas()->exportButton()->isEnabled());
    EXPECT_EQ(m_view->canvas()->exportButton()->toolTip(), "Add at least one step before exporting");
    EXPECT_EQ(m_view->sidebar()->countLabel()->text(), "0 steps");
}

TEST_F(EditorViewTest, BackCommitsTheTypedTitleThoughItTakesNoFocus)
{
    open({ 0 });
    QLineEdit* title = m_view->sidebar()->titleField();
    title->setFocus();
    title->selectAll();
    QTest::keyClicks(title, QStringLiteral("  Renamed guide "));
    QTest::mouseClick(m_view->sidebar()->backButton(), Qt::LeftButton);
    EXPECT_EQ(m_closed, 1);
    EXPECT_EQ(m_titleAtClose, "Renamed guide");
    EXPECT_FALSE(context()->hasChanges());
}

TEST_F(EditorViewTest, ReturnCommitsTheTitleAndLetsGoOfTheField)
{
    open({ 0 });
    QLineEdit* title = m_view->sidebar()->titleField();
    title->setFocus();
    title->selectAll();
    QTest::keyClicks(title, QStringLiteral("   "));
    QTest::keyClick(title, Qt::Key_Return);
    EXPECT_EQ(m_guide->title(), "Original");
    EXPECT_EQ(title->text(), "Original");
    EXPECT_FALSE(title->hasFocus());
}

TEST_F(EditorViewTest, FailureAlertsOpenAndClearTheirText)
{
    open({ 0 });
    controller()->reportFileError(QStringLiteral("Couldn't add that image: disk full"));
    QMessageBox* alert = m_view->fileErrorAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text(), "Something went wrong");
    EXPECT_EQ(alert->informativeText(), "Couldn't add that image: disk full");
    controller()->reportAiError(QStringLiteral("The on-device language model isn't available right now."));
    ASSERT_NE(m_view->aiErrorAlert(), nullptr);
    EXPECT_EQ(m_view->aiErrorAlert()->text(), "On-device AI");
    m_view->aiErrorAlert()->defaultButton()->click();
    ASSERT_TRUE(test::waitUntil([&] { return !m_view->aiErrorAlert(); }));
    EXPECT_FALSE(controller()->state().alerts.aiError);
    EXPECT_TRUE(controller()->state().alerts.fileOpError);
    EXPECT_NE(m_view->fileErrorAlert(), nullptr);
}

TEST_F(EditorViewTest, ThumbnailsFillInAndAMissingFileShowsNone)
{
    QList<qint64> orders { 0, 1, 2 };
    m_guide = makeGuide(orders);
    const QString missing = m_guide->orderedSteps()[1]->screenshotFilename();
    QFile::remove(QDir(zova::test::storage().screenshotsDirectory()).filePath(missing));
    m_thumbnails.clear();
    EditorController controller(m_guide, context(), withTestFiles({}));
    StepListView view(&controller, &m_thumbnails);
    view.resize(280, 600);
    const QSize box = view.thumbnailBox();
    const QString present = m_guide->orderedSteps()[0]->screenshotFilename();
    EXPECT_EQ(m_thumbnails.lookup(present, box).status, ScreenshotCache::Status::Loading);
    EXPECT_EQ(m_thumbnails.lookup(missing, box).status, ScreenshotCache::Status::Loading);
    m_thumbnails.waitForIdle();
    const ScreenshotCache::Entry ready = m_thumbnails.lookup(present, box);
    EXPECT_EQ(ready.status, ScreenshotCache::Status::Ready);
    // It covers the row's box, one side exactly: the row shows its middle unscaled.
    EXPECT_GE(ready.image.width(), box.width());
    EXPECT_GE(ready.image.height(), box.height());
    EXPECT_TRUE(ready.image.width() == box.width() || ready.image.height() == box.height());
    EXPECT_EQ(m_thumbnails.lookup(missing, box).status, ScreenshotCache::Status::Missing);

    view.show();
    ASSERT_TRUE(test::waitUntil([&] { return view.rowLayout().count() == 3; }));
    EXPECT_LT(view.rowLayout().rowHeights[1], view.rowLayout().rowHeights[0]);
}

} // namespace
