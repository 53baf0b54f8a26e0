#pragma once

#include "base/Expected.h"
#include "export/NarrationScheduler.h"
#include "export/VideoExportError.h"
#include "export/VideoExportOptions.h"
#include "export/VideoFrameSource.h"
#include "platform/speech/SpeechTypes.h"

#include <QFutureWatcher>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

namespace zova {

class Guide;
class Settings;
class StorageService;

// Exports a guide as a narrated 1920x1080 H.264/AAC MP4 slideshow. Lives on the GUI
// thread; narration runs in espeak-ng child processes, encoding on a worker thread.
// One export at a time per service.
class VideoExportService : public QObject {
public:
    using Options = VideoExportOptions;
    using FrameSource = VideoFrameSource;
    using Result = Expected<void, VideoExportError>;
    using Completion = std::function<void(const Result&)>;

    struct Dependencies {
        // The screenshot folder; required, and outlives the service.
        const StorageService* storage = nullptr;
        NarrationScheduler::Pool pool; // three synthesizers
        // The narrator voice, asked once per narrated export.
        std::function<std::optional<speech::SpeechVoice>()> narratorVoice;
        QString preset = QStringLiteral("veryfast"); // libx264 preset
    };

    // The real synthesizers; the narrator voice the settings name.
    VideoExportService(const Settings& settings, const StorageService& storage, QObject* parent = nullptr);
    explicit VideoExportService(Dependencies dependencies, QObject* parent = nullptr);
    // Waits for an encoding still running; its completion is not called.
    ~VideoExportService() override;

    // Writes the guide's video to `to`. The file is written under a temporary name
    // in the same folder and renamed over `to` only on success, so a failure leaves
    // an earlier file in place and no temporary file. Progress texts reach
    // options.progress, then completion is called once, on the GUI thread, never
    // from inside this call.
    void exportMP4(Guide* guide, const QString& to, const Options& options, Completion completion);
    bool isBusy() const { return m_busy; }

    static QList<FrameSource> loadFrames(const StorageService& storage, const QList<class Step*>& steps,
        const std::optional<QString>& guideBackgroundHex)
    {
        return loadVideoFrames(storage, steps, guideBackgroundHex);
    }
    // "zova-export-" + 8 upper-case hex digits + "-video.mp4", in the private
    // folder of temporary files; renamed to the destination when complete.
    static QString temporaryPath();

private:
    void writeVideo(QList<FrameSource> frames, QList<StepNarration> narrations, const QString& to,
        const Options& options, Completion completion);
    void finish(const Completion& completion, const Result& result);

    const StorageService* m_storage = nullptr;
    NarrationScheduler* m_scheduler = nullptr;
    std::function<std::optional<speech::SpeechVoice>()> m_narratorVoice;
    QString m_preset;
    QFutureWatcher<Result>* m_watcher = nullptr;
    bool m_busy = false;
};

} // namespace zova
