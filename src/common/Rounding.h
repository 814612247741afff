// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>
#include <cstdint>

// Nearest integer, an exact half going to the even neighbour (banker's rounding),
// the rule every size, delay and percentage of the program follows.
inline std::int64_t RoundHalfEven(double value)
{
    return static_cast<std::int64_t>(std::nearbyint(value)); // default FE_TONEAREST
}
