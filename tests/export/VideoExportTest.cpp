#include "Destinations.h"
#include "FakeSynthesizer.h"
#include "VideoFixture.h"

#include "export/SlideshowWriter.h"
#include "export/VideoExportService.h"
#include "export/VideoFrameRenderer.h"
#include "model/Settings.h"
#include "model/TemporaryFiles.h"
#include "support/TestStorage.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>

#include <cmath>

using namespace zova;

namespace {

QJsonObject probe(const QString& path)
{
    QProcess p;
    p.start("ffprobe", { "-v", "error", "-count_frames", "-show_streams", "-show_format", "-of", "json", path });
    p.waitForFinished(60000);
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

QJsonObject stream(const QJsonObject& info, const char* type)
{
    for (const auto& s : info["streams"].toArray())
        if (s.toObject()["codec_type"].toString() == QLatin1String(type))
            return s.toObject();
    return {};
}

// Mono 8 kHz float samples of the file's sound track.
std::vector<float> decodeSound(const QString& path)
{
    QProcess p;
    p.start("ffmpeg", { "-v", "error", "-i", path, "-map", "0:a", "-ac", "1", "-ar", "8000", "-f", "f32le", "-" });
    p.waitForFinished(60000);
    const QByteArray raw = p.readAllStandardOutput();
    std::vector<float> out(size_t(raw.size()) / 4);
    std::memcpy(out.data(), raw.constData(), out.size() * 4);
    return out;
}

// The types of the file's top-level boxes, in order.
QStringList topLevelBoxes(const QString& path)
{
    const QByteArray bytes = zova::test::readFile(path);
    QStringList boxes;
    qint64 pos = 0;
    while (pos + 8 <= bytes.size()) {
        const auto* p = reinterpret_cast<const uchar*>(bytes.constData() + pos);
        quint64 size = (quint64(p[0]) << 24) | (quint64(p[1]) << 16) | (quint64(p[2]) << 8) | p[3];
        boxes << QString::fromLatin1(bytes.mid(pos + 4, 4));
        if (size == 1 && pos + 16 <= bytes.size()) {
            size = 0;
            for (int i = 8; i < 16; ++i)
                size = (size << 8) | p[i];
        }
        if (size < 8)
            break;
        pos += qint64(size);
    }
    return boxes;
}

// The largest distance in frames between key frames, counting the end of the stream.
int largestKeyFrameGap(const QString& path)
{
    QProcess p;
    p.start(
        "ffprobe", { "-v", "error", "-select_streams", "v", "-show_entries", "packet=flags", "-of", "csv=p=0", path });
    p.waitForFinished(60000);
    const QList<QByteArray> lines = p.readAllStandardOutput().trimmed().split('\n');
    int gap = 0, last = -1;
    for (int i = 0; i < lines.size(); ++i)
        if (lines.at(i).startsWith('K')) {
            gap = std::max(gap, i - last);
            last = i;
        }
    return std::max(gap, int(lines.size()) - last);
}

struct Mp4Expectation {
    int frames;
    bool sound;
    int width = 1920;
    int height = 1080;
};

// The file is what the export panel promises: H.264 High, yuv420p, the size, 30 fps,
// the exact frames and length, AAC as long as the picture or none, the index first.
void expectMp4(const QString& path, const Mp4Expectation& e)
{
    const QJsonObject info = probe(path);
    const QJsonObject v = stream(info, "video");
    EXPECT_EQ(v["codec_name"].toString(), "h264");
    EXPECT_EQ(v["profile"].toString(), "High");
    EXPECT_EQ(v["pix_fmt"].toString(), "yuv420p");
    EXPECT_EQ(v["width"].toInt(), e.width);
    EXPECT_EQ(v["height"].toInt(), e.height);
    EXPECT_EQ(v["r_frame_rate"].toString(), "30/1");
    EXPECT_EQ(v["avg_frame_rate"].toString(), "30/1");
    EXPECT_EQ(v["nb_read_frames"].toString(), QString::number(e.frames));
    const double seconds = e.frames / 30.0;
    EXPECT_NEAR(v["duration"].toString().toDouble(), seconds, 1e-6);
    const QJsonObject a = stream(info, "audio");
    if (e.sound) {
        EXPECT_EQ(a["codec_name"].toString(), "aac");
        // The last narration is not cut and the sound does not run on.
        EXPECT_NEAR(a["duration"].toString().toDouble(), seconds, 0.05);
    } else {
        EXPECT_TRUE(a.isEmpty()) << "no sound track";
    }
    const QStringList boxes = topLevelBoxes(path);
    ASSERT_TRUE(boxes.contains("moov") && boxes.contains("mdat")) << boxes.join(' ').toStdString();
    EXPECT_LT(boxes.indexOf("moov"), boxes.indexOf("mdat")) << "index before the media data";
    EXPECT_LE(largestKeyFrameGap(path), 30);
}

double rms(const std::vector<float>& s, double from, double to)
{
    double sum = 0;
    int n = 0;
    for (auto i = size_t(from * 8000); i < size_t(to * 8000) && i < s.size(); ++i, ++n)
        sum += double(s[i]) * s[i];
    return n ? std::sqrt(sum / n) : 0;
}

} // namespace

class VideoExportTest : public VideoFixture {
protected:
    void SetUp() override
    {
        VideoFixture::SetUp();
        ASSERT_TRUE(m_out.isValid());
        VideoExportService::Dependencies d;
        d.storage = &zova::test::storage();
        for (int i = 0; i < 3; ++i)
            d.pool[size_t(i)] = std::make_unique<FakeSynthesizer>(nullptr, i, true);
        d.narratorVoice = [this]() -> std::optional<speech::SpeechVoice> {
            if (!m_hasVoice)
                return std::nullopt;
            return speech::SpeechVoice { "fake", "Fake", "en-US", 1 };
        };
        m_service = std::make_unique<VideoExportService>(std::move(d));
    }

