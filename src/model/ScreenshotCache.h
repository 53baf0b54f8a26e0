#pragma once

#include <QCache>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QSize>
#include <QString>
#include <QThreadPool>

#include <functional>

namespace zova {

class StorageService;

// Step screenshots by file name, decoded off the GUI thread at the sizes asked
// for and kept within a memory budget: the library's previews, the step list's
// thumbnails and the canvas's whole screenshot. A name never changes meaning
// (every change of a screenshot writes a new file), so what is kept stays right.
// The application root makes one and hands it to the library and every editor.
// GUI thread.
class ScreenshotCache : public QObject {
    Q_OBJECT
public:
    // Milliseconds on a steady clock.
    using Clock = std::function<qint64()>;
    // How old a miss is before a lookup reads the file again.
    static constexpr qint64 missRetryMs = 3000;

    // `storage` resolves file names and outlives the cache; an empty clock is a
    // steady clock of its own.
    explicit ScreenshotCache(const StorageService& storage, Clock clock = {}, QObject* parent = nullptr);
    // Drops the decodes not started and waits for the ones running.
    ~ScreenshotCache() override;

    enum class Status { Loading, Ready, Missing };
    struct Entry {
        Status status = Status::Missing;
        QImage image; // set when Ready
    };

    // The screenshot as `box` asks for it: an invalid box is the whole
    // screenshot; otherwise it is scaled down (never up, keeping its shape) until
    // one side meets the box and the other covers it, a side of 0 leaving that
    // side free. What painting can show now: an unknown name is read off the GUI
    // thread (Loading, then `loaded`); a missing or unreadable file is Missing,
    // and is read again by a lookup once its miss is missRetryMs old, so a file
    // written later is found. A name that is empty or not bare is Missing and
    // never read.
    Entry lookup(const QString& filename, QSize box);
    // Known to be missing, without asking for it.
    bool isMissing(const QString& filename) const;
    // The screenshot as lookup() gives it, read now when it is not kept; null
    // when there is none.
    QImage image(const QString& filename, QSize box);

    // Forgets everything decoded and missed.
    void clear();
    // Blocks until every requested decode has reported.
    void waitForIdle();

    // The file at `path` as lookup() gives it for `box`; null when it is missing
    // or unreadable. Any thread.
    static QImage decode(const QString& path, QSize box);

signals:
    // The file became Ready (at some size) or Missing.
    void loaded(const QString& filename);

private:
    static QString keyOf(const QString& filename, QSize box);
    bool missFresh(const QString& filename) const;
    void keep(const QString& key, const QImage& image);
    void finish(const QString& filename, const QString& key, const QImage& image);

    const StorageService& m_storage;
    Clock m_clock;
    QCache<QString, QImage> m_images;
    QSet<QString> m_loading; // keys
    QHash<QString, qint64> m_missedAt; // file names, at m_clock
    int m_requests = 0;
    QThreadPool m_pool;
};

} // namespace zova
