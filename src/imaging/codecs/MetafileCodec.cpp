// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/codecs/MetafileCodec.h"

#include <QtEndian>

#include <cstring>

namespace imaging {

bool IsPlaceableWmf(const uchar* d, qint64 n) { return n >= 4 && qFromLittleEndian<quint32>(d) == 0x9AC6CDD7u; }

bool IsStandardWmf(const uchar* d, qint64 n)
{
    if (n < 18)
        return false;
    const quint16 type = qFromLittleEndian<quint16>(d), words = qFromLittleEndian<quint16>(d + 2);
    const quint16 version = qFromLittleEndian<quint16>(d + 4);
    return (type == 1 || type == 2) && words == 9 && (version == 0x0300 || version == 0x0100);
}

bool IsEmf(const uchar* d, qint64 n)
{
    return n >= 44 && qFromLittleEndian<quint32>(d) == 1 && std::memcmp(d + 40, " EMF", 4) == 0;
}

} // namespace imaging
