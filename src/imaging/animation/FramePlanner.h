// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "imaging/GifCodec.h"
#include "imaging/animation/FrameCompressor.h"

#include <cstdint>
#include <vector>

namespace imaging {

// A frame on the animation's screen: its picture and each pixel's colour
// (0 = transparent, else 0xFFRRGGBB), which is what frames are compared in.
struct ScreenFrame {
    IndexedPicture picture;
    std::vector<uint32_t> colors;
};

// `picture` placed at the top left of a width x height screen (frames of one
// run all have the output size; this only guards against a stray file), with
// its colours worked out. A width of 0 keeps the picture's own size.
void PlaceOnScreen(IndexedPicture picture, int width, int height, ScreenFrame* frame);

struct FrameRect {
    int x0 = 0, y0 = 0, x1 = -1, y1 = -1; // inclusive; empty when x1 < x0
    bool Empty() const { return x1 < x0; }
    void Add(int x, int y);
};

// One frame as it goes into the file: planned in list order, since it needs
// the screen the frames before leave; compressed on any thread; written in
// list order.
struct FrameJob {
    FrameRect r;
    int disposal = 1;
    int delay = 0;
    int t = -1; // the index meaning transparent, -1 for none
    std::array<uint32_t, 256> palette{};
    bool blank = false;                // nothing changes
    bool free = false;                 // some pixel may be written in two ways
    std::vector<uint8_t> pixels;       // the rectangle, every unchanged pixel transparent
    std::vector<uint8_t> alternatives; // ... every unchanged pixel in the screen's colour where the table has it
    CompressedFrame best;
};

// Plans frame `cur` over `canvas` (what a viewer shows before it) and
// advances `canvas` to what the viewer holds after the frame's disposal.
// The frame shows cur's pixels, those within `unchangedError` of the screen
// (squared distance summed over R, G and B) as the screen shows them:
// unchanged pixels inside the changed rectangle may be written transparent or
// in the screen's colour where the frame's table has it (the compressor picks
// per pixel); when
// `next` makes pixels transparent that `cur` shows, `cur` is disposed to
// background over a rectangle covering them. `kept` is scratch.
void PlanFrame(ScreenFrame& cur, const ScreenFrame* next, std::vector<uint32_t>& canvas, int delay, int unchangedError,
               std::vector<uint8_t>& kept, FrameJob& job);

} // namespace imaging
