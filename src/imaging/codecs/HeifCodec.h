// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

namespace imaging {

// HEIF pictures: HEIC (HEVC, what phones save) and AVIF (AV1), decoded by
// ImageMagick's libheif coder, which turns them as their irot and imir boxes say.
enum class HeifKind { None, Heic, Avif };

// An ISO media file whose "ftyp" box names a still-picture brand, as its
// major brand or among the compatible ones.
HeifKind HeifSignature(const uchar* d, qint64 n);

// The ICC profile of the primary picture (its "colr" property of type "prof"
// or "rICC"), empty for none. ImageMagick 6 does not hand it on.
QByteArray HeifIccProfile(const uchar* d, qint64 n);

} // namespace imaging
