// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace imaging {

// TGA (and its ICB, VDA and VST names), decoded by ImageMagick. It has no
// signature: it is known by its name.
struct TgaHeader {
    int idLength = 0;
    int mapType = 0; // 1: a colour map follows the identification
    int type = 0;    // 1..3 as they are, 9..11 run-length coded
    qint64 mapEntries = 0;
    int mapEntryBits = 0;
    qint64 width = 0;
    qint64 height = 0;
    int depth = 0; // bits a pixel
    // Colour-mapped (8 bits), true colour (15, 16, 24, 32) or grey (8), stored as they are.
    bool Uncompressed() const;
    // Where the pixels of an uncompressed file end.
    qint64 DataEnd() const;
};

// False when fewer than the header's 18 bytes are given.
bool TgaReadHeader(const uchar* d, qint64 n, TgaHeader* header);

} // namespace imaging
