#include "export/VideoExportService.h"

#include "export/ExportLog.h"
#include "export/NarratorService.h"
#include "export/SlideshowWriter.h"
#include "model/Guide.h"
#include "model/TemporaryFiles.h"
#include "platform/desktop/FileManager.h"
#include "platform/speech/EspeakProcessSynthesizer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QUuid>
#include <QtConcurrent>

namespace zova {

namespace {

VideoExportService::Dependencies defaultDependencies(const Settings& settings, const StorageService& storage)
{
    VideoExportService::Dependencies d;
    d.storage = &storage;
    for (auto& synth : d.pool)
        synth = std::make_unique<speech::EspeakProcessSynthesizer>();
    d.narratorVoice
        = [sources = NarratorService::defaultSources(settings)] { return NarratorService(sources).effectiveVoice(); };
    return d;
}

} // namespace

VideoExportService::VideoExportService(const Settings& settings, const StorageService& storage, QObject* parent)
    : VideoExportService(defaultDependencies(settings, storage), parent)
{
}

VideoExportService::VideoExportService(Dependencies d, QObject* parent)
    : QObject(parent)
    , m_storage(d.storage)
    , m_scheduler(new NarrationScheduler(std::move(d.pool), this))
    , m_narratorVoice(std::move(d.narratorVoice))
    , m_preset(d.preset)
    , m_watcher(new QFutureWatcher<Result>(this))
{
}

VideoExportService::~VideoExportService()
{
    m_watcher->disconnect();
    m_watcher->waitForFinished();
}

QString VideoExportService::temporaryPath()
{
    const QString stem = QUuid::createUuid().toString(QUuid::WithoutBraces).left(8).toUpper();
    return TemporaryFiles::directory() + QStringLiteral("/zova-export-") + stem + QStringLiteral("-video.mp4");
}

void VideoExportService::finish(const Completion& completion, const Result& result)
{
    m_busy = false;
    if (!result)
        qCWarning(lcExport) << "video export failed:" << result.error().description();
    if (completion)
        completion(result);
}

void VideoExportService::exportMP4(Guide* guide, const QString& to, const Options& options, Completion completion)
{
    const auto later = [this, completion](Result r) {
        QMetaObject::invokeMethod(
            this, [completion, r] { completion(r); }, Qt::QueuedConnection);
    };
    if (m_busy) {
        later(unexpected(VideoExportError::writerCreationFailed(QStringLiteral("Another video export is running."))));
        return;
    }
    QList<FrameSource> frames = guide && m_storage
        ? loadFrames(*m_storage, guide->orderedSteps(), guide->videoBackgroundHex())
        : QList<FrameSource>();
    if (frames.isEmpty()) {
        later(unexpected(VideoExportError::noUsableSteps()));
        return;
    }
    m_busy = true;
    std::optional<speech::SpeechVoice> voice;
    if (options.narrateSteps && m_narratorVoice)
        voice = m_narratorVoice();
    if (!voice) {
        QMetaObject::invokeMethod(
            this, [=, this] { writeVideo(frames, {}, to, options, completion); }, Qt::QueuedConnection);
        return;
    }
    QStringList texts;
    for (const FrameSource& f : frames)
        texts << f.description;
    QPointer<VideoExportService> self(this);
    m_scheduler->synthesizeAll(
        texts, *voice, options.synthesisTimeoutSeconds, options.progress, [=, this](QList<StepNarration> narrations) {
            if (self)
                writeVideo(frames, std::move(narrations), to, options, completion);
        });
}

void VideoExportService::writeVideo(QList<FrameSource> frames, QList<StepNarration> narrations, const QString& to,
    const Options& options, Completion completion)
{
    SlideshowWriter::Input input;
    input.sound = SlideshowWriter::soundFormat(narrations);
    if (input.sound && options.progress)
        options.progress(QStringLiteral("Preparing audio track\u2026"));
    input.frames = std::move(frames);
    input.narrations = std::move(narrations);
    input.options = options;
    input.options.progress = nullptr;
    input.preset = m_preset;
    const QString temp = temporaryPath();
    input.path = temp;
    const auto progress = options.progress;
    // The worker only posts to this object, which waits for the worker before it goes.
    input.finalizing = [this, progress] {
        if (progress)
            QMetaObject::invokeMethod(
                this, [progress] { progress(QStringLiteral("Finalizing MP4\u2026")); }, Qt::QueuedConnection);
    };
    if (options.progress)
        options.progress(QStringLiteral("Rendering video\u2026"));

    m_watcher->disconnect();
    connect(m_watcher, &QFutureWatcher<Result>::finished, this, [this, completion, to, options] {
        const Result result = m_watcher->result();
        if (result && options.revealWhenDone)
            desktop::revealInFileManager(to);
        finish(completion, result);
    });
    m_watcher->setFuture(QtConcurrent::run([input = std::move(input), temp, to]() -> Result {
        auto written = SlideshowWriter::write(input);
        if (!written) {
            QFile::remove(temp);
            return unexpected(written.error());
        }
        // Replaces an earlier file (or link) at the destination in one step.
        if (auto moved = TemporaryFiles::moveIntoPlace(temp, to); !moved)
            return unexpected(VideoExportError::media(QStringLiteral("Could not save the video: ") + moved.error()));
        return {};
    }));
}

} // namespace zova
