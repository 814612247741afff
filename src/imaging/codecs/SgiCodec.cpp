// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/codecs/SgiCodec.h"

#include "imaging/MagickCodec.h"
#include "imaging/codecs/PictureCodec.h"

#include <QtEndian>

#include <algorithm>

namespace imaging {

bool IsSgi(const uchar* d, qint64 n) { return n >= 2 && qFromBigEndian<quint16>(d) == 474; }

bool SgiReadHeader(const uchar* d, qint64 n, SgiHeader* header)
{
    if (n < 12 || !IsSgi(d, n) || d[2] > 1 || (d[3] != 1 && d[3] != 2))
        return false;
    SgiHeader h;
    h.storage = d[2];
    h.bytesPerChannel = d[3];
    // The decoder reads as many rows and channels as the fields say, whatever the dimension.
    h.width = qFromBigEndian<quint16>(d + 6);
    h.height = qFromBigEndian<quint16>(d + 8);
    h.channels = qFromBigEndian<quint16>(d + 10);
    if (h.channels < 1 || h.channels > 4)
        return false;
    *header = h;
    return true;
}

namespace {

constexpr qint64 kHeaderBytes = 512;

Completeness Judge(const uchar* d, FileExtent file)
{
    SgiHeader header;
    if (!SgiReadHeader(d, file.read, &header) || !SaneSides(header.width, header.height))
        return Completeness::Unknown;
    if (header.storage == 0)
        return file.Against(kHeaderBytes + header.width * header.Rows() * header.bytesPerChannel);
    // Every coded row lies inside the file.
    const qint64 rows = header.Rows(), lengths = kHeaderBytes + 4 * rows;
    if (lengths + 4 * rows > file.read)
        return file.Short();
    qint64 end = lengths + 4 * rows;
    for (qint64 row = 0; row < rows; ++row) {
        const qint64 start = qFromBigEndian<quint32>(d + kHeaderBytes + 4 * row);
        const qint64 length = qFromBigEndian<quint32>(d + lengths + 4 * row);
        if (start < kHeaderBytes || length < 1)
            return Completeness::Unknown; // the decoder gives the reason
        end = std::max(end, start + length);
    }
    return file.Against(end);
}

} // namespace

const PictureCodec kSgiCodec{MagickCodecMeasureEnds, MagickCodecMeasure, MagickCodecDecode, Judge};

} // namespace imaging
