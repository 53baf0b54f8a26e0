#include "EditorFixture.h"

#include "editor/GuideEditorView.h"
#include "editor/canvas/CanvasColumn.h"
#include "editor/canvas/CanvasTitleBar.h"
#include "editor/canvas/DescriptionCard.h"
#include "editor/canvas/TitleBarPopovers.h"
#include "editor/list/StepRowPainter.h"
#include "editor/list/StepsSidebar.h"
#include "editor/rewrite/RewriteRun.h"
#include "editor/rewrite/SmartEditMenu.h"
#include "engine/PermissionsService.h"
#include "model/ScreenshotCache.h"
#include "model/Settings.h"
#include "platform/FakeModelServer.h"
#include "style/PillButton.h"
#include "style/Popover.h"
#include "style/PopoverRow.h"

#include <QApplication>
#include <QMessageBox>
#include <QPalette>
#include <QPlainTextEdit>
#include <QTest>

using namespace zova;

namespace {

using test::FakeModelServer;

// The whole editor, its model the loopback server.
class RewriteEditorTest : public EditorFixture {
protected:
    void SetUp() override
    {
        EditorFixture::SetUp();
        ASSERT_TRUE(test::pointModelClientAt(server.url()));
    }
    void open(const QList<qint64>& orders)
    {
        m_guide = makeGuide(orders);
        GuideEditorView::Dependencies deps;
        deps.thumbnails = &m_thumbnails;
        deps.storage = &zova::test::storage();
        deps.settings = &m_settings;
        deps.permissions = &m_permissions;
        m_view = std::make_unique<GuideEditorView>(m_guide, context(), EditorController::Hooks {}, std::move(deps));
        ASSERT_TRUE(showActive(m_view.get()));
    }
    CanvasTitleBar* bar() const { return m_view->canvas()->titleBar(); }
    PopoverRow* toneRow(const char* raw) const
    {
        return m_view->popovers()->rewriteMenu()->findChild<PopoverRow*>(
            QStringLiteral("toneRow_") + QString::fromUtf8(raw));
    }
    void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center()); }
    bool idle() const
    {
        return test::waitUntil([this] { return !m_view->rewriteRun()->isBusy(); }, 20000);
    }

    FakeModelServer server;
    ScreenshotCache m_thumbnails { zova::test::storage() };
    Settings m_settings;
    PermissionsService m_permissions { m_settings, [](bool) { return SessionGrants { true, true }; } };
    Guide* m_guide = nullptr;
    std::unique_ptr<GuideEditorView> m_view;
};

TEST_F(RewriteEditorTest, TheTitleBarRewritesTheFocusedStepAndShowsFailuresInTheAlert)
{
    server.chat = [](const FakeModelServer::Request&) {
        return FakeModelServer::chatAnswer(QStringLiteral("Select the Save button."));
    };
    open({ 0, 1 });
    ASSERT_TRUE(test::waitUntil([&] { return bar()->rewriteButton()->isEnabled(); }));
    EXPECT_TRUE(m_view->controller()->state().modelAvailable) << "the canvas follows the same model";

    click(bar()->rewriteButton());
    ASSERT_TRUE(m_view->popovers()->rewritePopover());
    click(toneRow("professional"));
    ASSERT_TRUE(idle());
    Step* first = m_guide->orderedSteps()[0];
    EXPECT_EQ(first->userDescription(), QStringLiteral("Select the Save button."));
    ASSERT_TRUE(test::waitUntil(
        [&] { return m_view->canvas()->description()->field()->toPlainText() == "Select the Save button."; }));
    EXPECT_TRUE(m_guide->aiGenerated());

    server.chat = [](const FakeModelServer::Request&) {
        return FakeModelServer::Reply { 500, R"({"error":{"message":"overloaded"}})" };
    };
    click(bar()->rewriteButton());
    click(toneRow("plain"));
    ASSERT_TRUE(idle());
    ASSERT_TRUE(test::waitUntil([&] { return m_view->aiErrorAlert() && m_view->aiErrorAlert()->isVisible(); }));
    EXPECT_EQ(m_view->aiErrorAlert()->text(), QStringLiteral("On-device AI"));
    EXPECT_EQ(m_view->aiErrorAlert()->informativeText(),
        QStringLiteral("AI request failed: The on-device language model answered with HTTP 500. overloaded"));
    EXPECT_EQ(first->userDescription(), QStringLiteral("Select the Save button.")) << "unchanged by the failure";
}

TEST_F(RewriteEditorTest, ClosingTheEditorWhileTheModelAnswersWritesNothing)
{
    open({ 0 });
    Step* step = m_guide->orderedSteps()[0];
    bool answered = false;
    server.chat = [&](const FakeModelServer::Request&) {
        m_view.reset();
        answered = true;
        return FakeModelServer::chatAnswer(QStringLiteral("Too late"));
    };
    ASSERT_TRUE(test::waitUntil([&] { return bar()->rewriteButton()->isEnabled(); }));
    m_view->rewriteRun()->rewriteStep(step->id(), DescriptionRewriter::Tone::Concise);
    ASSERT_TRUE(test::waitUntil([&] { return answered; }));
    QTest::qWait(200);
    EXPECT_EQ(step->userDescription(), std::nullopt);
    EXPECT_FALSE(m_guide->aiGenerated());
}

// With ZOVA_DOCS_DIR set, the two popovers as the user sees them.
TEST_F(RewriteEditorTest, Screenshots)
{
    const QString docs = qEnvironmentVariable("ZOVA_DOCS_DIR");
    if (docs.isEmpty())
        GTEST_SKIP() << "ZOVA_DOCS_DIR not set";
    open({ 0, 1, 2, 3 });
    m_guide->orderedSteps()[1]->setVideoBackgroundHex(QStringLiteral("e8f0ff"));
    ASSERT_TRUE(test::waitUntil([&] { return bar()->rewriteButton()->isEnabled(); }));
    click(bar()->rewriteButton());
    QTest::qWait(300);
    EXPECT_TRUE(m_view->grab().save(docs + "/editor-rewrite-popover.png"));
    m_view->controller()->setSmartEditMenuOpen(false);

    m_view->controller()->list().clickRow(m_guide->orderedSteps()[1]->id(), selection::Click::Plain);
    click(bar()->backgroundButton());
    QTest::qWait(300);
    ASSERT_TRUE(m_view->popovers()->backgroundPopover());
    EXPECT_TRUE(m_view->grab().save(docs + "/editor-background-popover.png"));
}

} // namespace
