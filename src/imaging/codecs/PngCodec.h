// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>

namespace imaging {

// What a PNG says of itself before its pixel data: read once, for measuring
// and for decoding alike.
struct PngHeader {
    QSize stored;         // IHDR's size, as the rows are stored
    int orientation = 1;  // from an eXIf chunk (1..8)
    int frames = 1;       // an APNG's frame count (acTL), 1 for a still picture
    bool complete = true; // false when the bytes given end before the first IDAT
    QSize Upright() const { return orientation >= 5 ? stored.transposed() : stored; }
};

inline constexpr char kPngSignature[] = "\x89PNG\r\n\x1A\n";

bool IsPng(const uchar* d, qint64 n);

// False when there is no image header first. Chunks before the first IDAT
// that end past `n` leave `complete` false.
bool PngReadHeader(const uchar* d, qint64 n, PngHeader* header);

// A complete PNG ends with its IEND chunk (some trailing bytes after it are
// tolerated): `tail` holds the file's last bytes.
bool PngHasEnd(const uchar* tail, qint64 n);

} // namespace imaging
