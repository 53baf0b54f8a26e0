#include "engine/LocalModelService.h"

#include "base/NotifyingProperty.h"
#include "platform/llm/LocalModelClient.h"

#include <QTimer>

#include <memory>

namespace zova {

namespace {

using llm::LocalModelClient;
using llm::LocalModelStatus;

LocalModelService::Status fromClient(LocalModelStatus status)
{
    switch (status) {
    case LocalModelStatus::Available: return LocalModelService::Status::Available;
    case LocalModelStatus::NotReady: return LocalModelService::Status::ModelNotReady;
    case LocalModelStatus::NoServer: return LocalModelService::Status::ServerNotRunning;
    case LocalModelStatus::Unknown: return LocalModelService::Status::Unknown;
    }
    return LocalModelService::Status::Unknown;
}

// Exactly the instructions the model is given; "\u2022" is the bullet, "\u2014" the dash.
const char16_t* const labelCleanup
    = u"You write one-line action labels for screenshot steps in a product walkthrough. You will receive raw OCR "
      u"text that was detected near the user's click. Your job: produce a single instruction beginning with a strong "
      u"action verb (Click, Tap, Open, Enter, Drag, Select), describing what the user did.\n\nRules:\n\u2022 If the "
      u"OCR text looks like a timestamp (\"19:34\", \"2:50 PM\"),   a numeric counter, a battery/signal indicator, or "
      u"a date \u2014   assume the actual target was a nearby UI element and use a   generic label such as \"Tap the "
      u"back button\", \"Open the menu\",   or \"Go back\" rather than echoing the digits.\n\u2022 If the OCR text is "
      u"a "
      u"clear UI label (\"Submit\", \"Sign in\",   \"Settings\"), use it directly: \"Click 'Submit'\".\n\u2022 Keep it "
      u"under 10 words.\n\u2022 Output ONLY the rewritten line \u2014 no quotes around the whole   line, no preamble, "
      u"no markdown.";

const char16_t* const rewriteHead
    = u"You are an expert documentation writer for step-by-step product guides. Rewrite the user's text as a single "
      u"concise instruction line for one step of a guide. Use ";
const char16_t* const rewriteTail
    = u" language. Start with a strong action verb (e.g. \"Click\", \"Enter\", \"Open\", \"Drag\"). Keep it under 14 "
      u"words. Output ONLY the rewritten line \u2014 no quotes, no preamble, no markdown, no explanation.";

} // namespace

QList<LocalModelService::Tone> LocalModelService::allTones()
{
    return { Tone::Professional, Tone::Friendly, Tone::Concise, Tone::Plain };
}

QString LocalModelService::rawValue(Tone tone)
{
    switch (tone) {
    case Tone::Professional: return QStringLiteral("professional");
    case Tone::Friendly: return QStringLiteral("friendly");
    case Tone::Concise: return QStringLiteral("concise");
    case Tone::Plain: return QStringLiteral("plain");
    }
    return {};
}

std::optional<LocalModelService::Tone> LocalModelService::toneFromRawValue(const QString& raw)
{
    for (Tone tone : allTones())
        if (rawValue(tone) == raw)
            return tone;
    return std::nullopt;
}

QString LocalModelService::stylePhrase(Tone tone)
{
    switch (tone) {
    case Tone::Professional: return QStringLiteral("polished, professional");
    case Tone::Friendly: return QStringLiteral("warm, approachable, conversational");
    case Tone::Concise: return QString::fromUtf16(u"extremely concise \u2014 fewer words");
    case Tone::Plain: return QStringLiteral("plain, simple, jargon-free");
    }
    return {};
}

QString LocalModelService::AIError::description() const
{
    switch (kind) {
    case Kind::Unavailable: return message;
    case Kind::ModelFailed: return QStringLiteral("AI request failed: ") + message;
    }
    return message;
}

QString LocalModelService::labelCleanupInstructions() { return QString::fromUtf16(labelCleanup); }

QString LocalModelService::rewriteInstructions(Tone tone)
{
    return QString::fromUtf16(rewriteHead) + stylePhrase(tone) + QString::fromUtf16(rewriteTail);
}

QString LocalModelService::userVisibleText(Status status)
{
    switch (status) {
    case Status::Available: return {};
    case Status::DeviceNotEligible: return QStringLiteral("This computer can't run the on-device language model.");
    case Status::ServerNotRunning:
        return QStringLiteral(
            "Start a local language model server (llama.cpp or Ollama) to use AI features in Z.O.V.A.");
    case Status::ModelNotReady:
        return QStringLiteral("The on-device language model is still loading. Try again in a minute.");
    case Status::Unknown: return QStringLiteral("The on-device language model isn't available right now.");
    }
    return {};
}

LocalModelService::LocalModelService(QObject* parent)
    : QObject(parent)
{
    connect(
        &LocalModelClient::shared(), &LocalModelClient::statusChanged, this, &LocalModelService::followClientStatus);
    refreshStatus();
}

void LocalModelService::refreshStatus()
{
    followClientStatus();
    LocalModelClient::shared().refresh();
}

void LocalModelService::followClientStatus() { setStatus(fromClient(LocalModelClient::shared().status())); }

void LocalModelService::setStatus(Status status)
{
    setNotifying(this, m_status, status, &LocalModelService::statusChanged);
}

void LocalModelService::cleanAutoLabel(const QString& label, std::function<void(QString)> done)
{
    if (m_status == Status::Unknown && !label.trimmed().isEmpty()) {
        // Not known yet (the first label of a run): wait for the look at the
        // server, which ends within its time-out, and go by its answer.
        auto& client = LocalModelClient::shared();
        auto once = std::make_shared<QMetaObject::Connection>();
        *once = connect(&client, &LocalModelClient::refreshed, this, [this, once, label, done = std::move(done)] {
            if (LocalModelClient::shared().isRefreshing())
                return; // the end of an earlier look
            disconnect(*once);
            followClientStatus();
            tidyLabel(label, done);
        });
        client.refresh();
        return;
    }
    tidyLabel(label, std::move(done));
}

void LocalModelService::tidyLabel(const QString& label, std::function<void(QString)> done)
{
    const QString trimmed = label.trimmed();
    if (trimmed.isEmpty() || m_status != Status::Available) {
        QTimer::singleShot(0, this, [label, done = std::move(done)] { done(label); });
        return;
    }
    LocalModelClient::shared().chat(labelCleanupInstructions(), trimmed, this,
        [label, done = std::move(done)](const LocalModelClient::ChatResult& answer) {
            const QString cleaned = answer ? answer->trimmed() : QString();
            done(cleaned.isEmpty() ? label : cleaned);
        });
}

void LocalModelService::rewriteStepDescription(const QString& text, Tone tone, std::function<void(RewriteResult)> done)
{
    if (m_status != Status::Available) {
        const AIError error { AIError::Kind::Unavailable, userVisibleText(m_status) };
        QTimer::singleShot(0, this, [error, done = std::move(done)] { done(unexpected(error)); });
        return;
    }
    if (text.trimmed().isEmpty()) {
        QTimer::singleShot(0, this, [done = std::move(done)] { done(QString()); });
        return;
    }
    LocalModelClient::shared().chat(
        rewriteInstructions(tone), text, this, [done = std::move(done)](const LocalModelClient::ChatResult& answer) {
            if (!answer)
                done(unexpected(AIError { AIError::Kind::ModelFailed, answer.error().message() }));
            else
                done(answer->trimmed());
        });
}

} // namespace zova
