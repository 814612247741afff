// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>

namespace imaging {

// Turns the colours of a decoded picture (RGBA8888 or RGBX8888) from its
// embedded ICC profile into sRGB, so that an Adobe RGB or Display P3
// photograph shows as it was meant to. An RGB or grey profile is applied
// (alpha kept); no profile, an sRGB one, one that cannot be read, or one for
// other data (CMYK, Lab) leaves the picture as it is, as web browsers do.
void ConvertToSrgb(QImage* image, const QByteArray& icc);

// The profile behind a colour space Qt read from a file (a PNG's iCCP, or its
// cHRM and gAMA chunks), empty for none or for sRGB.
QByteArray ProfileOf(const QImage& image);

} // namespace imaging
