#include "platform/video/Mp4Writer.h"

#include "platform/Platform.h"
#include "platform/video/FFmpegHandles.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
}

#include <algorithm>
#include <vector>

namespace zova::video {

struct Mp4Writer::State {
    OutputContextPtr format;
    CodecContextPtr videoCodec;
    CodecContextPtr audioCodec;
    AVStream* videoStream = nullptr;
    AVStream* audioStream = nullptr;
    SwsPtr scaler;
    FramePtr audioFrame;
    PacketPtr packet;
    std::vector<float> pendingAudio; // interleaved, less than one encoder frame
    std::int64_t videoPts = 0;
    std::int64_t audioPts = 0;
    std::int64_t audioFramesIn = 0;
    bool headerWritten = false;
    bool finished = false;
    VideoSettings video;
    std::optional<AudioSettings> audio;

    Expected<void, QString> drain(AVCodecContext* codec, AVStream* stream);
    Expected<void, QString> encodeAudioFrame(int samples);
};

namespace {

Unexpected<QString> fail(const char* what, int code)
{
    return unexpected(QString::fromLatin1(what) + QStringLiteral(": ") + ffmpegError(code));
}

} // namespace

Mp4Writer::Mp4Writer(std::unique_ptr<State> state)
    : m_state(std::move(state))
{
}

Mp4Writer::~Mp4Writer() = default;

Expected<std::unique_ptr<Mp4Writer>, QString> Mp4Writer::open(
    const QString& path, const VideoSettings& video, const std::optional<AudioSettings>& audio)
{
    if (video.width <= 0 || video.height <= 0 || video.width % 2 || video.height % 2 || video.fps <= 0)
        return unexpected(QStringLiteral("The video size must be even and the frame rate positive."));
    // FFmpeg reports failures through our errors; keep its encoder statistics quiet.
    av_log_set_level(AV_LOG_ERROR);
    auto s = std::make_unique<State>();
    s->video = video;
    s->audio = audio;
    const QByteArray file = path.toUtf8();

    AVFormatContext* fmt = nullptr;
    if (int rc = avformat_alloc_output_context2(&fmt, nullptr, "mp4", file.constData()); rc < 0 || !fmt)
        return fail("Could not create the MP4 container", rc);
    s->format.reset(fmt);

    const AVCodec* h264 = avcodec_find_encoder_by_name("libx264");
    if (!h264)
        return unexpected(QStringLiteral("The H.264 encoder libx264 is not available."));
    s->videoCodec.reset(avcodec_alloc_context3(h264));
    AVCodecContext* vc = s->videoCodec.get();
    vc->width = video.width;
    vc->height = video.height;
    vc->time_base = AVRational { 1, video.fps };
    vc->framerate = AVRational { video.fps, 1 };
    vc->pix_fmt = AV_PIX_FMT_YUV420P;
    vc->bit_rate = video.bitRate;
    vc->gop_size = video.keyFrameInterval;
    vc->colorspace = AVCOL_SPC_BT709;
    vc->color_primaries = AVCOL_PRI_BT709;
    vc->color_trc = AVCOL_TRC_BT709;
    vc->color_range = AVCOL_RANGE_MPEG;
    vc->profile = FF_PROFILE_H264_HIGH;
    if (fmt->oformat->flags & AVFMT_GLOBALHEADER)
        vc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary* opts = nullptr;
    av_dict_set(&opts, "profile", "high", 0);
    av_dict_set(&opts, "preset", video.preset.toUtf8().constData(), 0);
    // A key frame at least every interval, never later because of scene detection.
    av_dict_set(&opts, "x264-params", QStringLiteral("keyint=%1").arg(video.keyFrameInterval).toUtf8().constData(), 0);
    const int rc = avcodec_open2(vc, h264, &opts);
    av_dict_free(&opts);
    if (rc < 0)
        return fail("Could not open the H.264 encoder", rc);
    s->videoStream = avformat_new_stream(fmt, nullptr);
    if (!s->videoStream)
        return unexpected(QStringLiteral("Could not add the video stream."));
    s->videoStream->time_base = vc->time_base;
    s->videoStream->avg_frame_rate = vc->framerate;
    if (int r = avcodec_parameters_from_context(s->videoStream->codecpar, vc); r < 0)
        return fail("Could not set up the video stream", r);

    if (audio) {
        const AVCodec* aac = avcodec_find_encoder(AV_CODEC_ID_AAC);
        if (!aac)
            return unexpected(QStringLiteral("The AAC encoder is not available."));
        s->audioCodec.reset(avcodec_alloc_context3(aac));
        AVCodecContext* ac = s->audioCodec.get();
        ac->sample_fmt = AV_SAMPLE_FMT_FLTP;
        ac->sample_rate = audio->sampleRate;
        av_channel_layout_default(&ac->ch_layout, audio->channels);
        ac->bit_rate = audio->bitRate;
        ac->time_base = AVRational { 1, audio->sampleRate };
        if (fmt->oformat->flags & AVFMT_GLOBALHEADER)
            ac->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        if (int r = avcodec_open2(ac, aac, nullptr); r < 0)
            return fail("Could not open the AAC encoder", r);
        s->audioStream = avformat_new_stream(fmt, nullptr);
        if (!s->audioStream)
            return unexpected(QStringLiteral("Could not add the sound stream."));
        s->audioStream->time_base = ac->time_base;
        if (int r = avcodec_parameters_from_context(s->audioStream->codecpar, ac); r < 0)
            return fail("Could not set up the sound stream", r);
        s->audioFrame.reset(av_frame_alloc());
        s->audioFrame->format = ac->sample_fmt;
        s->audioFrame->nb_samples = ac->frame_size;
        s->audioFrame->sample_rate = ac->sample_rate;
        av_channel_layout_copy(&s->audioFrame->ch_layout, &ac->ch_layout);
        if (int r = av_frame_get_buffer(s->audioFrame.get(), 0); r < 0)
            return fail("Could not allocate a sound frame", r);
    }

    if (int r = avio_open(&fmt->pb, file.constData(), AVIO_FLAG_WRITE); r < 0)
        return fail("Could not open the video file", r);
    AVDictionary* muxOpts = nullptr;
    av_dict_set(&muxOpts, "movflags", "+faststart", 0);
    const int hr = avformat_write_header(fmt, &muxOpts);
    av_dict_free(&muxOpts);
    if (hr < 0)
        return fail("Could not write the MP4 header", hr);
    s->headerWritten = true;
    s->packet.reset(av_packet_alloc());
    return std::unique_ptr<Mp4Writer>(new Mp4Writer(std::move(s)));
}

Expected<void, QString> Mp4Writer::State::drain(AVCodecContext* codec, AVStream* stream)
{
    while (true) {
        const int rc = avcodec_receive_packet(codec, packet.get());
        if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF)
            return {};
        if (rc < 0)
            return fail("Encoding failed", rc);
        av_packet_rescale_ts(packet.get(), codec->time_base, stream->time_base);
        packet->stream_index = stream->index;
        const int wr = av_interleaved_write_frame(format.get(), packet.get());
        if (wr < 0)
            return fail("Could not write to the video file", wr);
    }
}

