// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/codecs/PngCodec.h"

#include "imaging/ImagingLimits.h"
#include "imaging/codecs/Exif.h"
#include "imaging/codecs/PictureCodec.h"
#include "imaging/codecs/QtReader.h"

#include <QCoreApplication>
#include <QtEndian>

#include <algorithm>
#include <climits>
#include <cstring>

namespace imaging {

bool IsPng(const uchar* d, qint64 n) { return n >= 8 && std::memcmp(d, kPngSignature, 8) == 0; }

bool PngReadHeader(const uchar* d, qint64 n, PngHeader* header)
{
    if (!IsPng(d, n) || n < 33 || std::memcmp(d + 12, "IHDR", 4) != 0)
        return false;
    const quint32 w = qFromBigEndian<quint32>(d + 16), h = qFromBigEndian<quint32>(d + 20);
    if (w > quint32(INT32_MAX) || h > quint32(INT32_MAX))
        return false;
    *header = PngHeader();
    header->stored = QSize(int(w), int(h));
    // length, type, data, CRC
    for (qint64 at = 8;;) {
        if (at + 8 > n) {
            header->complete = false;
            return true;
        }
        const qint64 length = qFromBigEndian<quint32>(d + at);
        const uchar* type = d + at + 4;
        if (std::memcmp(type, "IDAT", 4) == 0 || std::memcmp(type, "IEND", 4) == 0)
            return true;
        if (at + 12 + length > n) {
            header->complete = false;
            return true;
        }
        const uchar* data = d + at + 8;
        if (std::memcmp(type, "eXIf", 4) == 0)
            header->orientation = TiffOrientation(data, length);
        else if (std::memcmp(type, "acTL", 4) == 0 && length >= 8)
            header->frames = int(std::clamp<quint32>(qFromBigEndian<quint32>(data), 1, INT_MAX));
        at += 12 + length;
    }
}

bool PngHasEnd(const uchar* tail, qint64 n)
{
    const qint64 from = std::max<qint64>(0, n - 65536);
    for (qint64 i = n - 8; i >= from; --i)
        if (std::memcmp(tail + i, "IEND", 4) == 0)
            return true;
    return false;
}

namespace {

Result Truncated()
{
    return Result::Failure(ErrorCode::Undecodable,
                           QCoreApplication::translate("PictureReader", "the PNG data is truncated"));
}

// The header, its size checked and its data proved complete. An eXIf chunk
// after the image data is not applied, as web browsers and ffmpeg do not
// (PIL does): the picture shows as the browser shows it.
Result ReadChecked(const uchar* d, qint64 n, const uchar* tail, qint64 tailSize, PngHeader* header)
{
    if (!PngReadHeader(d, n, header))
        return Result::Failure(ErrorCode::Undecodable,
                               QCoreApplication::translate("PictureReader", "unreadable PNG: no image header"));
    if (const QString reason = CheckPictureSize(header->Upright().width(), header->Upright().height());
        !reason.isEmpty())
        return Result::Failure(ErrorCode::Undecodable, reason);
    if (!header->complete || !PngHasEnd(tail, tailSize))
        return Truncated();
    return {};
}

std::optional<Result> MeasureEnds(const PictureEnds& file, const FormatChoice&, QSize* size)
{
    PngHeader header;
    Result checked = ReadChecked(file.head, file.headSize, file.tail, file.tailSize, &header);
    if (!checked)
        return std::nullopt; // perhaps a header longer than the start read
    *size = header.Upright();
    return checked;
}

Result Measure(const uchar* d, qint64 n, const FormatChoice&, QSize* size)
{
    PngHeader header;
    Result checked = ReadChecked(d, n, d, n, &header);
    if (checked)
        *size = header.Upright();
    return checked;
}

Result Decode(const uchar* d, qint64 n, const FormatChoice&, QSize, QImage* image)
{
    PngHeader header;
    if (Result checked = ReadChecked(d, n, d, n, &header); !checked)
        return checked;
    QImage decoded;
    if (Result read = QtDecode(d, n, "png", &decoded); !read)
        return read;
    if (Result turned = TurnUpright(&decoded, header.orientation); !turned)
        return turned;
    *image = std::move(decoded);
    return {};
}

} // namespace

const PictureCodec kPngCodec{MeasureEnds, Measure, Decode, nullptr};

} // namespace imaging
