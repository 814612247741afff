// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "imaging/GifCodec.h"

#include <array>
#include <cstdint>
#include <vector>

namespace imaging {

// The global colour table of an animation, chosen before any frame is
// written. A frame whose colours are all in it needs no table of its own.
struct GlobalColorTable {
    std::array<uint32_t, 256> colors{}; // 0xRRGGBB
    int count = 0;                      // 0: the animation has no global table
    // Its index of `rgb`, or -1.
    int Find(uint32_t rgb) const;

    std::vector<uint32_t> sorted; // rgb << 8 | index, for Find
};

// The colours (0xRRGGBB) the frame's colour table offers for opaque pixels,
// sorted and each once: its entries padded to a power of two with black, as
// its frame file stores them, less the transparent one.
std::vector<uint32_t> TableColors(const IndexedPicture& frame);

// The union of every frame's colours when it fits one table; else the
// colours most frames share (at least two frames), else none. `spare`: where
// the colours would fill a table of fewer than 256 entries, it is twice as
// large, so that frames in all its colours still find a free entry for the
// pixels they leave unchanged (else each of them needs a table of its own).
GlobalColorTable ChooseGlobalTable(const std::vector<std::vector<uint32_t>>& frameColors, bool spare = false);

} // namespace imaging
