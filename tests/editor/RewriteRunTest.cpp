#include "EditorFixture.h"

#include "editor/EditorController.h"
#include "editor/canvas/BackgroundPopover.h"
#include "editor/canvas/TitleBarPopovers.h"
#include "editor/rewrite/RewriteRun.h"
#include "editor/rewrite/RewriteTexts.h"
#include "editor/rewrite/SmartEditMenu.h"
#include "platform/FakeModelServer.h"
#include "style/PillButton.h"
#include "style/Popover.h"
#include "style/PopoverRow.h"

#include <QJsonArray>
#include <QSignalSpy>
#include <QTest>

using namespace zova;

namespace {

using test::FakeModelServer;
using Status = DescriptionRewriter::Status;
using Tone = DescriptionRewriter::Tone;

const char* const timedOutMessage = "AI request failed: The on-device language model did not answer in time.";

class RewriteRunTest : public EditorFixture {
protected:
    void SetUp() override
    {
        EditorFixture::SetUp();
        ASSERT_TRUE(test::pointModelClientAt(server.url()));
    }

    // An editor over a guide whose steps have these descriptions ("-" for none)
    // and OCR labels ("-" for none).
    void open(const QList<const char*>& descriptions, const QList<const char*>& labels = {})
    {
        m_guide = new Guide(QStringLiteral("Rewrite"));
        context()->insert(m_guide);
        for (int i = 0; i < descriptions.size(); ++i) {
            auto* step = new Step(i, saveShot(i));
            step->setGuide(m_guide);
            step->setUserDescription(optionalText(descriptions[i]));
            step->setOcrLabel(optionalText(labels.value(i, "-")));
        }
        ASSERT_TRUE(context()->save().hasValue());
        controller = std::make_unique<EditorController>(m_guide, context(), withTestFiles({}));
        controller->list().appear();
        rewriter = makeLocalModelRewriter();
        run = std::make_unique<RewriteRun>(controller.get(), context(), rewriter.get());
    }
    static std::optional<QString> optionalText(const char* text)
    {
        return QByteArray(text) == "-" ? std::nullopt : std::optional<QString>(QString::fromUtf8(text));
    }
    QList<Step*> steps() const { return m_guide->orderedSteps(); }
    QList<FakeModelServer::Request> chats() const { return server.requestsTo("/v1/chat/completions"); }
    static QString userText(const FakeModelServer::Request& r)
    {
        return r.json()["messages"].toArray()[1].toObject()["content"].toString();
    }
    bool finished() const
    {
        return test::waitUntil([this] { return !run->isBusy(); }, 20000);
    }
    std::optional<QString> aiError() const { return controller->state().alerts.aiError; }
    // The descriptions as stored in the file, by step id.
    QHash<QUuid, std::optional<QString>> storedDescriptions() const
    {
        QHash<QUuid, std::optional<QString>> out;
        auto reopened = ModelContainer::open(storePath());
        if (reopened)
            for (const Guide* g : reopened.value()->mainContext()->guides())
                for (const Step* s : g->steps())
                    out.insert(s->id(), s->userDescription());
        return out;
    }

