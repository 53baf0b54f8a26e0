#pragma once

#include "engine/LocalModelService.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

namespace zova {

// The language model as the editor sees it: whether it can be used, and the
// rewrite of one description. GUI thread only.
class DescriptionRewriter : public QObject {
    Q_OBJECT
public:
    using Status = LocalModelService::Status;
    using Tone = LocalModelService::Tone;
    using Error = LocalModelService::AIError;
    using Result = LocalModelService::RewriteResult;

    using QObject::QObject;

    virtual Status status() const = 0;
    // Looks at the model again; statusChanged follows when the status really changes.
    virtual void refreshStatus() = 0;
    // `text` in `tone`: an Unavailable error with the status's text while the model
    // cannot be used, the empty text for blank input. `done` runs later on the GUI
    // thread, never inside the call, and never once `context` is destroyed.
    virtual void rewrite(const QString& text, Tone tone, QObject* context, std::function<void(Result)> done) = 0;

signals:
    void statusChanged();
};

// The rewriter of the local chat server, through a model service of its own.
std::unique_ptr<DescriptionRewriter> makeLocalModelRewriter();

} // namespace zova
