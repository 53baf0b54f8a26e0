#pragma once

#include "editor/rewrite/DescriptionRewriter.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUuid>

#include <optional>

namespace zova {

class EditorController;
class ModelContext;
class Step;

// The language-model rewrite of one open guide's descriptions: one step in a
// tone, or every step in the professional tone, one model call at a time and
// one rewrite at a time. Steps are held by id and looked up again when their
// answer arrives: a step deleted meanwhile is skipped, and once the run is gone
// (the editor closed) no answer reaches anything. Failures go to the editor's
// language-model alert. GUI thread only.
class RewriteRun : public QObject {
    Q_OBJECT
public:
    using Tone = DescriptionRewriter::Tone;
    using Status = DescriptionRewriter::Status;

    // How long one model call may take before it counts as failed.
    static constexpr int defaultTimeoutMs = 60000;

    RewriteRun(
        EditorController* controller, ModelContext* context, DescriptionRewriter* rewriter, QObject* parent = nullptr);
    ~RewriteRun() override;

    Status status() const;
    bool isBusy() const { return m_busy; }
    // "Rewriting 2 of 5…" while a batch runs, else nothing.
    std::optional<QString> batchProgress() const { return m_progress; }
    // The "AI Rewrite" button's rule: the model is available and nothing runs.
    bool canStart() const;

    // The step's shown text (its description when set, even empty, else its OCR
    // label), trimmed, rewritten in `tone` and saved. Blank text opens the alert
    // without asking the model. Ignored while a rewrite runs.
    void rewriteStep(const QUuid& id, Tone tone);
    // Every step in order, in the professional tone; steps without text are
    // skipped, the first failure is kept, the rest go on; saved once at the end.
    // Does nothing while the model is not available or a rewrite runs.
    void rewriteAll();

    void setTimeout(int ms) { m_timeoutMs = ms; }
    int timeout() const { return m_timeoutMs; }

    // The text a rewrite of the step starts from.
    static QString startText(const Step& step);

signals:
    void statusChanged();
    void busyChanged();
    void progressChanged();

private:
    using Result = DescriptionRewriter::Result;
    void ask(const QString& text, Tone tone, std::function<void(const Result&)> answered);
    void answer(quint64 call, const Result& result);
    void batchNext();
    void finishBatch();
    void setBusy(bool busy);
    void setProgress(const std::optional<QString>& progress);
    void save();

    QPointer<EditorController> m_controller;
    QPointer<ModelContext> m_context;
    QPointer<DescriptionRewriter> m_rewriter;
    bool m_busy = false;
    std::optional<QString> m_progress;
    // The batch's steps as it started, and the next one's index.
    QList<QUuid> m_batch;
    int m_batchNext = 0;
    // The call under way: answers of any other call are dropped.
    quint64 m_call = 0;
    std::function<void(const Result&)> m_answered;
    QTimer m_timeout;
    int m_timeoutMs = defaultTimeoutMs;
};

} // namespace zova
