// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "imaging/GifCodec.h"

#include <QImage>
#include <QString>

namespace imaging {

struct QuantizeSettings {
    int speed = 6;          // libimagequant speed 1 (slow, best) .. 10 (fast)
    int minQuality = 0;     // never refuse a picture
    // Stop adding colours once this quality is reached. 95 rather than 100:
    // on a slideshow of photos and test charts the last colours cost 17 % of
    // the file for 0.002 of mean SSIM. Pictures of at most 256 colours stay
    // exact whatever this says.
    int maxQuality = 95;
    // Floyd-Steinberg strength. Off: on the benchmark animations dithering
    // added 3 to 12 % to the file and lowered SSIM and PSNR.
    float dithering = 0.0f;
};

// At most 256 colours from libimagequant, dithered. Pixels under half opacity
// become the one transparent index; all others are opaque.
bool QuantizePicture(const QImage& image, const QuantizeSettings& settings, IndexedPicture* result, QString* error);

}  // namespace imaging
