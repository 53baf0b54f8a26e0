#pragma once

#include "base/Expected.h"
#include "platform/llm/LocalModelEndpoint.h"
#include "platform/llm/LocalModelError.h"

#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>

class QNetworkReply;

namespace zova::llm {

// What the last look at the server found.
enum class LocalModelStatus {
    Available, // a server answered with at least one model
    NotReady, // a server is up but still loading its model (HTTP 503)
    NoServer, // nothing answered
    Unknown, // not asked yet, refused address, or any other answer
};

// The process's one client of the local OpenAI-compatible chat server. Lives on
// the GUI thread. The status is cached: `status()` answers at once, and
// `refresh()` looks again in the background.
class LocalModelClient : public QObject {
    Q_OBJECT
public:
    using ChatResult = Expected<QString, LocalModelError>;

    static LocalModelClient& shared();

    LocalModelStatus status() const { return m_status; }
    // The server and model that chats go to; empty until a look found one.
    QUrl baseUrl() const { return m_baseUrl; }
    QString model() const { return m_model; }
    bool isRefreshing() const { return m_pendingProbes > 0; }

    // Where later looks go; until set, the usual local servers and their first model.
    void setConfig(LocalModelConfig config) { m_config = std::move(config); }
    const LocalModelConfig& config() const { return m_config; }

    // Asks the configured servers for their models. A look already under way is
    // not repeated; `refreshed` follows when it ends.
    void refresh();

    // One chat: the instructions as system message, `text` as user message,
    // default sampling. `done` runs later on the GUI thread with the answer's
    // content, unless `context` is destroyed first (which drops the request).
    void chat(const QString& instructions, const QString& text, QObject* context, std::function<void(ChatResult)> done);

    // The longest answer taken, in bytes: far above any label, description or model
    // list. A longer one fails the request with TooLarge.
    static constexpr qint64 maxAnswerBytes = 256 * 1024;

    // Time-outs in milliseconds, each for a whole exchange: from the request to the
    // answer's last byte.
    void setProbeTimeout(int ms) { m_probeTimeoutMs = ms; }
    void setRequestTimeout(int ms) { m_requestTimeoutMs = ms; }
    int requestTimeout() const { return m_requestTimeoutMs; }

signals:
    void statusChanged(zova::llm::LocalModelStatus status);
    void refreshed();

private:
    explicit LocalModelClient(QObject* parent = nullptr);

    struct Probe {
        QUrl base;
        LocalModelStatus status = LocalModelStatus::Unknown;
        QString firstModel;
    };
    QNetworkReply* send(const QUrl& url, const QByteArray* body, int timeoutMs);
    void finishProbes();
    void setStatus(LocalModelStatus status);

    QNetworkAccessManager m_network;
    LocalModelConfig m_config = LocalModelConfig::from({}, {});
    LocalModelStatus m_status = LocalModelStatus::Unknown;
    QUrl m_baseUrl;
    QString m_model;
    QString m_configuredModel;
    QList<Probe> m_probes;
    int m_pendingProbes = 0;
    int m_probeTimeoutMs = 3000;
    int m_requestTimeoutMs = 45000;
};

} // namespace zova::llm
