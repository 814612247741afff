// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/animation/FramePlanner.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace imaging {
namespace {

// Places `p` at the top left of a width x height screen.
void FitToScreen(IndexedPicture& p, int width, int height)
{
    if (p.width == width && p.height == height)
        return;
    IndexedPicture fitted;
    fitted.width = width;
    fitted.height = height;
    fitted.palette = p.palette;
    fitted.colorCount = p.colorCount;
    fitted.transparent = p.transparent;
    const bool pads = p.width < width || p.height < height;
    if (pads && fitted.transparent < 0) {
        std::array<bool, 256> used{};
        for (uint8_t i : p.indices)
            used[i] = true;
        int pick = p.colorCount < 256 ? p.colorCount : -1;
        for (int i = 0; i < 256 && pick < 0; ++i)
            if (!used[size_t(i)])
                pick = i;
        if (pick < 0)
            pick = 0; // all 256 colours used: colour 0 becomes transparent (lossy; never for our own frames)
        fitted.transparent = pick;
        fitted.colorCount = std::max(fitted.colorCount, pick + 1);
        fitted.palette[size_t(pick)] = 0;
    }
    fitted.indices.assign(size_t(width) * size_t(height), uint8_t(std::max(fitted.transparent, 0)));
    const int w = std::min(width, p.width);
    for (int y = 0; y < std::min(height, p.height); ++y)
        std::memcpy(&fitted.indices[size_t(y) * size_t(width)], &p.indices[size_t(y) * size_t(p.width)], size_t(w));
    p = std::move(fitted);
}

// Squared distance summed over R, G and B of two opaque 0xFFRRGGBB colours.
int ColorDistance(uint32_t a, uint32_t b)
{
    const int dr = int((a >> 16) & 0xFF) - int((b >> 16) & 0xFF);
    const int dg = int((a >> 8) & 0xFF) - int((b >> 8) & 0xFF);
    const int db = int(a & 0xFF) - int(b & 0xFF);
    return dr * dr + dg * dg + db * db;
}

// Opaque pixels of `cur` that are within `bound` of the opaque colour the
// viewer shows there take that colour: they are then stored as unchanged.
// A picture quantised afresh shows a still background in slightly other
// colours; compared with what is on screen (not with the previous frame's
// own colours) the shown error stays within the bound however long a part
// stays still. Returns whether any pixel moved.
bool KeepNearColors(ScreenFrame& cur, const std::vector<uint32_t>& canvas, int bound, std::vector<uint8_t>& kept)
{
    kept.assign(cur.colors.size(), 0);
    if (bound <= 0)
        return false;
    bool any = false;
    for (size_t i = 0; i < cur.colors.size(); ++i) {
        const uint32_t c = cur.colors[i];
        const uint32_t b = canvas[i];
        if (c != b && c != 0 && b != 0 && ColorDistance(c, b) <= bound) {
            cur.colors[i] = b;
            kept[i] = 1;
            any = true;
        }
    }
    return any;
}

// The first index of each colour of a picture's table, found by colour.
class IndexOfColor {
public:
    explicit IndexOfColor(const IndexedPicture& p)
    {
        slots_.fill(-1);
        for (int i = p.colorCount - 1; i >= 0; --i) {
            if (i == p.transparent)
                continue;
            const uint32_t c = p.palette[size_t(i)] | 0xFF000000u;
            uint32_t s = Hash(c);
            while (slots_[s] >= 0 && colors_[s] != c)
                s = (s + 1) & (kSlots - 1);
            colors_[s] = c;
            slots_[s] = i;
        }
    }
    // The index showing opaque colour `c` (0xFFRRGGBB), -1 for none.
    int Find(uint32_t c) const
    {
        for (uint32_t s = Hash(c); slots_[s] >= 0; s = (s + 1) & (kSlots - 1))
            if (colors_[s] == c)
                return slots_[s];
        return -1;
    }

private:
    static constexpr uint32_t kSlots = 512;
    static uint32_t Hash(uint32_t c) { return (c * 2654435761u) >> 23; }
    std::array<uint32_t, kSlots> colors_{};
    std::array<int, kSlots> slots_{};
};

} // namespace

void FrameRect::Add(int x, int y)
{
    if (Empty()) {
        x0 = x1 = x;
        y0 = y1 = y;
        return;
    }
    x0 = std::min(x0, x);
    x1 = std::max(x1, x);
    y0 = std::min(y0, y);
    y1 = std::max(y1, y);
}

void PlaceOnScreen(IndexedPicture picture, int width, int height, ScreenFrame* frame)
{
    frame->picture = std::move(picture);
    if (width > 0)
        FitToScreen(frame->picture, width, height);
    const IndexedPicture& p = frame->picture;
    std::array<uint32_t, 256> lookup = p.palette;
    for (uint32_t& c : lookup)
        c |= 0xFF000000u;
    if (p.transparent >= 0)
        lookup[size_t(p.transparent)] = 0;
    frame->colors.resize(p.indices.size());
    for (size_t i = 0; i < p.indices.size(); ++i)
        frame->colors[i] = lookup[p.indices[i]];
}

