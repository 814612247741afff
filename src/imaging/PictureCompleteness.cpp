// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/PictureCompleteness.h"

#include "imaging/ImagingLimits.h"

#include <QtEndian>

#include <algorithm>
#include <cctype>

namespace imaging {
namespace {

quint16 Be16(const uchar* p) { return qFromBigEndian<quint16>(p); }
quint32 Be32(const uchar* p) { return qFromBigEndian<quint32>(p); }
quint16 Le16(const uchar* p) { return qFromLittleEndian<quint16>(p); }

// The bytes read and the file's length: a header running past what was read
// is cut short only when the whole file was read.
struct Extent {
    qint64 n, size;
    Completeness Short() const { return n < size ? Completeness::Unknown : Completeness::Truncated; }
    Completeness Against(qint64 end) const { return end <= size ? Completeness::Complete : Completeness::Truncated; }
};

// Sides beyond the limit are left to the decoder, which gives the size reason.
bool SaneSides(qint64 w, qint64 h) { return w > 0 && h > 0 && CheckPictureSize(w, h).isEmpty(); }

// ---- PNM: P4, P5, P6 ("P1".."P3" are text: their length says nothing)

// The next decimal number after white space and comments; -1 when there is none.
qint64 PnmNumber(const uchar* d, qint64 n, qint64* at)
{
    while (*at < n && (std::isspace(d[*at]) || d[*at] == '#')) {
        if (d[*at] == '#')
            while (*at < n && d[*at] != '\n' && d[*at] != '\r')
                ++*at;
        else
            ++*at;
    }
    qint64 value = -1;
    while (*at < n && std::isdigit(d[*at]) && value < (qint64(1) << 32))
        value = (value < 0 ? 0 : value * 10) + (d[(*at)++] - '0');
    return value;
}

Completeness Pnm(const uchar* d, Extent e)
{
    const qint64 n = e.n;
    if (n < 3 || d[0] != 'P' || d[1] < '4' || d[1] > '6')
        return Completeness::Unknown;
    const char kind = char(d[1]);
    qint64 at = 2;
    const qint64 w = PnmNumber(d, n, &at), h = PnmNumber(d, n, &at);
    const qint64 maxval = kind == '4' ? 1 : PnmNumber(d, n, &at);
    // Exactly one white space character separates the header from the data.
    if (at >= n)
        return e.Short();
    if (!SaneSides(w, h) || maxval < 1 || maxval > 65535 || !std::isspace(d[at]))
        return Completeness::Unknown;
    const qint64 sample = maxval > 255 ? 2 : 1;
    const qint64 row = kind == '4' ? (w + 7) / 8 : w * (kind == '6' ? 3 : 1) * sample;
    return e.Against(at + 1 + row * h);
}

// ---- TGA, uncompressed: colour-mapped (1), true colour (2), grey (3)

Completeness Tga(const uchar* d, Extent e)
{
    if (e.n < 18)
        return Completeness::Unknown;
    const int type = d[2], mapType = d[1], depth = d[16];
    const qint64 w = Le16(d + 12), h = Le16(d + 14);
    const bool usual = (type == 1 && mapType == 1 && depth == 8)
        || (type == 2 && (depth == 15 || depth == 16 || depth == 24 || depth == 32)) || (type == 3 && depth == 8);
    if (!usual || mapType > 1 || !SaneSides(w, h))
        return Completeness::Unknown;
    const qint64 map = mapType == 1 ? qint64(Le16(d + 5)) * ((d[7] + 7) / 8) : 0;
    return e.Against(18 + d[0] + map + w * h * ((depth + 7) / 8));
}

// ---- SGI, stored verbatim (storage 0); run-length files have offset tables

Completeness Sgi(const uchar* d, Extent e)
{
    if (e.n < 12 || Be16(d) != 474 || d[2] != 0 || (d[3] != 1 && d[3] != 2))
        return Completeness::Unknown;
    // The decoder reads as many rows and channels as the fields say, whatever the dimension.
    const qint64 w = Be16(d + 6), h = Be16(d + 8), z = Be16(d + 10);
    if (z < 1 || z > 4 || !SaneSides(w, h))
        return Completeness::Unknown;
    return e.Against(512 + w * h * z * d[3]);
}

// ---- PSD: the sections before the composite picture carry their lengths

Completeness Psd(const uchar* d, Extent e)
{
    const qint64 n = e.n;
    if (n < 26 || Be16(d + 4) != 1) // version 2 (large documents) has 64-bit lengths
        return Completeness::Unknown;
    const qint64 channels = Be16(d + 12), h = Be32(d + 14), w = Be32(d + 18), depth = Be16(d + 22);
    if (channels < 1 || channels > 56 || !SaneSides(w, h) || (depth != 1 && depth != 8 && depth != 16 && depth != 32))
        return Completeness::Unknown;
    qint64 at = 26;
    for (int section = 0; section < 3; ++section) { // colour mode data, resources, layers and masks
        if (at + 4 > n)
            return e.Short();
        at += 4 + qint64(Be32(d + at));
    }
    if (at + 2 > n)
        return e.Short();
    if (Be16(d + at) != 0)
        return Completeness::Unknown; // run-length coded rows
    const qint64 row = depth == 1 ? (w + 7) / 8 : w * (depth / 8);
    return e.Against(at + 2 + channels * h * row);
}

// ---- TIFF: every strip (or tile) of the first picture lies inside the file

struct TiffReader {
    const uchar* d;
    qint64 n;
    bool big; // "MM": most significant byte first
    quint32 U16(qint64 at) const { return big ? Be16(d + at) : Le16(d + at); }
    quint32 U32(qint64 at) const { return big ? Be32(d + at) : qFromLittleEndian<quint32>(d + at); }
};

struct TiffField {
    quint32 type = 0, count = 0;
    qint64 values = -1; // where the values are (in the entry when they fit)
};

// Value `i` of a SHORT or LONG field; -1 when the field is missing or odd.
qint64 TiffValue(const TiffReader& r, const TiffField& f, quint32 i)
{
    if (f.values < 0 || i >= f.count)
        return -1;
    return f.type == 3 ? qint64(r.U16(f.values + 2 * i)) : f.type == 4 ? qint64(r.U32(f.values + 4 * i)) : -1;
}

Completeness Tiff(const uchar* d, qint64 n)
{
    if (n < 8 || !((d[0] == 'I' && d[1] == 'I') || (d[0] == 'M' && d[1] == 'M')))
        return Completeness::Unknown;
    const TiffReader r{d, n, d[0] == 'M'};
    if (r.U16(2) != 42)
        return Completeness::Unknown; // BigTIFF
    const qint64 ifd = r.U32(4);
    if (ifd < 8 || ifd + 2 > n)
        return Completeness::Truncated;
    const qint64 entries = r.U16(ifd);
    if (ifd + 2 + 12 * entries > n)
        return Completeness::Truncated;
    enum { Offsets, Counts, Width, Length, Rows, TileWidth, TileLength, Compression, Samples, Bits, Planar, Fields };
    TiffField fields[Fields];
    bool tiled = false;
    for (qint64 e = 0; e < entries; ++e) {
        const qint64 at = ifd + 2 + 12 * e;
        const quint32 tag = r.U16(at), type = r.U16(at + 2), count = r.U32(at + 4);
        const qint64 size = type == 3 ? 2 : type == 4 ? 4 : 0;
        TiffField f{type, count, size * count <= 4 ? at + 8 : qint64(r.U32(at + 8))};
        if (size == 0 || f.values + size * count > n)
            f.values = -1;
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
        tiled |= tag == 324;
    }
    const auto value = [&](int slot, qint64 absent) {
        return fields[slot].values < 0 ? absent : TiffValue(r, fields[slot], 0);
    };
    const qint64 w = value(Width, -1), h = value(Length, -1), samples = value(Samples, 1), bits = value(Bits, 1);
    const qint64 compression = value(Compression, 1);
    const bool planar = value(Planar, 1) == 2;
    // None, LZW, old and new deflate, PackBits: what the decoder reads everywhere.
    const bool known =
        compression == 1 || compression == 5 || compression == 8 || compression == 32946 || compression == 32773;
    if (!known || !SaneSides(w, h) || samples < 1 || samples > 8 || bits < 1 || bits > 32)
        return Completeness::Unknown;
    // A strip is a tile as wide as the picture.
    const qint64 tw = tiled ? value(TileWidth, -1) : w;
    qint64 th = tiled ? value(TileLength, -1) : value(Rows, h);
    if (!tiled && (th <= 0 || th > h))
        th = h;
    if (tw <= 0 || th <= 0 || tw > kMaxPictureSide || th > kMaxPictureSide)
        return Completeness::Unknown;
    const qint64 planes = planar ? samples : 1, across = (w + tw - 1) / tw, down = (h + th - 1) / th;
    const quint32 count = fields[Offsets].count;
    if (fields[Offsets].values < 0 || fields[Counts].values < 0 || fields[Counts].count != count
        || qint64(count) != across * down * planes)
        return Completeness::Unknown; // the decoder would complain about the tables
    const qint64 rowBytes = (tw * bits * (planar ? 1 : samples) + 7) / 8;
    for (quint32 i = 0; i < count; ++i) {
        const qint64 offset = TiffValue(r, fields[Offsets], i), bytes = TiffValue(r, fields[Counts], i);
        if (offset < 0 || bytes <= 0)
            return Completeness::Unknown;
        // Uncompressed data is whole (only the last strip may have fewer rows).
        const qint64 rows = tiled ? th : std::min(th, h - qint64(i) % down * th);
        if (compression == 1 && bytes < rows * rowBytes)
            return Completeness::Unknown;
        if (offset + bytes > n)
            return Completeness::Truncated;
    }
    return Completeness::Complete;
}

} // namespace

Completeness CheckCompleteness(const QByteArray& coder, const uchar* d, qint64 n, qint64 fileSize)
{
    const Extent e{n, fileSize};
    if (coder == "PNM")
        return Pnm(d, e);
    if (coder == "TGA")
        return Tga(d, e);
    if (coder == "SGI")
        return Sgi(d, e);
    if (coder == "PSD")
        return Psd(d, e);
    if (coder == "TIFF")
        return n == fileSize ? Tiff(d, n) : Completeness::Unknown;
    return Completeness::Unknown;
}

} // namespace imaging
