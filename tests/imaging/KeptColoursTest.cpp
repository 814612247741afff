// SPDX-License-Identifier: GPL-3.0-or-later
// What lower qualities may give up: a colour kept from the screen stays
// close to the picture.
#include "imaging/animation/FrameQuantizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

int Distance(QRgb a, QRgb b)
{
    const int dr = qRed(a) - qRed(b), dg = qGreen(a) - qGreen(b), db = qBlue(a) - qBlue(b);
    return dr * dr + dg * dg + db * db;
}

} // namespace

TEST(KeptColours, AKeptColourIsNeverFarFromThePicture)
{
    // A texture that pans under a coarse palette: the nearest colour is far
    // off everywhere, and the colour already on screen must not be kept when
    // it is further than the slack allows from the picture itself (nor much
    // worse than the nearest).
    constexpr int kSlack = 200;
    constexpr int kNearlyAsClose = 50;
    imaging::FrameQuantizer palettes;
    palettes.Settings().maxQuality = 30;
    palettes.Settings().keepSlack = kSlack;
    palettes.Settings().driftSlack = 1e6; // the first palette stays
    quint32 seed = 777;
    QImage texture(160, 48, QImage::Format_RGB32);
    for (int y = 0; y < texture.height(); ++y)
        for (int x = 0; x < texture.width(); ++x) {
            seed = seed * 1103515245u + 12345u;
            const int v = 90 + int(40 * std::sin(x * 0.45)) + int(seed >> 27);
            texture.setPixel(x, y, qRgb(v + 40, v, std::max(v - 50, 0)));
        }
    int kept = 0;
    imaging::IndexedPicture previous;
    for (int i = 0; i < 6; ++i) {
        const QImage picture = texture.copy(i * 3, 0, 96, 48);
        imaging::IndexedPicture out;
        QString error;
        ASSERT_TRUE(palettes.Quantize(picture, &out, &error)) << error.toStdString();
        for (size_t at = 0; at < out.indices.size() && i > 0; ++at) {
            const QRgb want = picture.pixel(int(at % 96), int(at / 96));
            int nearest = INT32_MAX;
            for (int k = 0; k < out.colorCount; ++k)
                nearest = std::min(nearest, Distance(want, out.palette[size_t(k)]));
            const int shown = Distance(want, out.palette[out.indices[at]]);
            kept += shown > nearest && out.indices[at] == previous.indices[at];
            ASSERT_LE(shown, std::max(nearest + kNearlyAsClose, kSlack)) << "frame " << i << " pixel " << at;
        }
        previous = out;
    }
    EXPECT_GT(kept, 0) << "the slack keeps some colours on screen";
}
