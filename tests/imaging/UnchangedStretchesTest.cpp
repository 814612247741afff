// SPDX-License-Identifier: GPL-3.0-or-later
// Unchanged pixels written by the stretches they form in scan order.
#include "imaging/animation/UnchangedStretches.h"

#include <gtest/gtest.h>

namespace {

constexpr uint8_t T = 9; // the transparent index

TEST(UnchangedStretches, OneColourKeepsItSeveralGoTransparentAcrossRowEnds)
{
    // A rectangle 4 wide; changed pixels are 1 in both ways. Row 0 ends and
    // row 1 starts in one stretch of colour 2 (kept); row 2 ends in a stretch
    // of 3 that runs on into a 4 on row 3 (transparent); the last pixel is a
    // stretch of its own, cut by the changed pixel before it.
    // clang-format off
    const std::vector<uint8_t> shown = {
        1, 1, 2, 2,
        2, 1, 5, 6,
        1, 1, 3, 3,
        4, 1, 1, 7,
    };
    const std::vector<bool> unchanged = {
        0, 0, 1, 1,
        1, 0, 1, 1,
        0, 0, 1, 1,
        1, 0, 0, 1,
    };
    const std::vector<uint8_t> expected = {
        1, 1, 2, 2,
        2, 1, T, T,
        1, 1, T, T,
        T, 1, 1, 7,
    };
    // clang-format on
    std::vector<uint8_t> pixels(shown.size()), alternatives = shown;
    for (size_t i = 0; i < shown.size(); ++i)
        pixels[i] = unchanged[i] ? T : shown[i];
    std::vector<uint8_t> first, second = {42};
    const imaging::UnchangedStretches s = imaging::WriteByStretches(pixels, alternatives, first, second);
    EXPECT_EQ(first, expected);
    for (size_t i = 0; i < shown.size(); ++i) {
        // The other way of each pixel, and the pixel itself where there is none.
        EXPECT_EQ(second[i], unchanged[i] ? (first[i] == T ? shown[i] : T) : shown[i]) << i;
    }
    EXPECT_EQ(s.count, 4u);
    EXPECT_EQ(s.oneColour, 2u);
    EXPECT_EQ(s.pixels, 9u);

    // Counted row by row, every other row: each stretch ends with its row,
    // so row 2's shows one colour there.
    const imaging::UnchangedStretches sampled = imaging::CountStretches(pixels, alternatives, 4, 2);
    EXPECT_EQ(sampled.count, 2u);
    EXPECT_EQ(sampled.oneColour, 2u);
    EXPECT_EQ(sampled.pixels, 4u);

    // Nothing unchanged: both ways are the pixels.
    const imaging::UnchangedStretches none = imaging::WriteByStretches(shown, shown, first, second);
    EXPECT_EQ(first, shown);
    EXPECT_EQ(second, shown);
    EXPECT_EQ(none.count, 0u);
}

} // namespace