    FakeModelServer server;
    Guide* m_guide = nullptr;
    std::unique_ptr<EditorController> controller;
    std::unique_ptr<DescriptionRewriter> rewriter;
    std::unique_ptr<RewriteRun> run;
};

TEST_F(RewriteRunTest, EachToneRewritesTheShownTextAndMarksTheGuide)
{
    struct Row {
        Tone tone;
        const char* phrase; // in the instructions
        const char* answer;
    };
    const Row rows[] = {
        { Tone::Professional, "Use polished, professional language.", " Select the Save button.\n" },
        { Tone::Friendly, "Use warm, approachable, conversational language.", "Go ahead and hit Save!" },
        { Tone::Concise, "Use extremely concise \u2014 fewer words language.", "Click Save." },
        { Tone::Plain, "Use plain, simple, jargon-free language.", "Press the Save button." },
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.phrase);
        server.requests.clear();
        server.chat = [&r](const FakeModelServer::Request&) { return FakeModelServer::chatAnswer(r.answer); };
        open({ "-" }, { "  Click Save \n" });
        ASSERT_EQ(run->status(), Status::Available);
        ASSERT_TRUE(run->canStart());
        QSignalSpy busy(run.get(), &RewriteRun::busyChanged);
        run->rewriteStep(steps()[0]->id(), r.tone);
        EXPECT_TRUE(run->isBusy());
        EXPECT_FALSE(run->canStart()) << "the button is disabled while the model answers";
        EXPECT_EQ(rewrite_texts::buttonText(run->isBusy(), run->batchProgress()), QStringLiteral("Rewriting\u2026"));
        ASSERT_TRUE(finished());
        EXPECT_EQ(busy.count(), 2);
        EXPECT_TRUE(run->canStart());

        ASSERT_EQ(chats().size(), 1);
        const QJsonObject body = chats()[0].json();
        EXPECT_EQ(body["model"].toString(), QStringLiteral("test-model"));
        const QJsonArray messages = body["messages"].toArray();
        ASSERT_EQ(messages.size(), 2);
        EXPECT_EQ(messages[0].toObject()["role"].toString(), QStringLiteral("system"));
        EXPECT_TRUE(messages[0].toObject()["content"].toString().contains(QString::fromUtf8(r.phrase)));
        EXPECT_EQ(messages[1].toObject()["content"].toString(), QStringLiteral("Click Save")) << "sent trimmed";

        const QString expected = QString::fromUtf8(r.answer).trimmed();
        EXPECT_EQ(steps()[0]->userDescription(), expected);
        EXPECT_EQ(steps()[0]->ocrLabel(), QStringLiteral("  Click Save \n")) << "the label stays";
        EXPECT_TRUE(m_guide->aiGenerated());
        EXPECT_EQ(m_guide->aiRewriteCount(), 0);
        EXPECT_EQ(aiError(), std::nullopt);
        EXPECT_EQ(storedDescriptions().value(steps()[0]->id()), expected) << "saved at once";
    }
}

TEST_F(RewriteRunTest, StartTextAndAnswersThatChangeNothing)
{
    struct Row {
        const char* name;
        const char* description;
        const char* label;
        const char* sent; // nullptr: the model is not asked
    };
    const Row rows[] = {
        { "empty description hides the label", "", "Click Save", nullptr },
        { "no text at all", "-", "-", nullptr },
        { "blank description", " \n\t", "-", nullptr },
        { "description wins", "  Type the name ", "Name", "Type the name" },
        { "label when no description", "-", "Open menu", "Open menu" },
    };
    server.chat = [](const FakeModelServer::Request&) { return FakeModelServer::chatAnswer(" \n"); };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        server.requests.clear();
        open({ r.description }, { r.label });
        QSignalSpy busy(run.get(), &RewriteRun::busyChanged);
        run->rewriteStep(steps()[0]->id(), Tone::Plain);
        ASSERT_TRUE(finished());
        if (!r.sent) {
            EXPECT_EQ(aiError(), rewrite_texts::nothingToRewrite());
            EXPECT_EQ(aiError(),
                QString::fromUtf8("Nothing to rewrite — type a description first or wait for the AI label."));
            EXPECT_EQ(busy.count(), 0) << "busy is not touched";
            EXPECT_TRUE(chats().isEmpty());
        } else {
            ASSERT_EQ(chats().size(), 1);
            EXPECT_EQ(userText(chats()[0]), QString::fromUtf8(r.sent));
            EXPECT_EQ(aiError(), std::nullopt);
        }
        // A blank answer writes nothing.
        EXPECT_EQ(steps()[0]->userDescription(), optionalText(r.description));
        EXPECT_FALSE(m_guide->aiGenerated());
    }
}

