// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "imaging/ImagingResult.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace imaging {

bool IsJpeg(const uchar* d, qint64 n);

// Stored size and EXIF orientation (1..8, 1 when absent) of a JPEG, from its
// markers only: no pixel data is decoded. A file without its end marker
// (truncated) fails, as it fails to decode. The end marker is looked for in
// `tail` (the file's last bytes) when given, else after the header.
Result JpegReadHeader(const uchar* data, qint64 size, QSize* stored, int* orientation, const uchar* tail = nullptr,
                      qint64 tailSize = 0);

// Decodes to RGBX8888 in stored orientation. A truncated file fails.
// `reduction` 2, 4 or 8 decodes at that fraction of the size (rounded up).
// `icc`, when given, gets the embedded colour profile (APP2), empty for none.
Result JpegDecode(const uchar* data, qint64 size, QImage* image, int* orientation, int reduction = 1,
                  QByteArray* icc = nullptr);

} // namespace imaging
