// SPDX-License-Identifier: GPL-3.0-or-later
// Palette choices that decide the size and the faithfulness of an animation:
// pictures that fit in 256 colours stay exact where their colours are worth
// it, and a pixel that changes a
// little may keep the colour already shown, but never drifts further.
#include "ImagingTestSupport.h"

#include "imaging/GifAssembler.h"
#include "imaging/animation/ColorTables.h"
#include "imaging/animation/FrameFile.h"
#include "imaging/animation/FrameQuantizer.h"
#include "imaging/Quantizer.h"
#include "imaging/animation/AnimationWriter.h"

#include <QFileInfo>
#include <QSet>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <tuple>

using namespace testing_imaging;

namespace {

int SquaredDistance(QRgb a, QRgb b)
{
    const int dr = qRed(a) - qRed(b), dg = qGreen(a) - qGreen(b), db = qBlue(a) - qBlue(b);
    return dr * dr + dg * dg + db * db;
}

TEST(PaletteChoice, APictureOfAtMost256ColoursIsStoredExactlyWhereItsColoursAreWorthIt)
{
    // 240 colours close to each other, 240 spread apart, 14 close ones.
    const auto picture = [](int colours, int step) {
        QImage p(64, 64, QImage::Format_RGB32);
        for (int y = 0; y < p.height(); ++y)
            for (int x = 0; x < p.width(); ++x) {
                const int k = (x / 4 + (y / 4) * 16) % colours;
                p.setPixel(x, y, qRgb(100 + step * (k % 16) / 8, 80 + step * (k / 16) / 8, 120 + (k % 3)));
            }
        return p;
    };
    // Colours at least 30 levels apart: up to 6 reds, 8 greens, 5 blues.
    const auto grid = [](int colours) {
        QImage p(64, 64, QImage::Format_RGB32);
        for (int y = 0; y < p.height(); ++y)
            for (int x = 0; x < p.width(); ++x) {
                const int k = (x / 4 + (y / 4) * 16) % colours;
                p.setPixel(x, y, qRgb(k % 6 * 40, k / 6 % 8 * 30, k / 48 * 50));
            }
        return p;
    };
    const QImage close = picture(240, 8), spread = picture(240, 64), few = grid(14), fewClose = picture(14, 8);
    const auto colours = [](const QImage& p, int quality) {
        imaging::IndexedPicture result;
        QString error;
        EXPECT_TRUE(imaging::QuantizePicture(p, imaging::SettingsForQuality(quality), &result, &error));
        return result.colorCount;
    };
    // -Q 100 keeps every picture that fits exact, through the frame files too.
    Scratch scratch;
    imaging::FrameQuantizer top;
    top.Settings() = imaging::SettingsForQuality(100);
    const QString frame = SaveFrame(scratch, QStringLiteral("exact"), close, &top);
    const QImage back = QImage(frame).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(DifferentPixels(back, close), 0);
    EXPECT_EQ(colours(close, 100), 240);
    // The default merges colours libimagequant finds worth little and near
    // shades, and keeps far-apart colours exact; below it all are merged.
    EXPECT_LT(colours(close, imaging::kDefaultQuality), 240 / 5);
    EXPECT_EQ(colours(spread, imaging::kDefaultQuality), 240);
    EXPECT_EQ(colours(few, imaging::kDefaultQuality), 14);
    EXPECT_LT(colours(fewClose, imaging::kDefaultQuality), 14);
    EXPECT_EQ(colours(fewClose, 100), 14);
    EXPECT_LT(colours(spread, 60), 240 * 3 / 4);
}

TEST(PaletteChoice, AFrameOffersTheSameColoursForTheGlobalTableInMemoryAndFromItsFile)
{
    // The global table is chosen from frames at hand or read back from their
    // files: both must offer the same colours, or the bytes would depend on
    // which way a frame came. Six entries pad to eight black ones; the
    // transparent entry offers nothing.
    Scratch scratch;
    imaging::IndexedPicture p;
    p.width = 4;
    p.height = 2;
    p.colorCount = 6;
    p.transparent = 2;
    const uint32_t entries[] = {0xFF102030, 0xFFFFFFFF, 0xFF123456, 0xFF102030, 0xFF00FF00, 0xFF800000};
    std::copy(std::begin(entries), std::end(entries), p.palette.begin());
    p.indices = {0, 1, 2, 3, 4, 5, 0, 1};
    const QString path = scratch.Path(QStringLiteral("frame.gif"));
    QString reason;
    ASSERT_TRUE(imaging::SaveFrameFile(path, p, &reason)) << reason.toStdString();
    imaging::IndexedPicture loaded;
    ASSERT_TRUE(imaging::LoadFrameFile(path, 1, &loaded, &reason)) << reason.toStdString();
    const std::vector<uint32_t> expected = {0x000000, 0x00FF00, 0x102030, 0x800000, 0xFFFFFF};
    EXPECT_EQ(imaging::TableColors(p), expected);
    EXPECT_EQ(imaging::TableColors(loaded), expected);
    EXPECT_EQ(loaded.indices, p.indices);
}

TEST(PaletteChoice, AFrameJustWrittenIsHandedOnAsItsFileHoldsIt)
{
    // Frames are joined from memory or, past what memory holds, from their
    // files: the two must be the same picture, or the bytes would depend on
    // the timing. The table pads to a power of two with black, and the
    // entries' alpha (a transparent entry's too) is not stored. The files
    // code runs of one colour: runs of every length up to whole rows, across
    // many table clears, between single pixels, in tables of 2 to 256 entries.
    Scratch scratch;
    struct Case {
        int count;
        int width;
        int height;
        bool runs; // else every pixel differs from the one before
    };
    for (const Case c : {Case{1, 7, 3, false}, Case{2, 300, 200, true}, Case{5, 7, 3, false}, Case{5, 257, 130, true},
                         Case{129, 64, 40, false}, Case{256, 640, 360, true}, Case{256, 300, 200, false}}) {
        SCOPED_TRACE(testing::Message() << c.count << " colours, " << c.width << " x " << c.height);
        imaging::IndexedPicture p;
        p.width = c.width;
        p.height = c.height;
        p.colorCount = c.count;
        p.transparent = c.count > 2 ? 2 : -1;
        for (size_t i = 0; i < p.palette.size(); ++i)
            p.palette[i] = uint32_t(i * 0x01030507u) ^ (i % 3 == 0 ? 0x00000000u : 0x7F000000u);
        uint32_t seed = 12345;
        for (int i = 0, run = 0, colour = 0; i < c.width * c.height; ++i, --run) {
            seed = seed * 1103515245u + 12345u;
            if (!c.runs) {
                p.indices.push_back(uint8_t((i * 5 + int(seed >> 16)) % c.count));
                continue;
            }
            if (run <= 0) { // the next run: 1 to 700 pixels, mostly short
                run = 1 + int(seed >> 16) % ((seed >> 8 & 3) == 0 ? 700 : 9);
                colour = int(seed >> 20) % c.count;
            }
            p.indices.push_back(uint8_t(colour));
        }
        const QString path = scratch.Path(QStringLiteral("frame%1-%2.gif").arg(c.count).arg(c.width));
        QString reason;
        ASSERT_TRUE(imaging::SaveFrameFile(path, p, &reason)) << reason.toStdString();
        imaging::IndexedPicture loaded;
        ASSERT_TRUE(imaging::LoadFrameFile(path, 1, &loaded, &reason)) << reason.toStdString();
        const imaging::IndexedPicture held = imaging::AsFrameFileHolds(p);
        EXPECT_EQ(held.width, loaded.width);
        EXPECT_EQ(held.height, loaded.height);
        EXPECT_EQ(held.colorCount, loaded.colorCount);
        EXPECT_EQ(held.transparent, loaded.transparent);
        EXPECT_EQ(held.palette, loaded.palette);
        EXPECT_TRUE(held.indices == loaded.indices);
    }
    // One colour all over: a few bytes per row.
    imaging::IndexedPicture flat;
    flat.width = 640;
    flat.height = 360;
    flat.colorCount = 256;
    flat.indices.assign(640 * 360, 7);
    const QString path = scratch.Path(QStringLiteral("flat.gif"));
    QString reason;
    ASSERT_TRUE(imaging::SaveFrameFile(path, flat, &reason));
    EXPECT_LT(QFileInfo(path).size(), 8000);
}

TEST(PaletteChoice, SmallChangesKeepTheShownColourWithinABoundEvenWhenDrifting)
{
    Scratch scratch;
    imaging::FrameQuantizer palettes;
    GifAssembler assembler;
    assembler.Reset();
    // A still gradient with more colours than a palette holds; in one block
    // the picture brightens by one level per frame, 12 levels in all.
    constexpr int kFrames = 13;
    const QRect block(8, 8, 32, 32);
    std::vector<QImage> pictures;
    for (int f = 0; f < kFrames; ++f) {
        QImage p(96, 64, QImage::Format_RGB32);
        for (int y = 0; y < p.height(); ++y)
            for (int x = 0; x < p.width(); ++x) {
                const int up = block.contains(x, y) ? f : 0;
                p.setPixel(x, y, qRgb(40 + x + up, 30 + y * 2 + up, 60 + (x + y) / 2 + up));
            }
        pictures.push_back(p);
        ASSERT_TRUE(assembler.AddFrame(SaveFrame(scratch, QStringLiteral("f%1").arg(f), p, &palettes)));
        ASSERT_TRUE(assembler.SetFrameDelay(f, 5));
    }
    const QString out = scratch.Path(QStringLiteral("out.gif"));
    ASSERT_TRUE(assembler.SaveAnimation(out));
    const Animation gif = DecodeAnimation(out);
    ASSERT_TRUE(gif.ok) << gif.error.toStdString();
    ASSERT_EQ(gif.frames.size(), kFrames);

    // The colours of the first frame: the palette of the still part.
    std::vector<QRgb> palette;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 96; ++x)
            if (std::find(palette.begin(), palette.end(), gif.frames[0].pixel(x, y)) == palette.end())
                palette.push_back(gif.frames[0].pixel(x, y));

