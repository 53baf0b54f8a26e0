#pragma once

#include "base/Expected.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

namespace zova::video {

// Writes an MP4 of still pictures, H.264 (libx264, High profile, yuv420p, BT.709)
// with an optional AAC sound track, and the index at the front of the file.
// One thread at a time. Errors come back as FFmpeg's own text.
class Mp4Writer {
public:
    struct VideoSettings {
        int width = 1920;
        int height = 1080;
        int fps = 30;
        std::int64_t bitRate = 5'000'000;
        int keyFrameInterval = 30;
        QString preset = QStringLiteral("veryfast");
    };
    struct AudioSettings {
        int sampleRate = 22050;
        int channels = 1;
        std::int64_t bitRate = 96'000;
    };

    static Expected<std::unique_ptr<Mp4Writer>, QString> open(
        const QString& path, const VideoSettings& video, const std::optional<AudioSettings>& audio);
    ~Mp4Writer();
    Mp4Writer(const Mp4Writer&) = delete;
    Mp4Writer& operator=(const Mp4Writer&) = delete;

    // Shows the picture (BGRA, premultiplied, the video size) for frameCount frames.
    // It is converted to yuv420p once and the same frame is encoded each time.
    Expected<void, QString> appendStill(const QImage& picture, std::int64_t frameCount);
    // Appends interleaved float samples (-1..1) in the sound track's format.
    Expected<void, QString> appendAudio(const float* samples, std::int64_t frames);
    // Flushes the encoders, writes the index and closes the file.
    Expected<void, QString> finish();

    std::int64_t videoFramesWritten() const;
    std::int64_t audioFramesWritten() const;

private:
    struct State;
    explicit Mp4Writer(std::unique_ptr<State> state);
    std::unique_ptr<State> m_state;
};

} // namespace zova::video