TEST_F(RewriteRunTest, BatchSkipsDeletedAndEmptyStepsKeepsTheFirstFailureAndSavesOnce)
{
    open({ "one", "two", "-", "four", "five" });
    const QList<Step*> before = steps();
    const QUuid second = before[1]->id();
    server.chat = [&](const FakeModelServer::Request& r) {
        const QString text = userText(r);
        if (text == QLatin1String("two")) {
            // Deleted while the model answers.
            controller->list().performDelete({ second });
            return FakeModelServer::chatAnswer(QStringLiteral("Two rewritten"));
        }
        if (text == QLatin1String("four"))
            return FakeModelServer::Reply { 500, R"({"error":{"message":"overloaded"}})" };
        if (text == QLatin1String("five"))
            return FakeModelServer::Reply { 400, R"({"error":{"message":"second failure"}})" };
        return FakeModelServer::chatAnswer(QStringLiteral(" One rewritten "));
    };
    QStringList progress;
    QObject::connect(run.get(), &RewriteRun::progressChanged, run.get(),
        [&] { progress << run->batchProgress().value_or(QStringLiteral("<none>")); });
    context()->setAutosaveDelay(600000);

    run->rewriteAll();
    EXPECT_TRUE(run->isBusy());
    EXPECT_FALSE(run->canStart());
    EXPECT_EQ(rewrite_texts::buttonText(true, run->batchProgress()), QStringLiteral("Rewriting 1 of 5\u2026"));
    ASSERT_TRUE(finished());

    EXPECT_EQ(progress,
        (QStringList { "Rewriting 1 of 5\u2026", "Rewriting 2 of 5\u2026", "Rewriting 3 of 5\u2026",
            "Rewriting 4 of 5\u2026", "Rewriting 5 of 5\u2026", "<none>" }));
    QStringList sent;
    for (const auto& r : chats())
        sent << userText(r);
    EXPECT_EQ(sent, (QStringList { "one", "two", "four", "five" })) << "the step without text is not sent";
    for (const auto& r : chats())
        EXPECT_TRUE(r.json()["messages"].toArray()[0].toObject()["content"].toString().contains(
            QStringLiteral("polished, professional")));

    const QList<Step*> after = steps();
    ASSERT_EQ(after.size(), 4);
    EXPECT_EQ(after[0]->userDescription(), QStringLiteral("One rewritten"));
    EXPECT_EQ(after[1]->userDescription(), std::nullopt);
    EXPECT_EQ(after[2]->userDescription(), QStringLiteral("four"));
    EXPECT_EQ(after[3]->userDescription(), QStringLiteral("five"));
    for (const Step* s : after)
        EXPECT_NE(s->userDescription(), QStringLiteral("Two rewritten")) << "no answer lands on another step";
    EXPECT_TRUE(m_guide->aiGenerated());
    EXPECT_EQ(aiError(),
        QStringLiteral("AI request failed: The on-device language model answered with HTTP 500. overloaded"));
    EXPECT_EQ(run->batchProgress(), std::nullopt);
    EXPECT_FALSE(context()->hasChanges()) << "saved at the end";
    EXPECT_EQ(storedDescriptions().value(after[0]->id()), QStringLiteral("One rewritten"));
}

TEST_F(RewriteRunTest, BatchRowRulesAndNothingWithoutTheModel)
{
    EXPECT_EQ(rewrite_texts::batchSubtitle(1), QStringLiteral("Professional tone, all 1 step"));
    EXPECT_EQ(rewrite_texts::batchSubtitle(4), QStringLiteral("Professional tone, all 4 steps"));
    open({});
    QSignalSpy busy(run.get(), &RewriteRun::busyChanged);
    run->rewriteAll();
    EXPECT_EQ(busy.count(), 0) << "a guide without steps";

    server.models = { 503, R"({"error":{"message":"Loading model"}})" };
    ASSERT_TRUE(test::pointModelClientAt(server.url()));
    open({ "one", "two" });
    ASSERT_EQ(run->status(), Status::ModelNotReady);
    QSignalSpy busy2(run.get(), &RewriteRun::busyChanged);
    run->rewriteAll();
    EXPECT_EQ(busy2.count(), 0);
    EXPECT_EQ(aiError(), std::nullopt) << "no message";
    EXPECT_TRUE(chats().isEmpty());
}

