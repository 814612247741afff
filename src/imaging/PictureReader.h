// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "imaging/ImagingResult.h"

#include <QImage>
#include <QList>
#include <QStringList>
#include <QSize>
#include <QString>

namespace imaging {

// The two halves of reading a picture file, kept in one place so that they
// agree: the size MeasurePicture reports is the size DecodePicture gives
// (EXIF/TIFF orientation applied, the largest entry of an icon, the first
// frame of an animation or multi-page file, the composite of a layered PSD).

// Succeeds only for a picture that DecodePicture reads: JPEG, PNG, GIF and
// uncompressed BMP prove from their structure that their data is complete
// (no pixel decoding); every other kind is decoded. Pictures above the limits
// of ImagingLimits.h fail, as they fail to decode.
Result MeasurePicture(const QString& path, QSize* size);

// RGBA8888 (non-premultiplied), or RGBX8888 for a picture without alpha.
// `box`, when given, is the size the picture will be shown at: formats that
// can decode smaller (JPEG, vector pictures) give a picture of at least that
// size, and the caller scales it to the box.
Result DecodePicture(const QString& path, QImage* image, QSize box = {});

// Decodes the picture only to prove its data sound (a JPEG at an eighth of
// its size): why a measured picture would fail to decode.
Result CheckPictureData(const QString& path);

// Applies an EXIF orientation value (1..8) to a 32-bit picture.
QImage ApplyExifOrientation(const QImage& image, int orientation);

} // namespace imaging
