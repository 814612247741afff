// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/codecs/IcoCodec.h"

#include "imaging/codecs/PngCodec.h"

#include <QCoreApplication>
#include <QtEndian>

#include <cstring>

namespace imaging {

bool PickIconEntry(const uchar* d, qint64 n, IconEntry* pick, QString* error)
{
    if (n < 6) {
        *error = QCoreApplication::translate("IcoCodec", "truncated icon file");
        return false;
    }
    const int count = qFromLittleEndian<quint16>(d + 4);
    if (count == 0 || 6 + 16 * qint64(count) > n) {
        *error = QCoreApplication::translate("IcoCodec", "corrupt or truncated icon directory");
        return false;
    }
    int best = -1;
    qint64 bestArea = -1;
    int bestBits = -1;
    bool bestPng = false;
    bool cut = false;
    for (int i = 0; i < count; ++i) {
        const uchar* e = d + 6 + 16 * i;
        const qint64 length = qFromLittleEndian<quint32>(e + 8);
        const qint64 offset = qFromLittleEndian<quint32>(e + 12);
        if (offset + length > n)
            cut = true;
        if (length < 16 || offset < 6 + 16 * qint64(count) || offset + length > n)
            continue;
        qint64 w = e[0] ? e[0] : 256;
        qint64 h = e[1] ? e[1] : 256;
        int bits = qFromLittleEndian<quint16>(e + 6);
        const uchar* p = d + offset;
        const bool png = length >= 26 && IsPng(p, length);
        if (png) {
            w = qFromBigEndian<quint32>(p + 16);
            h = qFromBigEndian<quint32>(p + 20);
            static const int channels[7] = {1, 0, 3, 1, 2, 0, 4};
            bits = p[24] * (p[25] <= 6 ? channels[p[25]] : 0);
        } else if (bits == 0) {
            bits = qFromLittleEndian<quint16>(p + 14);
        }
        const qint64 area = w * h;
        if (area > bestArea || (area == bestArea && bits > bestBits)) {
            best = i;
            bestArea = area;
            bestBits = bits;
            bestPng = png;
        }
    }
    if (best < 0) {
        *error = cut ? QCoreApplication::translate("IcoCodec", "the icon data is truncated")
                     : QCoreApplication::translate("IcoCodec", "the icon file holds no readable picture");
        return false;
    }
    const uchar* e = d + 6 + 16 * best;
    pick->length = qFromLittleEndian<quint32>(e + 8);
    pick->offset = qFromLittleEndian<quint32>(e + 12);
    pick->png = bestPng;
    if (!bestPng) {
        QByteArray single;
        single.reserve(22 + pick->length);
        const char header[6] = {0, 0, char(d[2]), 0, 1, 0};
        single.append(header, 6);
        single.append(reinterpret_cast<const char*>(e), 12);
        const char offset[4] = {22, 0, 0, 0};
        single.append(offset, 4);
        single.append(reinterpret_cast<const char*>(d + pick->offset), qsizetype(pick->length));
        pick->single = single;
    }
    return true;
}

} // namespace imaging
