#include "engine/LocalModelService.h"

#include "platform/FakeModelServer.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace zova {
namespace {

using test::FakeModelServer;
using Status = LocalModelService::Status;
using Tone = LocalModelService::Tone;

// The label clean-up instructions, written out on their own.
const QString labelInstructions = QString::fromUtf8(
    "You write one-line action labels for screenshot steps in a product walkthrough. You will receive raw OCR text "
    "that was detected near the user's click. Your job: produce a single instruction beginning with a strong action "
    "verb (Click, Tap, Open, Enter, Drag, Select), describing what the user did.\n"
    "\n"
    "Rules:\n"
    "• If the OCR text looks like a timestamp (\"19:34\", \"2:50 PM\"),   a numeric counter, a battery/signal "
    "indicator, or a date —   assume the actual target was a nearby UI element and use a   generic label such as "
    "\"Tap the back button\", \"Open the menu\",   or \"Go back\" rather than echoing the digits.\n"
    "• If the OCR text is a clear UI label (\"Submit\", \"Sign in\",   \"Settings\"), use it directly: \"Click "
    "'Submit'\".\n"
    "• Keep it under 10 words.\n"
    "• Output ONLY the rewritten line — no quotes around the whole   line, no preamble, no markdown.");

QString rewriteText(const char* phrase)
{
    return QString::fromUtf8("You are an expert documentation writer for step-by-step product guides. Rewrite the "
                             "user's text as a single concise instruction line for one step of a guide. Use ")
        + QString::fromUtf8(phrase)
        + QString::fromUtf8(" language. Start with a strong action verb (e.g. \"Click\", \"Enter\", \"Open\", "
                            "\"Drag\"). Keep it under 14 words. Output ONLY the rewritten line — no quotes, no "
                            "preamble, no markdown, no explanation.");
}

class IntelligenceTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(test::pointModelClientAt(server.url())); }
    void TearDown() override { llm::LocalModelClient::shared().setRequestTimeout(45000); }

    QString clean(LocalModelService& ai, const QString& label)
    {
        std::optional<QString> result;
        ai.cleanAutoLabel(label, [&](QString l) { result = l; });
        EXPECT_TRUE(test::waitUntil([&] { return result.has_value(); }, 10000));
        return result.value_or(QStringLiteral("<no answer>"));
    }
    LocalModelService::RewriteResult rewrite(LocalModelService& ai, const QString& text, Tone tone)
    {
        std::optional<LocalModelService::RewriteResult> result;
        ai.rewriteStepDescription(text, tone, [&](LocalModelService::RewriteResult r) { result.emplace(r); });
        EXPECT_TRUE(test::waitUntil([&] { return result.has_value(); }, 10000));
        return result.value_or(unexpected(LocalModelService::AIError {}));
    }
    QList<FakeModelServer::Request> chats() const { return server.requestsTo("/v1/chat/completions"); }

    FakeModelServer server;
};

TEST_F(IntelligenceTest, CleansALabelWithTheExactInstructions)
{
    server.chat = [](const FakeModelServer::Request&) { return FakeModelServer::chatAnswer(" Click 'Save'\n"); };
    LocalModelService ai;
    ASSERT_EQ(ai.status(), Status::Available);
    EXPECT_EQ(clean(ai, QStringLiteral("  Save \n")), QStringLiteral("Click 'Save'"));
    ASSERT_EQ(chats().size(), 1);
    const QJsonArray messages = chats()[0].json()["messages"].toArray();
    EXPECT_EQ(labelInstructions.size(), 832);
    EXPECT_EQ(messages[0].toObject()["content"].toString().toStdString(), labelInstructions.toStdString());
    EXPECT_EQ(messages[1].toObject()["content"].toString(), QStringLiteral("Save"));
}

TEST_F(IntelligenceTest, KeepsTheLabelWhenTheModelGivesNothingUsable)
{
    LocalModelService ai;
    const QString label = QString::fromUtf16(u" Click \u2018Save\u2019 ");
    server.chat = [](const FakeModelServer::Request&) { return FakeModelServer::chatAnswer(" \n\t"); };
    EXPECT_EQ(clean(ai, label), label);
    server.chat = [](const FakeModelServer::Request&) { return FakeModelServer::Reply { 500, "{}" }; };
    EXPECT_EQ(clean(ai, label), label);
    llm::LocalModelClient::shared().setRequestTimeout(200);
    server.chat = [](const FakeModelServer::Request&) { return FakeModelServer::Reply { 200, {}, true }; };
    EXPECT_EQ(clean(ai, label), label);
    llm::LocalModelClient::shared().setRequestTimeout(5000);
    server.chat
        = [](const FakeModelServer::Request&) { return FakeModelServer::streamedAnswer(64 * 1024 * 1024, false); };
    EXPECT_EQ(clean(ai, label), label);
    EXPECT_EQ(chats().size(), 4);

    // Blank labels are not sent at all.
    EXPECT_EQ(clean(ai, QStringLiteral("  \n ")), QStringLiteral("  \n "));
    EXPECT_EQ(chats().size(), 4);
}