Expected<void, QString> Mp4Writer::appendStill(const QImage& picture, std::int64_t frameCount)
{
    State& s = *m_state;
    if (s.finished)
        return unexpected(QStringLiteral("The video is already finished."));
    const QImage bgra = picture.format() == QImage::Format_ARGB32_Premultiplied
        ? picture
        : picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (bgra.width() != s.video.width || bgra.height() != s.video.height)
        return unexpected(QStringLiteral("The picture does not have the video's size."));
    s.scaler.reset(sws_getCachedContext(s.scaler.release(), bgra.width(), bgra.height(), AV_PIX_FMT_BGRA, s.video.width,
        s.video.height, AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr, nullptr));
    if (!s.scaler)
        return unexpected(QStringLiteral("Could not convert the picture to yuv420p."));
    // Full-range RGB in, limited-range BT.709 out.
    sws_setColorspaceDetails(s.scaler.get(), sws_getCoefficients(SWS_CS_ITU709), 1, sws_getCoefficients(SWS_CS_ITU709),
        0, 0, 1 << 16, 1 << 16);
    FramePtr yuv(av_frame_alloc());
    yuv->format = AV_PIX_FMT_YUV420P;
    yuv->width = s.video.width;
    yuv->height = s.video.height;
    yuv->colorspace = AVCOL_SPC_BT709;
    yuv->color_range = AVCOL_RANGE_MPEG;
    if (int r = av_frame_get_buffer(yuv.get(), 0); r < 0)
        return fail("Could not allocate a video frame", r);
    const uint8_t* src[1] = { bgra.constBits() };
    const int srcStride[1] = { int(bgra.bytesPerLine()) };
    sws_scale(s.scaler.get(), src, srcStride, 0, bgra.height(), yuv->data, yuv->linesize);
    // The encoder keeps its own reference to the frame, so the same picture can be
    // sent again with the next time stamp.
    for (std::int64_t i = 0; i < frameCount; ++i) {
        yuv->pts = s.videoPts++;
        if (int r = avcodec_send_frame(s.videoCodec.get(), yuv.get()); r < 0)
            return fail("Encoding failed", r);
        if (auto d = s.drain(s.videoCodec.get(), s.videoStream); !d)
            return d;
    }
    return {};
}