TEST_F(RewriteRunTest, ACallThatDoesNotAnswerTimesOut)
{
    server.chat = [](const FakeModelServer::Request&) { return FakeModelServer::Reply { 200, {}, true }; };
    open({ "one", "two" });
    run->setTimeout(300);
    run->rewriteStep(steps()[0]->id(), Tone::Concise);
    ASSERT_TRUE(finished());
    EXPECT_EQ(aiError(), QString::fromUtf8(timedOutMessage));
    EXPECT_EQ(steps()[0]->userDescription(), QStringLiteral("one"));

    // In a batch every call times out on its own and the batch still ends.
    controller->clearAiError();
    server.requests.clear();
    run->rewriteAll();
    ASSERT_TRUE(finished());
    EXPECT_EQ(chats().size(), 2);
    EXPECT_EQ(aiError(), QString::fromUtf8(timedOutMessage));
    EXPECT_EQ(run->batchProgress(), std::nullopt);
    EXPECT_FALSE(m_guide->aiGenerated());
}

TEST_F(RewriteRunTest, EachUnavailableStatusHasItsTextAndDisablesTheButton)
{
    struct Row {
        const char* name;
        int modelsStatus; // 0: no server
        Status status;
        const char* text;
    };
    const Row rows[] = {
        { "loading", 503, Status::ModelNotReady,
            "The on-device language model is still loading. Try again in a minute." },
        { "odd answer", 500, Status::Unknown, "The on-device language model isn't available right now." },
        { "no server", 0, Status::ServerNotRunning,
            "Start a local language model server (llama.cpp or Ollama) to use AI features in Z.O.V.A." },
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        FakeModelServer other;
        other.models.status = r.modelsStatus;
        if (r.modelsStatus == 0)
            other.close();
        ASSERT_TRUE(test::pointModelClientAt(other.url()));
        open({ "one" });
        EXPECT_EQ(run->status(), r.status);
        EXPECT_FALSE(run->canStart());
        EXPECT_EQ(rewrite_texts::buttonHelp(run->status()), QString::fromUtf8(r.text));
        run->rewriteStep(steps()[0]->id(), Tone::Professional);
        ASSERT_TRUE(finished());
        EXPECT_EQ(aiError(), QString::fromUtf8(r.text));
        EXPECT_TRUE(other.requestsTo("/v1/chat/completions").isEmpty());
        EXPECT_EQ(steps()[0]->userDescription(), QStringLiteral("one"));
    }
    EXPECT_EQ(rewrite_texts::buttonHelp(Status::DeviceNotEligible),
        QStringLiteral("This computer can't run the on-device language model."));
    EXPECT_EQ(rewrite_texts::buttonHelp(Status::Available),
        QStringLiteral("Generated by the on-device language model, AI can make mistakes please review."));
    EXPECT_EQ(rewrite_texts::buttonText(false, std::nullopt), QStringLiteral("AI Rewrite"));
}

