#include "editor/rewrite/DescriptionRewriter.h"

#include <QPointer>

namespace zova {

namespace {

class LocalModelRewriter final : public DescriptionRewriter {
public:
    LocalModelRewriter()
        : m_service(new LocalModelService(this))
    {
        connect(m_service, &LocalModelService::statusChanged, this, &DescriptionRewriter::statusChanged);
    }

    Status status() const override { return m_service->status(); }
    void refreshStatus() override { m_service->refreshStatus(); }

    void rewrite(const QString& text, Tone tone, QObject* context, std::function<void(Result)> done) override
    {
        m_service->rewriteStepDescription(
            text, tone, [guard = QPointer<QObject>(context), done = std::move(done)](const Result& result) {
                if (guard)
                    done(result);
            });
    }

private:
    LocalModelService* m_service;
};

} // namespace

std::unique_ptr<DescriptionRewriter> makeLocalModelRewriter() { return std::make_unique<LocalModelRewriter>(); }

} // namespace zova
