#include "platform/video/FFmpegHandles.h"

namespace zova::video {

void OutputContextDeleter::operator()(AVFormatContext* f) const
{
    if (f->pb && !(f->oformat->flags & AVFMT_NOFILE))
        avio_closep(&f->pb);
    avformat_free_context(f);
}

QString ffmpegError(int code)
{
    char buf[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, buf, sizeof buf);
    return QString::fromUtf8(buf);
}

} // namespace zova::video
