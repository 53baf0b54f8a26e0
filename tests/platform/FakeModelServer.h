#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include "platform/llm/LocalModelClient.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <functional>
#include <memory>

namespace zova::test {

// A chat server on loopback that speaks just enough HTTP/1.1 and of the
// OpenAI-compatible protocol: GET /v1/models and POST /v1/chat/completions.
class FakeModelServer {
public:
    struct Request {
        QByteArray method;
        QByteArray path;
        QByteArray body;
        QJsonObject json() const { return QJsonDocument::fromJson(body).object(); }
    };
    struct Reply {
        int status = 200;
        QByteArray body;
        bool silent = false; // never answer
        // When above zero: a chat answer of this many bytes, its content one long
        // word, written as fast as the client takes it (or a chunk per interval).
        qint64 streamBytes = 0;
        bool declareLength = true; // else the answer ends when the connection does
        int chunkIntervalMs = 0;
    };

    static Reply streamedAnswer(qint64 bytes, bool declareLength, int chunkIntervalMs = 0)
    {
        Reply reply;
        reply.streamBytes = bytes;
        reply.declareLength = declareLength;
        reply.chunkIntervalMs = chunkIntervalMs;
        return reply;
    }

    static Reply chatAnswer(const QString& content)
    {
        const QJsonObject message { { "role", "assistant" }, { "content", content } };
        const QJsonObject choice { { "index", 0 }, { "message", message } };
        return { 200,
            QJsonDocument(QJsonObject { { "choices", QJsonArray { choice } } }).toJson(QJsonDocument::Compact) };
    }

    FakeModelServer()
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { read(socket); });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }

    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()); }
    void close() { m_server.close(); }

    QList<Request> requestsTo(const QByteArray& path) const
    {
        QList<Request> found;
        for (const Request& r : requests)
            if (r.path == path)
                found.append(r);
        return found;
    }

    Reply models { 200, R"({"object":"list","data":[{"id":"test-model","object":"model"}]})" };
    std::function<Reply(const Request&)> chat = [](const Request&) { return chatAnswer(QStringLiteral("ok")); };
    QList<Request> requests;
    // Bytes of streamed answers the clients took before the end or their hanging up.
    qint64 bytesStreamed = 0;
    bool streamEnded = false; // a streamed answer was written to its end

private:
    void read(QTcpSocket* socket)
    {
        QByteArray& buffer = m_buffers[socket];
        buffer += socket->readAll();
        const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
        if (headerEnd < 0)
            return;
        const QList<QByteArray> headerLines = buffer.left(headerEnd).split('\n');
        qsizetype length = 0;
        for (const QByteArray& line : headerLines) {
            const QByteArray l = line.trimmed().toLower();
            if (l.startsWith("content-length:"))
                length = l.mid(15).trimmed().toLongLong();
        }
        if (buffer.size() < headerEnd + 4 + length)
            return;
        const QList<QByteArray> start = headerLines.value(0).trimmed().split(' ');
        Request request { start.value(0), start.value(1), buffer.mid(headerEnd + 4, length) };
        m_buffers.remove(socket);
        requests.append(request);

        Reply reply;
        if (request.method == "GET" && request.path == "/v1/models")
            reply = models;
        else if (request.method == "POST" && request.path == "/v1/chat/completions")
            reply = chat(request);
        else
            reply = { 404, R"({"error":"not found"})" };
        if (reply.silent)
            return;
        if (reply.streamBytes > 0)
            return stream(socket, reply);
        QByteArray response = "HTTP/1.1 " + QByteArray::number(reply.status) + " Status\r\n";
        response += "Content-Type: application/json\r\nConnection: close\r\n";
        response += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n\r\n" + reply.body;
        socket->write(response);
        socket->disconnectFromHost();
    }

    void stream(QTcpSocket* socket, const Reply& reply)
    {
        const QByteArray head = R"({"choices":[{"index":0,"message":{"role":"assistant","content":")";
        const QByteArray tail = R"("}}]})";
        QByteArray response = "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nConnection: close\r\n";
        if (reply.declareLength)
            response += "Content-Length: " + QByteArray::number(reply.streamBytes) + "\r\n";
        socket->write(response + "\r\n" + head);
        auto left = std::make_shared<qint64>(reply.streamBytes - head.size() - tail.size());
        QPointer<QTcpSocket> guarded(socket);
        auto more = std::make_shared<std::function<void()>>();
        *more = [this, guarded, left, tail, interval = reply.chunkIntervalMs, more] {
            if (!guarded || guarded->state() != QAbstractSocket::ConnectedState)
                return;
            if (*left <= 0) {
                guarded->write(tail);
                streamEnded = true;
                guarded->disconnectFromHost();
                return;
            }
            const qint64 n = std::min<qint64>(*left, interval > 0 ? 1024 : 64 * 1024);
            guarded->write(QByteArray(n, 'a'));
            *left -= n;
            bytesStreamed += n;
            if (interval > 0)
                QTimer::singleShot(interval, guarded, *more);
        };
        if (reply.chunkIntervalMs == 0) {
            // The next chunk once the last has mostly left, so the client sets the pace.
            QObject::connect(socket, &QTcpSocket::bytesWritten, socket, [socket, more] {
                if (socket->bytesToWrite() < 128 * 1024)
                    (*more)();
            });
        }
        (*more)();
        // The chain ends with the socket: nothing holds `more` but its own timers and slots.
        QObject::connect(socket, &QObject::destroyed, [more] { *more = nullptr; });
    }

    QTcpServer m_server;
    QHash<QTcpSocket*, QByteArray> m_buffers;
};

// Points the process's model client at `endpoint` (empty: the defaults) and
// waits for its look at the server to end.
inline bool pointModelClientAt(const QString& endpoint, const QString& model = {})
{
    auto& client = llm::LocalModelClient::shared();
    if (!waitUntil([&] { return !client.isRefreshing(); }, 10000))
        return false;
    client.setConfig(llm::LocalModelConfig::from(endpoint, model));
    client.refresh();
    return waitUntil([&] { return !client.isRefreshing(); }, 10000);
}

} // namespace zova::test
