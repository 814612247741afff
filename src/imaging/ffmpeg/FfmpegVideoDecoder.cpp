// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/VideoDecoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/display.h>
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
#include <libavutil/time.h>
#include <libswscale/swscale.h>
}

#include <QCoreApplication>

#include <cmath>
#include <cstring>

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

// Demuxers of local media files only: no playlists or lists of other files
// (hls, dash, concat), no text, subtitle or terminal demuxers, no still-picture
// pipes (pictures are read as pictures).
constexpr const char* kContainers = "matroska,webm,mov,mp4,avi,flv,mpeg,mpegts,mpegvideo,m4v,h264,hevc,obu,ivf,ogg,"
                                    "asf,rm,dv,nut,mxf,yuv4mpegpipe,vc1,cavsvideo";

// How long opening, or reading one packet, may take: a local file never needs this long.
constexpr qint64 kPatienceUs = 20 * 1000 * 1000;

// An axis-aligned turn of the picture: display x = a*x + c*y, display y = b*x + d*y
// (plus the offsets that keep both inside the picture), each factor -1, 0 or 1.
struct Turn {
    int a = 1, b = 0, c = 0, d = 1;
    bool Swaps() const { return a == 0; }
};

// The display matrix's rotation and mirroring; a turn by anything but quarter turns is not applied.
Turn TurnOf(const int32_t* matrix)
{
    if (!matrix)
        return {};
    auto unit = [](int32_t value) -> int {
        const double v = value / 65536.0;
        return std::fabs(v) < 0.01 ? 0 : std::fabs(std::fabs(v) - 1) < 0.01 ? (v < 0 ? -1 : 1) : 2;
    };
    const Turn turn{unit(matrix[0]), unit(matrix[1]), unit(matrix[3]), unit(matrix[4])};
    const bool straight = turn.b == 0 && turn.c == 0 && std::abs(turn.a) == 1 && std::abs(turn.d) == 1;
    const bool quarter = turn.a == 0 && turn.d == 0 && std::abs(turn.b) == 1 && std::abs(turn.c) == 1;
    return straight || quarter ? turn : Turn{};
}