struct ToneCase {
    Tone tone;
    const char* raw;
    const char* phrase;
};

TEST_F(IntelligenceTest, RewritesInEachToneWithItsInstructions)
{
    const ToneCase tones[] = { { Tone::Professional, "professional", "polished, professional" },
        { Tone::Friendly, "friendly", "warm, approachable, conversational" },
        { Tone::Concise, "concise", "extremely concise — fewer words" },
        { Tone::Plain, "plain", "plain, simple, jargon-free" } };
    ASSERT_EQ(
        LocalModelService::allTones(), QList<Tone>({ Tone::Professional, Tone::Friendly, Tone::Concise, Tone::Plain }));
    server.chat = [](const FakeModelServer::Request&) { return FakeModelServer::chatAnswer("\n Open the menu. \n"); };
    LocalModelService ai;
    for (const ToneCase& c : tones) {
        EXPECT_EQ(LocalModelService::rawValue(c.tone), QString::fromUtf8(c.raw));
        EXPECT_EQ(LocalModelService::toneFromRawValue(QString::fromUtf8(c.raw)), c.tone);
        const auto result = rewrite(ai, QStringLiteral("  open menu\n"), c.tone);
        ASSERT_TRUE(result) << c.raw;
        EXPECT_EQ(*result, QStringLiteral("Open the menu."));
        const QJsonArray messages = chats().last().json()["messages"].toArray();
        EXPECT_EQ(messages[0].toObject()["content"].toString().toStdString(), rewriteText(c.phrase).toStdString());
        EXPECT_EQ(messages[1].toObject()["content"].toString(), QStringLiteral("  open menu\n")) << "sent untrimmed";
    }
    EXPECT_EQ(LocalModelService::toneFromRawValue(QStringLiteral("Professional")), std::nullopt);
}

TEST_F(IntelligenceTest, RewriteOfBlankTextOrABlankAnswerIsEmpty)
{
    LocalModelService ai;
    const auto blank = rewrite(ai, QStringLiteral(" \n "), Tone::Plain);
    ASSERT_TRUE(blank);
    EXPECT_EQ(*blank, QString());
    EXPECT_TRUE(chats().isEmpty());

    server.chat = [](const FakeModelServer::Request&) { return FakeModelServer::chatAnswer("\n"); };
    const auto empty = rewrite(ai, QStringLiteral("Click Save"), Tone::Plain);
    ASSERT_TRUE(empty);
    EXPECT_EQ(*empty, QString());
}

TEST_F(IntelligenceTest, RewriteFailuresCarryTheirMessages)
{
    LocalModelService ai;
    server.chat = [](const FakeModelServer::Request&) {
        return FakeModelServer::Reply { 500, R"({"error":{"message":"context too long"}})" };
    };
    const auto failed = rewrite(ai, QStringLiteral("x"), Tone::Concise);
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.error().kind, LocalModelService::AIError::Kind::ModelFailed);
    EXPECT_EQ(failed.error().description().toStdString(),
        "AI request failed: The on-device language model answered with HTTP 500. context too long");

    llm::LocalModelClient::shared().setRequestTimeout(200);
    server.chat = [](const FakeModelServer::Request&) { return FakeModelServer::Reply { 200, {}, true }; };
    const auto late = rewrite(ai, QStringLiteral("x"), Tone::Concise);
    ASSERT_FALSE(late);
    EXPECT_EQ(late.error().description().toStdString(),
        "AI request failed: The on-device language model did not answer in time.");

    llm::LocalModelClient::shared().setRequestTimeout(5000);
    server.chat
        = [](const FakeModelServer::Request&) { return FakeModelServer::streamedAnswer(64 * 1024 * 1024, false); };
    const auto endless = rewrite(ai, QStringLiteral("x"), Tone::Concise);
    ASSERT_FALSE(endless);
    EXPECT_EQ(endless.error().description().toStdString(),
        "AI request failed: The on-device language model sent an answer that was too long.");
}

