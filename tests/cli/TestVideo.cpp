// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestVideo.h"

#include <QImage>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace {

struct Writer {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    AVStream* stream = nullptr;
    std::vector<qint64> lengths; // per picture; FFV1 gives one packet per picture, in order
    std::size_t written = 0;
    ~Writer()
    {
        av_packet_free(&packet);
        av_frame_free(&frame);
        avcodec_free_context(&codec);
        if (format && !(format->oformat->flags & AVFMT_NOFILE))
            avio_closep(&format->pb);
        avformat_free_context(format);
    }
    // Sends a frame (or the end, with nullptr) and writes what the encoder gives back.
    bool Encode(AVFrame* f)
    {
        if (avcodec_send_frame(codec, f) < 0)
            return false;
        for (;;) {
            const int got = avcodec_receive_packet(codec, packet);
            if (got == AVERROR(EAGAIN) || got == AVERROR_EOF)
                return true;
            if (got < 0)
                return false;
            if (written < lengths.size())
                packet->duration = lengths[written++];
            av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            if (av_interleaved_write_frame(format, packet) < 0)
                return false;
        }
    }
};

} // namespace

QString WriteTestVideo(const QString& path, QSize size, const std::vector<TestVideoPicture>& pictures)
{
    Writer w;
    const QByteArray name = path.toLocal8Bit();
    if (avformat_alloc_output_context2(&w.format, nullptr, "matroska", name.constData()) < 0)
        return QStringLiteral("no Matroska muxer");
    const AVCodec* encoder = avcodec_find_encoder(AV_CODEC_ID_FFV1);
    if (!encoder)
        return QStringLiteral("no FFV1 encoder");
    w.stream = avformat_new_stream(w.format, nullptr);
    w.codec = avcodec_alloc_context3(encoder);
    w.frame = av_frame_alloc();
    w.packet = av_packet_alloc();
    w.codec->width = size.width();
    w.codec->height = size.height();
    w.codec->pix_fmt = AV_PIX_FMT_RGB32;
    w.codec->time_base = AVRational{1, 1000};
    if (w.format->oformat->flags & AVFMT_GLOBALHEADER)
        w.codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(w.codec, encoder, nullptr) < 0
        || avcodec_parameters_from_context(w.stream->codecpar, w.codec) < 0)
        return QStringLiteral("cannot open the FFV1 encoder");
    w.stream->time_base = w.codec->time_base;
    if (avio_open(&w.format->pb, name.constData(), AVIO_FLAG_WRITE) < 0 || avformat_write_header(w.format, nullptr) < 0)
        return QStringLiteral("cannot start the file");
    w.frame->format = AV_PIX_FMT_RGB32;
    w.frame->width = size.width();
    w.frame->height = size.height();
    if (av_frame_get_buffer(w.frame, 0) < 0)
        return QStringLiteral("no frame buffer");
    for (const TestVideoPicture& picture : pictures)
        w.lengths.push_back(picture.lengthMs);
    for (const TestVideoPicture& picture : pictures) {
        if (av_frame_make_writable(w.frame) < 0)
            return QStringLiteral("frame not writable");
        // AV_PIX_FMT_RGB32 is Qt's ARGB32 layout in memory.
        QImage image(w.frame->data[0], size.width(), size.height(), w.frame->linesize[0], QImage::Format_ARGB32);
        image.fill(picture.colour);
        w.frame->pts = picture.startMs;
        if (!w.Encode(w.frame))
            return QStringLiteral("cannot encode a picture");
    }
    if (!w.Encode(nullptr) || av_write_trailer(w.format) < 0)
        return QStringLiteral("cannot finish the file");
    return {};
}
