// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace imaging {

// ImageMagick with an explicit coder (never guessed from the data), on the
// file's bytes (never its name, which ImageMagick would interpret). Only the
// first picture of a file is read (for PSD the flattened composite). With
// `orient`, the picture's orientation tag is applied, as EXIF orientation is
// for JPEG. Every Magick++ exception is caught and becomes `error`.

// Size as MagickDecode gives it, by "ping" (no pixel decoding where the coder allows).
bool MagickMeasure(const uchar* data, qint64 size, const QByteArray& coder, bool orient, QSize* result, QString* error);
// RGBA8888, or RGBX8888 when the picture has no alpha channel.
bool MagickDecode(const uchar* data, qint64 size, const QByteArray& coder, bool orient, QImage* image, QString* error);

}  // namespace imaging
