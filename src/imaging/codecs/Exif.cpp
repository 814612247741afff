// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/codecs/Exif.h"

#include <QtEndian>

#include <cstring>

namespace imaging {

int TiffOrientation(const uchar* tiff, qint64 n)
{
    if (n < 8)
        return 1;
    bool le;
    if (tiff[0] == 'I' && tiff[1] == 'I')
        le = true;
    else if (tiff[0] == 'M' && tiff[1] == 'M')
        le = false;
    else
        return 1;
    const auto u16 = [&](qint64 at) {
        return le ? qFromLittleEndian<quint16>(tiff + at) : qFromBigEndian<quint16>(tiff + at);
    };
    const auto u32 = [&](qint64 at) {
        return le ? qFromLittleEndian<quint32>(tiff + at) : qFromBigEndian<quint32>(tiff + at);
    };
    if (u16(2) != 42)
        return 1;
    const quint32 ifd = u32(4);
    if (ifd < 8 || qint64(ifd) + 2 > n)
        return 1;
    const int count = u16(ifd);
    for (int i = 0; i < count; ++i) {
        const qint64 at = qint64(ifd) + 2 + qint64(i) * 12;
        if (at + 12 > n)
            return 1;
        if (u16(at) != 0x0112)
            continue;
        const int type = u16(at + 2);
        int value = 0;
        if (type == 3) // SHORT
            value = u16(at + 8);
        else if (type == 4) // LONG, seen in some writers
            value = int(u32(at + 8));
        return value >= 1 && value <= 8 ? value : 1;
    }
    return 1;
}

int ExifOrientation(const uchar* data, qint64 size)
{
    if (size < 14 || std::memcmp(data, "Exif\0\0", 6) != 0)
        return 1;
    return TiffOrientation(data + 6, size - 6);
}

} // namespace imaging
