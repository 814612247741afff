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

TEST(KeptColours, ChangedPixelsTakeTheNearestColourOfTheKeptPalette)
{
    // Far more colours than the lookups remember, and a palette taken over
    // from another run: every changed pixel shows the palette's nearest colour.
    // The other run's pictures share most colours but not the palette: a
    // colour looked up for one palette must not be answered for the other.
    const auto picture = [](int shift, bool other) {
        QImage p(128, 64, QImage::Format_RGB32);
        for (int y = 0; y < p.height(); ++y)
            for (int x = 0; x < p.width(); ++x) {
                const int s = (x + y) % 2 ? shift : 0;
                const int r = std::min(x * 2 + s, 255), g = std::min(y * 4 + s, 255), b = (x * y + s) & 0xFF;
                p.setPixel(x, y, other && x < 40 ? qRgb(255 - s, (y * 16 + s) & 0xFF, 255 - x * 6) : qRgb(r, g, b));
            }
        return p;
    };
    imaging::FrameQuantizer first;
    imaging::FrameQuantizer other;
    for (imaging::FrameQuantizer* q : {&first, &other}) {
        q->Settings().keepSlack = 0;
        q->Settings().driftSlack = 1e6; // the palette stays
    }
    imaging::IndexedPicture out;
    imaging::IndexedPicture others;
    QString error;
    ASSERT_TRUE(first.Quantize(picture(0, false), &out, &error)) << error.toStdString();
    ASSERT_TRUE(other.Quantize(picture(0, true), &others, &error)) << error.toStdString();
    for (const bool continued : {false, true}) {
        if (continued)
            first.ContinueFrom(other);
        const imaging::IndexedPicture kept = continued ? others : out;
        const QImage changed = picture(3, continued);
        ASSERT_TRUE(first.Quantize(changed, &out, &error)) << error.toStdString();
        ASSERT_EQ(out.colorCount, kept.colorCount);
        ASSERT_TRUE(std::equal(out.palette.begin(), out.palette.begin() + out.colorCount, kept.palette.begin()))
            << "the palette is kept";
        for (int y = 0; y < changed.height(); ++y)
            for (int x = (y + 1) % 2; x < changed.width(); x += 2) {
                const QRgb want = changed.pixel(x, y);
                int nearest = INT32_MAX;
                for (int k = 0; k < out.colorCount; ++k)
                    nearest = std::min(nearest, Distance(want, out.palette[size_t(k)]));
                ASSERT_EQ(Distance(want, out.palette[out.indices[size_t(y * changed.width() + x)]]), nearest)
                    << (continued ? "continued" : "own") << " pixel " << x << "," << y;
            }
    }
}