    VideoExportService::Result run(const QString& to, VideoExportOptions options = {})
    {
        options.progress = [this](const QString& p) { m_progress << p; };
        std::optional<VideoExportService::Result> result;
        m_service->exportMP4(m_guide, to, options, [&](const VideoExportService::Result& r) { result = r; });
        EXPECT_FALSE(result.has_value()) << "completion never runs inside the call";
        EXPECT_TRUE(zova::test::waitUntil([&] { return result.has_value(); }, 120000));
        return result.value_or(unexpected(VideoExportError::media("timeout")));
    }

    QStringList leftovers() const
    {
        return QDir(m_out.path()).entryList({ "zova-export-*" }, QDir::Files)
            + QDir(TemporaryFiles::directory()).entryList(QDir::Files | QDir::Hidden);
    }

    QTemporaryDir m_out;
    std::unique_ptr<VideoExportService> m_service;
    bool m_hasVoice = true;
    QStringList m_progress;
};

TEST_F(VideoExportTest, SilentThreeStepVideo)
{
    for (int i = 0; i < 3; ++i)
        addStep(screenshot(800, 500))->setUserDescription(QStringLiteral("Step text %1").arg(i));
    const QString to = m_out.filePath("guide.mp4");
    VideoExportOptions options;
    options.narrateSteps = false;
    const auto r = run(to, options);
    ASSERT_TRUE(r.hasValue()) << r.error().description().toStdString();
    EXPECT_EQ(m_progress, (QStringList { "Rendering video\u2026", "Finalizing MP4\u2026" }));
    EXPECT_TRUE(leftovers().isEmpty());

    expectMp4(to, { 270, false });
}

TEST_F(VideoExportTest, SlidesAreDrawnOnTheResolvedBackground)
{
    // Read as the editor's preview reads them: "#"-prefixed is the colour, malformed is white.
    addStep(screenshot(200, 200))->setVideoBackgroundHex(QStringLiteral("#ff0000"));
    addStep(screenshot(200, 200));
    addStep(screenshot(200, 200))->setVideoBackgroundHex(QStringLiteral("0000ff"));
    m_guide->setVideoBackgroundHex(QStringLiteral("ff00zz"));
    const QString to = m_out.filePath("backgrounds.mp4");
    VideoExportOptions options;
    options.narrateSteps = false;
    options.width = 640;
    options.height = 360;
    const auto r = run(to, options);
    ASSERT_TRUE(r.hasValue()) << r.error().description().toStdString();

    const QRgb expected[] = { qRgb(255, 0, 0), qRgb(255, 255, 255), qRgb(0, 0, 255) };
    for (int slide = 0; slide < 3; ++slide) {
        const QString png = m_out.filePath(QStringLiteral("slide%1.png").arg(slide));
        QProcess ff;
        ff.start("ffmpeg",
            { "-v", "error", "-y", "-ss", QString::number(slide * 3 + 1.5), "-i", to, "-frames:v", "1", png });
        ASSERT_TRUE(ff.waitForFinished(60000));
        const QImage frame = QImage(png).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(frame.size(), QSize(640, 360)) << slide;
        for (const QPoint at : { QPoint(8, 8), QPoint(631, 100) }) {
            const QRgb got = frame.pixel(at);
            const int distance = std::max({ std::abs(qRed(got) - qRed(expected[slide])),
                std::abs(qGreen(got) - qGreen(expected[slide])), std::abs(qBlue(got) - qBlue(expected[slide])) });
            EXPECT_LE(distance, 12) << "slide " << slide << " at " << at.x() << "," << at.y();
        }
    }
}

TEST_F(VideoExportTest, NarratedMixedGuideKeepsSoundOnItsSlides)
{
    for (const char* text : { "1.0", "none", "4.0" })
        addStep(screenshot(640, 400))->setUserDescription(QString::fromLatin1(text));
    const QString to = m_out.filePath("narrated.mp4");
    const auto r = run(to);
    ASSERT_TRUE(r.hasValue()) << r.error().description().toStdString();
    EXPECT_EQ(m_progress,
        (QStringList { "Synthesizing narration (1 of 3)\u2026", "Synthesizing narration (2 of 3)\u2026",
            "Synthesizing narration (3 of 3)\u2026", "Preparing audio track\u2026", "Rendering video\u2026",
            "Finalizing MP4\u2026" }));
    expectMp4(to, { 315, true }); // 90 + 90 + 135
    // Speech 0-1 s, silence 1-6 s, speech 6-10 s, silence to 10.5 s.
    const auto s = decodeSound(to);
    EXPECT_GT(rms(s, 0.1, 0.9), 0.1);
    EXPECT_LT(rms(s, 1.1, 5.9), 0.01);
    EXPECT_GT(rms(s, 6.1, 9.9), 0.1);
    EXPECT_LT(rms(s, 10.1, 10.45), 0.01);
    EXPECT_TRUE(leftovers().isEmpty());
}

TEST_F(VideoExportTest, NoVoiceOrNoSoundGivesASilentVideo)
{
    addStep(screenshot(300, 300))->setUserDescription(QStringLiteral("2.0"));
    m_hasVoice = false;
    const QString to = m_out.filePath("novoice.mp4");
    ASSERT_TRUE(run(to).hasValue());
    EXPECT_EQ(m_progress, (QStringList { "Rendering video\u2026", "Finalizing MP4\u2026" }));
    EXPECT_TRUE(stream(probe(to), "audio").isEmpty());

    m_hasVoice = true;
    m_guide->steps().first()->setUserDescription(QStringLiteral("silent"));
    m_progress.clear();
    ASSERT_TRUE(run(to).hasValue());
    EXPECT_FALSE(m_progress.contains("Preparing audio track\u2026"));
    EXPECT_TRUE(stream(probe(to), "audio").isEmpty());
    EXPECT_EQ(stream(probe(to), "video")["nb_read_frames"].toString(), "90");
}

TEST_F(VideoExportTest, ErrorsLeaveEarlierFileAndNoTemporaryFile)
{
    const QString to = m_out.filePath("keep.mp4");
    ASSERT_TRUE(zova::test::writeFile(to, "earlier"));
    addStep(QImage());
    auto r = run(to);
    ASSERT_FALSE(r.hasValue());
    EXPECT_EQ(r.error().description(), QStringLiteral("Nothing to render \u2014 no steps with screenshots."));
    EXPECT_EQ(zova::test::readFile(to), "earlier");

    addStep(screenshot(200, 200));
    VideoExportOptions odd;
    odd.narrateSteps = false;
    odd.width = 1919; // the encoder refuses odd sizes
    r = run(to, odd);
    ASSERT_FALSE(r.hasValue());
    EXPECT_TRUE(r.error().description().startsWith("Could not start the video writer: "));
    EXPECT_EQ(zova::test::readFile(to), "earlier");
    EXPECT_TRUE(leftovers().isEmpty());

    // A destination that is a folder: the rename fails after the file was written.
    const QString folder = m_out.filePath("folder.mp4");
    QDir().mkpath(folder + "/inside");
    odd.width = 320;
    odd.height = 180;
    r = run(folder, odd);
    ASSERT_FALSE(r.hasValue());
    EXPECT_TRUE(leftovers().isEmpty());

    // Success replaces the earlier file.
    ASSERT_TRUE(run(to, odd).hasValue());
    EXPECT_TRUE(zova::test::readFile(to).contains("ftyp"));
    EXPECT_TRUE(leftovers().isEmpty());
}

TEST(SlideshowLayoutTest, StepDurationsAndFrameCounts)
{
    VideoExportOptions o;
    EXPECT_DOUBLE_EQ(SlideshowWriter::stepSeconds(0, o), 3.0);
    EXPECT_DOUBLE_EQ(SlideshowWriter::stepSeconds(2.2, o), 3.0);
    EXPECT_DOUBLE_EQ(SlideshowWriter::stepSeconds(4.0, o), 4.5);
    EXPECT_EQ(SlideshowWriter::frameCount(3.01, 30), 90);
    EXPECT_EQ(SlideshowWriter::frameCount(0.001, 30), 1);
    EXPECT_EQ(SlideshowWriter::frameCount(std::nan(""), 30), 1);
    const QFileInfo temporary(VideoExportService::temporaryPath());
    EXPECT_EQ(temporary.absolutePath(), TemporaryFiles::directory());
    EXPECT_TRUE(QRegularExpression("^zova-export-[0-9A-F]{8}-video\\.mp4$").match(temporary.fileName()).hasMatch())
        << temporary.fileName().toStdString();
}

namespace {

StepNarration narrationOf(double seconds, int rate = 22050)
{
    StepNarration n;
    if (seconds > 0) {
        n.buffers << FakeSynthesizer::tone(seconds, rate);
        n.duration = NarrationScheduler::durationOf(n.buffers);
    }
    return n;
}

// A slide of a stored screenshot; a null image gives a slide whose file is missing.
VideoFrameSource slide(const QImage& image, const QString& text)
{
    QString name = QStringLiteral("missing.png");
    if (!image.isNull()) {
        auto saved = zova::test::storage().saveScreenshot(image);
        EXPECT_TRUE(saved.hasValue());
        name = saved ? zova::test::storage().pathFor(*saved).value_or(QString()) : QString();
    }
    return { name, {}, 0.5, 0.5, text, QStringLiteral("f5f3ef") };
}

} // namespace

TEST(SlideshowWriterTest, UndrawableStepLeavesPictureAndSoundTracks)
{
    QTemporaryDir dir;
    SlideshowWriter::Input in;
    const QImage shot = VideoFixture::screenshot(320, 200);
    in.frames = { slide(shot, "one"), slide(QImage(), "cannot be drawn"), slide(shot, "three") };
    in.narrations = { narrationOf(1.0), narrationOf(2.0), narrationOf(1.0) };
    in.sound = SlideshowWriter::soundFormat(in.narrations);
    in.path = dir.filePath("skip.mp4");
    const auto layout = SlideshowWriter::write(in);
    ASSERT_TRUE(layout.hasValue()) << layout.error().description().toStdString();
    ASSERT_EQ(layout->size(), 2);
    for (const auto& step : *layout) {
        EXPECT_EQ(step.videoFrames, 90);
        EXPECT_EQ(step.soundFrames, 3 * 22050);
    }
    expectMp4(in.path, { 180, true });
    // The second narration is gone with its slide: the third plays over its own.
    const auto s = decodeSound(in.path);
    EXPECT_GT(rms(s, 0.1, 0.9), 0.1);
    EXPECT_LT(rms(s, 1.1, 2.9), 0.01);
    EXPECT_GT(rms(s, 3.1, 3.9), 0.1);
    EXPECT_LT(rms(s, 4.1, 5.9), 0.01);
}

TEST(SlideshowWriterTest, SoundFollowsTheWholeFramesOfEveryStep)
{
    // Step lengths whose frames are fractional: each step's sound is cut to its whole
    // frames, so nothing drifts however many steps there are.
    struct Row {
        double narration;
        int fps;
        int steps;
        std::int64_t framesPerStep;
    };
    for (const Row& r :
        { Row { 2.51, 30, 24, 90 }, Row { 0, 30, 3, 90 }, Row { 4.013, 24, 6, 108 }, Row { 3.33, 25, 5, 95 } }) {
        QTemporaryDir dir;
        SlideshowWriter::Input in;
        in.options.width = 320;
        in.options.height = 180;
        in.options.fps = r.fps;
        for (int i = 0; i < r.steps; ++i) {
            in.frames << slide(VideoFixture::screenshot(64, 40), QString::number(i));
            in.narrations << narrationOf(i == 0 ? 0.5 : r.narration);
        }
        in.sound = SlideshowWriter::soundFormat(in.narrations);
        in.path = dir.filePath("sync.mp4");
        const auto layout = SlideshowWriter::write(in);
        ASSERT_TRUE(layout.hasValue()) << layout.error().description().toStdString();
        std::int64_t frames = 0, sound = 0;
        for (int i = 0; i < layout->size(); ++i) {
            if (i > 0) {
                EXPECT_EQ(layout->at(i).videoFrames, r.framesPerStep) << r.narration;
            }
            frames += layout->at(i).videoFrames;
            sound += layout->at(i).soundFrames;
            // Where this step's sound ends is where its last frame ends, to the nearest sample.
            EXPECT_EQ(sound, std::llround(double(frames) * 22050 / r.fps)) << r.narration << " step " << i;
        }
    }
}

TEST(SlideshowWriterTest, SoundTrackThatCannotBeSetUpGivesASilentVideo)
{
    QTemporaryDir dir;
    SlideshowWriter::Input in;
    in.options.width = 320;
    in.options.height = 180;
    in.frames = { slide(VideoFixture::screenshot(64, 40), "odd rate") };
    in.narrations = { narrationOf(1.0, 1234) }; // no AAC encoder takes 1234 Hz
    in.sound = SlideshowWriter::soundFormat(in.narrations);
    ASSERT_TRUE(in.sound.has_value());
    in.path = dir.filePath("silent.mp4");
    const auto layout = SlideshowWriter::write(in);
    ASSERT_TRUE(layout.hasValue()) << layout.error().description().toStdString();
    EXPECT_EQ(layout->at(0).soundFrames, 0);
    expectMp4(in.path, { 90, false, 320, 180 });
}

TEST(VideoExportErrorTest, DescriptionsAreTheFixedTexts)
{
    struct Row {
        VideoExportError error;
        const char* text;
    };
    for (const Row& r :
        { Row { VideoExportError::noUsableSteps(), "Nothing to render \u2014 no steps with screenshots." },
            Row { VideoExportError::writerCreationFailed("Video writer ended in failed state."),
                "Could not start the video writer: Video writer ended in failed state." },
            Row { VideoExportError::writerCreationFailed(""), "Could not start the video writer: " },
            Row { VideoExportError::media("Could not save the video: No space"),
                "Could not save the video: No space" } }) {
        EXPECT_EQ(r.error.description().toStdString(), r.text);
    }
}

TEST_F(VideoExportTest, EspeakNarratedGuideMatchesItsSlides)
{
    // The real narrator: espeak-ng voices, three child processes, the stored setting.
    struct Row {
        const char* title;
        const char* button;
        const char* description;
        double clickX, clickY;
    };
    const Row rows[] = { { "Mail - Inbox", "Compose", "Click Compose to write a new message", 0.78, 0.86 },
        { "New Message", "Send", "Type the address and press Send", 0.78, 0.86 },
        { "Mail - Sent", "Done", "Check the Sent folder", 0.30, 0.25 } };
    for (const Row& r : rows) {
        Step* s = addStep(appWindow(1440, 900, r.title, r.button), r.clickX, r.clickY);
        s->setUserDescription(QString::fromUtf8(r.description));
    }
    m_guide->setVideoBackgroundHex(QStringLiteral("f5f3ef"));
    const Settings settings;
    VideoExportService service(settings, zova::test::storage());
    const QString to = m_out.filePath("espeak.mp4");
    VideoExportOptions options;
    options.progress = [this](const QString& p) { m_progress << p; };
    std::optional<VideoExportService::Result> result;
    service.exportMP4(m_guide, to, options, [&](const VideoExportService::Result& r) { result = r; });
    ASSERT_TRUE(zova::test::waitUntil([&] { return result.has_value(); }, 120000));
    ASSERT_TRUE(result->hasValue()) << result->error().description().toStdString();
    ASSERT_EQ(m_progress.size(), 6);
    for (int k = 1; k <= 3; ++k)
        EXPECT_EQ(m_progress.at(k - 1), QStringLiteral("Synthesizing narration (%1 of 3)\u2026").arg(k));
    EXPECT_EQ(m_progress.mid(3),
        (QStringList { "Preparing audio track\u2026", "Rendering video\u2026", "Finalizing MP4\u2026" }));

    const QJsonObject info = probe(to);
    const int frames = stream(info, "video")["nb_read_frames"].toString().toInt();
    EXPECT_GE(frames, 270);
    expectMp4(to, { frames, true });
    const auto sound = decodeSound(to);
    EXPECT_GT(rms(sound, 0.2, 1.2), 0.02) << "the first step is spoken at its start";

    // A frame of the first slide, decoded, is the slide that was drawn.
    const QString png = m_out.filePath("frame.png");
    QProcess ff;
    ff.start("ffmpeg", { "-v", "error", "-y", "-ss", "1.5", "-i", to, "-frames:v", "1", png });
    ASSERT_TRUE(ff.waitForFinished(60000));
    const QImage decoded = QImage(png).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(decoded.size(), QSize(1920, 1080));
    const auto sources
        = VideoExportService::loadFrames(zova::test::storage(), m_guide->orderedSteps(), m_guide->videoBackgroundHex());
    const QImage drawn
        = VideoFrameRenderer::renderFrame(sources.at(0), 1, 3, {})->convertToFormat(QImage::Format_RGB32);
    double difference = 0;
    for (int y = 0; y < 1080; y += 3)
        for (int x = 0; x < 1920; x += 3) {
            const QRgb a = decoded.pixel(x, y), b = drawn.pixel(x, y);
            difference += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
        }
    EXPECT_LT(difference / (640.0 * 360 * 3), 3.0) << "mean difference per channel";

    if (const QString docs = qEnvironmentVariable("ZOVA_DOCS_DIR"); !docs.isEmpty()) {
        QDir().mkpath(docs);
        QFile::remove(docs + "/video-frame.png");
        EXPECT_TRUE(QFile::copy(png, docs + "/video-frame.png"));
    }
}

TEST_F(VideoExportTest, OccupiedDestinationIsReplacedNeverWrittenThrough)
{
    addStep(screenshot(200, 200))->setUserDescription(QStringLiteral("one"));
    // Unreadable: left out, as everywhere.
    addStep(QImage())->setScreenshotFilename(QStringLiteral("gone.png"));
    addStep(QImage())->setScreenshotFilename(QStringLiteral("../outside.png"));
    VideoExportOptions quick;
    quick.narrateSteps = false;
    quick.width = 320;
    quick.height = 180;
    const QString to = m_out.filePath("replace.mp4");
    for (auto o : destinations::occupants) {
        destinations::occupy(to, m_out.filePath("outside"), o);
        ASSERT_TRUE(run(to, quick).hasValue()) << destinations::nameOf(o);
        EXPECT_TRUE(zova::test::readFile(to).contains("ftyp")) << destinations::nameOf(o);
        destinations::expectReplaced(to, m_out.filePath("outside"), QByteArray(), o);
        EXPECT_TRUE(leftovers().isEmpty());
    }
}
