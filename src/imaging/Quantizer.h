// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "imaging/GifCodec.h"

#include <QImage>
#include <QString>

namespace imaging {

// Measured on the benchmark animations (bench/bench_pipeline with the shared
// GIF benchmark): speed 4 gives slightly better palettes than 6 for the same
// time once palettes are reused between frames; full strength dithering costs
// about 4 % in size and some similarity to the source (dither noise) for
// little visible gain, 0.75 keeps gradients free of bands.
struct QuantizeSettings {
    int speed = 4;             // libimagequant speed 1 (slow, best) .. 10 (fast)
    int minQuality = 0;        // never refuse a picture
    int maxQuality = 100;      // below 100 merges the exact colours of simple pictures
    float dithering = 0.75f;   // Floyd-Steinberg strength
};

// At most 256 colours from libimagequant, dithered. Pixels under half opacity
// become the one transparent index; all others are opaque.
bool QuantizePicture(const QImage& image, const QuantizeSettings& settings, IndexedPicture* result, QString* error);

}  // namespace imaging