Expected<void, QString> Mp4Writer::State::encodeAudioFrame(int samples)
{
    AVFrame* f = audioFrame.get();
    if (int r = av_frame_make_writable(f); r < 0)
        return fail("Could not prepare a sound frame", r);
    const int channels = audio->channels;
    f->nb_samples = samples;
    for (int c = 0; c < channels; ++c) {
        auto* plane = reinterpret_cast<float*>(f->data[c]);
        for (int i = 0; i < samples; ++i)
            plane[i] = pendingAudio[size_t(i * channels + c)];
    }
    pendingAudio.erase(pendingAudio.begin(), pendingAudio.begin() + ptrdiff_t(samples) * channels);
    f->pts = audioPts;
    audioPts += samples;
    if (int r = avcodec_send_frame(audioCodec.get(), f); r < 0)
        return fail("Sound encoding failed", r);
    return drain(audioCodec.get(), audioStream);
}

Expected<void, QString> Mp4Writer::appendAudio(const float* samples, std::int64_t frames)
{
    State& s = *m_state;
    if (!s.audioCodec)
        return unexpected(QStringLiteral("The video has no sound track."));
    if (s.finished)
        return unexpected(QStringLiteral("The video is already finished."));
    const int channels = s.audio->channels;
    s.pendingAudio.insert(s.pendingAudio.end(), samples, samples + frames * channels);
    s.audioFramesIn += frames;
    const int frameSize = s.audioCodec->frame_size;
    while (std::int64_t(s.pendingAudio.size()) >= std::int64_t(frameSize) * channels)
        if (auto r = s.encodeAudioFrame(frameSize); !r)
            return r;
    return {};
}

Expected<void, QString> Mp4Writer::finish()
{
    State& s = *m_state;
    if (s.finished)
        return {};
    s.finished = true;
    if (s.audioCodec) {
        if (!s.pendingAudio.empty())
            if (auto r = s.encodeAudioFrame(int(s.pendingAudio.size()) / s.audio->channels); !r)
                return r;
        avcodec_send_frame(s.audioCodec.get(), nullptr);
        if (auto r = s.drain(s.audioCodec.get(), s.audioStream); !r)
            return r;
    }
    avcodec_send_frame(s.videoCodec.get(), nullptr);
    if (auto r = s.drain(s.videoCodec.get(), s.videoStream); !r)
        return r;
    if (int r = av_write_trailer(s.format.get()); r < 0)
        return fail("Could not finish the MP4 file", r);
    if (int r = avio_closep(&s.format->pb); r < 0)
        return fail("Could not close the video file", r);
    return {};
}

std::int64_t Mp4Writer::videoFramesWritten() const { return m_state->videoPts; }

std::int64_t Mp4Writer::audioFramesWritten() const { return m_state->audioFramesIn; }

} // namespace zova::video
