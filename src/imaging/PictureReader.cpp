// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/PictureReader.h"

#include "imaging/GifCodec.h"
#include "imaging/codecs/GifCodec.h"
#include "imaging/ImagingLimits.h"
#include "imaging/ImagingRuntime.h"
#include "imaging/codecs/JpegCodec.h"
#include "imaging/MagickCodec.h"
#include "imaging/PictureCompleteness.h"
#include "imaging/PictureFile.h"
#include "imaging/PictureFormat.h"
#include "imaging/codecs/BmpCodec.h"
#include "imaging/codecs/ColorProfile.h"
#include "imaging/codecs/HeifCodec.h"
#include "imaging/codecs/IcoCodec.h"
#include "imaging/codecs/PngCodec.h"
#include "imaging/codecs/WebpCodec.h"

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QImageReader>
#include <QtConcurrent/QtConcurrentMap>
#include <QtEndian>

#include <algorithm>
#include <climits>
#include <cstring>

namespace imaging {
namespace {

QImage To32Bit(const QImage& image)
{
    const QImage::Format f = image.hasAlphaChannel() ? QImage::Format_RGBA8888 : QImage::Format_RGBX8888;
    return image.format() == f ? image : image.convertToFormat(f);
}

// Empty when the header's size is acceptable (or the header is not ours to judge).
QString HeaderSizeProblem(bool known, QSize s) { return known ? CheckPictureSize(s.width(), s.height()) : QString(); }

// ---- Qt (PNG, BMP)

bool QtMeasure(const uchar* data, qint64 size, const char* format, QSize* result, QString* error)
{
    QByteArray raw = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer buffer(&raw);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    // Qt's own handler for the format, without loading and asking every image plug-in first.
    reader.setAutoDetectImageFormat(false);
    reader.setAutoTransform(false);
    const QSize s = reader.size();
    if (!s.isValid()) {
        *error = QCoreApplication::translate("PictureReader", "unreadable %1: %2")
                     .arg(QString::fromLatin1(format).toUpper(), reader.errorString());
        return false;
    }
    const QString reason = CheckPictureSize(s.width(), s.height());
    if (!reason.isEmpty()) {
        *error = reason;
        return false;
    }
    *result = s;
    return true;
}

bool QtDecode(const uchar* data, qint64 size, const char* format, QImage* image, QString* error)
{
    QSize s;
    if (!QtMeasure(data, size, format, &s, error))
        return false;
    QByteArray raw = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer buffer(&raw);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    reader.setAutoTransform(false);
    QImage decoded;
    if (!reader.read(&decoded) || decoded.isNull()) {
        *error = QCoreApplication::translate("PictureReader", "unreadable %1: %2")
                     .arg(QString::fromLatin1(format).toUpper(), reader.errorString());
        return false;
    }
    *image = To32Bit(decoded);
    ConvertToSrgb(image, ProfileOf(decoded));
    if (image->isNull()) {
        *error = QCoreApplication::translate("PictureReader", "not enough memory for a %1 x %2 picture")
                     .arg(s.width())
                     .arg(s.height());
        return false;
    }
    return true;
}

QSize Oriented(QSize s, int orientation)
{
    if (orientation >= 5 && orientation <= 8)
        s.transpose();
    return s;
}

QString Unreadable(const FormatChoice& c)
{
    if (c.codec == Codec::NoDecoder)
        return QCoreApplication::translate("PictureReader",
                                           "%1 pictures cannot be decoded: there is no decoder for them on this system")
            .arg(c.name);
    return QCoreApplication::translate("PictureReader", "not a picture format that can be read");
}

// The largest reduction of a JPEG decode that still gives at least `box`
// (in stored orientation).
int JpegReduction(QSize stored, QSize box)
{
    if (box.isEmpty())
        return 1;
    int reduction = 8;
    while (reduction > 1
           && ((stored.width() + reduction - 1) / reduction < box.width()
               || (stored.height() + reduction - 1) / reduction < box.height()))
        reduction /= 2;
    return reduction;
}

// How much of a file's start and end MeasureByEnds reads at most.
constexpr qint64 kHeadBytes = 256 * 1024;
constexpr qint64 kTailBytes = 64 * 1024;

// Size and completeness of a JPEG or PNG from the file's start (`d`) and its
// end (`tail`; the same bytes when the file was read whole).
bool MeasureByEnds(Codec codec, const uchar* d, qint64 n, const uchar* tail, qint64 tailSize, QSize* s, QString* reason)
{
    if (codec == Codec::Jpeg) {
        int orientation = 1;
        if (!JpegReadHeader(d, n, s, &orientation, reason, tail, tailSize))
            return false;
        *s = Oriented(*s, orientation);
    } else {
        PngHeader header;
        if (!PngReadHeader(d, n, &header)) {
            *reason = QCoreApplication::translate("PictureReader", "unreadable PNG: no image header");
            return false;
        }
        *s = header.Upright();
        *reason = CheckPictureSize(s->width(), s->height());
        if (!reason->isEmpty())
            return false;
        if (!header.complete) {
            *reason = QCoreApplication::translate("PictureReader", "the PNG data is truncated");
            return false;
        }
    }
    *reason = CheckPictureSize(s->width(), s->height());
    if (!reason->isEmpty())
        return false;
    if (codec == Codec::Png && !PngHasEnd(tail, tailSize)) {
        *reason = QCoreApplication::translate("PictureReader", "the PNG data is truncated");
        return false;
    }
    return true;
}

// Decodes the file's bytes; `box`, when given, is the size the caller will
// show the picture at: a format that can decode smaller does so (never below
// the box). Empty reason on success.
bool DecodeBytes(const uchar* d, qint64 n, const FormatChoice& c, QSize box, QImage* out, QString* reason)
{
    QImage result;
    bool ok = true;
    switch (c.codec) {
    case Codec::Unknown:
    case Codec::NoDecoder:
        *reason = Unreadable(c);
        return false;
    case Codec::Jpeg: {
        QSize stored;
        int orientation = 1;
        if (!JpegReadHeader(d, n, &stored, &orientation, reason))
            return false;
        const QSize wanted = orientation >= 5 ? box.transposed() : box;
        QByteArray icc;
        ok = JpegDecode(d, n, &result, &orientation, reason, JpegReduction(stored, wanted), &icc);
        if (ok)
            ConvertToSrgb(&result, icc);
        if (ok && orientation != 1) {
            result = ApplyExifOrientation(result, orientation);
            if (result.isNull()) {
                *reason = QCoreApplication::translate("PictureReader", "not enough memory to turn the picture upright");
                ok = false;
            }
        }
        break;
    }
    case Codec::Png: {
        PngHeader header;
        const bool known = PngReadHeader(d, n, &header);
        *reason = HeaderSizeProblem(known, header.stored);
        if (reason->isEmpty() && (!header.complete || !PngHasEnd(d, n)))
            *reason = QCoreApplication::translate("PictureReader", "the PNG data is truncated");
        ok = reason->isEmpty() && QtDecode(d, n, "png", &result, reason);
        if (ok && header.orientation != 1) {
            result = ApplyExifOrientation(result, header.orientation);
            if (result.isNull()) {
                *reason = QCoreApplication::translate("PictureReader", "not enough memory to turn the picture upright");
                ok = false;
            }
        }
        break;
    }
    case Codec::Bmp: {
        const BmpHeader header = BmpReadHeader(d, n);
        *reason = HeaderSizeProblem(header.known, header.Size());
        if (!reason->isEmpty())
            return false;
        if (BmpRowsMissing(header, n) || BmpRunsCut(header, d, n)) {
            *reason = QCoreApplication::translate("PictureReader", "the BMP pixel data is truncated");
            return false;
        }
        ok = QtDecode(d, n, "bmp", &result, reason);
        if (!ok) {
            // Variants Qt does not read (embedded JPEG/PNG, some OS/2
            // files); when neither reads it, Qt's reason is given.
            QString ignored;
            ok = MagickDecode(d, n, c.coder, &result, &ignored);
        }
        break;
    }
    case Codec::Gif: {
        IndexedPicture picture;
        ok = GifReadFirstFrame(d, n, &picture, reason);
        if (ok) {
            result = IndexedToImage(picture);
            if (result.isNull()) {
                *reason = QCoreApplication::translate("PictureReader", "not enough memory for the picture");
                ok = false;
            }
        }
        break;
    }
    case Codec::Ico: {
        IconEntry entry;
        ok = PickIconEntry(d, n, &entry, reason);
        if (ok && entry.png)
            ok = QtDecode(d + entry.offset, entry.length, "png", &result, reason);
        else if (ok)
            ok = MagickDecode(reinterpret_cast<const uchar*>(entry.single.constData()), entry.single.size(), c.coder,
                              &result, reason);
        break;
    }
    case Codec::Webp:
        ok = WebpDecode(d, n, &result, reason);
        break;
    case Codec::Magick:
        ok = MagickDecode(d, n, c.coder, &result, reason, box,
                          HeifSignature(d, n) != HeifKind::None ? HeifIccProfile(d, n) : QByteArray());
        break;
    }
    if (ok) {
        reason->clear();
        *out = std::move(result);
    }
    return ok;
}

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

// The code of a failure to read a file of format `c` (`read`: whether its bytes were read).
ErrorCode FailureCode(bool read, const FormatChoice& c)
{
    if (!read)
        return ErrorCode::FileError;
    if (c.codec == Codec::Unknown)
        return ErrorCode::NotAPicture;
    return c.codec == Codec::NoDecoder ? ErrorCode::NoDecoder : ErrorCode::Undecodable;
}

Result MeasurePicture(const QString& path, QSize* size)
{
    EnsureQtImageLimit();
    QString reason;
    FormatChoice format;
    QByteArray bytes;
    QByteArray tail;
    // JPEG and PNG show their size at the start and their completeness at
    // the end: a large photograph is not read whole just to be listed.
    qint64 fileSize = 0;
    bool ok = ReadPictureFileEnds(path, kHeadBytes, kTailBytes, &bytes, &tail, &reason, &fileSize);
    if (ok && !tail.isEmpty()) {
        const auto* d = reinterpret_cast<const uchar*>(bytes.constData());
        const FormatChoice c = ChooseFormat(d, bytes.size(), path);
        QSize s;
        if ((c.codec == Codec::Jpeg || c.codec == Codec::Png)
            && MeasureByEnds(c.codec, d, bytes.size(), reinterpret_cast<const uchar*>(tail.constData()), tail.size(),
                             &s, &reason)) {
            *size = s;
            return {};
        }
        // Formats whose header (at the start) fixes the data's length: the
        // size and completeness show without reading the pixels.
        if (c.codec == Codec::Magick) {
            const Completeness whole = CheckCompleteness(c.coder, d, bytes.size(), fileSize);
            if (whole == Completeness::Truncated)
                return Result::Failure(
                    ErrorCode::Undecodable,
                    QCoreApplication::translate("PictureReader", "the %1 data is truncated").arg(c.name));
            // A header that reaches past the start read is measured from the whole file.
            if (whole == Completeness::Complete && MagickMeasure(d, bytes.size(), c.coder, &s, &reason)) {
                *size = s;
                return {};
            }
        }
        // Any other kind, or a header longer than the start read: the whole file.
        ok = ReadPictureFile(path, &bytes, &reason);
    }
    if (ok) {
        const auto* d = reinterpret_cast<const uchar*>(bytes.constData());
        const qint64 n = bytes.size();
        const FormatChoice c = ChooseFormat(d, n, path);
        format = c;
        QSize s;
        // JPEG, PNG, GIF, uncompressed BMP, PNM, TGA, SGI and PSD and TIFF
        // prove from their structure that their data is complete (an end
        // marker, all rows or strips present); the others (and the unusual
        // files among these) are decoded, so that a listed picture can become a frame.
        switch (c.codec) {
        case Codec::Jpeg:
        case Codec::Png:
            ok = MeasureByEnds(c.codec, d, n, d, n, &s, &reason);
            break;
        case Codec::Gif:
            ok = GifReadSize(d, n, &s, &reason);
            break;
        case Codec::Bmp:
            if (const BmpHeader header = BmpReadHeader(d, n); header.Uncompressed()) {
                reason = HeaderSizeProblem(header.known, header.Size());
                if (!reason.isEmpty()) {
                    ok = false;
                    break;
                }
                if (BmpRowsMissing(header, n)) {
                    reason = QCoreApplication::translate("PictureReader", "the BMP pixel data is truncated");
                    ok = false;
                    break;
                }
                if (QtMeasure(d, n, "bmp", &s, &reason))
                    break;
            }
            [[fallthrough]];
        default: {
            if (c.codec == Codec::Magick) {
                const Completeness whole = CheckCompleteness(c.coder, d, n, n);
                if (whole == Completeness::Truncated) {
                    reason = QCoreApplication::translate("PictureReader", "the %1 data is truncated").arg(c.name);
                    ok = false;
                    break;
                }
                if (whole == Completeness::Complete) {
                    ok = MagickMeasure(d, n, c.coder, &s, &reason);
                    break;
                }
            }
            QImage decoded;
            ok = DecodeBytes(d, n, c, {}, &decoded, &reason);
            s = decoded.size();
            break;
        }
        }
        if (ok) {
            *size = s;
            return {};
        }
        return Result::Failure(FailureCode(true, format), reason);
    }
    return Result::Failure(ErrorCode::FileError, reason);
}

Result DecodePicture(const QString& path, QImage* image, QSize box)
{
    EnsureQtImageLimit();
    *image = QImage();
    QString reason;
    QByteArray bytes;
    if (!ReadPictureFile(path, &bytes, &reason))
        return Result::Failure(ErrorCode::FileError, reason);
    const auto* d = reinterpret_cast<const uchar*>(bytes.constData());
    const FormatChoice c = ChooseFormat(d, bytes.size(), path);
    QImage result;
    if (!DecodeBytes(d, bytes.size(), c, box, &result, &reason))
        return Result::Failure(FailureCode(true, c), reason);
    *image = std::move(result);
    return {};
}

Result CheckPictureData(const QString& path)
{
    QImage ignored;
    return DecodePicture(path, &ignored, QSize(1, 1));
}

QList<Result> CheckPicturesData(const QStringList& paths)
{
    return QtConcurrent::blockingMapped<QList<Result>>(paths,
                                                       [](const QString& path) { return CheckPictureData(path); });
}

} // namespace imaging
