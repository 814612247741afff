// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

namespace imaging {

// Pictures larger than this are refused before any pixel buffer is allocated:
// a small hostile file may claim any size in its header. 16384 is also the
// per-side limit of Debian's ImageMagick policy, so both decoders agree.
inline constexpr int kMaxPictureSide = 16384;
// 100 megapixels: a 400 MB RGBA buffer, well above any camera picture.
inline constexpr qint64 kMaxPicturePixels = 100'000'000;
// Files larger than this are not read at all (every decoder maps or reads them whole).
inline constexpr qint64 kMaxPictureFileBytes = qint64(1) << 30;

// Empty when a picture of width x height may be decoded, else the reason.
QString CheckPictureSize(qint64 width, qint64 height);

} // namespace imaging