// Copies the converted lines into a picture of their own, turned as the stream says.
QImage Place(const uint8_t* data, int stride, int width, int height, Turn turn)
{
    QImage image(turn.Swaps() ? height : width, turn.Swaps() ? width : height, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    if (turn.a == 1 && turn.d == 1) {
        for (int y = 0; y < height; ++y)
            std::memcpy(image.scanLine(y), data + qsizetype(y) * stride, size_t(width) * 4);
        return image;
    }
    const qsizetype line = image.bytesPerLine() / 4;
    quint32* bits = reinterpret_cast<quint32*>(image.bits());
    const int offsetX = (turn.a < 0 ? width - 1 : 0) + (turn.c < 0 ? height - 1 : 0);
    const int offsetY = (turn.b < 0 ? width - 1 : 0) + (turn.d < 0 ? height - 1 : 0);
    const qsizetype step = turn.b * line + turn.a;
    for (int y = 0; y < height; ++y) {
        const quint32* from = reinterpret_cast<const quint32*>(data + qsizetype(y) * stride);
        quint32* to = bits + qsizetype(offsetY + turn.d * y) * line + offsetX + turn.c * y;
        for (int x = 0; x < width; ++x, to += step)
            *to = from[x];
    }
    return image;
}

// YUV to RGB as the stream says: its matrix and its range.
struct Conversion {
    int width = 0, height = 0, format = -1, space = -1;
    bool full = false;
    bool operator==(const Conversion&) const = default;
};

Conversion ConversionOf(const AVFrame* f)
{
    const AVPixelFormat format = AVPixelFormat(f->format);
    const bool jpeg = format == AV_PIX_FMT_YUVJ420P || format == AV_PIX_FMT_YUVJ422P || format == AV_PIX_FMT_YUVJ444P
        || format == AV_PIX_FMT_YUVJ440P || format == AV_PIX_FMT_YUVJ411P;
    return {f->width, f->height, f->format, int(f->colorspace), jpeg || f->color_range == AVCOL_RANGE_JPEG};
}

struct State {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    SwsContext* scaler = nullptr;
    Conversion conversion;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    AVFrame* converted = nullptr; // BGRA, lines aligned and padded as libswscale writes them
    int stream = -1;
    AVRational timeBase{0, 1};
    Turn turn;
    qint64 firstPts = AV_NOPTS_VALUE;
    qint64 lastPts = AV_NOPTS_VALUE;
    qint64 decoded = 0;
    bool draining = false;
    bool finished = false;
    bool damaged = false;
    VideoStopCheck stop = nullptr;
    qint64 deadline = 0; // av_gettime_relative() past which reading gives up
    QString error;

    ~State()
    {
        sws_freeContext(scaler);
        av_frame_free(&converted);
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
        avformat_close_input(&format);
    }

    qint64 ToMs(qint64 ticks) const { return av_rescale_q(ticks, timeBase, AVRational{1, 1000}); }

    static int Interrupt(void* opaque)
    {
        const State* s = static_cast<const State*>(opaque);
        return (s->stop && s->stop()) || av_gettime_relative() > s->deadline;
    }
    void Wait() { deadline = av_gettime_relative() + kPatienceUs; }
    // Why reading ended before the file did: a stop request or the deadline.
    QString Interrupted() const
    {
        if (stop && stop())
            return QCoreApplication::translate("VideoReader", "stopped");
        return QCoreApplication::translate("VideoReader", "reading the video takes too long");
    }

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
            if (stop && stop()) {
                error = Interrupted();
                return false;
            }
            Wait();
            const int read = av_read_frame(format, packet);
            if (read < 0) {
                if (read == AVERROR_EXIT) {
                    error = Interrupted();
                    return false;
                }
                // The end of the file, reached early or not: what is buffered still comes out.
                if (read != AVERROR_EOF)
                    error = QCoreApplication::translate("VideoReader", "cannot read the video: %1").arg(AvError(read));
                draining = true;
                avcodec_send_packet(codec, nullptr);
                continue;
            }
            if (packet->stream_index == stream) {
                if (packet->flags & AV_PKT_FLAG_CORRUPT)
                    damaged = true;
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
    FfmpegVideoDecoder(const char* file, VideoSizeCheck check, VideoStopCheck stop);
    Result Opened() const override { return IsOpen() ? Result() : Result::Failure(ErrorCode::Undecodable, s_.error); }
    Result Next(VideoPicture* picture) override;
    qint64 NominalFrameMs() const override;
    qint64 ExpectedPictures() const override;
    qint64 DurationMs() const override;

private:
    bool IsOpen() const { return s_.stream >= 0; }
    // The next picture; false at the end or on damaged data (then s_.error says why).
    bool NextPicture(VideoPicture* picture);
    bool Convert(const AVFrame* f, QImage* image);
    // At the end of the stream: whether the file ends before the pictures it announces.
    bool CutShort() const;

    State s_;
    VideoSizeCheck check_;
};

FfmpegVideoDecoder::FfmpegVideoDecoder(const char* file, VideoSizeCheck check, VideoStopCheck stop)
    : check_(check)
{
    State& s = s_;
    s.stop = stop;
    av_log_set_level(AV_LOG_QUIET);
    s.format = avformat_alloc_context();
    if (!s.format) {
        s.error = QCoreApplication::translate("VideoReader", "cannot start the video decoder");
        return;
    }
    s.format->interrupt_callback = {&State::Interrupt, &s};
    AVDictionary* options = nullptr;
    av_dict_set(&options, "format_whitelist", kContainers, 0);
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    s.Wait();
    // "file:" keeps a name such as "http:x" or "concat:a|b" a plain file name.
    const QByteArray name = QByteArrayLiteral("file:") + file;
    int code = avformat_open_input(&s.format, name.constData(), nullptr, &options);
    av_dict_free(&options);
    if (code < 0) {
        s.error = code == AVERROR_EXIT
            ? s.Interrupted()
            : QCoreApplication::translate("VideoReader", "not a video: %1").arg(AvError(code));
        return;
    }
    if ((code = avformat_find_stream_info(s.format, nullptr)) < 0) {
        s.error = code == AVERROR_EXIT
            ? s.Interrupted()
            : QCoreApplication::translate("VideoReader", "not a video: %1").arg(AvError(code));
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
#if LIBAVFORMAT_VERSION_INT >= AV_VERSION_INT(60, 15, 100)
    const AVPacketSideData* side = av_packet_side_data_get(
        stream->codecpar->coded_side_data, stream->codecpar->nb_coded_side_data, AV_PKT_DATA_DISPLAYMATRIX);
    if (side && side->size >= sizeof(int32_t) * 9)
        s.turn = TurnOf(reinterpret_cast<const int32_t*>(side->data));
#else
    size_t sideSize = 0;
    const uint8_t* side = av_stream_get_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, &sideSize);
    if (side && sideSize >= sizeof(int32_t) * 9)
        s.turn = TurnOf(reinterpret_cast<const int32_t*>(side));
#endif
    s.codec = avcodec_alloc_context3(decoder);
    s.packet = av_packet_alloc();
    s.frame = av_frame_alloc();
    s.converted = av_frame_alloc();
    if (!s.codec || !s.packet || !s.frame || !s.converted
        || avcodec_parameters_to_context(s.codec, stream->codecpar) < 0
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

qint64 FfmpegVideoDecoder::ExpectedPictures() const
{
    return IsOpen() ? qMax<qint64>(0, s_.format->streams[s_.stream]->nb_frames) : 0;
}

qint64 FfmpegVideoDecoder::DurationMs() const
{
    if (!IsOpen())
        return 0;
    const AVStream* stream = s_.format->streams[s_.stream];
    if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0)
        return s_.ToMs(stream->duration);
    // The file's duration is the video's only when nothing else plays beside it.
    if (s_.format->nb_streams == 1 && s_.format->duration != AV_NOPTS_VALUE && s_.format->duration > 0)
        return av_rescale(s_.format->duration, 1000, AV_TIME_BASE);
    return 0;
}

bool FfmpegVideoDecoder::CutShort() const
{
    if (s_.damaged)
        return true;
    const qint64 expected = ExpectedPictures();
    const bool fewer = expected > 0 && s_.decoded < expected;
    // The last picture starts at most two pictures' time (or a tenth of a second) before the end.
    const qint64 duration = DurationMs();
    const qint64 slack = qMax<qint64>(100, 2 * NominalFrameMs());
    const bool shorter =
        duration > 0 && s_.lastPts != AV_NOPTS_VALUE && s_.ToMs(s_.lastPts - s_.firstPts) + slack < duration;
    // Both when the file states both: an edit list may drop a picture or two of a whole file.
    return expected > 0 && duration > 0 ? fewer && shorter : fewer || shorter;
}

bool FfmpegVideoDecoder::Convert(const AVFrame* f, QImage* image)
{
    State& s = s_;
    const Conversion wanted = ConversionOf(f);
    if (!s.scaler || !(s.conversion == wanted)) {
        sws_freeContext(s.scaler);
        s.scaler = sws_getContext(f->width, f->height, AVPixelFormat(f->format), f->width, f->height, AV_PIX_FMT_BGRA,
                                  SWS_BICUBIC, nullptr, nullptr, nullptr);
        s.conversion = wanted;
        if (!s.scaler)
            return false;
        const AVPixFmtDescriptor* description = av_pix_fmt_desc_get(AVPixelFormat(f->format));
        if (description && !(description->flags & AV_PIX_FMT_FLAG_RGB)) {
            // Unknown matrices are BT.601's, as everywhere else; RGB out is full range.
            const int* table = sws_getCoefficients(wanted.space);
            (void)sws_setColorspaceDetails(s.scaler, table, wanted.full ? 1 : 0, sws_getCoefficients(SWS_CS_DEFAULT), 1,
                                           0, 1 << 16, 1 << 16);
        }
        av_frame_unref(s.converted);
        s.converted->format = AV_PIX_FMT_BGRA;
        s.converted->width = f->width;
        s.converted->height = f->height;
        if (av_frame_get_buffer(s.converted, 64) < 0)
            return false;
    }
    if (sws_scale(s.scaler, f->data, f->linesize, 0, f->height, s.converted->data, s.converted->linesize) != f->height)
        return false;
    *image = Place(s.converted->data[0], s.converted->linesize[0], f->width, f->height, s.turn);
    return !image->isNull();
}

Result FfmpegVideoDecoder::Next(VideoPicture* picture)
{
    if (NextPicture(picture))
        return {};
    *picture = VideoPicture();
    if (!IsOpen() || !s_.error.isEmpty())
        return Result::Failure(ErrorCode::Undecodable, s_.error);
    return {};
}

bool FfmpegVideoDecoder::NextPicture(VideoPicture* picture)
{
    State& s = s_;
    if (!IsOpen() || s.finished)
        return false;
    if (!s.Receive()) {
        s.finished = true;
        if (s.error.isEmpty() && CutShort())
            s.error = QCoreApplication::translate("VideoReader", "the file ends before the video does");
        return false;
    }
    AVFrame* f = s.frame;
    const QString reason = check_(f->width, f->height);
    if (!reason.isEmpty()) {
        s.error = reason;
        s.finished = true;
        return false;
    }
    if (f->decode_error_flags || (f->flags & AV_FRAME_FLAG_CORRUPT))
        s.damaged = true;
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
    QImage image;
    if (!Convert(f, &image)) {
        s.error = QCoreApplication::translate("VideoReader", "cannot convert the video's pictures");
        s.finished = true;
        return false;
    }
    const qint64 length = FrameLength(f);
    av_frame_unref(f);
    ++s.decoded;

    picture->image = std::move(image);
    picture->startMs = qMax<qint64>(0, s.ToMs(pts - s.firstPts));
    picture->lengthMs = qMax<qint64>(0, s.ToMs(length));
    return true;
}

} // namespace
} // namespace imaging

extern "C" Q_DECL_EXPORT imaging::VideoDecoder*
flipreel_open_video_decoder(const char* file, imaging::VideoSizeCheck check, imaging::VideoStopCheck stop)
{
    return new imaging::FfmpegVideoDecoder(file, check, stop);
}
