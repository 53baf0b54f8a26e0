#include "Bench.h"

#include "export/NarrationScheduler.h"
#include "export/VideoExportService.h"
#include "export/VideoFrameRenderer.h"
#include "model/Guide.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Step.h"
#include "model/StepAnnotation.h"
#include "model/StorageService.h"
#include "platform/speech/EspeakProcessSynthesizer.h"
#include "platform/speech/EspeakVoiceCatalog.h"
#include "platform/video/Mp4Writer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>

#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace zova;

namespace {

// The screenshot folder of the default store, as the application makes it.
StorageService& screenshotFolder()
{
    static StorageService folder(StorageService::folderBeside(ModelContainer::defaultStorePath()));
    return folder;
}

constexpr int stepCount = 20;
constexpr int runs = 5;
const QString preset = QStringLiteral("veryfast");

// A 1920 x 1080 application window: title bar, sidebar, a page of text and a button.
QImage screenshot(int index)
{
    QImage image(1920, 1080, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(248, 248, 250));
    QPainter p(&image);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(16);
    p.setFont(font);
    p.fillRect(0, 0, 1920, 44, QColor(60 + 7 * index, 64, 80));
    p.fillRect(0, 44, 280, 1036, QColor(232, 234, 240));
    p.setPen(Qt::white);
    p.drawText(20, 28, QStringLiteral("Document %1 - Editor").arg(index + 1));
    p.setPen(QColor(30, 30, 30));
    for (int i = 0; i < 24; ++i)
        p.drawText(24, 90 + 38 * i, QStringLiteral("Folder %1").arg(i + index));
    for (int i = 0; i < 38; ++i)
        p.drawText(320, 90 + 24 * i,
            QStringLiteral("Line %1 of page %2 with a few more words to read across it").arg(i + 1).arg(index));
    p.setBrush(QColor(40, 110, 220));
    p.drawRoundedRect(QRectF(1600, 960, 220, 56), 10, 10);
    return image;
}

QString description(int index)
{
    static const char* verbs[]
        = { "Click the Save button.", "Open the File menu.", "Choose Export.", "Type the file name.", "Press Done." };
    return QString::fromLatin1(verbs[index % 5]);
}

// Hands out narrations synthesized beforehand, at once, so only encoding is timed.
class ReplaySynthesizer : public speech::SpeechSynthesizer {
public:
    explicit ReplaySynthesizer(const QHash<QString, QList<speech::PcmBuffer>>* narrations)
        : m_narrations(narrations)
    {
    }
    void write(const QString& text, const speech::SpeechVoice&, BufferHandler handler) override
    {
        for (const speech::PcmBuffer& b : m_narrations->value(text))
            handler(b);
        handler(speech::PcmBuffer { 22050, 1, speech::PcmBuffer::SampleFormat::Int16, 0, {} });
    }
    void stop() override { }

private:
    const QHash<QString, QList<speech::PcmBuffer>>* m_narrations;
};

bool waitFor(const std::function<bool()>& condition, int ms)
{
    // Sleeps between events, so the waiting thread takes no core from the encoder.
    QDeadlineTimer deadline(ms);
    QTimer tick;
    tick.start(100);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

QHash<QString, QList<speech::PcmBuffer>> synthesize(const QStringList& texts, const speech::SpeechVoice& voice)
{
    NarrationScheduler::Pool pool;
    for (auto& s : pool)
        s = std::make_unique<speech::EspeakProcessSynthesizer>();
    NarrationScheduler scheduler(std::move(pool));
    std::optional<QList<StepNarration>> result;
    scheduler.synthesizeAll(texts, voice, 30, {}, [&](QList<StepNarration> r) { result = std::move(r); });
    waitFor([&] { return result.has_value(); }, 60000);
    QHash<QString, QList<speech::PcmBuffer>> out;
    for (int i = 0; result && i < texts.size(); ++i)
        out.insert(texts.at(i), result->at(i).buffers);
    return out;
}

// The sound track as the exporter lays it out: each narration padded to 3 s.
bool writeWav(const QString& path, const QStringList& texts, const QHash<QString, QList<speech::PcmBuffer>>& narrations)
{
    constexpr int rate = 22050;
    QByteArray pcm;
    for (const QString& t : texts) {
        QByteArray step;
        for (const speech::PcmBuffer& b : narrations.value(t))
            step += b.data;
        step.resize(qsizetype(3 * rate * 2), '\0');
        pcm += step;
    }
    QByteArray wav("RIFF");
    const auto u32 = [&](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        wav.append(b, 4);
    };
    const auto u16 = [&](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        wav.append(b, 2);
    };
    u32(quint32(36 + pcm.size()));
    wav += "WAVEfmt ";
    u32(16);
    u16(1);
    u16(1);
    u32(rate);
    u32(rate * 2);
    u16(2);
    u16(16);
    wav += "data";
    u32(quint32(pcm.size()));
    wav += pcm;
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(wav) == wav.size();
}

// The peak resident memory of this process so far, from /proc/self/status.
double peakResidentMB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    return -1;
}

// One silent export of `steps` blurred 1920 x 1080 steps, each its own
// screenshot; prints the peak resident memory of the whole process.
int exportForMemory(Guide* guide, int steps, const QString& out)
{
    for (int i = 0; i < steps; ++i) {
        auto name = screenshotFolder().saveScreenshot(screenshot(i % 30));
        auto* step = new Step(i, name ? *name : QString(), 0.5, 0.5);
        StepAnnotation blur;
        blur.kind = StepAnnotation::Kind::Blur;
        blur.x = 0.2;
        blur.y = 0.3;
        blur.width = 0.3;
        blur.height = 0.1;
        step->setAnnotations({ blur });
        step->setGuide(guide);
    }
    VideoExportService::Dependencies d;
    d.storage = &screenshotFolder();
    for (auto& synth : d.pool)
        synth = std::make_unique<speech::EspeakProcessSynthesizer>();
    d.narratorVoice = [] { return std::optional<speech::SpeechVoice>(); };
    d.preset = preset;
    VideoExportService service(std::move(d));
    VideoExportOptions o;
    o.narrateSteps = false;
    o.minSecondsPerStep = 0.2;
    std::optional<VideoExportService::Result> result;
    service.exportMP4(
        guide, out + QStringLiteral("/memory.mp4"), o, [&](const VideoExportService::Result& r) { result = r; });
    if (!waitFor([&] { return result.has_value(); }, 600000) || !*result)
        return 1;
    std::printf("peak %.1f\n", peakResidentMB());
    return 0;
}

// The number of video packets (one a frame) in the file's first video stream, -1
// when ffprobe cannot tell.
long long videoFrames(const QString& file)
{
    QProcess p;
    p.start(QStringLiteral("ffprobe"),
        { "-v", "error", "-select_streams", "v:0", "-count_packets", "-show_entries", "stream=nb_read_packets", "-of",
            "csv=p=0", file });
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return -1;
    bool ok = false;
    const long long n = p.readAllStandardOutput().trimmed().toLongLong(&ok);
    return ok ? n : -1;
}

bool runFfmpeg(const QStringList& args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QStringLiteral("ffmpeg"), args);
    return p.waitForFinished(600000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString out = home.filePath(QStringLiteral("out"));
    QDir().mkpath(out);

    auto container = ModelContainer::open(home.filePath(QStringLiteral("ZOVA.store")));
    if (!container) {
        std::fprintf(stderr, "could not open the store\n");
        return 1;
    }
    auto* guide = new Guide(QStringLiteral("Benchmark guide"));
    (*container)->mainContext()->insert(guide);
    // --memory N: one export of N steps in this process, for its peak memory.
    if (argc > 2 && qstrcmp(argv[1], "--memory") == 0)
        return exportForMemory(guide, std::atoi(argv[2]), out);
    QStringList texts;
    for (int i = 0; i < stepCount; ++i) {
        auto name = screenshotFolder().saveScreenshot(screenshot(i));
        auto* step = new Step(i, name ? *name : QString(), 0.1 + 0.04 * i, 0.2 + 0.03 * i);
        step->setUserDescription(description(i));
        step->setGuide(guide);
        texts << description(i);
    }

    const auto voice = speech::EspeakVoiceCatalog().voice(QStringLiteral("gmw/en-US"));
    if (!voice) {
        std::fprintf(stderr, "espeak-ng voice gmw/en-US is not installed\n");
        return 1;
    }
    const auto narrations = synthesize(texts, *voice);

    VideoExportService::Dependencies d;
    d.storage = &screenshotFolder();
    for (auto& s : d.pool)
        s = std::make_unique<ReplaySynthesizer>(&narrations);
    d.narratorVoice = [voice] { return voice; };
    d.preset = preset;
    VideoExportService service(std::move(d));
    // The same with espeak-ng synthesizing every narration during the export.
    VideoExportService::Dependencies live;
    for (auto& s : live.pool)
        s = std::make_unique<speech::EspeakProcessSynthesizer>();
    live.narratorVoice = [voice] { return voice; };
    live.preset = preset;
    VideoExportService speaking(std::move(live));

    const auto exportWith = [&](VideoExportService& exporter, bool narrated) {
        VideoExportOptions o;
        o.narrateSteps = narrated;
        std::optional<VideoExportService::Result> result;
        exporter.exportMP4(
            guide, out + QStringLiteral("/zova.mp4"), o, [&](const VideoExportService::Result& r) { result = r; });
        waitFor([&] { return result.has_value(); }, 600000);
        if (!result || !*result)
            std::fprintf(
                stderr, "export failed: %s\n", result ? qPrintable(result->error().description()) : "time-out");
    };
    const auto exportOnce = [&](bool narrated) { exportWith(service, narrated); };

    // One export for a profiler: --once silent|narrated.
    if (argc > 2 && qstrcmp(argv[1], "--once") == 0) {
        bench::measure(
            argv[2], 1, [&] { exportOnce(qstrcmp(argv[2], "narrated") == 0); }, 60000);
        return 0;
    }

    // The slides the exporter draws for these steps: as PNG files for ffmpeg beside
    // the whole export, and as raw BGRA frames for the encoders alone.
    const QList<VideoFrameSource> frames
        = VideoExportService::loadFrames(screenshotFolder(), guide->orderedSteps(), std::nullopt);
    std::vector<QImage> slides;
    QFile raw(out + QStringLiteral("/slides.bgra"));
    if (!raw.open(QIODevice::WriteOnly))
        return 1;
    for (int i = 0; i < frames.size(); ++i) {
        slides.push_back(*VideoFrameRenderer::renderFrame(frames.at(i), i + 1, int(frames.size()), {}));
        slides.back().save(out + QStringLiteral("/slide%1.png").arg(i, 2, 10, QLatin1Char('0')));
        raw.write(reinterpret_cast<const char*>(slides.back().constBits()), slides.back().sizeInBytes());
    }
    raw.close();
    const QString wav = out + QStringLiteral("/narration.wav");
    writeWav(wav, texts, narrations);
    const QStringList pngSlides = { "-y", "-v", "error", "-framerate", "1/3", "-i", out + "/slide%02d.png" };
    const QStringList rawSlides = { "-y", "-v", "error", "-f", "rawvideo", "-pix_fmt", "bgra", "-video_size",
        "1920x1080", "-framerate", "1/3", "-i", out + "/slides.bgra" };
    const QStringList encodeArgs
        = { "-map", "0:v", "-r", "30", "-c:v", "libx264", "-preset", preset, "-profile:v", "high", "-pix_fmt",
              "yuv420p", "-b:v", "5M", "-g", "30", "-x264-params", "keyint=30", "-movflags", "+faststart" };
    const auto ffmpegSlides = [&] { runFfmpeg(rawSlides + encodeArgs + QStringList { out + "/ffmpeg-slides.mp4" }); };
    const auto ffmpegSilent = [&] { runFfmpeg(pngSlides + encodeArgs + QStringList { out + "/ffmpeg.mp4" }); };
    const auto ffmpegNarrated = [&] {
        runFfmpeg(pngSlides + QStringList { "-i", wav } + encodeArgs
            + QStringList { "-map", "1:a", "-c:a", "aac", "-b:a", "96k", "-shortest", out + "/ffmpeg-narrated.mp4" });
    };
    // Our encoder alone on the same frames: each slide shown 3 s, no drawing.
    const auto oursSlides = [&] {
        auto writer = video::Mp4Writer::open(out + QStringLiteral("/ours-slides.mp4"), { .preset = preset }, {});
        for (const QImage& slide : slides)
            if (!writer || !(*writer)->appendStill(slide, 90))
                break;
        if (!writer || !(*writer)->finish())
            std::fprintf(stderr, "our encoder failed\n");
    };

    // The peer with speech: espeak-ng writes each narration (as many at once as our
    // export synthesizes), and ffmpeg pads each to its step's 3 s and encodes.
    const auto ffmpegSpeaking = [&] {
        QList<QProcess*> running;
        for (int i = 0; i < texts.size(); ++i) {
            if (running.size() == NarrationScheduler::poolSize) {
                running.first()->waitForFinished(60000);
                delete running.takeFirst();
            }
            auto* p = new QProcess;
            p->start(QStringLiteral("espeak-ng"),
                { "-v", voice->identifier, "-b", "1", "-w", out + QStringLiteral("/speech%1.wav").arg(i),
                    texts.at(i) });
            running << p;
        }
        for (QProcess* p : running) {
            p->waitForFinished(60000);
            delete p;
        }
        QStringList args = pngSlides;
        QString graph;
        for (int i = 0; i < texts.size(); ++i) {
            args << "-i" << out + QStringLiteral("/speech%1.wav").arg(i);
            graph += QStringLiteral("[%1:a]apad=whole_dur=3[a%1];").arg(i + 1);
        }
        for (int i = 0; i < texts.size(); ++i)
            graph += QStringLiteral("[a%1]").arg(i + 1);
        graph += QStringLiteral("concat=n=%1:v=0:a=1[sound]").arg(texts.size());
        runFfmpeg(args + QStringList { "-filter_complex", graph } + encodeArgs
            + QStringList {
                "-map", "[sound]", "-c:a", "aac", "-b:a", "96k", "-shortest", out + "/ffmpeg-speaking.mp4" });
    };

    std::printf("20 steps, 1920x1080, 30 fps, 3 s per step, libx264 preset %s; wall and CPU time (every thread "
                "and child process) per export, medians of %d, the sides alternated\n",
        qPrintable(preset), runs);
    // Prints how many video frames and bytes each side's file holds, so that a row
    // never compares encodes of different lengths or rates unseen.
    const auto frameCounts = [&](const QString& ours, const QString& theirs) {
        std::printf("  video frames: ours %lld, ffmpeg %lld; file size: ours %.1f MiB, ffmpeg %.1f MiB\n",
            videoFrames(ours), videoFrames(theirs), double(QFileInfo(ours).size()) / 1048576,
            double(QFileInfo(theirs).size()) / 1048576);
    };
    const auto compare = [&](const char* what, const char* rowName, const std::function<void()>& ours,
                             const std::function<void()>& theirs) {
        std::printf("%s\n", what);
        const bench::Comparison c = bench::compare("  ours", "  ffmpeg", runs, ours, theirs);
        bench::row(rowName, c.ours, c.peer, "<= 1 x");
    };
    compare("the same 20 rendered slides (raw BGRA frames in memory for ours, in a file for ffmpeg), silent",
        "MP4 encode of 20 rendered slides, silent, vs ffmpeg on the same frames", oursSlides, ffmpegSlides);
    frameCounts(out + "/ours-slides.mp4", out + "/ffmpeg-slides.mp4");
    compare(
        "exportMP4 from the stored screenshots (reading and drawing each slide) vs ffmpeg from the slides as "
        "PNG files, silent",
        "MP4 export, 20 steps, silent, vs ffmpeg from the slides' PNGs", [&] { exportOnce(false); }, ffmpegSilent);
    frameCounts(out + "/zova.mp4", out + "/ffmpeg.mp4");
    compare(
        "the same, narration synthesized beforehand (ffmpeg gets it as a WAV)",
        "MP4 export, 20 steps, narration ready, vs ffmpeg from the slides' PNGs and a WAV", [&] { exportOnce(true); },
        ffmpegNarrated);
    frameCounts(out + "/zova.mp4", out + "/ffmpeg-narrated.mp4");
    compare(
        "the same, espeak-ng synthesizing during the export (ffmpeg after espeak-ng)",
        "MP4 export, 20 steps, narrated by espeak-ng, vs espeak-ng + ffmpeg", [&] { exportWith(speaking, true); },
        ffmpegSpeaking);
    frameCounts(out + "/zova.mp4", out + "/ffmpeg-speaking.mp4");

    // Each in a process of its own, as the peak only grows.
    const auto peakFor = [&](int steps) {
        QProcess p;
        p.start(QCoreApplication::applicationFilePath(), { QStringLiteral("--memory"), QString::number(steps) });
        p.waitForFinished(600000);
        const QByteArray line = p.readAllStandardOutput().trimmed();
        return line.startsWith("peak ") ? line.mid(5).toDouble() : -1.0;
    };
    const double twenty = peakFor(20), hundred = peakFor(100);
    bench::figure("MP4 export peak RSS, 20 blurred 1920x1080 steps", twenty, "MB");
    bench::figure("MP4 export peak RSS, 100 blurred 1920x1080 steps", hundred, "MB");
    std::printf("%-55s %9.3f MB  target < 50 MB  %s\n", "  difference", hundred - twenty,
        twenty > 0 && hundred > 0 && hundred - twenty < 50 ? "ok" : "HIGH");
    return 0;
}
