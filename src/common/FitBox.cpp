// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/FitBox.h"

#include "common/Rounding.h"

#include <cstdint>
#include <limits>
#include <optional>

namespace {
// value * factor / divisor with a 32-bit product and a double division.
std::optional<int> Scaled(int value, int factor, int divisor)
{
    const std::int64_t product = std::int64_t(value) * factor;
    if (divisor == 0 || product > std::numeric_limits<std::int32_t>::max()
        || product < std::numeric_limits<std::int32_t>::min())
        return std::nullopt;
    const std::int64_t result = RoundHalfEven(double(product) / divisor);
    if (result > std::numeric_limits<std::int32_t>::max() || result < std::numeric_limits<std::int32_t>::min())
        return std::nullopt;
    return int(result);
}
} // namespace

QSize FitInto(int w, int h, int maxW, int maxH)
{
    if (w > maxW) {
        if (auto scaled = Scaled(h, maxW, w))
            h = *scaled;
        w = maxW;
    }
    if (h > maxH) {
        if (auto scaled = Scaled(w, maxH, h))
            w = *scaled;
        h = maxH;
    }
    return {w, h};
}
