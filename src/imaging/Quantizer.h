// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "imaging/GifCodec.h"

#include <QImage>
#include <QString>

namespace imaging {

struct QuantizeSettings {
    int speed = 6;          // libimagequant speed 1 (slow, best) .. 10 (fast)
    int minQuality = 0;     // never refuse a picture
    int maxQuality = 100;   // stop adding colours once this quality is reached
    float dithering = 1.0f; // Floyd-Steinberg strength
};

// At most 256 colours from libimagequant, dithered. Pixels under half opacity
// become the one transparent index; all others are opaque.
bool QuantizePicture(const QImage& image, const QuantizeSettings& settings, IndexedPicture* result, QString* error);

}  // namespace imaging
