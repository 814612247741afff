// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace imaging {

// Photoshop documents, decoded by ImageMagick (the flattened composite picture).
bool IsPsd(const uchar* d, qint64 n);

struct PsdHeader {
    int version = 0; // 2: a large document, with 64-bit section lengths
    qint64 channels = 0;
    qint64 width = 0;
    qint64 height = 0;
    int depth = 0;              // bits a channel
    qint64 compositeStart = -1; // where the composite's compression field is, after the three sections
    int compression = -1;       // of the composite: 0 as it is, 1 run-length coded rows
    bool complete = true;       // false when the bytes given end before the composite
};

// False for what is not a PSD header.
bool PsdReadHeader(const uchar* d, qint64 n, PsdHeader* header);

} // namespace imaging
