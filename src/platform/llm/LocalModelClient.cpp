#include "platform/llm/LocalModelClient.h"

#include "base/NotifyingProperty.h"
#include "platform/llm/LlmLog.h"
#include "platform/llm/LocalModelEndpoint.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>

namespace zova::llm {

namespace {

const char* const timedOutProperty = "zovaTimedOut";
const char* const tooLargeProperty = "zovaTooLarge";

int httpStatusOf(QNetworkReply* reply) { return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(); }

// The server's own explanation in an error body, when it sent one.
QString serverMessage(const QByteArray& body)
{
    const QJsonObject root = QJsonDocument::fromJson(body).object();
    const QJsonValue error = root.value(QLatin1String("error"));
    if (error.isString())
        return error.toString();
    return error.toObject().value(QLatin1String("message")).toString();
}

LocalModelClient::ChatResult chatResult(QNetworkReply* reply)
{
    const int status = httpStatusOf(reply);
    const QByteArray body = reply->isOpen() ? reply->readAll() : QByteArray();
    if (reply->property(tooLargeProperty).toBool())
        return unexpected(LocalModelError { LocalModelError::Code::TooLarge, 0, {} });
    if (reply->property(timedOutProperty).toBool())
        return unexpected(LocalModelError { LocalModelError::Code::TimedOut, 0, {} });
    if (status == 0)
        return unexpected(LocalModelError { LocalModelError::Code::Network, 0, reply->errorString() });
    if (status < 200 || status > 299)
        return unexpected(LocalModelError { LocalModelError::Code::HttpStatus, status, serverMessage(body) });
    const QJsonValue content = QJsonDocument::fromJson(body)
                                   .object()
                                   .value(QLatin1String("choices"))
                                   .toArray()
                                   .at(0)
                                   .toObject()
                                   .value(QLatin1String("message"))
                                   .toObject()
                                   .value(QLatin1String("content"));
    if (!content.isString())
        return unexpected(LocalModelError { LocalModelError::Code::BadAnswer, 0, {} });
    return content.toString();
}

} // namespace

LocalModelClient& LocalModelClient::shared()
{
    // Made on the GUI thread on first use and kept for the process's life.
    static LocalModelClient* client = new LocalModelClient(QCoreApplication::instance());
    return *client;
}

LocalModelClient::LocalModelClient(QObject* parent)
    : QObject(parent)
{
    // Loopback traffic never goes through a proxy.
    m_network.setProxy(QNetworkProxy::NoProxy);
    m_network.setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

QNetworkReply* LocalModelClient::send(const QUrl& url, const QByteArray* body, int timeoutMs)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
    request.setRawHeader("Accept", "application/json");
    QNetworkReply* reply = body ? m_network.post(request, *body) : m_network.get(request);
    connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
    auto* timer = new QTimer(reply);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, reply, [reply] {
        reply->setProperty(timedOutProperty, true);
        reply->abort();
    });
    timer->start(timeoutMs);
    // An answer is held whole until it ends: one that grows past the cap (or says it
    // will) is cut off at once, so a server can neither fill memory nor the page.
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64 total) {
        if (received <= maxAnswerBytes && total <= maxAnswerBytes)
            return;
        reply->setProperty(tooLargeProperty, true);
        reply->abort();
    });
    return reply;
}

