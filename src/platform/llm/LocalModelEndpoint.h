#pragma once

#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

namespace zova::llm {

// Where the chat server is asked: the configured endpoint and model as the user
// set them (the application passes them in; this layer reads no settings).
struct LocalModelConfig {
    // The configured servers, or the two usual local ones (llama.cpp, then
    // Ollama) when none is set. Never holds an address off this machine.
    QList<QUrl> candidates;
    // The model to ask for; empty means the first one the server lists.
    QString model;
    // Set when the configured endpoint was refused (not a loopback http address).
    bool rejected = false;

    // An empty endpoint means the two usual local servers; a refused one leaves
    // no candidates.
    static LocalModelConfig from(const QString& endpoint, const QString& model);
};

// The server's base address ("http://127.0.0.1:8080", without "/v1") when `text`
// names an http(s) server on a loopback address; no value otherwise.
std::optional<QUrl> loopbackBaseUrl(const QString& text);

QUrl modelsUrl(const QUrl& base);
QUrl chatCompletionsUrl(const QUrl& base);

} // namespace zova::llm
