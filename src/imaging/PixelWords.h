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

} // namespace imaging
