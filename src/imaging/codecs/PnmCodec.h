// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "imaging/PictureCompleteness.h"

#include <QtGlobal>

namespace imaging {

// The portable any-maps (PBM, PGM, PPM, PNM and PAM), decoded by ImageMagick:
// "P1" to "P7" and a white space character. P1 to P3 are text, whose length
// says nothing; a binary file's header fixes its length.
bool IsPnm(const uchar* d, qint64 n);

// The header of a binary map, P4 (bits), P5 (grey) or P6 (RGB).
struct PnmHeader {
    char kind = 0; // '4', '5' or '6'
    qint64 width = -1;
    qint64 height = -1;
    qint64 maxval = -1;
    qint64 dataStart = -1; // after the one white space character that ends the header
    bool complete = true;  // false when the bytes given end inside the header
    qint64 RowBytes() const;
};

// False for a text map or a header the decoder would refuse.
bool PnmReadHeader(const uchar* d, qint64 n, PnmHeader* header);

} // namespace imaging