TEST_F(RewriteRunTest, AnswersNeverReachADeletedStepOrAClosedEditor)
{
    open({ "one", "two" });
    const QUuid first = steps()[0]->id();
    server.chat = [&](const FakeModelServer::Request&) {
        controller->list().performDelete({ first });
        return FakeModelServer::chatAnswer(QStringLiteral("Rewritten"));
    };
    run->rewriteStep(first, Tone::Friendly);
    ASSERT_TRUE(finished());
    ASSERT_EQ(steps().size(), 1);
    EXPECT_EQ(steps()[0]->userDescription(), QStringLiteral("two"));
    EXPECT_FALSE(m_guide->aiGenerated());

    // The editor closes while the model answers: the run and the controller go,
    // the rewriter (longer lived here) still gets the answer.
    Step* remaining = steps()[0];
    bool answered = false;
    server.chat = [&](const FakeModelServer::Request&) {
        run.reset();
        controller.reset();
        answered = true;
        return FakeModelServer::chatAnswer(QStringLiteral("Rewritten"));
    };
    run->rewriteStep(remaining->id(), Tone::Friendly);
    ASSERT_TRUE(test::waitUntil([&] { return answered; }));
    QTest::qWait(200);
    EXPECT_EQ(remaining->userDescription(), QStringLiteral("two"));
    EXPECT_FALSE(m_guide->aiGenerated());
}

// The title bar's two buttons with their popovers, in a window of their own.
class TitleBarPopoversTest : public RewriteRunTest {
protected:
    void openBar(const QList<const char*>& descriptions)
    {
        open(descriptions);
        window = std::make_unique<QWidget>();
        window->resize(900, 500);
        rewriteButton = new PillButton(QString(), window.get());
        rewriteButton->move(600, 8);
        backgroundButton = new PillButton(QStringLiteral("Background"), window.get());
        backgroundButton->move(300, 8);
        elsewhere = new PillButton(QStringLiteral("Elsewhere"), window.get());
        elsewhere->move(40, 440);
        popovers = std::make_unique<TitleBarPopovers>(controller.get(), run.get());
        popovers->setRewriteButton(rewriteButton);
        popovers->setBackgroundButton(backgroundButton);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center()); }
    PopoverRow* toneRow(const char* raw) const
    {
        return popovers->rewriteMenu()->findChild<PopoverRow*>(QStringLiteral("toneRow_") + QString::fromUtf8(raw));
    }

    std::unique_ptr<QWidget> window;
    PillButton* rewriteButton = nullptr;
    PillButton* backgroundButton = nullptr;
    PillButton* elsewhere = nullptr;
    std::unique_ptr<TitleBarPopovers> popovers;
};

TEST_F(TitleBarPopoversTest, ChoosingAToneClosesThePopoverAndTheButtonShowsTheRun)
{
    QList<QString> seen;
    server.chat = [&](const FakeModelServer::Request&) {
        // While the model answers: the busy label, spinner and disabled button.
        seen << rewriteButton->text() << QString::number(rewriteButton->isSpinning())
             << QString::number(rewriteButton->isEnabled());
        return FakeModelServer::chatAnswer(QStringLiteral("Hit Save, friend"));
    };
    openBar({ "Click Save", "two", "three" });
    EXPECT_EQ(rewriteButton->text(), QStringLiteral("AI Rewrite"));
    EXPECT_EQ(rewriteButton->symbol(), QStringLiteral("sparkles"));
    EXPECT_TRUE(rewriteButton->isEnabled());
    EXPECT_EQ(rewriteButton->toolTip(),
        QStringLiteral("Generated by the on-device language model, AI can make mistakes please review."));

    click(rewriteButton);
    ASSERT_NE(popovers->rewritePopover(), nullptr);
    EXPECT_TRUE(popovers->rewritePopover()->isVisible());
    EXPECT_EQ(popovers->rewriteMenu()->batchRow()->subtitle(), QStringLiteral("Professional tone, all 3 steps"));
    QStringList labels;
    for (const PopoverRow* row : popovers->rewriteMenu()->toneRows())
        labels << row->text() + QLatin1Char('/') + row->symbol();
    EXPECT_EQ(labels,
        QStringList({ "Professional/briefcase.fill", "Friendly/face.smiling.fill", "Concise/scissors",
            "Plain/text.alignleft" }));

    click(toneRow("friendly"));
    EXPECT_FALSE(controller->state().sheets.smartEditMenu);
    ASSERT_TRUE(test::waitUntil([&] { return !popovers->rewritePopover(); }));
    ASSERT_TRUE(finished());
    EXPECT_EQ(seen, QList<QString>({ "Rewriting\u2026", "1", "0" }));
    EXPECT_EQ(steps()[0]->userDescription(), QStringLiteral("Hit Save, friend"));
    EXPECT_TRUE(chats()[0].json()["messages"].toArray()[0].toObject()["content"].toString().contains(
        QStringLiteral("warm, approachable")));
    EXPECT_EQ(rewriteButton->text(), QStringLiteral("AI Rewrite"));
    EXPECT_FALSE(rewriteButton->isSpinning());
    EXPECT_TRUE(rewriteButton->isEnabled());
}

