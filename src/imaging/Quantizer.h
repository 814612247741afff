// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "imaging/GifCodec.h"

#include <QImage>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

namespace imaging {

struct QuantizeSettings {
    static constexpr int kFastestSpeed = 10;
    int speed = 6;      // libimagequant speed 1 (slow, best) .. kFastestSpeed
    int minQuality = 0; // never refuse a picture
    // Stop adding colours once this quality is reached. 88 rather than 100:
    // on a slideshow of photos and test charts the last colours cost 17 % of
    // the file for 0.002 of mean SSIM, and from 95 to 88 a test pattern with
    // noise lost 10 % of its bytes for 0.0013 SSIM, sprites over a
    // photographed sky 5 % for 0.003.
    static constexpr int kDefaultMaxQuality = 88;
    int maxQuality = kDefaultMaxQuality;
    // A picture of at most this many colours (transparency counting as one)
    // is stored exactly, whatever maxQuality says; one of more, up to 256,
    // only when libimagequant at maxQuality keeps a fair share of them (0:
    // never exact). A few colours are each worth their bytes (a game of life
    // in 14 colours stays exact); a terminal recording's 254 greys, merged
    // to 18 (NearShadesMerged), are stored so too.
    static constexpr int kDefaultExactColors = 64;
    // ... and a picture of more is stored exactly when libimagequant keeps at
    // least one in this many of its colours.
    static constexpr int kKeptShareForExact = 5;
    int exactColors = kDefaultExactColors;
    // Animations (FrameQuantizer): a changed pixel keeps the colour the
    // previous frame shows there when that colour is at most min(this, 50)
    // (squared distance, summed over R, G, B) worse than the palette's
    // nearest colour, or at most this far from the pixel's own colour; the
    // animation then stores it as unchanged. Compared with what is shown, so
    // the error stays within this bound however slowly a part drifts. 50 is
    // about 4 levels per channel: mean SSIM drops by under 0.01 on
    // every-pixel-changes animations while they shrink by a fifth.
    int keepSlack = 50;
    // ... and the previous palette is kept while its mean squared error on the
    // new picture stays within 1.25 times its error on its own picture plus this.
    double driftSlack = 1.0;
    // ... and a frame takes the animation's palette (SharedPalette, or the
    // sampled one) while its error there stays within a factor of its own
    // palette's plus driftSlack plus the larger of driftSlack and this times
    // the bits per pixel that a colour table of its own would cost the
    // frame: on a small frame a table is worth some error.
    double tableSlack = 0;
    // The weight on a table's bits per pixel in that limit.
    double TableWeight() const { return std::max(driftSlack, tableSlack); }
    // The animation's LZW codes may show a pixel in another colour of its
    // table up to this far away (squared distance summed over R, G, B) where
    // that continues a code string: 0 is exact. kNearTwins only merges near
    // twins (one level in at most two channels), which a palette made at
    // quality 100 has many of (a pan over a photograph: 8 % fewer bytes for
    // 0.0004 SSIM); at the default it lost a zoom 0.0002 SSIM for 0.3 %.
    // Where a frame is parsed ahead (lzwAheadArea), the codes are lossy only
    // where that is shorter than exact.
    static constexpr int kNearTwins = 2;
    // Above the default the bound grows along SettingsForQuality's square up
    // to this. Sprites over a sky at -Q 99's palette lost 0.0018 SSIM for
    // 3.3 % of its bytes at a bound of 8, about what fewer colours lose there,
    // and 0.0068 for 8.8 % at 20; a fractal zoom at -Q 96 lost 0.0017 SSIM for
    // 3.0 % at 10 against 0.0007 for 1.6 % at 5, where its palette's step
    // pays better.
    static constexpr int kMostTopLzwError = 6;
    int lzwError = 0;
    // The exact LZW codes of the animation's frame rectangles up to this many
    // pixels are parsed ahead (see LzwEncoder::Lookahead), for the time of
    // about one more encoding each: up to 1.8 % fewer bytes at -Q 100.
    // Rectangles up to 2^15 pixels at the default: sprites over a sky 0.4 %
    // fewer bytes. Up to 2^17, a long 320 x 240 animation was 0.8 % smaller
    // for 60 % more CPU, and a game of life of that size took 40 % more for
    // no byte less; below -Q 90 small ones only.
    static constexpr int kSmallAheadArea = 16384;
    static constexpr int kDefaultAheadArea = 1 << 15;
    static constexpr int kEveryAheadArea = std::numeric_limits<int>::max();
    int lzwAheadArea = kDefaultAheadArea;
    // Exact codes parsed ahead once more (GifAssembler::LzwAheadAgain), where
    // lossy codes are not tried after them: at -Q 100 a terminal recording
    // wrote 1245313 bytes against 1249583, a game of life 4659268 against
    // 4659497, as -Q 99's lossy pass wrote where it found nothing to merge.
    bool lzwAheadAgain = false;
    // The animation shows a pixel as unchanged (keeps the colour on screen)
    // when the frame's colour is at most this far from it (squared distance
    // summed over R, G, B). 0 only keeps equal colours: at the default a zoom
    // lost 0.009 mean SSIM for 3 % of its bytes at 48.
    int unchangedError = 0;
    // Rounds of moving each colour of an animation's sampled palette to the
    // mean of the sample's pixels nearest it (in R, G, B, as frames are
    // mapped), after libimagequant's: its palette is made in a space of its
    // own, where the dark shades of a pan over wood came out as near twins
    // (165 of 256 entries within a squared distance of 2 of another).
    int paletteRounds = 0;
    // At most this many colours in a palette (the lowest settings).
    int maxColors = 256;
    // ... and at most as many as libimagequant keeps at this palette quality
    // (0: no such bound). Below about 40 its quality alone may keep more
    // colours at a lower quality: a terminal recording kept 9 at 38 and 10 at 28.
    int colorsOfQuality = 0;
    // A picture of at most kDefaultExactColors colours, or of rare shades
    // between a few colours (NearShadesMerged), first has its near shades
    // merged (MergeNearColors): groups of close colours are each shown in one
    // of their own colours, no pixel farther than this (squared distance
    // summed over R, G, B) from its own, so pixel art's far-apart colours stay
    // as they are. 0 merges nothing. 400 is 20 levels of one channel. Other
    // pictures of more colours are left to libimagequant: merged too, a
    // gradient animation of 150 colours a frame fell from 105000 bytes to
    // 34581 in one step of -Q, and --max-size's sample then misjudged the
    // sizes below.
    static constexpr int kDefaultMergeDistance = 400;
    int mergeDistance = kDefaultMergeDistance;
    // ... and two groups are joined, the pair adding the least squared error
    // first, only while the joined group's pixels are shown within this mean
    // squared error (summed over R, G, B) of their own colours: a ramp of
    // close shades merges in pairs, then threes, as it grows, however much of
    // the picture the ramp covers. A game of life whose trail is a ramp of
    // twelve shades 14 levels apart keeps five of them at 130 (3040254 bytes,
    // where keeping every other shade wrote 3158260; all twelve write 4659497).
    static constexpr double kDefaultMergeBudget = 130.0;
    double mergeBudget = kDefaultMergeBudget;
    // Animations: this share of the frames (0 to 1, spread evenly, never the
    // first, never one shown a fifth of a second or more: a slide) is held,
    // each showing the frame before it (GifAssembler::HoldShare).
    // Where the palette has no colours left to give, a share of held frames
    // makes the file smaller by as little as wanted.
    double holdShare = 0;
    // ... at -Q 1, and next to the lower end of every step between two -Q.
    static constexpr double kMostHeld = 0.5;
};

// For each of `colors` (0xFFRRGGBB, each once) seen `counts` times, the index
// of the colour it is shown in once its near shades are merged
// (MergeNearColors at settings.mergeDistance and mergeBudget), or nothing
// when they are not:
// always merged in a picture of at most kDefaultExactColors colours; in one
// of more, only where the merge leaves at most that many and the colours it
// moves show at most one in kRareShadeShare of the pixels. Anti-aliased
// text and edges are a few colours and the rare blends between them: a
// terminal recording's 254 greys merge to 18 (999258 bytes at the default
// before, 951544 after, 0.0001 less SSIM), where a gradient, a photograph or a chart has no such few colours, and
// a merge would move most of its pixels.
constexpr int kRareShadeShare = 4;
std::vector<int> NearShadesMerged(const QuantizeSettings& settings, const std::vector<uint32_t>& colors,
                                  const std::vector<uint32_t>& counts);

// Whether a picture's (or an animation's) own colours, when they fit in its
// table, may be stored as they are rather than libimagequant's.
inline bool MayKeepOwnColors(const QuantizeSettings& settings)
{
    return settings.exactColors > 0 || settings.mergeDistance > 0;
}

// Whether `colors` own colours beyond settings.exactColors are stored as they
// are, where libimagequant's palette for them holds `kept`: at and above the
// default when it keeps a fair share of them (each is worth its bytes: a chart
// of evenly spaced colours, a quarter to a half kept at palette quality 88,
// stays exact, where libimagequant keeps 23 of a terminal recording's 254
// greys); below it, no more of them than libimagequant's.
inline bool OwnColorsWorthKeeping(const QuantizeSettings& settings, int colors, int kept)
{
    return settings.exactColors > 0 ? QuantizeSettings::kKeptShareForExact * kept >= colors : colors <= kept;
}

// For each of `colors` (0xFFRRGGBB, each once) seen `counts` times, the index
// of the colour it is shown in: itself when kept, else the nearest kept one.
// Groups of colours are joined, those whose joining adds the least squared
// error first, while each joined group's mean squared error per pixel stays
// within `budget`; each group is shown in the one of its colours with the
// least error over it, at most `distance` (squared, summed over R, G, B) from
// each member. The kept colours then move to the middles of the colours
// nearest them. A colour never seen stays and takes none.
std::vector<int> MergeNearColors(const std::vector<uint32_t>& colors, const std::vector<uint32_t>& counts, int distance,
                                 double budget);

// flipreel-cli's -Q: 1 (smallest files) to 100 (closest colours). The
// default keeps the settings above; each lower value lowers the palette
// quality and lets frames keep more of the colours on screen, and the lowest
// ones add lossy codes and a ceiling on the colours that falls to 2 at -Q 2;
// from -Q 5 down a growing share of the frames is held, at -Q 1 every other
// one.
// From the default up the settings approach -Q 100's along a square: the
// steps next to -Q 100 are the smallest.
constexpr int kDefaultQuality = 95;
QuantizeSettings SettingsForQuality(int quality);
// A quality between two whole ones, in tenths (2.5): the settings of the
// whole one above it, holding a share of the frames (holdShare) that grows
// from the one it holds to half of them next to the one below; whole
// qualities are SettingsForQuality's.
QuantizeSettings SettingsForFineQuality(double quality);

// At most 256 colours from libimagequant, not dithered. Pixels under half opacity
// become the one transparent index; all others are opaque.
bool QuantizePicture(const QImage& image, const QuantizeSettings& settings, IndexedPicture* result, QString* error);

} // namespace imaging
