#pragma once

#include <QCache>
#include <QElapsedTimer>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QString>
#include <QThreadPool>

#include <atomic>

namespace zova {

class StorageService;

// Screenshots by file name for the library's cards and rows, scaled down to at
// most 640 pixels wide, decoded off the GUI thread and kept (a name never
// changes meaning: every change of a screenshot writes a new file).
class ThumbnailCache : public QObject {
    Q_OBJECT
public:
    static ThumbnailCache& shared();
    // The folder the screenshots are read from, which outlives its use here;
    // without one every screenshot is Missing.
    void setStorage(const StorageService* storage);
    // Waits for the decodes still running.
    ~ThumbnailCache() override;

    enum class Status { Loading, Ready, Missing };
    struct Entry {
        Status status = Status::Missing;
        QImage image; // set when Ready
    };
    // What painting can show now. An unknown name is asked for off the GUI
    // thread (Loading, then `loaded`). A missing file is looked for again once
    // its miss is a few seconds old, so a file written later is found.
    Entry lookup(const QString& filename);
    // The image, read now when it is not cached; null when there is none.
    QImage image(const QString& filename);

    // Forgets everything decoded and missed.
    void clear();
    // Blocks until every requested decode has reported.
    void waitForIdle();

signals:
    // The file's thumbnail became Ready or Missing.
    void loaded(const QString& filename);

private:
    ThumbnailCache();
    // The screenshot scaled down; null when it is missing or unreadable.
    static QImage load(const StorageService* storage, const QString& filename);
    void store(const QString& filename, const QImage& image);
    void finish(const QString& filename, const QImage& image);

    std::atomic<const StorageService*> m_storage = nullptr;
    QCache<QString, QImage> m_cache;
    QSet<QString> m_loading;
    QHash<QString, qint64> m_missedAt; // ms on m_clock
    QElapsedTimer m_clock;
    int m_requests = 0;
    QThreadPool m_pool;
};

} // namespace zova
