// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/codecs/BmpCodec.h"

#include "imaging/ImagingLimits.h"
#include "imaging/MagickCodec.h"
#include "imaging/codecs/PictureCodec.h"
#include "imaging/codecs/QtReader.h"

#include <QCoreApplication>

#include <QtEndian>

#include <algorithm>
#include <climits>
#include <cstring>

namespace imaging {

QSize BmpHeader::Size() const
{
    return QSize(int(std::min<qint64>(qAbs(width), INT32_MAX)), int(std::min<qint64>(qAbs(height), INT32_MAX)));
}

bool IsBmp(const uchar* d, qint64 n) { return n >= 26 && d[0] == 'B' && d[1] == 'M'; }

BmpHeader BmpReadHeader(const uchar* d, qint64 n)
{
    BmpHeader h;
    if (n < 26)
        return h;
    h.dataOffset = qFromLittleEndian<quint32>(d + 10);
    h.headerSize = qFromLittleEndian<quint32>(d + 14);
    if (h.headerSize == 12) {
        h.width = qFromLittleEndian<quint16>(d + 18);
        h.height = qFromLittleEndian<quint16>(d + 20);
        h.bitsPerPixel = qFromLittleEndian<quint16>(d + 24);
        h.known = true;
    } else if (h.headerSize >= 40 && n >= 14 + 40) {
        h.width = qFromLittleEndian<qint32>(d + 18);
        h.height = qFromLittleEndian<qint32>(d + 22);
        h.bitsPerPixel = qFromLittleEndian<quint16>(d + 28);
        h.compression = qFromLittleEndian<quint32>(d + 30);
        h.known = true;
    }
    return h;
}

bool BmpRowsMissing(const BmpHeader& h, qint64 n)
{
    if (n < 26)
        return true;
    // An unusual header, or run-length or embedded data: the decoder decides.
    if (!h.Uncompressed())
        return false;
    const qint64 w = qAbs(h.width), rows = qAbs(h.height);
    if (w > kMaxPictureSide || rows > kMaxPictureSide)
        return false; // the size check gives the better reason
    const qint64 stride = ((w * h.bitsPerPixel + 31) / 32) * 4;
    return qint64(h.dataOffset) + stride * rows > n;
}

bool BmpRunsCut(const BmpHeader& h, const uchar* d, qint64 n)
{
    if (!h.known || h.headerSize < 40 || (h.compression != 1 && h.compression != 2))
        return false;
    const bool four = h.compression == 2;
    const qint64 rows = qAbs(h.height);
    qint64 at = h.dataOffset;
    qint64 row = 0;
    while (at + 2 <= n) {
        const uchar count = d[at], value = d[at + 1];
        at += 2;
        if (count > 0)
            continue;     // a run
        if (value == 0) { // end of line
            if (++row >= rows)
                return false;
        } else if (value == 1) { // end of picture
            return false;
        } else if (value == 2) { // move by (dx, dy)
            if (at + 2 > n)
                return true;
            row += d[at + 1];
            at += 2;
            if (row >= rows)
                return false;
        } else { // `value` pixels as they are, padded to 16 bits
            const qint64 bytes = four ? (value + 1) / 2 : value;
            at += bytes + (bytes & 1);
        }
    }
    return true;
}

namespace {

Result Truncated()
{
    return Result::Failure(ErrorCode::Undecodable,
                           QCoreApplication::translate("PictureReader", "the BMP pixel data is truncated"));
}

// Empty when the header's size is acceptable (or the header is not ours to judge).
QString SizeProblem(const BmpHeader& header)
{
    return header.known ? CheckPictureSize(header.Size().width(), header.Size().height()) : QString();
}

Result Decode(const uchar* d, qint64 n, const FormatChoice& format, QSize, QImage* image)
{
    const BmpHeader header = BmpReadHeader(d, n);
    if (const QString reason = SizeProblem(header); !reason.isEmpty())
        return Result::Failure(ErrorCode::Undecodable, reason);
    if (BmpRowsMissing(header, n) || BmpRunsCut(header, d, n))
        return Truncated();
    Result read = QtDecode(d, n, "bmp", image);
    if (read)
        return read;
    // Variants Qt does not read (embedded JPEG/PNG, some OS/2 files); when
    // neither reads it, Qt's reason is given.
    if (MagickDecode(d, n, format.coder, image))
        return {};
    return read;
}

// Without run-length coding the rows prove the data complete; other files are decoded.
Result Measure(const uchar* d, qint64 n, const FormatChoice& format, QSize* size)
{
    if (const BmpHeader header = BmpReadHeader(d, n); header.Uncompressed()) {
        if (const QString reason = SizeProblem(header); !reason.isEmpty())
            return Result::Failure(ErrorCode::Undecodable, reason);
        if (BmpRowsMissing(header, n))
            return Truncated();
        if (QtMeasure(d, n, "bmp", size))
            return {};
    }
    return MeasureByDecoding(kBmpCodec, d, n, format, size);
}

} // namespace

const PictureCodec kBmpCodec{nullptr, Measure, Decode, nullptr};

} // namespace imaging