TEST_F(IntelligenceTest, UnavailableModelRefusesRewriteAndLeavesLabels)
{
    server.models = { 503, R"({"error":{"message":"Loading model"}})" };
    ASSERT_TRUE(test::pointModelClientAt(server.url()));
    LocalModelService ai;
    ASSERT_EQ(ai.status(), Status::ModelNotReady);
    const auto result = rewrite(ai, QStringLiteral("Click Save"), Tone::Professional);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().kind, LocalModelService::AIError::Kind::Unavailable);
    EXPECT_EQ(result.error().description().toStdString(),
        "The on-device language model is still loading. Try again in a minute.");
    EXPECT_EQ(clean(ai, QStringLiteral("Save")), QStringLiteral("Save"));
    EXPECT_TRUE(chats().isEmpty());
}

TEST_F(IntelligenceTest, StatusFollowsTheServerAndNotifiesOnlyOnChange)
{
    LocalModelService ai;
    ASSERT_TRUE(test::waitUntil([] { return !llm::LocalModelClient::shared().isRefreshing(); }));
    ASSERT_EQ(ai.status(), Status::Available);
    QSignalSpy spy(&ai, &LocalModelService::statusChanged);
    ai.refreshStatus();
    ASSERT_TRUE(test::waitUntil([] { return !llm::LocalModelClient::shared().isRefreshing(); }));
    EXPECT_EQ(spy.count(), 0);

    struct Row {
        int httpStatus;
        Status status;
    };
    for (const Row& row :
        { Row { 503, Status::ModelNotReady }, Row { 500, Status::Unknown }, Row { 200, Status::Available } }) {
        server.models.status = row.httpStatus;
        ai.refreshStatus();
        ASSERT_TRUE(test::waitUntil([&] { return ai.status() == row.status; })) << row.httpStatus;
    }
    EXPECT_EQ(spy.count(), 3);

    server.close();
    quint16 port = QUrl(server.url()).port();
    ASSERT_TRUE(test::pointModelClientAt(QStringLiteral("http://127.0.0.1:%1").arg(port)));
    EXPECT_EQ(ai.status(), Status::ServerNotRunning);
}

TEST(IntelligenceTexts, EachStatusHasItsText)
{
    const std::pair<Status, const char*> rows[] = {
        { Status::Available, "" },
        { Status::DeviceNotEligible, "This computer can't run the on-device language model." },
        { Status::ServerNotRunning,
            "Start a local language model server (llama.cpp or Ollama) to use AI features in Z.O.V.A." },
        { Status::ModelNotReady, "The on-device language model is still loading. Try again in a minute." },
        { Status::Unknown, "The on-device language model isn't available right now." },
    };
    for (const auto& [status, text] : rows)
        EXPECT_EQ(LocalModelService::userVisibleText(status).toStdString(), text);
}

TEST_F(IntelligenceTest, ALabelWhileTheStatusIsUnknownWaitsForTheLookAtTheServer)
{
    auto& client = llm::LocalModelClient::shared();
    server.chat = [](const FakeModelServer::Request&) { return FakeModelServer::chatAnswer("Click 'Save'"); };
    FakeModelServer silent;
    silent.models.silent = true;
    struct Case {
        const FakeModelServer* server;
        const char* tidied;
    };
    for (const Case& c : { Case { &server, "Click 'Save'" }, Case { &silent, "Save" } }) {
        // A refused address leaves the status unknown; then the server is
        // configured but not looked at yet, as at start-up.
        ASSERT_TRUE(test::pointModelClientAt(QStringLiteral("http://192.0.2.7:8080")));
        ASSERT_EQ(client.status(), llm::LocalModelStatus::Unknown);
        client.setProbeTimeout(300);
        client.setConfig(llm::LocalModelConfig::from(c.server->url(), {}));
        LocalModelService ai;
        ASSERT_EQ(ai.status(), Status::Unknown);
        EXPECT_EQ(clean(ai, QStringLiteral("Save")), QString::fromUtf8(c.tidied)) << c.server->url().toStdString();
        client.setProbeTimeout(3000);
    }
    EXPECT_EQ(chats().size(), 1);
    EXPECT_TRUE(silent.requestsTo("/v1/chat/completions").isEmpty());
}

} // namespace
} // namespace zova