    int kept = 0;
    for (int f = 1; f < kFrames; ++f)
        for (int y = block.top(); y <= block.bottom(); ++y)
            for (int x = block.left(); x <= block.right(); ++x) {
                const QRgb shown = gif.frames[f].pixel(x, y);
                kept += shown == gif.frames[f - 1].pixel(x, y);
                const QRgb want = pictures[size_t(f)].pixel(x, y);
                int nearest = INT_MAX;
                for (QRgb c : palette)
                    nearest = std::min(nearest, SquaredDistance(c, want));
                // The keeping allows 50 beyond the nearest colour; the palette
                // lookup works on cells of 4 levels, which adds up to about 40.
                EXPECT_LE(SquaredDistance(shown, want), nearest + 50 + 40) << "frame " << f << " at " << x << "," << y;
                if (::testing::Test::HasFailure())
                    return;
            }
    EXPECT_GT(kept, (kFrames - 1) * block.width() * block.height() * 3 / 4)
        << "without the keeping about two thirds stay unchanged; with it more than three quarters";
}

// Four far-apart greys, as in a terminal's anti-aliased text: however low
// the palette's quality, libimagequant keeps them all; the lowest settings
// still merge them.
TEST(PaletteChoice, TheLowestQualitiesMergeFewFarApartColours)
{
    QImage picture(48, 32, QImage::Format_RGB32);
    const QRgb greys[] = {qRgb(19, 19, 19), qRgb(108, 108, 108), qRgb(187, 187, 187), qRgb(251, 251, 251)};
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, greys[(x / 3 + y / 5 + x * y % 7) % 4]);
    QString error;
    int previous = 256;
    for (const int q : {25, 13, 1}) {
        imaging::IndexedPicture result;
        ASSERT_TRUE(imaging::QuantizePicture(picture, imaging::SettingsForQuality(q), &result, &error));
        EXPECT_LE(result.colorCount, previous) << q;
        previous = result.colorCount;
        if (q == 25) {
            EXPECT_EQ(result.colorCount, 4);
        }
    }
    EXPECT_EQ(previous, 2);
}

