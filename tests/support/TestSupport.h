#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QString>
#include <QTemporaryDir>

#include <functional>

namespace zova::test {

// The per-process home of the test: XDG data, config, cache and runtime folders
// point below it, so nothing touches the user's own files.
QString testHome();

// Spins the event loop until the condition holds or the time runs out.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 5000);

// Writes bytes to a file, creating folders; false on failure.
bool writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);

} // namespace zova::test
