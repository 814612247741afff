// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace imaging {

// The two halves of reading a picture file, kept in one place so that they
// agree: the size MeasurePicture reports is the size DecodePicture gives
// (EXIF/TIFF orientation applied, the largest entry of an icon, the first
// frame of an animation or multi-page file, the composite of a layered PSD).

// From the file's header where the format allows (no pixel decoding).
// Pictures above the limits of ImagingLimits.h fail, as they fail to decode.
bool MeasurePicture(const QString& path, QSize* size, QString* error);

// RGBA8888 (non-premultiplied), or RGBX8888 for a picture without alpha.
bool DecodePicture(const QString& path, QImage* image, QString* error);

// Applies an EXIF orientation value (1..8) to a 32-bit picture.
QImage ApplyExifOrientation(const QImage& image, int orientation);

}  // namespace imaging