// The window converts with the default settings, flipreel-cli with the
// default quality: both make the same file. From -Q 100 (exact where the
// palette allows) every step down loosens at least one setting and tightens
// none but the lossy codes above the default, which end there.
TEST(PaletteChoice, EachQualityStepDownOnlyLoosensAndTheDefaultIsTheWindows)
{
    using imaging::QuantizeSettings;
    using imaging::SettingsForQuality;
    const QuantizeSettings window;
    const QuantizeSettings cli = SettingsForQuality(imaging::kDefaultQuality);
    EXPECT_EQ(cli.maxQuality, window.maxQuality);
    EXPECT_EQ(cli.keepSlack, window.keepSlack);
    EXPECT_DOUBLE_EQ(cli.driftSlack, window.driftSlack);
    EXPECT_EQ(cli.lzwError, window.lzwError);
    EXPECT_EQ(cli.unchangedError, window.unchangedError);
    EXPECT_EQ(cli.maxColors, window.maxColors);
    EXPECT_EQ(cli.exactColors, window.exactColors);
    EXPECT_EQ(cli.lzwAheadArea, window.lzwAheadArea);
    const QuantizeSettings exact = SettingsForQuality(100);
    EXPECT_EQ(exact.maxQuality, 100);
    EXPECT_EQ(exact.keepSlack + exact.lzwError + exact.unchangedError, 0);
    EXPECT_EQ(exact.driftSlack, 0.0);
    for (int q = 99; q >= 0; --q) {
        const QuantizeSettings a = SettingsForQuality(q + 1), b = SettingsForQuality(q);
        EXPECT_LE(b.maxQuality, a.maxQuality) << q;
        EXPECT_GE(b.keepSlack, a.keepSlack) << q;
        EXPECT_GE(b.driftSlack, a.driftSlack) << q;
        // Lossy codes grow from the default down; above it they merge near twins and a little more.
        if (q < imaging::kDefaultQuality) {
            EXPECT_GE(b.lzwError, a.lzwError) << q;
        } else if (q > imaging::kDefaultQuality) {
            EXPECT_GE(b.lzwError, a.lzwError) << q;
            EXPECT_GE(b.lzwError, imaging::QuantizeSettings::kNearTwins) << q;
            EXPECT_LE(b.lzwError, imaging::QuantizeSettings::kMostTopLzwError) << q;
        }
        EXPECT_GE(b.unchangedError, a.unchangedError) << q;
        EXPECT_LE(b.maxColors, a.maxColors) << q;
        EXPECT_LE(b.exactColors, a.exactColors) << q;
        EXPECT_GE(b.holdShare, a.holdShare) << q;
        const bool looser = b.maxQuality < a.maxQuality || b.keepSlack > a.keepSlack || b.lzwError > a.lzwError
            || b.unchangedError > a.unchangedError || b.holdShare > a.holdShare;
        EXPECT_EQ(looser, q >= 1) << q << ": below 1 is 1";
    }
}

