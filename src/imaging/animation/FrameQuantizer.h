// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "imaging/GifCodec.h"
#include "imaging/Quantizer.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <utility>
#include <vector>

namespace imaging {

// Palette pictures for the frames of an animation, saved one after the other.
//
// Each frame is a picture of its own, but quantising every frame afresh
// gives every frame a slightly different palette, so
// that even pixels that did not change come out different and the
// animation cannot store them as "unchanged". So the previous frame is
// remembered: when the new picture has the previous one's size, its pixels
// that are identical to the previous picture's keep the previous colour
// indices, and the changed pixels are mapped to the previous
// palette — as long as that palette represents them about as well as it
// represented the picture it was made for. Otherwise, and for the first
// frame, the animation's palette is tried when there is one (the same for
// every frame, so those that take it need no colour table of their own),
// and where it does not suit, libimagequant makes a new palette for the
// whole picture.
class FrameQuantizer final {
public:
    FrameQuantizer() = default;
    Q_DISABLE_COPY_MOVE(FrameQuantizer)

    bool Quantize(const QImage& picture, IndexedPicture* result, QString* error);
    // Forget the previous frame: the next picture gets a palette of its own.
    void Reset();
    // Take `other`'s previous frame as this one's, as if it had just been
    // quantised here: frames converted apart can then start from one frame.
    void ContinueFrom(const FrameQuantizer& other);

    QuantizeSettings& Settings() { return settings_; }

    // The animation's palette (no pixels; it must outlive this), tried
    // wherever the previous palette is not kept: taken, and then kept, while
    // its mean squared error on the picture stays within `ownError` (what a
    // picture's own palette shows) times 2 plus the drift slack, plus the
    // larger of that slack and the table slack times what a table of its own
    // would cost the frame per pixel.
    // Null: none. `merged`: the palette is the animation's own colours with
    // their near shades merged (SampledPalette::Merged), and is then kept
    // while every pixel stays within the merge's reach of its colour.
    void UseAnimationPalette(const IndexedPicture* palette, double ownError, bool merged = false);
    // Frames quantised here that took the animation's palette.
    int AnimationPaletteFrames() const { return animationFrames_; }

private:
    bool Fresh(const QImage& picture, IndexedPicture* result, QString* error);
    bool TryReuse(IndexedPicture* result);
    bool TryAnimationPalette(int width, int height, IndexedPicture* result);
    // Whether the animation's palette is one of few colours made where near
    // shades merge: it is then kept by the merge's bound on each pixel.
    bool MergedAnimationPalette() const { return animationPalette_ && animationMerged_ && settings_.mergeDistance > 0; }
    // The opaque entry nearest to the colour.
    int Nearest(int r, int g, int b)
    {
        const uint32_t color = 0x1000000u | uint32_t(b) << 16 | uint32_t(g) << 8 | uint32_t(r);
        const size_t memo = (color * 2654435761u) >> (32 - kMemoBits);
        if (memoColor_[memo] == color)
            return memoNearest_[memo];
        return LookUp(r, g, b, color, memo);
    }
    int LookUp(int r, int g, int b, uint32_t color, size_t memo);
    int CellCandidates(int r, int g, int b);
    void SetPalette(const IndexedPicture& p);
    uint32_t Error(uint32_t color);
    double MeasureErrors();

    QuantizeSettings settings_;
    // The previous frame: its thresholded pixels (RGBA bytes, 0 = transparent) and palette picture.
    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> previous_;
    std::vector<uint32_t> current_;
    IndexedPicture previousOut_;
    double paletteError_ = 0;           // mean squared error of the palette on its own picture's opaque pixels
    double paletteLimit_ = 0;           // the most error per pixel the previous palette may show on a new picture
    double pictureError_ = 0;           // ... on the previous picture, per pixel
    std::vector<uint32_t> errors_;      // ... per pixel of the previous picture
    std::vector<uint32_t> trialErrors_; // ... of the picture in the animation's palette, while it is tried
    std::vector<uint8_t> trialIndices_;
    // The changed pixels of the picture being tried: index, error, nearest opaque entry (-1: transparent).
    struct Change {
        uint32_t index;
        uint32_t error;
        int nearest;
    };
    std::vector<Change> changes_;
    // Per RGB cell, filled on first use: the opaque palette entries that can
    // be nearest to a colour in the cell (start = -1: not yet known).
    struct CellTable {
        std::vector<int32_t> start;
        std::vector<int32_t> end;
        std::vector<int32_t> filled; // the cells set since the last Reset
        std::vector<uint8_t> entries;
        // Forgets the cells; only those set are cleared: clearing all of
        // them cost more than the rest of a small frame's work.
        void Reset(int bits);
    };
    CellTable cells_; // 6-bit cells
    // 5-bit cells, with room for every 6-bit cell inside: a 6-bit cell's
    // candidates are found among its 5-bit cell's.
    CellTable wide_;
    // The last colours looked up, by a hash of the colour: a picture repeats
    // its colours, and most of a lookup's cost is in the candidates.
    static constexpr int kMemoBits = 12;
    std::vector<uint32_t> memoColor_ = std::vector<uint32_t>(size_t(1) << kMemoBits, 0); // 0x01BBGGRR, 0 = empty
    std::vector<uint8_t> memoNearest_ = std::vector<uint8_t>(size_t(1) << kMemoBits, 0);
    int red_[256] = {}, green_[256] = {}, blue_[256] = {};
    int opaqueCount_ = 0;
    uint8_t opaqueIndex_[256] = {};
    // The animation's palette, what a picture's own shows, and whether the
    // previous frame and the cells above are in it.
    const IndexedPicture* animationPalette_ = nullptr;
    double animationOwnError_ = 0;
    bool animationMerged_ = false;
    bool previousInAnimation_ = false;
    bool cellsOfAnimation_ = false;
    int animationFrames_ = 0;
};

} // namespace imaging
