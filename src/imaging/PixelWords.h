// SPDX-License-Identifier: GPL-3.0-or-later
// Pixels as 32-bit words with red in the low byte, as a frame shows them.
#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

namespace imaging {

// `rgba` is RGBA8888 or RGBX8888. A pixel below half opacity becomes 0 (the
// transparent word); every other pixel becomes opaque.
void ThresholdedWords(const QImage& rgba, std::vector<uint32_t>* words);

// Squared distance, summed over R, G and B, of a pixel word and a palette
// entry (0xAARRGGBB).
inline int WordDistance(uint32_t pixel, uint32_t entry)
{
    const int dr = int(pixel & 0xFF) - int((entry >> 16) & 0xFF);
    const int dg = int((pixel >> 8) & 0xFF) - int((entry >> 8) & 0xFF);
    const int db = int((pixel >> 16) & 0xFF) - int(entry & 0xFF);
    return dr * dr + dg * dg + db * db;
}

// A pixel word as an opaque palette entry (0xAARRGGBB), and such an entry
// as an opaque pixel word: red and blue change places.
inline uint32_t SwappedRedBlue(uint32_t c) { return 0xFF000000u | (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF); }

// Squared distance, summed over R, G and B, of two palette entries.
inline int EntryDistance(uint32_t a, uint32_t b)
{
    const int dr = int((a >> 16) & 0xFF) - int((b >> 16) & 0xFF);
    const int dg = int((a >> 8) & 0xFF) - int((b >> 8) & 0xFF);
    const int db = int(a & 0xFF) - int(b & 0xFF);
    return dr * dr + dg * dg + db * db;
}

} // namespace imaging
