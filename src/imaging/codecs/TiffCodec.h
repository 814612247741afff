// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace imaging {

// TIFF, decoded by ImageMagick (the first picture, turned as its orientation
// tag says): "II" or "MM", then 42, or 43 for BigTIFF.
bool IsTiff(const uchar* d, qint64 n);

// What the first directory says of the first picture's data.
struct TiffHeader {
    qint64 width = -1;
    qint64 height = -1;
    qint64 samples = 1;
    qint64 bitsPerSample = 1;
    qint64 compression = 1;
    bool planar = false; // each sample in planes of its own
    bool tiled = false;
    qint64 tileWidth = -1;  // for strips, the picture's width
    qint64 tileHeight = -1; // for strips, the rows a strip
    // The strips (or tiles): none when their two tables are missing, unequal
    // or lie outside the bytes given.
    quint32 strips = 0;
    bool complete = true; // false when the directory lies outside the bytes given

    // Where strip `i` is and how long it is, read from the tables in the
    // bytes given (which must outlive the header); -1 for an odd value.
    qint64 Offset(quint32 i) const { return offsets.Value(data, bigEndian, i); }
    qint64 Length(quint32 i) const { return lengths.Value(data, bigEndian, i); }

    // A field's values: of type SHORT (3) or LONG (4).
    struct Values {
        quint32 type = 0;
        quint32 count = 0;
        qint64 at = -1; // in the entry itself when they fit; -1 when missing or outside the bytes
        qint64 Value(const uchar* d, bool big, quint32 i) const;
    };
    const uchar* data = nullptr;
    bool bigEndian = false;
    Values offsets, lengths;
};

// False for what is not a classic TIFF (BigTIFF has 64-bit fields).
bool TiffReadHeader(const uchar* d, qint64 n, TiffHeader* header);

} // namespace imaging
