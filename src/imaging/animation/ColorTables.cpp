// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/animation/ColorTables.h"

#include <algorithm>
#include <map>

namespace imaging {

int GlobalColorTable::Find(uint32_t rgb) const
{
    const auto it = std::lower_bound(sorted.begin(), sorted.end(), rgb << 8);
    if (it == sorted.end() || (*it >> 8) != rgb)
        return -1;
    return int(*it & 0xFF);
}

std::vector<uint32_t> TableColors(const IndexedPicture& frame)
{
    const int entries = 1 << PaletteBits(std::max(frame.colorCount, 2));
    std::vector<uint32_t> colors;
    colors.reserve(size_t(entries));
    for (int i = 0; i < entries; ++i)
        if (i != frame.transparent)
            colors.push_back(i < frame.colorCount ? frame.palette[size_t(i)] & 0xFFFFFFu : 0u);
    std::sort(colors.begin(), colors.end());
    colors.erase(std::unique(colors.begin(), colors.end()), colors.end());
    return colors;
}

GlobalColorTable ChooseGlobalTable(const std::vector<std::vector<uint32_t>>& frameColors, bool spare)
{
    GlobalColorTable table;
    std::vector<uint32_t> pick;
    std::vector<uint32_t> all;
    bool known = !frameColors.empty();
    for (const auto& colors : frameColors) {
        known &= !colors.empty();
        all.insert(all.end(), colors.begin(), colors.end());
        std::sort(all.begin(), all.end());
        all.erase(std::unique(all.begin(), all.end()), all.end());
        if (all.size() > 256)
            break;
    }
    if (known && all.size() <= 256) {
        pick = std::move(all);
    } else {
        // Frames sharing a palette show the same colour list.
        std::map<std::vector<uint32_t>, int> uses;
        int most = 1;
        for (const auto& colors : frameColors) {
            if (colors.empty())
                continue;
            const int n = ++uses[colors];
            if (n > most) {
                most = n;
                pick = colors;
            }
        }
    }
    table.count = int(pick.size());
    for (size_t i = 0; i < pick.size(); ++i) {
        table.colors[i] = pick[i];
        table.sorted.push_back(pick[i] << 8 | uint32_t(i));
    }
    std::sort(table.sorted.begin(), table.sorted.end());
    // A padding entry (black, found by no colour) makes the table grow.
    const int n = table.count;
    if (spare && n >= 2 && n < 256 && (n & (n - 1)) == 0)
        table.colors[size_t(table.count++)] = 0;
    return table;
}

} // namespace imaging
