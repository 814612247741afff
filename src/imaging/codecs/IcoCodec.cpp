// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/codecs/IcoCodec.h"

#include "imaging/MagickCodec.h"
#include "imaging/codecs/PictureCodec.h"
#include "imaging/codecs/PngCodec.h"
#include "imaging/codecs/QtReader.h"

#include <QCoreApplication>
#include <QtEndian>

#include <cstring>

namespace imaging {
namespace {

Result Failed(const QString& message) { return Result::Failure(ErrorCode::Undecodable, message); }

} // namespace

Result PickIconEntry(const uchar* d, qint64 n, IconEntry* pick)
{
    if (n < 6) {
        return Failed(QCoreApplication::translate("IcoCodec", "truncated icon file"));
    }
    const int count = qFromLittleEndian<quint16>(d + 4);
    if (count == 0 || 6 + 16 * qint64(count) > n) {
        return Failed(QCoreApplication::translate("IcoCodec", "corrupt or truncated icon directory"));
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
        return Failed(cut ? QCoreApplication::translate("IcoCodec", "the icon data is truncated")
                          : QCoreApplication::translate("IcoCodec", "the icon file holds no readable picture"));
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
    return {};
}

bool IsIcon(const uchar* d, qint64 n)
{
    // Reserved 0, type 1, at least one entry whose data lies after the directory.
    if (n < 22 || d[0] != 0 || d[1] != 0 || d[2] != 1 || d[3] != 0 || qFromLittleEndian<quint16>(d + 4) == 0)
        return false;
    const quint32 offset = qFromLittleEndian<quint32>(d + 18);
    return offset >= 6u + 16u * qFromLittleEndian<quint16>(d + 4) && qint64(offset) < n;
}

namespace {

Result Decode(const uchar* d, qint64 n, const FormatChoice& format, QSize, QImage* image)
{
    IconEntry entry;
    if (Result picked = PickIconEntry(d, n, &entry); !picked)
        return picked;
    if (entry.png)
        return QtDecode(d + entry.offset, entry.length, "png", image);
    return MagickDecode(reinterpret_cast<const uchar*>(entry.single.constData()), entry.single.size(), format.coder,
                        image);
}

Result Measure(const uchar* d, qint64 n, const FormatChoice& format, QSize* size)
{
    return MeasureByDecoding(kIcoCodec, d, n, format, size);
}

} // namespace

const PictureCodec kIcoCodec{nullptr, Measure, Decode, nullptr};

} // namespace imaging
