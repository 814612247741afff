// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace imaging {

// HEIF pictures: HEIC (HEVC, what phones save) and AVIF (AV1), decoded by
// ImageMagick's libheif coder, which turns them as their irot and imir boxes say.
enum class HeifKind { None, Heic, Avif };

// An ISO media file whose "ftyp" box names a still-picture brand, as its
// major brand or among the compatible ones.
HeifKind HeifSignature(const uchar* d, qint64 n);

} // namespace imaging
