// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace imaging {

// SGI pictures, decoded by ImageMagick. The magic number 474 is a weak
// signature: a file named otherwise is what its name says.
bool IsSgi(const uchar* d, qint64 n);

struct SgiHeader {
    int storage = 0;         // 0 verbatim, 1 run-length coded rows
    int bytesPerChannel = 0; // 1 or 2
    qint64 width = 0;
    qint64 height = 0;
    qint64 channels = 0;
    // Rows come one channel after another; a run-length coded file has a
    // table of where each row starts, then one of their lengths.
    qint64 Rows() const { return height * channels; }
};

// False for what is not an SGI header of a kind the decoder reads.
bool SgiReadHeader(const uchar* d, qint64 n, SgiHeader* header);

} // namespace imaging