// A quality in tenths is the whole one above it holding a share of the
// frames, more toward the whole one below; whole qualities are unchanged,
// and only -Q 5 and below hold frames, more at each step down. The held
// frames are spread evenly, a larger share holding those of a smaller one.
TEST(PaletteChoice, QualitiesInTenthsHoldMoreFramesTowardTheWholeOneBelow)
{
    using imaging::QuantizeSettings;
    for (int q = 1; q <= 100; ++q) {
        const QuantizeSettings whole = imaging::SettingsForQuality(q);
        const QuantizeSettings same = imaging::SettingsForFineQuality(q);
        EXPECT_EQ(std::tie(same.maxQuality, same.keepSlack, same.exactColors, same.lzwError, same.lzwAheadArea,
                           same.unchangedError, same.maxColors, same.colorsOfQuality, same.mergeDistance),
                  std::tie(whole.maxQuality, whole.keepSlack, whole.exactColors, whole.lzwError, whole.lzwAheadArea,
                           whole.unchangedError, whole.maxColors, whole.colorsOfQuality, whole.mergeDistance))
            << q;
        EXPECT_EQ(same.driftSlack, whole.driftSlack) << q;
        EXPECT_EQ(same.holdShare, whole.holdShare) << q;
        EXPECT_EQ(whole.holdShare > 0, q <= 5) << q;
        if (q > 1 && q <= 6) {
            EXPECT_GT(imaging::SettingsForQuality(q - 1).holdShare, whole.holdShare) << q;
        }
        if (q == 100)
            continue;
        const QuantizeSettings upper = imaging::SettingsForQuality(q + 1);
        double held = upper.holdShare;
        for (int tenths = 9; tenths >= 1; --tenths) {
            const QuantizeSettings between = imaging::SettingsForFineQuality(q + tenths / 10.0);
            EXPECT_EQ(between.maxColors, upper.maxColors) << q << "." << tenths;
            EXPECT_EQ(between.maxQuality, upper.maxQuality) << q << "." << tenths;
            EXPECT_GT(between.holdShare, held) << q << "." << tenths;
            EXPECT_LE(between.holdShare, QuantizeSettings::kMostHeld) << q << "." << tenths;
            held = between.holdShare;
        }
    }
    for (const double share : {0.05, 0.3, 0.5}) {
        int held = 0;
        for (int k = 0; k < 200; ++k) {
            held += imaging::HeldFrame(k, share) ? 1 : 0;
            EXPECT_FALSE(k == 0 && imaging::HeldFrame(k, share));
            EXPECT_FALSE(imaging::HeldFrame(k, share) && imaging::HeldFrame(k + 1, share)) << share << " " << k;
        }
        EXPECT_NEAR(held, 200 * share, 1) << share;
    }
    for (int k = 1; k < 200; ++k)
        for (const double share : {0.03, 0.12, 0.3})
            EXPECT_TRUE(!imaging::HeldFrame(k, share) || imaging::HeldFrame(k, share + 0.07)) << share << " " << k;
}

} // namespace

