// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "imaging/GifCodec.h"
#include "imaging/LiqHandles.h"
#include "imaging/Quantizer.h"

#include <QImage>
#include <QSize>

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace imaging {

// The palette for all colours in `counts` (opaque pixel words, red in the low
// byte, and how often they occur) in at most `room` entries: the colours
// themselves (their near shades merged, settings.mergeDistance) when they
// fit, else libimagequant's. `merged`, when given: whether the palette is
// the colours with their near shades merged.
bool PaletteForColors(const std::unordered_map<uint32_t, uint32_t>& counts, int room, const QuantizeSettings& settings,
                      IndexedPicture* palette, bool* merged = nullptr);

// One palette for a whole animation of any length, made before its frames
// from the colours of a few of them spread over it.
//
// An animation whose frames share their colours (a test pattern, a scene
// with moving parts) is shown by one palette about as well as by one per
// frame, and then needs one colour table instead of a table per frame. The
// pictures are looked at one by one and only their colours are kept (in
// libimagequant's histogram), so the memory is bounded by the sample, not
// by the animation. Each frame
// then takes the palette where it shows the frame about as well as a
// palette of its own would (FrameQuantizer decides).
class SampledPalette final {
public:
    // Animations of fewer frames make none: their tables cost under 20 KB,
    // where a frame of a slideshow that takes a palette made for the others
    // costs more (at -Q 75 one of twelve took it: 726143 bytes at 0.9614
    // mean SSIM against 665381 at 0.9632 in palettes of their own).
    static constexpr int kMinAnimationFrames = 24;
    // The sample holds at most this many pixels ...
    static constexpr qint64 kSamplePixels = qint64(1) << 21;
    // ... and at least this many frames (all of them when there are fewer).
    static constexpr int kMinFrames = 4;
    // The palette is made only when it shows the picture quantised alone
    // within this factor of that picture's own error (plus the drift slack).
    static constexpr double kSharedFactor = 1.25;

    // The frames (from 1, rising) looked at in an animation of `frames` frames of `output` size.
    static std::vector<int> SampleFrames(int frames, QSize output);
    // Whether the sample's picture at `position` (from 0) of `count` is the
    // one also quantised alone (the middle one, costing a palette search):
    // what its own palette shows is the bar the shared one must meet.
    static bool QuantisedAlone(int position, int count);

    // Counts the colours of one picture of the sample; `own`: also measures
    // what a palette of its own shows.
    bool Add(const QImage& picture, const QuantizeSettings& settings, bool own);
    // Makes the palette from the pictures added; false when there is none to make.
    bool Make(const QuantizeSettings& settings);

    // The palette (no pixels) and the mean squared error per pixel that its
    // own palette showed on the sample's picture quantised alone.
    const IndexedPicture& Palette() const { return palette_; }
    double OwnError() const { return ownError_; }
    // Whether the palette is the animation's own colours, their near shades
    // merged (QuantizeSettings::mergeDistance).
    bool Merged() const { return merged_; }

private:
    // The colours, counted exactly while there are at most 256 of them;
    // libimagequant's histogram holds them all.
    std::unordered_map<uint32_t, uint32_t> counts_;
    bool few_ = true;
    LiqHandle<liq_attr> attr_;
    LiqHandle<liq_histogram> histogram_;
    bool anyTransparent_ = false;
    std::vector<uint32_t> ownWords_; // the picture quantised alone, until the palette is made
    std::vector<uint32_t> words_;    // the sample's opaque pixels, where the palette is refined
    IndexedPicture palette_;
    double ownError_ = 0;
    bool merged_ = false;
};

} // namespace imaging
