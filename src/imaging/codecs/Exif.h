// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace imaging {

// The orientation (1..8) in a TIFF structure (byte order mark, 42, IFD0):
// the payload of a PNG's eXIf chunk, and of a JPEG's APP1 after "Exif\0\0".
// 1 when there is none or the structure is damaged.
int TiffOrientation(const uchar* tiff, qint64 size);

// The same for an APP1 "Exif" payload.
int ExifOrientation(const uchar* data, qint64 size);

} // namespace imaging