TEST_F(TitleBarPopoversTest, TheBatchShowsItsProgressOnTheButton)
{
    QStringList seen;
    server.chat = [&](const FakeModelServer::Request&) {
        seen << rewriteButton->text();
        return FakeModelServer::chatAnswer(QStringLiteral("Done"));
    };
    openBar({ "one", "two" });
    click(rewriteButton);
    click(popovers->rewriteMenu()->batchRow());
    ASSERT_TRUE(finished());
    EXPECT_EQ(seen, QStringList({ "Rewriting 1 of 2\u2026", "Rewriting 2 of 2\u2026" }));
    EXPECT_EQ(rewriteButton->text(), QStringLiteral("AI Rewrite"));
}

TEST_F(TitleBarPopoversTest, AGuideWithoutStepsOffersNoBatchAndAnUnavailableModelNoButton)
{
    openBar({ "one" });
    controller->list().performDelete({ steps()[0]->id() });
    controller->setSmartEditMenuOpen(true);
    EXPECT_FALSE(controller->state().sheets.smartEditMenu) << "nothing focused: no popover";

    server.models = { 503, R"({"error":{"message":"Loading model"}})" };
    ASSERT_TRUE(test::pointModelClientAt(server.url()));
    rewriter->refreshStatus();
    ASSERT_TRUE(test::waitUntil([&] { return !rewriteButton->isEnabled(); }));
    EXPECT_EQ(rewriteButton->toolTip(),
        QStringLiteral("The on-device language model is still loading. Try again in a minute."));

    SmartEditMenu menu;
    menu.setStepCount(0);
    EXPECT_FALSE(menu.batchRow()->isEnabled());
    EXPECT_EQ(menu.batchRow()->subtitle(), QStringLiteral("Professional tone, all 0 steps"));
    menu.setStepCount(1);
    EXPECT_TRUE(menu.batchRow()->isEnabled());
    EXPECT_EQ(menu.batchRow()->subtitle(), QStringLiteral("Professional tone, all 1 step"));
}

TEST_F(TitleBarPopoversTest, TheBackgroundPopoverIsForTheFocusedStepAndClosesOutside)
{
    openBar({ "one", "two" });
    controller->list().clickRow(steps()[1]->id(), selection::Click::Plain);
    click(backgroundButton);
    ASSERT_NE(popovers->backgroundPopover(), nullptr);
    EXPECT_EQ(popovers->backgroundContent()->stepId(), steps()[1]->id());
    EXPECT_GT(popovers->backgroundPopover()->geometry().top(), backgroundButton->geometry().top());

    click(backgroundButton);
    EXPECT_FALSE(controller->state().sheets.backgroundPicker) << "the button toggles";
    click(backgroundButton);
    EXPECT_TRUE(controller->state().sheets.backgroundPicker);
    click(elsewhere);
    EXPECT_FALSE(controller->state().sheets.backgroundPicker) << "a click outside closes it";
    ASSERT_TRUE(test::waitUntil([&] { return !popovers->backgroundPopover(); }));

    click(backgroundButton);
    QTest::keyClick(elsewhere, Qt::Key_Escape);
    EXPECT_FALSE(controller->state().sheets.backgroundPicker) << "Escape closes it";
}

} // namespace
