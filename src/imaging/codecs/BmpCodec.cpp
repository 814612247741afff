// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/codecs/BmpCodec.h"

#include "imaging/ImagingLimits.h"

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

} // namespace imaging
