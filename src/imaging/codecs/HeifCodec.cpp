// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/codecs/HeifCodec.h"

#include <QtEndian>

#include <cstring>

namespace imaging {

HeifKind HeifSignature(const uchar* d, qint64 n)
{
    if (n < 16 || std::memcmp(d + 4, "ftyp", 4) != 0)
        return HeifKind::None;
    const qint64 box = qint64(qFromBigEndian<quint32>(d));
    if (box < 16 || box > n)
        return HeifKind::None;
    bool heic = false;
    for (qint64 at = 8; at + 4 <= box; at += 4) {
        if (at == 12)
            continue; // the minor version
        const char* brand = reinterpret_cast<const char*>(d + at);
        const auto is = [brand](const char* name) { return std::memcmp(brand, name, 4) == 0; };
        if (is("avif") || is("avis"))
            return HeifKind::Avif;
        heic = heic || is("heic") || is("heix") || is("heim") || is("heis") || is("hevc") || is("hevx") || is("mif1")
            || is("msf1");
    }
    return heic ? HeifKind::Heic : HeifKind::None;
}

} // namespace imaging
