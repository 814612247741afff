// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/animation/UnchangedStretches.h"

#include <algorithm>
#include <cstddef>

namespace imaging {

UnchangedStretches WriteByStretches(const std::vector<uint8_t>& pixels, const std::vector<uint8_t>& alternatives,
                                    std::vector<uint8_t>& first, std::vector<uint8_t>& second)
{
    const size_t count = std::min(pixels.size(), alternatives.size());
    first.assign(pixels.begin(), pixels.begin() + std::ptrdiff_t(count));
    second = first;
    UnchangedStretches found;
    for (size_t i = 0; i < count;) {
        if (pixels[i] == alternatives[i]) {
            ++i;
            continue;
        }
        size_t end = i + 1;
        bool single = true;
        for (; end < count && pixels[end] != alternatives[end]; ++end)
            single &= alternatives[end] == alternatives[i];
        const std::vector<uint8_t>& chosen = single ? alternatives : pixels;
        const std::vector<uint8_t>& other = single ? pixels : alternatives;
        const auto from = std::ptrdiff_t(i), to = std::ptrdiff_t(end);
        std::copy(chosen.begin() + from, chosen.begin() + to, first.begin() + from);
        std::copy(other.begin() + from, other.begin() + to, second.begin() + from);
        ++found.count;
        found.oneColour += single;
        found.pixels += end - i;
        i = end;
    }
    return found;
}

UnchangedStretches CountStretches(const std::vector<uint8_t>& pixels, const std::vector<uint8_t>& alternatives,
                                  size_t width, size_t step)
{
    UnchangedStretches found;
    const size_t count = std::min(pixels.size(), alternatives.size());
    if (width == 0 || step == 0)
        return found;
    for (size_t row = 0; row + width <= count; row += width * step) {
        const uint8_t* p = &pixels[row];
        const uint8_t* a = &alternatives[row];
        for (size_t x = 0; x < width;) {
            if (p[x] == a[x]) {
                ++x;
                continue;
            }
            const size_t from = x;
            bool single = true;
            for (++x; x < width && p[x] != a[x]; ++x)
                single &= a[x] == a[from];
            ++found.count;
            found.oneColour += single;
            found.pixels += x - from;
        }
    }
    return found;
}

} // namespace imaging
