// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace imaging {

// What WriteByStretches or CountStretches found.
struct UnchangedStretches {
    size_t count = 0;     // stretches of unchanged pixels
    size_t oneColour = 0; // ... that show a single colour
    size_t pixels = 0;    // unchanged pixels
};

// A way of writing a rectangle's unchanged pixels by the stretches they form
// in scan order (across row ends, as the codes run): a stretch that shows a
// single colour keeps it, one that shows several is written transparent.
// `pixels` has every unchanged pixel transparent and `alternatives` in the
// screen's colour (as FrameJob holds them; a pixel is unchanged where the two
// differ). `first` gets the stretches' choice, `second` the other way of each
// unchanged pixel; elsewhere both are the pixel.
UnchangedStretches WriteByStretches(const std::vector<uint8_t>& pixels, const std::vector<uint8_t>& alternatives,
                                    std::vector<uint8_t>& first, std::vector<uint8_t>& second);

// The stretches of every `step`-th row of a rectangle `width` wide, each row
// on its own: an estimate of what WriteByStretches finds, at a fraction of
// its cost.
UnchangedStretches CountStretches(const std::vector<uint8_t>& pixels, const std::vector<uint8_t>& alternatives,
                                  size_t width, size_t step);

} // namespace imaging
