// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/codecs/WebpCodec.h"

#include "imaging/ImagingLimits.h"
#include "imaging/PictureReader.h"
#include "imaging/codecs/ColorProfile.h"
#include "imaging/codecs/Exif.h"
#include "imaging/codecs/PictureCodec.h"

#include <QCoreApplication>

#include <webp/decode.h>
#include <webp/demux.h>

#include <cstring>

namespace imaging {
namespace {

QString Tr(const char* text) { return QCoreApplication::translate("WebpCodec", text); }

Result Failed(const QString& message) { return Result::Failure(ErrorCode::Undecodable, message); }

struct DemuxDeleter {
    void operator()(WebPDemuxer* d) const { WebPDemuxDelete(d); }
};

} // namespace

bool IsWebp(const uchar* d, qint64 n)
{
    return n >= 16 && std::memcmp(d, "RIFF", 4) == 0 && std::memcmp(d + 8, "WEBP", 4) == 0;
}

bool WebpReadHeader(const uchar* d, qint64 n, WebpHeader* header)
{
    if (!IsWebp(d, n))
        return false;
    const WebPData data{d, size_t(n)};
    WebPDemuxState state = WEBP_DEMUX_PARSE_ERROR;
    // A partial demuxer reads the chunks that are there: a cut file still shows its header.
    const std::unique_ptr<WebPDemuxer, DemuxDeleter> demux(WebPDemuxPartial(&data, &state));
    if (!demux || state < WEBP_DEMUX_PARSED_HEADER)
        return false;
    *header = WebpHeader();
    header->canvas = QSize(int(WebPDemuxGetI(demux.get(), WEBP_FF_CANVAS_WIDTH)),
                           int(WebPDemuxGetI(demux.get(), WEBP_FF_CANVAS_HEIGHT)));
    const uint32_t flags = WebPDemuxGetI(demux.get(), WEBP_FF_FORMAT_FLAGS);
    header->animated = (flags & ANIMATION_FLAG) != 0 && WebPDemuxGetI(demux.get(), WEBP_FF_FRAME_COUNT) != 1;
    header->alpha = (flags & ALPHA_FLAG) != 0;
    WebPChunkIterator chunk;
    if ((flags & ICCP_FLAG) && WebPDemuxGetChunk(demux.get(), "ICCP", 1, &chunk)) {
        header->icc = QByteArray(reinterpret_cast<const char*>(chunk.chunk.bytes), qsizetype(chunk.chunk.size));
        WebPDemuxReleaseChunkIterator(&chunk);
    }
    if ((flags & EXIF_FLAG) && WebPDemuxGetChunk(demux.get(), "EXIF", 1, &chunk)) {
        // The TIFF structure, by some writers after an "Exif\0\0" mark.
        const uchar* p = chunk.chunk.bytes;
        const qint64 size = qint64(chunk.chunk.size);
        header->orientation =
            size >= 6 && std::memcmp(p, "Exif\0\0", 6) == 0 ? ExifOrientation(p, size) : TiffOrientation(p, size);
        WebPDemuxReleaseChunkIterator(&chunk);
    }
    if (!header->alpha && !(flags & ANIMATION_FLAG)) {
        // A simple file (VP8/VP8L without VP8X) says whether it has alpha in its bitstream.
        WebPBitstreamFeatures features;
        if (WebPGetFeatures(d, size_t(n), &features) == VP8_STATUS_OK)
            header->alpha = features.has_alpha != 0;
    }
    return true;
}

struct WebpFrames::Decoder {
    WebPAnimDecoder* decoder = nullptr;
    ~Decoder() { WebPAnimDecoderDelete(decoder); }
};

WebpFrames::WebpFrames() = default;
WebpFrames::~WebpFrames() = default;

Result WebpFrames::Open(const QByteArray& bytes)
{
    const auto* d = reinterpret_cast<const uchar*>(bytes.constData());
    if (!WebpReadHeader(d, bytes.size(), &header_)) {
        return Failed(Tr("unreadable WebP: no picture header"));
    }
    if (const QString reason = CheckPictureSize(header_.canvas.width(), header_.canvas.height()); !reason.isEmpty()) {
        return Failed(reason);
    }
    WebPAnimDecoderOptions options;
    WebPAnimDecoderOptionsInit(&options);
    options.color_mode = MODE_RGBA; // straight alpha
    options.use_threads = 0;
    const WebPData data{d, size_t(bytes.size())};
    decoder_ = std::make_unique<Decoder>();
    decoder_->decoder = WebPAnimDecoderNew(&data, &options);
    if (!decoder_->decoder) {
        return Failed(Tr("corrupt or truncated WebP data"));
    }
    return {};
}

Result WebpFrames::Next(QImage* image, qint64* lengthMs)
{
    *image = QImage();
    if (!decoder_ || !decoder_->decoder || !WebPAnimDecoderHasMoreFrames(decoder_->decoder))
        return {};
    uint8_t* canvas = nullptr;
    int timestamp = 0;
    if (!WebPAnimDecoderGetNext(decoder_->decoder, &canvas, &timestamp)) {
        return Failed(Tr("corrupt or truncated WebP data"));
    }
    const int w = header_.canvas.width(), h = header_.canvas.height();
    QImage frame(w, h, header_.alpha ? QImage::Format_RGBA8888 : QImage::Format_RGBX8888);
    if (frame.isNull()) {
        return Failed(Tr("not enough memory for a %1 x %2 picture").arg(w).arg(h));
    }
    for (int y = 0; y < h; ++y)
        std::memcpy(frame.scanLine(y), canvas + size_t(y) * size_t(w) * 4, size_t(w) * 4);
    if (!header_.alpha) {
        for (int y = 0; y < h; ++y) {
            uchar* p = frame.scanLine(y);
            for (int x = 0; x < w; ++x)
                p[4 * x + 3] = 255;
        }
    }
    ConvertToSrgb(&frame, header_.icc);
    *image = ApplyExifOrientation(frame, header_.orientation);
    if (image->isNull())
        return Failed(Tr("not enough memory to turn the picture upright"));
    *lengthMs = timestamp - timestamp_;
    timestamp_ = timestamp;
    return {};
}

Result WebpDecode(const uchar* d, qint64 n, QImage* image)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(d), qsizetype(n));
    WebpFrames frames;
    qint64 ignored = 0;
    if (Result opened = frames.Open(bytes); !opened)
        return opened;
    if (Result next = frames.Next(image, &ignored); !next)
        return next;
    if (image->isNull())
        return Failed(Tr("the WebP file holds no picture"));
    return {};
}

namespace {

Result Decode(const uchar* d, qint64 n, const FormatChoice&, QSize, QImage* image) { return WebpDecode(d, n, image); }

Result Measure(const uchar* d, qint64 n, const FormatChoice& format, QSize* size)
{
    return MeasureByDecoding(kWebpCodec, d, n, format, size);
}

} // namespace

const PictureCodec kWebpCodec{nullptr, Measure, Decode, nullptr};

} // namespace imaging
