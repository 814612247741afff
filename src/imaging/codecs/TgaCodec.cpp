// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/codecs/TgaCodec.h"

#include "imaging/MagickCodec.h"
#include "imaging/codecs/PictureCodec.h"

#include <QtEndian>

namespace imaging {

bool TgaHeader::Uncompressed() const
{
    return (type == 1 && mapType == 1 && depth == 8)
        || (type == 2 && (depth == 15 || depth == 16 || depth == 24 || depth == 32)) || (type == 3 && depth == 8);
}

qint64 TgaHeader::DataEnd() const
{
    const qint64 map = mapType == 1 ? mapEntries * ((mapEntryBits + 7) / 8) : 0;
    return 18 + idLength + map + width * height * ((depth + 7) / 8);
}

bool TgaReadHeader(const uchar* d, qint64 n, TgaHeader* header)
{
    if (n < 18)
        return false;
    TgaHeader h;
    h.idLength = d[0];
    h.mapType = d[1];
    h.type = d[2];
    h.mapEntries = qFromLittleEndian<quint16>(d + 5);
    h.mapEntryBits = d[7];
    h.width = qFromLittleEndian<quint16>(d + 12);
    h.height = qFromLittleEndian<quint16>(d + 14);
    h.depth = d[16];
    *header = h;
    return true;
}

namespace {

// Run-length coded files are left to the decoder, which refuses them cut short.
Completeness Judge(const uchar* d, FileExtent file)
{
    TgaHeader header;
    if (!TgaReadHeader(d, file.read, &header) || !header.Uncompressed() || header.mapType > 1
        || !SaneSides(header.width, header.height))
        return Completeness::Unknown;
    return file.Against(header.DataEnd());
}

} // namespace

const PictureCodec kTgaCodec{MagickCodecMeasureEnds, MagickCodecMeasure, MagickCodecDecode, Judge};

} // namespace imaging
