#pragma once

#include "base/Expected.h"
#include "export/NarrationScheduler.h"
#include "export/VideoExportError.h"
#include "export/VideoExportOptions.h"
#include "export/VideoFrameSource.h"

#include <QList>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

namespace zova {

// The sound track's format: the first narration buffer's rate and channel count.
struct SoundFormat {
    int sampleRate = 0;
    int channels = 1;
};

// Writes the slideshow MP4 in one pass: each step's frame is drawn once (the next
// one while this one is encoded), shown for the step's whole number of frames,
// and its narration padded with silence to exactly that length, so sound and
// picture never drift apart. A step whose frame cannot be drawn leaves both
// tracks. Any thread.
class SlideshowWriter {
public:
    struct Input {
        QList<VideoFrameSource> frames;
        QList<StepNarration> narrations; // empty, or one per frame
        std::optional<SoundFormat> sound;
        VideoExportOptions options; // progress is not called from here
        QString path; // the file to write
        QString preset = QStringLiteral("veryfast");
        std::function<void()> finalizing; // called once all frames are encoded
    };
    struct StepLayout {
        std::int64_t videoFrames = 0;
        std::int64_t soundFrames = 0;
    };

    // Seconds a step lasts: max(minimum, narration + tail) with a narration, else the minimum.
    static double stepSeconds(double narrationSeconds, const VideoExportOptions& options);
    // Frames of a step: max(1, trunc(seconds * fps)).
    static std::int64_t frameCount(double seconds, int fps);
    // The format of the first narration that has a buffer; none when no narration has sound.
    static std::optional<SoundFormat> soundFormat(const QList<StepNarration>& narrations);

    // Writes the file; the layout of every step written, in order.
    static Expected<QList<StepLayout>, VideoExportError> write(const Input& input);
};

} // namespace zova
