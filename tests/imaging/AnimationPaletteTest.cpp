// SPDX-License-Identifier: GPL-3.0-or-later
// The palette of a whole animation: where frames take it, and where they
// make their own.
#include "imaging/animation/FrameQuantizer.h"
#include "imaging/animation/SampledPalette.h"
#include "imaging/animation/SharedPalette.h"
#include "ImagingTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

imaging::IndexedPicture Greys(int count)
{
    imaging::IndexedPicture p;
    p.colorCount = count;
    for (int i = 0; i < count; ++i) {
        const uint32_t v = uint32_t(i * 255 / (count - 1));
        p.palette[size_t(i)] = 0xFF000000u | v << 16 | v << 8 | v;
    }
    return p;
}

// A picture of `size` in the colour `at` gives, transparent where it gives 0.
template <typename F> QImage Picture(QSize size, F at)
{
    QImage image(size, QImage::Format_ARGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, at(x, y));
    return image;
}

// Each pixel shown as the picture has it (transparent pixels as 0).
void ExpectShown(const QImage& picture, const imaging::IndexedPicture& out)
{
    ASSERT_EQ(out.indices.size(), size_t(picture.width()) * size_t(picture.height()));
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const uint8_t index = out.indices[size_t(y) * size_t(picture.width()) + size_t(x)];
            const QRgb want = picture.pixel(x, y);
            if (qAlpha(want) == 0)
                ASSERT_EQ(int(index), out.transparent) << x << "," << y;
            else
                ASSERT_EQ(out.palette[index] & 0xFFFFFFu, want & 0xFFFFFFu) << x << "," << y;
        }
}

} // namespace

TEST(AnimationPalette, TakenWhereItShowsTheFrameElseTheFrameMakesItsOwn)
{
    const imaging::IndexedPicture sixteen = Greys(16);
    const imaging::IndexedPicture full = Greys(256); // no room left for a transparent entry
    struct Case {
        const imaging::IndexedPicture* palette;
        QImage picture;
        bool taken;
    };
    const auto grey = [](int x, int y) { return qRgb((x + y) % 16 * 17, (x + y) % 16 * 17, (x + y) % 16 * 17); };
    const auto holed = [&](int x, int y) { return x < 3 ? 0u : grey(x, y); };
    const Case cases[] = {
        {&sixteen, Picture({20, 10}, grey), true},
        {&sixteen, Picture({21, 10}, [](int x, int y) { return qRgb(200, x * 9, y * 20); }), false},
        {&sixteen, Picture({22, 10}, holed), true},
        {&full, Picture({23, 10}, holed), false},
    };
    for (const Case& c : cases) {
        imaging::FrameQuantizer palettes;
        palettes.UseAnimationPalette(c.palette, 0.0);
        imaging::IndexedPicture out;
        QString error;
        ASSERT_TRUE(palettes.Quantize(c.picture, &out, &error)) << error.toStdString();
        EXPECT_EQ(palettes.AnimationPaletteFrames(), c.taken ? 1 : 0) << c.picture.width();
        EXPECT_EQ(std::equal(c.palette->palette.begin(), c.palette->palette.begin() + c.palette->colorCount,
                             out.palette.begin()),
                  c.taken)
            << c.picture.width();
        ExpectShown(c.picture, out);
    }
}

TEST(AnimationPalette, TheSampleSpansTheAnimationWithinItsPixels)
{
    const std::pair<int, QSize> cases[] = {{1, {8, 8}}, {3, {4000, 4000}}, {1500, {320, 240}}, {10, {10, 10}}};
    for (const auto& [frames, size] : cases) {
        const std::vector<int> sample = imaging::SampledPalette::SampleFrames(frames, size);
        ASSERT_FALSE(sample.empty()) << frames;
        EXPECT_EQ(sample.front(), 1);
        EXPECT_EQ(sample.back(), frames);
        EXPECT_TRUE(std::adjacent_find(sample.begin(), sample.end(), std::greater_equal<int>()) == sample.end());
        const qint64 pixels = qint64(sample.size()) * size.width() * size.height();
        EXPECT_TRUE(pixels <= imaging::SampledPalette::kSamplePixels
                    || int(sample.size()) <= std::min(frames, imaging::SampledPalette::kMinFrames))
            << frames;
    }
}

