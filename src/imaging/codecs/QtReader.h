// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "imaging/ImagingResult.h"

#include <QImage>
#include <QSize>

namespace imaging {

// Qt's own handler for a format ("png", "bmp"), on bytes in memory, without
// asking every image plug-in first and without turning the picture.

// The stored size, within the limits of ImagingLimits.h.
Result QtMeasure(const uchar* data, qint64 size, const char* format, QSize* result);

// RGBA8888 or RGBX8888, in sRGB (a profile Qt read from the file is applied).
Result QtDecode(const uchar* data, qint64 size, const char* format, QImage* image);

// RGBA8888 for a picture with alpha, else RGBX8888.
QImage To32Bit(QImage image);

// Turns `image` upright as an EXIF orientation (1..8) says; fails only for want of memory.
Result TurnUpright(QImage* image, int orientation);

} // namespace imaging
