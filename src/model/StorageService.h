#pragma once

#include "base/Expected.h"

#include <QByteArray>
#include <QDateTime>
#include <QImage>
#include <QSet>
#include <QString>

#include <atomic>
#include <optional>

namespace zova {

// Why a screenshot was not saved.
struct StorageError {
    enum class Kind { EncodingFailed, WriteFailed };
    Kind kind = Kind::EncodingFailed;
    // The system's own words for a failed write ("No space left on device").
    QString reason;

    bool operator==(const StorageError&) const = default;
};
// Fixed English text, followed by the system's reason for a failed write.
QString describe(const StorageError& error);

// The folder of one store's step screenshots, one PNG per step under a fresh UUID
// name. Made once at the application root and handed to whatever reads or writes
// screenshots. Stateless after construction: safe to call from any thread.
class StorageService {
public:
    // The screenshots folder of the store file at `storePath`: "screenshots" beside
    // it, so ~/.local/share/ZOVA/screenshots for the default store.
    static QString folderBeside(const QString& storePath);

    // Creates `directory` when it is missing; it and its parent are made readable by
    // the user alone (0700), as is every screenshot (0600).
    explicit StorageService(QString directory);

    QString screenshotsDirectory() const { return m_directory; }

    // Turns an image into the bytes of a PNG file; no value when it cannot.
    using Encoder = std::optional<QByteArray> (*)(const QImage& image);
    // The application root installs the platform's encoder before any screenshot is
    // saved; until then Qt's PNG writer is used.
    void setEncoder(Encoder encoder) { m_encoder.store(encoder); }

    // Writes a new PNG atomically; a failed write leaves no file.
    Expected<QString, StorageError> saveScreenshot(const QImage& image) const;
    // No image for the empty name, a name that is not bare, or a missing or unreadable file.
    QImage loadScreenshot(const QString& filename) const;
    // Does nothing for the empty name or a name that is not bare; errors are ignored.
    void deleteScreenshot(const QString& filename) const;

    // Start-up care of the folder: restores the private modes of an older
    // installation, and removes the screenshots (and half-written ones) last
    // written before `writtenBefore` that no name in `referenced` holds, so that
    // what is saved while it runs stays. Files not named like the application's
    // are kept.
    void tightenPermissions() const;
    void removeUnreferenced(const QSet<QString>& referenced, const QDateTime& writtenBefore) const;

    // The file's full path, or no value when the name is empty or not bare.
    std::optional<QString> pathFor(const QString& filename) const;
    // A name without folder parts: not empty, no separator, not "." or "..".
    static bool isBareFileName(const QString& filename);

    StorageService(const StorageService&) = delete;
    StorageService& operator=(const StorageService&) = delete;

private:
    QString m_directory;
    std::atomic<Encoder> m_encoder = nullptr;
};

} // namespace zova
