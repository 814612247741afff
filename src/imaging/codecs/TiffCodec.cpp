// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/codecs/TiffCodec.h"

#include "imaging/ImagingLimits.h"
#include "imaging/MagickCodec.h"
#include "imaging/codecs/PictureCodec.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace imaging {

bool IsTiff(const uchar* d, qint64 n)
{
    return n >= 4
        && (std::memcmp(d, "II*\0", 4) == 0 || std::memcmp(d, "MM\0*", 4) == 0 || std::memcmp(d, "II+\0", 4) == 0
            || std::memcmp(d, "MM\0+", 4) == 0);
}

qint64 TiffHeader::Values::Value(const uchar* d, bool big, quint32 i) const
{
    if (at < 0 || i >= count)
        return -1;
    if (type == 3)
        return big ? qFromBigEndian<quint16>(d + at + 2 * i) : qFromLittleEndian<quint16>(d + at + 2 * i);
    if (type == 4)
        return big ? qFromBigEndian<quint32>(d + at + 4 * i) : qFromLittleEndian<quint32>(d + at + 4 * i);
    return -1;
}

bool TiffReadHeader(const uchar* d, qint64 n, TiffHeader* header)
{
    if (n < 8 || !IsTiff(d, n))
        return false;
    TiffHeader h;
    h.data = d;
    h.bigEndian = d[0] == 'M';
    const auto u16 = [&](qint64 at) -> quint32 {
        return h.bigEndian ? qFromBigEndian<quint16>(d + at) : qFromLittleEndian<quint16>(d + at);
    };
    const auto u32 = [&](qint64 at) -> quint32 {
        return h.bigEndian ? qFromBigEndian<quint32>(d + at) : qFromLittleEndian<quint32>(d + at);
    };
    if (u16(2) != 42)
        return false; // BigTIFF
    const qint64 ifd = u32(4);
    if (ifd < 8 || ifd + 2 > n || ifd + 2 + 12 * qint64(u16(ifd)) > n) {
        h.complete = false;
        *header = h;
        return true;
    }
    const qint64 entries = u16(ifd);
    enum { Offsets, Counts, Width, Length, Rows, TileWidth, TileLength, Compression, Samples, Bits, Planar, Fields };
    TiffHeader::Values fields[Fields];
    for (qint64 e = 0; e < entries; ++e) {
        const qint64 at = ifd + 2 + 12 * e;
        const quint32 tag = u16(at), type = u16(at + 2), count = u32(at + 4);
        const qint64 size = type == 3 ? 2 : type == 4 ? 4 : 0;
        TiffHeader::Values f{type, count, size * count <= 4 ? at + 8 : qint64(u32(at + 8))};
        if (size == 0 || f.at + size * count > n)
            f.at = -1;
        const int slot = tag == 273 || tag == 324 ? Offsets
            : tag == 279 || tag == 325            ? Counts
            : tag == 256                          ? Width
            : tag == 257                          ? Length
            : tag == 278                          ? Rows
            : tag == 322                          ? TileWidth
            : tag == 323                          ? TileLength
            : tag == 259                          ? Compression
            : tag == 277                          ? Samples
            : tag == 258                          ? Bits
            : tag == 284                          ? Planar
                                                  : -1;
        if (slot >= 0)
            fields[slot] = f;
        h.tiled |= tag == 324;
    }
    const auto value = [&](int slot, qint64 absent) {
        return fields[slot].at < 0 ? absent : fields[slot].Value(d, h.bigEndian, 0);
    };
    h.width = value(Width, -1);
    h.height = value(Length, -1);
    h.samples = value(Samples, 1);
    h.bitsPerSample = value(Bits, 1);
    h.compression = value(Compression, 1);
    h.planar = value(Planar, 1) == 2;
    // A strip is a tile as wide as the picture.
    h.tileWidth = h.tiled ? value(TileWidth, -1) : h.width;
    h.tileHeight = h.tiled ? value(TileLength, -1) : value(Rows, h.height);
    if (!h.tiled && (h.tileHeight <= 0 || h.tileHeight > h.height))
        h.tileHeight = h.height;
    h.offsets = fields[Offsets];
    h.lengths = fields[Counts];
    if (h.offsets.at >= 0 && h.lengths.at >= 0 && h.lengths.count == h.offsets.count)
        h.strips = h.offsets.count;
    *header = h;
    return true;
}

namespace {

// Every strip (or tile) of the first picture lies inside the file. Judged on
// whole files only: the tables may lie anywhere.
Completeness Judge(const uchar* d, FileExtent file)
{
    if (!file.Whole())
        return Completeness::Unknown;
    TiffHeader h;
    if (!TiffReadHeader(d, file.read, &h))
        return Completeness::Unknown;
    if (!h.complete)
        return Completeness::Truncated;
    // None, LZW, old and new deflate, PackBits: what the decoder reads everywhere.
    const qint64 c = h.compression;
    const bool known = c == 1 || c == 5 || c == 8 || c == 32946 || c == 32773;
    if (!known || !SaneSides(h.width, h.height) || h.samples < 1 || h.samples > 8 || h.bitsPerSample < 1
        || h.bitsPerSample > 32)
        return Completeness::Unknown;
    const qint64 tw = h.tileWidth, th = h.tileHeight;
    if (tw <= 0 || th <= 0 || tw > kMaxPictureSide || th > kMaxPictureSide)
        return Completeness::Unknown;
    const qint64 planes = h.planar ? h.samples : 1, across = (h.width + tw - 1) / tw, down = (h.height + th - 1) / th;
    const quint32 count = h.strips;
    if (count == 0 || qint64(count) != across * down * planes)
        return Completeness::Unknown; // the decoder would complain about the tables
    const qint64 rowBytes = (tw * h.bitsPerSample * (h.planar ? 1 : h.samples) + 7) / 8;
    for (quint32 i = 0; i < count; ++i) {
        const qint64 offset = h.Offset(i), bytes = h.Length(i);
        if (offset < 0 || bytes <= 0)
            return Completeness::Unknown;
        // Uncompressed data is whole (only the last strip may have fewer rows).
        const qint64 rows = h.tiled ? th : std::min(th, h.height - qint64(i) % down * th);
        if (c == 1 && bytes < rows * rowBytes)
            return Completeness::Unknown;
        if (offset + bytes > file.size)
            return Completeness::Truncated;
    }
    return Completeness::Complete;
}

} // namespace

const PictureCodec kTiffCodec{MagickCodecMeasureEnds, MagickCodecMeasure, MagickCodecDecode, Judge};

} // namespace imaging
