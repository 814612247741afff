// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/PictureFit.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    QSize picture;
    QSize box;
    QRect contain; // where the scaled picture lies in the box
    QRect cover;   // the part of the picture kept
};

TEST(PictureFitTest, ContainPlacesAndCoverCropsCentredWithHalvesToEven)
{
    const Case cases[] = {
        {{40, 20}, {20, 20}, {0, 5, 20, 10}, {10, 0, 20, 20}},
        {{20, 40}, {20, 20}, {5, 0, 10, 20}, {0, 10, 20, 20}},
        // The same proportions: the whole box, the whole picture.
        {{64, 48}, {32, 24}, {0, 0, 32, 24}, {0, 0, 64, 48}},
        // 5 x 2 into 5 x 5: height 2; 2 of 5 padding rows go 1 above and 2 below.
        {{5, 2}, {5, 5}, {0, 1, 5, 2}, {1, 0, 2, 2}},
        // 5 * 1 / 2 = 2.5 rounds to the even 2.
        {{2, 1}, {5, 5}, {0, 1, 5, 2}, {0, 0, 1, 1}},
        // A hair-thin picture keeps at least one pixel.
        {{1000, 1}, {10, 10}, {0, 4, 10, 1}, {499, 0, 1, 1}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ContainPlace(c.picture, c.box), c.contain) << c.picture.width() << 'x' << c.picture.height();
        EXPECT_EQ(CoverCrop(c.picture, c.box), c.cover) << c.picture.width() << 'x' << c.picture.height();
    }
}

} // namespace
