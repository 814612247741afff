// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

namespace imaging {

// Whether a file holds all the data its header promises, judged from the
// header's numbers alone (no pixel is decoded).
enum class Completeness {
    Complete,  // every byte the decoder will read is there
    Truncated, // the file ends before its data does
    Unknown,   // compressed or unusual: only decoding can tell
};

// For binary PNM, uncompressed TGA, SGI and PSD, and TIFF (strip and tile
// tables); `coder` is the ImageMagick coder the file was given. `d` holds the
// file's first `n` bytes of `fileSize` (TIFF is judged on whole files only:
// its tables may lie anywhere).
Completeness CheckCompleteness(const QByteArray& coder, const uchar* d, qint64 n, qint64 fileSize);

} // namespace imaging