void PlanFrame(ScreenFrame& cur, const ScreenFrame* next, std::vector<uint32_t>& canvas, int delay, int unchangedError,
               std::vector<uint8_t>& kept, FrameJob& job)
{
    const IndexedPicture& p = cur.picture;
    const int w = p.width;
    const int h = p.height;
    bool anyKept = KeepNearColors(cur, canvas, unchangedError, kept);
    // The transparent index: the frame's own, else one no changed pixel uses.
    // A pixel kept at the screen's colour is written transparent (its own
    // index shows another colour) or in that colour where the table has it,
    // so without a transparent index only those are kept.
    auto transparentIndex = [&] {
        if (p.transparent >= 0)
            return p.transparent;
        std::array<bool, 256> used{};
        for (size_t i = 0; i < cur.colors.size(); ++i)
            if (cur.colors[i] != canvas[i])
                used[p.indices[i]] = true;
        for (int i = 0; i < 256; ++i)
            if (!used[size_t(i)])
                return i;
        return -1;
    };
    int t = transparentIndex();
    const IndexOfColor lookup(p);
    if (t < 0 && anyKept) {
        for (size_t i = 0; i < kept.size(); ++i) {
            if (kept[i] && lookup.Find(cur.colors[i]) < 0) {
                cur.colors[i] = p.palette[p.indices[i]] | 0xFF000000u;
                kept[i] = 0;
            }
        }
        t = transparentIndex();
    }
    FrameRect r;
    bool clears = false;
    for (int y = 0; y < h; ++y) {
        const size_t row = size_t(y) * size_t(w);
        const uint32_t* c = &cur.colors[row];
        const uint32_t* b = &canvas[row];
        const uint32_t* n = next ? &next->colors[row] : nullptr;
        int first = -1, last = -1;
        for (int x = 0; x < w; ++x) {
            const bool changed = c[x] != b[x];
            const bool clear = n && c[x] != 0 && n[x] == 0;
            clears |= clear;
            if (changed || clear) {
                if (first < 0)
                    first = x;
                last = x;
            }
        }
        if (first >= 0) {
            r.Add(first, y);
            r.Add(last, y);
        }
    }
    job.disposal = clears ? 2 : 1;
    job.delay = delay;
    job.palette = p.palette;
    if (r.Empty()) {
        // Nothing changes: the frame still exists with its own delay, as one
        // transparent pixel.
        job.blank = true;
        job.r = FrameRect{0, 0, 0, 0};
        job.pixels.assign(1, 0);
    } else {
        job.r = r;
        const int rw = r.x1 - r.x0 + 1;
        const int rh = r.y1 - r.y0 + 1;
        job.t = t;
        // Where the screen's colour is in the frame's table, an unchanged
        // pixel may be written in it instead of transparent: the encoder picks
        // per pixel whichever compresses better.
        const size_t area = size_t(rw) * size_t(rh);
        job.pixels.resize(area);
        job.alternatives.resize(area);
        bool free = false;
        for (int y = r.y0; y <= r.y1; ++y) {
            const size_t row = size_t(y) * size_t(w);
            uint8_t* dst = &job.pixels[size_t(y - r.y0) * size_t(rw)];
            uint8_t* alt = &job.alternatives[size_t(y - r.y0) * size_t(rw)];
            for (int x = r.x0; x <= r.x1; ++x) {
                const uint32_t c = cur.colors[row + x];
                const uint8_t own = p.indices[row + x];
                uint8_t v = own, a = own;
                if (c == 0) {
                    v = a = uint8_t(t);
                } else if (kept[row + x]) {
                    const int s = lookup.Find(c);
                    a = s >= 0 ? uint8_t(s) : uint8_t(t);
                    v = t >= 0 ? uint8_t(t) : a;
                } else if (t >= 0 && c == canvas[row + x]) {
                    v = uint8_t(t);
                }
                free |= a != v;
                dst[x - r.x0] = v;
                alt[x - r.x0] = a;
            }
        }
        job.free = free;
    }

    // The viewer now shows cur (with lossy codes, each pixel within the bound
    // of cur's colour, which is what the next frame is compared with: a pixel
    // that keeps its colour stays within the bound); then the disposal applies.
    canvas.swap(cur.colors);
    if (job.disposal == 2 && !r.Empty()) {
        for (int y = r.y0; y <= r.y1; ++y)
            std::fill_n(&canvas[size_t(y) * size_t(w) + size_t(r.x0)], r.x1 - r.x0 + 1, 0u);
    }
}

} // namespace imaging