void LocalModelClient::refresh()
{
    if (m_pendingProbes > 0)
        return;
    const LocalModelConfig& config = m_config;
    m_configuredModel = config.model;
    m_probes.clear();
    for (const QUrl& base : config.candidates)
        m_probes.append({ base, LocalModelStatus::Unknown, {} });
    if (m_probes.isEmpty()) {
        m_baseUrl.clear();
        m_model.clear();
        setStatus(LocalModelStatus::Unknown);
        QTimer::singleShot(0, this, &LocalModelClient::refreshed);
        return;
    }
    m_pendingProbes = int(m_probes.size());
    for (qsizetype i = 0; i < m_probes.size(); ++i) {
        QNetworkReply* reply = send(modelsUrl(m_probes[i].base), nullptr, m_probeTimeoutMs);
        connect(reply, &QNetworkReply::finished, this, [this, reply, i] {
            Probe& probe = m_probes[i];
            const int status = httpStatusOf(reply);
            if (reply->property(tooLargeProperty).toBool()) {
                probe.status = LocalModelStatus::Unknown;
            } else if (status == 0) {
                probe.status = LocalModelStatus::NoServer;
            } else if (status == 503) {
                probe.status = LocalModelStatus::NotReady;
            } else if (status == 200) {
                const QJsonArray models
                    = QJsonDocument::fromJson(reply->readAll()).object().value(QLatin1String("data")).toArray();
                const QString first = models.at(0).toObject().value(QLatin1String("id")).toString();
                probe.status = first.isEmpty() ? LocalModelStatus::Unknown : LocalModelStatus::Available;
                probe.firstModel = first;
            } else {
                probe.status = LocalModelStatus::Unknown;
            }
            if (--m_pendingProbes == 0)
                finishProbes();
        });
    }
}

void LocalModelClient::finishProbes()
{
    // The first server with a model wins; else the most hopeful answer counts.
    const Probe* available = nullptr;
    bool notReady = false;
    bool allSilent = true;
    for (const Probe& probe : m_probes) {
        if (probe.status == LocalModelStatus::Available && !available)
            available = &probe;
        notReady = notReady || probe.status == LocalModelStatus::NotReady;
        allSilent = allSilent && probe.status == LocalModelStatus::NoServer;
    }
    if (available) {
        m_baseUrl = available->base;
        m_model = m_configuredModel.isEmpty() ? available->firstModel : m_configuredModel;
    } else {
        m_baseUrl.clear();
        m_model.clear();
    }
    setStatus(available ? LocalModelStatus::Available
            : notReady  ? LocalModelStatus::NotReady
            : allSilent ? LocalModelStatus::NoServer
                        : LocalModelStatus::Unknown);
    qCDebug(lcLlm) << "Language model status" << int(m_status) << m_baseUrl << m_model;
    emit refreshed();
}

void LocalModelClient::setStatus(LocalModelStatus status)
{
    setNotifying(this, m_status, status, &LocalModelClient::statusChanged);
}

void LocalModelClient::chat(
    const QString& instructions, const QString& text, QObject* context, std::function<void(ChatResult)> done)
{
    if (m_status != LocalModelStatus::Available || m_baseUrl.isEmpty()) {
        QTimer::singleShot(0, context, [done = std::move(done)] {
            done(unexpected(LocalModelError { LocalModelError::Code::NoServer, 0, {} }));
        });
        return;
    }
    const QJsonObject message {
        { QStringLiteral("model"), m_model },
        { QStringLiteral("stream"), false },
        { QStringLiteral("messages"),
            QJsonArray { QJsonObject { { QStringLiteral("role"), QStringLiteral("system") },
                             { QStringLiteral("content"), instructions } },
                QJsonObject {
                    { QStringLiteral("role"), QStringLiteral("user") }, { QStringLiteral("content"), text } } } },
    };
    const QByteArray body = QJsonDocument(message).toJson(QJsonDocument::Compact);
    QNetworkReply* reply = send(chatCompletionsUrl(m_baseUrl), &body, m_requestTimeoutMs);
    // A request whose asker is gone is dropped.
    connect(context, &QObject::destroyed, reply, &QNetworkReply::abort);
    // The abort finishes the reply while `context` is being destroyed: the guard is
    // already empty then.
    connect(
        reply, &QNetworkReply::finished, context, [reply, guard = QPointer<QObject>(context), done = std::move(done)] {
            if (!guard)
                return;
            const ChatResult result = chatResult(reply);
            if (!result)
                qCWarning(lcLlm) << "Chat request failed:" << result.error().message();
            done(result);
        });
}

} // namespace zova::llm
