#pragma once

#include <QCache>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QSize>
#include <QString>
#include <QThreadPool>

namespace zova {

class StorageService;

// Row thumbnails of step screenshots, decoded off the GUI thread and scaled once
// per file name to fill one box (a name never changes meaning: every change of a
// screenshot writes a new file). One instance serves every editor of the process.
class StepThumbnails : public QObject {
    Q_OBJECT
public:
    // `box` is the thumbnail's size in device pixels; the screenshots are those of
    // `storage`, which outlives this object.
    StepThumbnails(QSize box, const StorageService& storage, QObject* parent = nullptr);
    // Waits for the decodes still running.
    ~StepThumbnails() override;

    QSize box() const { return m_box; }

    enum class Status { Loading, Ready, Missing };
    // The state of a file's thumbnail; asks for it when it is unknown. An empty
    // name is Missing.
    Status status(const QString& filename);
    // Known to have no thumbnail, without asking for one.
    bool isMissing(const QString& filename) const { return filename.isEmpty() || m_missing.contains(filename); }
    // The thumbnail once Ready; null otherwise.
    QImage image(const QString& filename) const;

    // Forgets everything decoded (missing files are looked for again).
    void clear();
    // Blocks until every requested decode has reported.
    void waitForIdle();

    // The screenshot scaled to cover `box` and cropped to it, centred; null when
    // the file is missing or unreadable.
    static QImage load(const QString& path, QSize box);

signals:
    // The thumbnail of the file became Ready or Missing.
    void loaded(const QString& filename);

private:
    void finish(const QString& filename, const QImage& image);

    QSize m_box;
    const StorageService& m_storage;
    QCache<QString, QImage> m_cache;
    QSet<QString> m_loading;
    QSet<QString> m_missing;
    QThreadPool m_pool;
};

} // namespace zova