TEST(AnimationPalette, SmallFramesShareOnePaletteNextToTheTopQuality)
{
    // Three frames of 28 x 50, 100 colours each, one level apart from frame
    // to frame: 300 in all, so the shared palette shows some a level off,
    // where each frame's own table is exact but costs 768 bytes.
    const QSize size(28, 50);
    const auto colour = [](int frame, int x, int y) {
        const int i = (x + y * 28) % 100;
        return qRgb(2 * i + (frame == 1), 100 + (frame == 2), 50);
    };
    for (const int quality : {100, 99, 0}) {
        imaging::QuantizeSettings settings = imaging::SettingsForQuality(quality == 0 ? 100 : quality);
        if (quality == 0)
            settings.tableSlack = 0; // a table costs nothing: every frame keeps its own
        testing_imaging::Scratch scratch;
        imaging::SharedPalette shared(3, size);
        ASSERT_TRUE(shared.Wanted());
        for (int f = 0; f < 3; ++f) {
            const QImage picture = Picture(size, [&](int x, int y) { return colour(f, x, y); });
            imaging::IndexedPicture own;
            own.width = size.width();
            own.height = size.height();
            own.colorCount = 100;
            for (int i = 0; i < 100; ++i)
                own.palette[size_t(i)] = 0xFF000000u | (colour(f, i, 0) & 0xFFFFFFu);
            for (int y = 0; y < size.height(); ++y)
                for (int x = 0; x < size.width(); ++x)
                    own.indices.push_back(uint8_t((x + y * 28) % 100));
            shared.Keep(f + 1, picture, own);
        }
        std::vector<imaging::IndexedPicture> frames;
        int failed = 0;
        QString error;
        ASSERT_TRUE(shared.Apply(
            settings, [&](int f) { return scratch.Path(QStringLiteral("f%1.gif").arg(f)); }, &frames, &failed, &error))
            << error.toStdString();
        ASSERT_EQ(frames.size(), size_t(3));
        const bool one = frames[0].palette == frames[1].palette && frames[1].palette == frames[2].palette;
        EXPECT_EQ(one, quality != 0) << quality;
    }
}

TEST(AnimationPalette, SampledPaletteMovedToItsPixelsShowsThemCloser)
{
    // Dark noisy browns of more than 256 colours, where a palette made in
    // libimagequant's space puts near twins among the dark shades.
    const QSize size(64, 64);
    const auto brown = [](int frame, int x, int y) {
        const int noise = int((uint32_t(x * 7919 + y * 104729 + frame * 1299709) * 2654435761u) >> 29);
        const int v = std::min(x + y / 2 + noise, 120);
        return qRgb(v, v * 2 / 3 + (x + frame) % 4, v / 3 + y % 3);
    };
    double errors[2] = {};
    for (const int rounds : {0, 1}) {
        imaging::QuantizeSettings settings = imaging::SettingsForQuality(99);
        settings.paletteRounds = rounds;
        imaging::SampledPalette sampled;
        std::vector<QImage> pictures;
        for (int f = 0; f < 4; ++f) {
            pictures.push_back(Picture(size, [&](int x, int y) { return brown(f, x, y); }));
            ASSERT_TRUE(sampled.Add(pictures.back(), settings, f == 2));
        }
        ASSERT_TRUE(sampled.Make(settings)) << rounds;
        const imaging::IndexedPicture& palette = sampled.Palette();
        for (const QImage& picture : pictures)
            for (int y = 0; y < size.height(); ++y)
                for (int x = 0; x < size.width(); ++x) {
                    const QRgb c = picture.pixel(x, y);
                    int least = INT32_MAX;
                    for (int i = 0; i < palette.colorCount; ++i) {
                        const uint32_t e = palette.palette[size_t(i)];
                        const int dr = qRed(c) - int(e >> 16 & 0xFF), dg = qGreen(c) - int(e >> 8 & 0xFF),
                                  db = qBlue(c) - int(e & 0xFF);
                        least = std::min(least, dr * dr + dg * dg + db * db);
                    }
                    errors[rounds] += least;
                }
    }
    EXPECT_LT(errors[1], errors[0] * 0.95);
}
