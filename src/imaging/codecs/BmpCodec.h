// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>

namespace imaging {

// A BMP's file and information headers, read once for measuring and decoding.
struct BmpHeader {
    bool known = false;     // an OS/2 core header (12 bytes) or a Windows one (40 bytes and more)
    quint32 headerSize = 0; // of the information header
    quint32 dataOffset = 0; // where the pixel rows start
    qint64 width = 0;       // sides as stored (the height is negative for top-down rows)
    qint64 height = 0;
    int bitsPerPixel = 0;
    quint32 compression = 0;

    // Sides as the picture shows them, at most INT32_MAX.
    QSize Size() const;
    // Without run-length coding or embedded data the rows have a fixed size.
    bool Uncompressed() const
    {
        return known && (headerSize == 12 || compression == 0 || compression == 3 || compression == 6);
    }
};

bool IsBmp(const uchar* d, qint64 n);
BmpHeader BmpReadHeader(const uchar* d, qint64 n);

// Qt decodes a BMP whose pixel data is cut short without complaint: whether
// an uncompressed file lacks some of its rows.
bool BmpRowsMissing(const BmpHeader& header, qint64 fileSize);
// Qt also decodes a run-length coded BMP that ends early, inventing the
// rest: whether the coded data stops before its end-of-picture mark (or its last row).
bool BmpRunsCut(const BmpHeader& header, const uchar* d, qint64 n);

} // namespace imaging
