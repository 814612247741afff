// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/codecs/PngCodec.h"

#include "imaging/codecs/Exif.h"

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

} // namespace imaging
