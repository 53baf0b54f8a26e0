#include "platform/llm/LocalModelEndpoint.h"

#include "platform/llm/LlmLog.h"

#include <QHostAddress>

namespace zova::llm {

std::optional<QUrl> loopbackBaseUrl(const QString& text)
{
    QUrl url(text.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https")))
        return std::nullopt;
    if (!url.userInfo().isEmpty() || url.hasQuery() || url.hasFragment())
        return std::nullopt;
    const QString host = url.host();
    const bool loopback = host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0
        || (!QHostAddress(host).isNull() && QHostAddress(host).isLoopback());
    if (!loopback)
        return std::nullopt;
    QString path = url.path();
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    if (path.endsWith(QLatin1String("/v1")))
        path.chop(3);
    url.setPath(path);
    return url;
}

QUrl modelsUrl(const QUrl& base)
{
    QUrl url = base;
    url.setPath(base.path() + QStringLiteral("/v1/models"));
    return url;
}

QUrl chatCompletionsUrl(const QUrl& base)
{
    QUrl url = base;
    url.setPath(base.path() + QStringLiteral("/v1/chat/completions"));
    return url;
}

LocalModelConfig LocalModelConfig::from(const QString& endpointText, const QString& model)
{
    LocalModelConfig config;
    config.model = model.trimmed();
    const QString endpoint = endpointText.trimmed();
    if (endpoint.isEmpty()) {
        config.candidates
            = { QUrl(QStringLiteral("http://127.0.0.1:8080")), QUrl(QStringLiteral("http://127.0.0.1:11434")) };
    } else if (const std::optional<QUrl> base = loopbackBaseUrl(endpoint)) {
        config.candidates = { *base };
    } else {
        qCWarning(lcLlm) << "Ignoring the language model endpoint" << endpoint
                         << ": only loopback http addresses are used";
        config.rejected = true;
    }
    return config;
}

} // namespace zova::llm
