#include "export/SlideshowWriter.h"

#include "export/ExportLog.h"
#include "export/VideoFrameRenderer.h"
#include "platform/video/Mp4Writer.h"

#include <cmath>
#include <future>
#include <vector>

namespace zova {

namespace {

// The narration's samples as interleaved floats in the track's format (linear
// resampling and channel mixing when a buffer's format differs).
std::vector<float> toTrackFormat(const QList<speech::PcmBuffer>& buffers, const SoundFormat& track)
{
    std::vector<float> out;
    for (const speech::PcmBuffer& b : buffers) {
        if (b.sampleRate <= 0 || b.channels < 1 || b.frameLength <= 0)
            continue;
        const auto mono = [&](qint64 frame, int channel) {
            return channel < b.channels ? b.sample(frame, channel) : b.sample(frame, 0);
        };
        if (b.sampleRate == track.sampleRate) {
            for (qint64 f = 0; f < b.frameLength; ++f)
                for (int c = 0; c < track.channels; ++c)
                    out.push_back(mono(f, c));
            continue;
        }
        const double ratio = double(b.sampleRate) / track.sampleRate;
        const auto frames = qint64(std::floor(double(b.frameLength) / ratio));
        for (qint64 f = 0; f < frames; ++f) {
            const double pos = f * ratio;
            const auto i = qint64(pos);
            const double t = pos - double(i);
            const qint64 j = std::min(i + 1, b.frameLength - 1);
            for (int c = 0; c < track.channels; ++c)
                out.push_back(float((1 - t) * mono(i, c) + t * mono(j, c)));
        }
    }
    return out;
}

} // namespace

double SlideshowWriter::stepSeconds(double narrationSeconds, const VideoExportOptions& options)
{
    if (narrationSeconds > 0)
        return std::max(options.minSecondsPerStep, narrationSeconds + options.tailSecondsAfterNarration);
    return options.minSecondsPerStep;
}

std::int64_t SlideshowWriter::frameCount(double seconds, int fps)
{
    const double frames = seconds * fps;
    if (!(frames >= 1)) // also NaN
        return 1;
    return std::int64_t(std::min(frames, 1e12));
}

std::optional<SoundFormat> SlideshowWriter::soundFormat(const QList<StepNarration>& narrations)
{
    for (const StepNarration& n : narrations)
        if (!n.buffers.isEmpty() && n.buffers.first().sampleRate > 0)
            return SoundFormat { n.buffers.first().sampleRate, std::clamp(n.buffers.first().channels, 1, 2) };
    return std::nullopt;
}

Expected<QList<SlideshowWriter::StepLayout>, VideoExportError> SlideshowWriter::write(const Input& in)
{
    const VideoExportOptions& o = in.options;
    video::Mp4Writer::VideoSettings vs;
    vs.width = o.width;
    vs.height = o.height;
    vs.fps = o.fps;
    vs.preset = in.preset;
    std::optional<video::Mp4Writer::AudioSettings> as;
    if (in.sound)
        as = video::Mp4Writer::AudioSettings { in.sound->sampleRate, in.sound->channels };
    auto opened = video::Mp4Writer::open(in.path, vs, as);
    if (!opened && as) {
        // A sound track that cannot be set up leaves a silent video, not a failure.
        qCWarning(lcExport) << "no sound track:" << opened.error();
        as.reset();
        opened = video::Mp4Writer::open(in.path, vs, as);
    }
    if (!opened)
        return unexpected(VideoExportError::writerCreationFailed(opened.error()));
    video::Mp4Writer& writer = **opened;
    const bool withSound = as.has_value();

    QList<StepLayout> layout;
    const auto total = int(in.frames.size());
    // The next step's frame is drawn on a thread of its own while the encoder works
    // on this one's, so the encoder never waits for a drawing; at most two frames
    // exist at a time. Leaving early waits for the drawing in flight. Without a
    // thread to spare, the frame is drawn here when it is needed.
    const auto draw = [&in, &o, total](int i) {
        return std::async(std::launch::async | std::launch::deferred,
            [&in, &o, total, i] { return VideoFrameRenderer::renderFrame(in.frames.at(i), i + 1, total, o); });
    };
    std::future<std::optional<QImage>> next;
    if (total > 0)
        next = draw(0);
    std::int64_t videoCursor = 0, soundCursor = 0;
    for (int i = 0; i < total; ++i) {
        const StepNarration* narration = i < in.narrations.size() ? &in.narrations.at(i) : nullptr;
        const double seconds = stepSeconds(narration ? narration->duration : 0, o);
        const std::int64_t frames = frameCount(seconds, o.fps);
        const std::optional<QImage> picture = next.get();
        if (i + 1 < total)
            next = draw(i + 1);
        if (!picture)
            continue; // neither picture nor sound for this step
        if (auto r = writer.appendStill(*picture, frames); !r)
            return unexpected(VideoExportError::writerCreationFailed(r.error()));
        videoCursor += frames;
        StepLayout step { frames, 0 };
        if (withSound) {
            // The sound of the steps so far ends exactly where their pictures end.
            const auto soundEnd = std::int64_t(std::llround(double(videoCursor) * in.sound->sampleRate / o.fps));
            const std::int64_t length = soundEnd - soundCursor;
            std::vector<float> samples
                = narration ? toTrackFormat(narration->buffers, *in.sound) : std::vector<float>();
            samples.resize(size_t(length) * size_t(in.sound->channels), 0.0f);
            if (auto r = writer.appendAudio(samples.data(), length); !r)
                return unexpected(VideoExportError::writerCreationFailed(r.error()));
            soundCursor = soundEnd;
            step.soundFrames = length;
        }
        layout.append(step);
    }
    if (layout.isEmpty())
        return unexpected(VideoExportError::noUsableSteps());
    if (in.finalizing)
        in.finalizing();
    if (auto r = writer.finish(); !r)
        return unexpected(VideoExportError::writerCreationFailed(r.error()));
    return layout;
}

} // namespace zova