TEST(PaletteChoice, NearShadesMergeIntoTheMostFrequentKeptColourAndNoFurther)
{
    // A ramp: each shade 15 levels of red from the next (225 apart), the
    // second seen most. Within 225 of a group's colour: the first three
    // shown in the second, the last two in the fourth; each merged one shows
    // in its nearest kept neighbour. A colour never seen (a transparent
    // entry) is kept and takes none.
    const std::vector<uint32_t> colours{0xFF1E0000, 0xFF2D0000, 0xFF3C0000, 0xFF4B0000, 0xFF5A0000, 0xFF2E0000};
    const std::vector<uint32_t> counts{9, 50, 7, 6, 5, 0};
    const double any = 1e9;
    EXPECT_EQ(imaging::MergeNearColors(colours, counts, 225, any), (std::vector<int>{1, 1, 1, 3, 3, 5}));
    EXPECT_EQ(imaging::MergeNearColors(colours, counts, 224, any), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(imaging::MergeNearColors(colours, counts, 0, any), (std::vector<int>{0, 1, 2, 3, 4, 5}));
}

TEST(PaletteChoice, AnErrorBoundMergesARampInPairsThenThreesIntoTheirMiddles)
{
    // Five shades 15 levels apart (225), ten pixels each: two joined show
    // 112.5 per pixel, three around their middle 150. Without a bound on the
    // error the five show in the middle shade (each within 30 levels of it),
    // not the first one met; the result does not depend on the order they
    // come in.
    std::vector<uint32_t> colours{0xFF1E0000, 0xFF2D0000, 0xFF3C0000, 0xFF4B0000, 0xFF5A0000};
    const std::vector<uint32_t> counts(5, 10);
    const auto kept = [&](double budget) {
        const std::vector<int> into = imaging::MergeNearColors(colours, counts, 900, budget);
        int n = 0;
        for (size_t i = 0; i < into.size(); ++i)
            n += into[i] == int(i);
        return n;
    };
    EXPECT_EQ(kept(112), 5);
    EXPECT_EQ(kept(112.5), 3);
    EXPECT_EQ(kept(150), 2);
    EXPECT_EQ(imaging::MergeNearColors(colours, counts, 900, 1e9), (std::vector<int>(5, 2)));
    const std::vector<int> near = imaging::MergeNearColors(colours, counts, 899, 1e9);
    EXPECT_NE(near[0], near[4]) << "the ends are 60 levels apart";
    const std::vector<int> forward = imaging::MergeNearColors(colours, counts, 900, 150);
    std::reverse(colours.begin(), colours.end());
    const std::vector<int> backward = imaging::MergeNearColors(colours, counts, 900, 150);
    for (size_t i = 0; i < colours.size(); ++i)
        EXPECT_EQ(colours[size_t(backward[i])], colours[colours.size() - 1 - size_t(forward[colours.size() - 1 - i])])
            << i;
}

TEST(PaletteChoice, RareShadesBetweenAFewColoursMergeWhereTheShadesOfAGradientDoNot)
{
    // Text: black on white and 200 greys between them, 3 pixels each, as its
    // anti-aliased edges show; a gradient: the same greys alone.
    const imaging::QuantizeSettings settings = imaging::SettingsForQuality(imaging::kDefaultQuality);
    std::vector<uint32_t> colours{0xFFFFFFFF, 0xFF000000}, counts{5000, 1500};
    for (uint32_t g = 20; g < 220; ++g) {
        colours.push_back(0xFF000000u | g << 16 | g << 8 | g);
        counts.push_back(3);
    }
    std::vector<int> into = imaging::NearShadesMerged(settings, colours, counts);
    ASSERT_EQ(into.size(), colours.size());
    EXPECT_EQ(into[0], 0);
    EXPECT_EQ(into[1], 1);
    int64_t moved = 0, others = 0, kept = 0;
    for (size_t i = 1; i < colours.size(); ++i) {
        kept += into[i] == int(i);
        moved += into[i] == int(i) ? 0 : counts[i];
        others += counts[i];
    }
    EXPECT_LE(kept + 1, imaging::QuantizeSettings::kDefaultExactColors);
    // Merged while the moved pixels are at most a quarter of them all: white
    // made just frequent enough, then one pixel less.
    counts[0] = uint32_t(imaging::kRareShadeShare * moved - others);
    ASSERT_GT(counts[0], 3u); // still more than a shade
    EXPECT_EQ(imaging::NearShadesMerged(settings, colours, counts), into);
    --counts[0];
    EXPECT_TRUE(imaging::NearShadesMerged(settings, colours, counts).empty());
    const std::vector<uint32_t> gradient(colours.begin() + 2, colours.end()), even(counts.begin() + 2, counts.end());
    EXPECT_TRUE(imaging::NearShadesMerged(settings, gradient, even).empty());
    // A picture of such text, at the default, in some of its own colours.
    QImage text(64, 64, QImage::Format_RGB32);
    QSet<QRgb> own;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const int g = 20 + y * 25 + x % 16;
            text.setPixel(x, y, y < 8 && x % 16 < 13 ? qRgb(g, g, g) : (x / 4 + y / 3) % 5 ? qRgb(255, 255, 255) : 0);
            own.insert(text.pixel(x, y));
        }
    imaging::IndexedPicture result;
    QString error;
    ASSERT_TRUE(imaging::QuantizePicture(text, settings, &result, &error));
    EXPECT_LE(result.colorCount, imaging::QuantizeSettings::kDefaultExactColors);
    for (int i = 0; i < result.colorCount; ++i)
        EXPECT_TRUE(own.contains(result.palette[size_t(i)] | 0xFF000000u)) << i;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const QRgb shown = result.palette[result.indices[size_t(y * 64 + x)]];
            EXPECT_LE(SquaredDistance(shown, text.pixel(x, y)), y < 8 ? settings.mergeDistance : 0) << x << "," << y;
        }
}
