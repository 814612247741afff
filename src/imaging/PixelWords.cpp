// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/PixelWords.h"

#include <QtGlobal>

static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "RGBA8888 pixels are read as little-endian words");

namespace imaging {

void ThresholdedWords(const QImage& rgba, std::vector<uint32_t>* words)
{
    const int w = rgba.width();
    const int h = rgba.height();
    words->resize(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y) {
        const auto* src = reinterpret_cast<const uint32_t*>(rgba.constScanLine(y));
        uint32_t* dst = words->data() + size_t(y) * size_t(w);
        // RGBX has 255 in the alpha byte: always opaque.
        for (int x = 0; x < w; ++x)
            dst[x] = (src[x] >> 24) < 128 ? 0u : src[x] | 0xFF000000u;
    }
}

} // namespace imaging
