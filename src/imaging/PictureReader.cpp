// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/PictureReader.h"

#include "imaging/ImagingRuntime.h"
#include "imaging/PictureFile.h"
#include "imaging/PictureFormat.h"
#include "imaging/codecs/PictureCodec.h"

#include <QByteArray>
#include <QCoreApplication>

#include <optional>

namespace imaging {
namespace {

Result Unreadable(const FormatChoice& c)
{
    if (c.codec == Codec::NoDecoder)
        return Result::Failure(
            ErrorCode::NoDecoder,
            QCoreApplication::translate("PictureReader",
                                        "%1 pictures cannot be decoded: there is no decoder for them on this system")
                .arg(c.name));
    return Result::Failure(ErrorCode::NotAPicture,
                           QCoreApplication::translate("PictureReader", "not a picture format that can be read"));
}

// How much of a file's start and end a codec is given to measure it.
constexpr qint64 kHeadBytes = 256 * 1024;
constexpr qint64 kTailBytes = 64 * 1024;

} // namespace

QImage ApplyExifOrientation(const QImage& image, int orientation)
{
    if (orientation <= 1 || orientation > 8 || image.depth() != 32)
        return image;
    switch (orientation) {
    case 2:
        return image.mirrored(true, false);
    case 3:
        return image.mirrored(true, true);
    case 4:
        return image.mirrored(false, true);
    default:
        break;
    }
    // 5..8 swap the sides: out(x, y) = in(sx, sy) with the mapping below.
    const int w = image.width(), h = image.height();
    QImage out(h, w, image.format());
    if (out.isNull())
        return out;
    for (int y = 0; y < w; ++y) {
        auto* dst = reinterpret_cast<quint32*>(out.scanLine(y));
        for (int x = 0; x < h; ++x) {
            int sx = 0, sy = 0;
            switch (orientation) {
            case 5:
                sx = y;
                sy = x;
                break; // transpose
            case 6:
                sx = y;
                sy = h - 1 - x;
                break; // rotate 90 clockwise
            case 7:
                sx = w - 1 - y;
                sy = h - 1 - x;
                break; // transverse
            case 8:
                sx = w - 1 - y;
                sy = x;
                break; // rotate 90 anticlockwise
            }
            dst[x] = reinterpret_cast<const quint32*>(image.constScanLine(sy))[sx];
        }
    }
    return out;
}

Result MeasurePicture(const QString& path, QSize* size)
{
    EnsureQtImageLimit();
    QByteArray bytes;
    QByteArray tail;
    // Most formats show their size at the start (and their completeness at
    // the end): a large photograph is not read whole just to be listed.
    qint64 fileSize = 0;
    if (Result read = ReadPictureFileEnds(path, kHeadBytes, kTailBytes, &bytes, &tail, &fileSize); !read)
        return read;
    if (!tail.isEmpty()) {
        const PictureEnds ends{reinterpret_cast<const uchar*>(bytes.constData()), bytes.size(),
                               reinterpret_cast<const uchar*>(tail.constData()), tail.size(), fileSize};
        const FormatChoice c = ChooseFormat(ends.head, ends.headSize, path);
        const PictureCodec* codec = CodecOf(c.codec);
        if (!codec)
            return Unreadable(c);
        if (codec->measureEnds)
            if (std::optional<Result> measured = codec->measureEnds(ends, c, size))
                return *std::move(measured);
        // Any other kind, or a header longer than the start read: the whole file.
        if (Result read = ReadPictureFile(path, &bytes); !read)
            return read;
    }
    const auto* d = reinterpret_cast<const uchar*>(bytes.constData());
    const FormatChoice c = ChooseFormat(d, bytes.size(), path);
    const PictureCodec* codec = CodecOf(c.codec);
    if (!codec)
        return Unreadable(c);
    return codec->measure(d, bytes.size(), c, size);
}

Result DecodePicture(const QString& path, QImage* image, QSize box)
{
    EnsureQtImageLimit();
    *image = QImage();
    QByteArray bytes;
    if (Result read = ReadPictureFile(path, &bytes); !read)
        return read;
    const auto* d = reinterpret_cast<const uchar*>(bytes.constData());
    const FormatChoice c = ChooseFormat(d, bytes.size(), path);
    const PictureCodec* codec = CodecOf(c.codec);
    if (!codec)
        return Unreadable(c);
    QImage result;
    Result decoded = codec->decode(d, bytes.size(), c, box, &result);
    if (decoded)
        *image = std::move(result);
    return decoded;
}

Result CheckPictureData(const QString& path)
{
    QImage ignored;
    return DecodePicture(path, &ignored, QSize(1, 1));
}

} // namespace imaging
