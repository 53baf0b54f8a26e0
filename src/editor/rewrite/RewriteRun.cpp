#include "editor/rewrite/RewriteRun.h"

#include "base/NotifyingProperty.h"
#include "editor/EditorController.h"
#include "editor/EditorLog.h"
#include "editor/rewrite/RewriteTexts.h"
#include "model/Guide.h"
#include "model/ModelContext.h"
#include "model/Step.h"
#include "platform/llm/LocalModelError.h"

#include <QGuiApplication>

namespace zova {

RewriteRun::RewriteRun(
    EditorController* controller, ModelContext* context, DescriptionRewriter* rewriter, QObject* parent)
    : QObject(parent)
    , m_controller(controller)
    , m_context(context)
    , m_rewriter(rewriter)
{
    m_timeout.setSingleShot(true);
    connect(&m_timeout, &QTimer::timeout, this, [this] {
        const llm::LocalModelError late { llm::LocalModelError::Code::TimedOut, 0, {} };
        answer(m_call,
            unexpected(DescriptionRewriter::Error { DescriptionRewriter::Error::Kind::ModelFailed, late.message() }));
    });
    if (rewriter)
        connect(rewriter, &DescriptionRewriter::statusChanged, this, &RewriteRun::statusChanged);
    // Coming back to the application looks at the model again.
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive && m_rewriter)
            m_rewriter->refreshStatus();
    });
}

RewriteRun::~RewriteRun() = default;

RewriteRun::Status RewriteRun::status() const { return m_rewriter ? m_rewriter->status() : Status::Unknown; }

bool RewriteRun::canStart() const { return status() == Status::Available && !m_busy; }

QString RewriteRun::startText(const Step& step)
{
    if (const auto description = step.userDescription())
        return *description;
    return step.ocrLabel().value_or(QString());
}

void RewriteRun::setBusy(bool busy) { setNotifying(this, m_busy, busy, &RewriteRun::busyChanged); }

void RewriteRun::setProgress(const std::optional<QString>& progress)
{
    setNotifying(this, m_progress, progress, &RewriteRun::progressChanged);
}

void RewriteRun::save()
{
    if (!m_context)
        return;
    if (auto saved = m_context->save(); !saved)
        qCWarning(lcEditor) << "rewrite not saved:" << saved.error().description();
}

void RewriteRun::ask(const QString& text, Tone tone, std::function<void(const Result&)> answered)
{
    const quint64 call = ++m_call;
    m_answered = std::move(answered);
    m_timeout.start(m_timeoutMs);
    m_rewriter->rewrite(text, tone, this, [this, call](const Result& result) { answer(call, result); });
}

void RewriteRun::answer(quint64 call, const Result& result)
{
    if (call != m_call || !m_answered)
        return; // a call that timed out, answering late
    m_timeout.stop();
    auto answered = std::move(m_answered);
    m_answered = nullptr;
    answered(result);
}

void RewriteRun::rewriteStep(const QUuid& id, Tone tone)
{
    if (m_busy || !m_controller || !m_rewriter)
        return;
    const Step* step = m_controller->step(id);
    if (!step)
        return;
    const QString text = startText(*step).trimmed();
    if (text.isEmpty()) {
        m_controller->reportAiError(rewrite_texts::nothingToRewrite());
        return;
    }
    setBusy(true);
    ask(text, tone, [this, id](const Result& result) {
        if (!result) {
            if (m_controller)
                m_controller->reportAiError(result.error().description());
        } else if (!result->isEmpty() && m_controller) {
            // The step may have gone while the model answered.
            if (Step* step = m_controller->step(id)) {
                step->setUserDescription(*result);
                if (Guide* guide = m_controller->guide())
                    guide->setAiGenerated(true);
                save();
            }
        }
        setBusy(false);
    });
}

void RewriteRun::rewriteAll()
{
    if (m_busy || !m_controller || !m_rewriter)
        return;
    const QList<Step*> steps = m_controller->orderedSteps();
    if (steps.isEmpty() || status() != Status::Available)
        return;
    m_batch.clear();
    for (const Step* step : steps)
        m_batch.append(step->id());
    m_batchNext = 0;
    setBusy(true);
    batchNext();
}

void RewriteRun::batchNext()
{
    while (m_batchNext < m_batch.size()) {
        const int index = m_batchNext++;
        setProgress(rewrite_texts::batchProgress(index + 1, int(m_batch.size())));
        const QUuid id = m_batch.at(index);
        const Step* step = m_controller ? m_controller->step(id) : nullptr;
        if (!step || startText(*step).trimmed().isEmpty())
            continue; // deleted, or nothing to rewrite
        ask(startText(*step), Tone::Professional, [this, id](const Result& result) {
            if (!m_controller)
                return;
            if (!result) {
                if (!m_controller->state().alerts.aiError)
                    m_controller->reportAiError(result.error().description());
            } else if (!result->isEmpty()) {
                if (Step* step = m_controller->step(id)) {
                    step->setUserDescription(*result);
                    if (Guide* guide = m_controller->guide())
                        guide->setAiGenerated(true);
                }
            }
            batchNext();
        });
        return;
    }
    finishBatch();
}

void RewriteRun::finishBatch()
{
    m_batch.clear();
    m_batchNext = 0;
    save();
    setBusy(false);
    setProgress(std::nullopt);
}

} // namespace zova
