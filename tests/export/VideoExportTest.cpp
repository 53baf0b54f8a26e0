#include "FakeSynthesizer.h"
#include "VideoFixture.h"

#include "export/SlideshowWriter.h"
#include "export/VideoExportService.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <cmath>

using namespace zova;

namespace {

QJsonObject probe(const QString& path)
{
    QProcess p;
    p.start("ffprobe", {"-v", "error", "-count_frames", "-show_streams", "-show_format", "-of", "json", path});
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
    p.start("ffmpeg", {"-v", "error", "-i", path, "-map", "0:a", "-ac", "1", "-ar", "8000", "-f", "f32le", "-"});
    p.waitForFinished(60000);
    const QByteArray raw = p.readAllStandardOutput();
    std::vector<float> out(size_t(raw.size()) / 4);
    std::memcpy(out.data(), raw.constData(), out.size() * 4);
    return out;
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
        for (int i = 0; i < 3; ++i)
            d.pool[size_t(i)] = std::make_unique<FakeSynthesizer>(nullptr, i, true);
        d.narratorVoice = [this]() -> std::optional<speech::SpeechVoice> {
            if (!m_hasVoice)
                return std::nullopt;
            return speech::SpeechVoice{"fake", "Fake", "en-US", 1};
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

    QStringList leftovers() const { return QDir(m_out.path()).entryList({"zova-export-*"}, QDir::Files); }

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
    EXPECT_EQ(m_progress, (QStringList{"Rendering video\u2026", "Finalizing MP4\u2026"}));
    EXPECT_TRUE(leftovers().isEmpty());

    const QJsonObject info = probe(to);
    const QJsonObject v = stream(info, "video");
    EXPECT_EQ(v["codec_name"].toString(), "h264");
    EXPECT_EQ(v["profile"].toString(), "High");
    EXPECT_EQ(v["pix_fmt"].toString(), "yuv420p");
    EXPECT_EQ(v["width"].toInt(), 1920);
    EXPECT_EQ(v["height"].toInt(), 1080);
    EXPECT_EQ(v["r_frame_rate"].toString(), "30/1");
    EXPECT_EQ(v["nb_read_frames"].toString(), "270");
    EXPECT_NEAR(v["duration"].toString().toDouble(), 9.0, 1e-6);
    EXPECT_TRUE(stream(info, "audio").isEmpty());
    // The index comes before the media data.
    const QByteArray bytes = zova::test::readFile(to);
    ASSERT_GT(bytes.indexOf("moov"), 0);
    EXPECT_LT(bytes.indexOf("moov"), bytes.indexOf("mdat"));
}

TEST_F(VideoExportTest, NarratedMixedGuideKeepsSoundOnItsSlides)
{
    for (const char* text : {"1.0", "none", "4.0"})
        addStep(screenshot(640, 400))->setUserDescription(QString::fromLatin1(text));
    const QString to = m_out.filePath("narrated.mp4");
    const auto r = run(to);
    ASSERT_TRUE(r.hasValue()) << r.error().description().toStdString();
    EXPECT_EQ(m_progress, (QStringList{"Synthesizing narration (1 of 3)\u2026", "Synthesizing narration (2 of 3)\u2026",
                                       "Synthesizing narration (3 of 3)\u2026", "Preparing audio track\u2026",
                                       "Rendering video\u2026", "Finalizing MP4\u2026"}));
    const QJsonObject info = probe(to);
    EXPECT_EQ(stream(info, "video")["nb_read_frames"].toString(), "315"); // 90 + 90 + 135
    const QJsonObject a = stream(info, "audio");
    EXPECT_EQ(a["codec_name"].toString(), "aac");
    EXPECT_NEAR(a["duration"].toString().toDouble(), 10.5, 0.05);
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
    EXPECT_EQ(m_progress, (QStringList{"Rendering video\u2026", "Finalizing MP4\u2026"}));
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
    EXPECT_EQ(VideoExportService::temporaryPathFor("/x/y.mp4").size(), QString("/x/zova-export-12345678-video.mp4").size());
}
