// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/VideoDecoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include <QCoreApplication>

namespace imaging {
namespace {

QString AvError(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return QString::fromLocal8Bit(text);
}

qint64 FrameLength(const AVFrame* frame)
{
#if LIBAVUTIL_VERSION_INT >= AV_VERSION_INT(57, 30, 100)
    return frame->duration;
#else
    return frame->pkt_duration;
#endif
}

struct State {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    SwsContext* scaler = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    int stream = -1;
    AVRational timeBase{0, 1};
    qint64 firstPts = AV_NOPTS_VALUE;
    qint64 lastPts = AV_NOPTS_VALUE;
    bool draining = false;
    bool finished = false;
    QString error;

    ~State()
    {
        sws_freeContext(scaler);
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
        avformat_close_input(&format);
    }

    qint64 ToMs(qint64 ticks) const { return av_rescale_q(ticks, timeBase, AVRational{1, 1000}); }

    // Feeds packets until the decoder gives a picture; false at the end or on an error.
    bool Receive()
    {
        for (;;) {
            const int got = avcodec_receive_frame(codec, frame);
            if (got == 0)
                return true;
            if (got == AVERROR_EOF)
                return false;
            if (got != AVERROR(EAGAIN)) {
                error = QCoreApplication::translate("VideoReader", "cannot decode the video: %1").arg(AvError(got));
                return false;
            }
            if (draining)
                return false;
            const int read = av_read_frame(format, packet);
            if (read < 0) {
                // The end of the file, reached early or not: what is buffered still comes out.
                if (read != AVERROR_EOF)
                    error = QCoreApplication::translate("VideoReader", "cannot read the video: %1").arg(AvError(read));
                draining = true;
                avcodec_send_packet(codec, nullptr);
                continue;
            }
            if (packet->stream_index == stream) {
                const int sent = avcodec_send_packet(codec, packet);
                // A damaged packet is dropped; decoding goes on with the next one.
                if (sent < 0 && sent != AVERROR(EAGAIN) && sent != AVERROR_INVALIDDATA)
                    error =
                        QCoreApplication::translate("VideoReader", "cannot decode the video: %1").arg(AvError(sent));
            }
            av_packet_unref(packet);
        }
    }
};

class FfmpegVideoDecoder final : public VideoDecoder {
public:
    FfmpegVideoDecoder(const char* file, VideoSizeCheck check);
    bool IsOpen() const override { return s_.stream >= 0; }
    bool Next(VideoPicture* picture) override;
    qint64 NominalFrameMs() const override;
    QString Error() const override { return s_.error; }

private:
    State s_;
    VideoSizeCheck check_;
};

FfmpegVideoDecoder::FfmpegVideoDecoder(const char* file, VideoSizeCheck check)
    : check_(check)
{
    State& s = s_;
    av_log_set_level(AV_LOG_QUIET);
    // "file:" keeps a name such as "http:x" or "concat:a|b" a plain file name.
    const QByteArray name = QByteArrayLiteral("file:") + file;
    int code = avformat_open_input(&s.format, name.constData(), nullptr, nullptr);
    if (code < 0) {
        s.error = QCoreApplication::translate("VideoReader", "not a video: %1").arg(AvError(code));
        return;
    }
    if ((code = avformat_find_stream_info(s.format, nullptr)) < 0) {
        s.error = QCoreApplication::translate("VideoReader", "not a video: %1").arg(AvError(code));
        return;
    }
    const AVCodec* decoder = nullptr;
    s.stream = av_find_best_stream(s.format, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (s.stream < 0 || !decoder) {
        s.error = QCoreApplication::translate("VideoReader", "holds no video that can be decoded");
        s.stream = -1;
        return;
    }
    AVStream* stream = s.format->streams[s.stream];
    s.timeBase = stream->time_base;
    s.codec = avcodec_alloc_context3(decoder);
    s.packet = av_packet_alloc();
    s.frame = av_frame_alloc();
    if (!s.codec || !s.packet || !s.frame || avcodec_parameters_to_context(s.codec, stream->codecpar) < 0
        || avcodec_open2(s.codec, decoder, nullptr) < 0) {
        s.error = QCoreApplication::translate("VideoReader", "cannot start the video decoder");
        s.stream = -1;
        return;
    }
    const QString reason = check_(s.codec->width, s.codec->height);
    if (!reason.isEmpty()) {
        s.error = reason;
        s.stream = -1;
    }
}

qint64 FfmpegVideoDecoder::NominalFrameMs() const
{
    if (!IsOpen())
        return 0;
    const AVRational rate = s_.format->streams[s_.stream]->avg_frame_rate;
    return rate.num > 0 && rate.den > 0 ? av_rescale(1000, rate.den, rate.num) : 0;
}

bool FfmpegVideoDecoder::Next(VideoPicture* picture)
{
    State& s = s_;
    if (!IsOpen() || s.finished)
        return false;
    if (!s.Receive()) {
        s.finished = true;
        return false;
    }
    AVFrame* f = s.frame;
    const QString reason = check_(f->width, f->height);
    if (!reason.isEmpty()) {
        s.error = reason;
        s.finished = true;
        return false;
    }
    // Pictures without a time follow the one before at the nominal rate.
    qint64 pts = f->best_effort_timestamp;
    if (pts == AV_NOPTS_VALUE)
        pts = s.lastPts == AV_NOPTS_VALUE
            ? 0
            : s.lastPts + av_rescale_q(qMax<qint64>(1, NominalFrameMs()), AVRational{1, 1000}, s.timeBase);
    if (s.firstPts == AV_NOPTS_VALUE)
        s.firstPts = pts;
    s.lastPts = pts;

    // BGRA in memory is Qt's 32-bit layout; video is opaque, so no alpha channel.
    QImage image(f->width, f->height, QImage::Format_RGB32);
    s.scaler = sws_getCachedContext(s.scaler, f->width, f->height, AVPixelFormat(f->format), f->width, f->height,
                                    AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (image.isNull() || !s.scaler) {
        s.error = QCoreApplication::translate("VideoReader", "cannot convert the video's pictures");
        s.finished = true;
        return false;
    }
    uint8_t* planes[4] = {image.bits(), nullptr, nullptr, nullptr};
    const int strides[4] = {int(image.bytesPerLine()), 0, 0, 0};
    sws_scale(s.scaler, f->data, f->linesize, 0, f->height, planes, strides);
    const qint64 length = FrameLength(f);
    av_frame_unref(f);

    picture->image = std::move(image);
    picture->startMs = qMax<qint64>(0, s.ToMs(pts - s.firstPts));
    picture->lengthMs = qMax<qint64>(0, s.ToMs(length));
    return true;
}

} // namespace
} // namespace imaging

extern "C" Q_DECL_EXPORT imaging::VideoDecoder* flipreel_open_video_decoder(const char* file,
                                                                            imaging::VideoSizeCheck check)
{
    return new imaging::FfmpegVideoDecoder(file, check);
}
