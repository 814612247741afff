// SPDX-License-Identifier: GPL-3.0-or-later
// The size rules every output size and fitted box pass, without a window.
#include "common/FitBox.h"
#include "common/OutputSize.h"
#include "common/Rounding.h"

#include <gtest/gtest.h>

namespace {

TEST(RoundHalfEven, ExactHalvesGoToTheEvenNeighbourOnBothSidesOfZero)
{
    const std::pair<double, std::int64_t> table[] = {{0.5, 0},  {1.5, 2},    {2.5, 2},
                                                     {-0.5, 0}, {-1.5, -2},  {-2.5, -2},
                                                     {2.51, 3}, {-2.49, -2}, {4294967296.5, 4294967296}};
    for (const auto& [value, rounded] : table)
        EXPECT_EQ(RoundHalfEven(value), rounded) << value;
}

TEST(OutputSize, TextIsTrimmedAndNumbersOnlyPass)
{
    const OutputSize::Verdict spaced = OutputSize::Check(QStringLiteral(" 40 "), QStringLiteral("\t2000"));
    ASSERT_TRUE(spaced.ok) << spaced.message.toStdString();
    EXPECT_EQ(spaced.width, 40);
    EXPECT_EQ(spaced.height, 2000);
    // Pasted text that is no whole number counts as empty, even when out of range too.
    for (const char* bad : {"12a", "1e3", "0x20", " ", "99999999999"})
        EXPECT_EQ(OutputSize::Check(QLatin1String(bad), QStringLiteral("4")).message, OutputSize::EmptyMessage())
            << bad;
    EXPECT_EQ(OutputSize::Check(QStringLiteral("-5"), QStringLiteral("50")).message, OutputSize::TooSmallMessage());
}

TEST(FitInto, ShrinksWidthFirstThenHeightNeverEnlarges)
{
    struct Case {
        int w, h, fitW, fitH;
    };
    for (const Case c :
         {Case{320, 240, 320, 240}, Case{600, 400, 600, 400}, Case{1200, 900, 533, 400}, Case{1000, 400, 600, 240},
          Case{1200, 401, 600, 200}, // 200.5 goes to even
          Case{1200, 403, 600, 202}, // 201.5 goes to even
          Case{601, 400, 600, 399}, Case{400, 1000, 160, 400}, Case{1, 5000, 0, 400}, Case{0, 0, 0, 0}}) {
        SCOPED_TRACE(testing::Message() << c.w << " x " << c.h);
        EXPECT_EQ(FitInto(c.w, c.h, 600, 400), QSize(c.fitW, c.fitH));
    }
    EXPECT_EQ(FitInto(1200, 900, 600, 300), QSize(400, 300));
    // h * 600 does not fit 32 bits: that step keeps h, the width still becomes 600.
    EXPECT_EQ(FitInto(4000000, 4000000, 600, 400), QSize(0, 400));
}

} // namespace
