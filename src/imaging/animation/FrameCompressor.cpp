// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/animation/FrameCompressor.h"

#include "common/StopRequest.h"
#include "imaging/GifCodec.h"
#include "imaging/animation/FramePlanner.h"

#include <algorithm>
#include <limits>

namespace imaging {
namespace {

// Rectangles up to this many pixels are cheap to encode once more.
constexpr size_t kSmallArea = 16384;

// Where the code table filled up, keeping it may beat clearing it: measured
// on the chosen form only (the forms rank alike either way, and the second
// encoding costs as much as the first).
void TryKeepingFullTable(CompressorScratch& work, CompressedFrame& best)
{
    if (!best.tableFilled)
        return;
    const int bits = LzwCodeSize(best.colorCount);
    work.lzw.Lossy(nullptr, 0, -1, 0); // the pixels already are what the frame shows
    if (work.lzw.Encode(best.pixels.data(), best.pixels.size(), bits, &work.code, best.code.size() - 1, true))
        best.code.swap(work.code);
}

// Offers one form of the rectangle (`own`: the frame's indices, `t` the one
// meaning transparent or -1) in the global table when its colours are all
// there and a free index can mean transparent, and in a local table holding
// just the colours used when that could be smaller. Encoding stops as soon as
// it cannot beat `best`.
void Offer(const std::vector<uint8_t>& own, int t, const std::array<uint32_t, 256>& palette,
           const GlobalColorTable& global, bool wantsTransparent, CompressorScratch& work, CompressedFrame& best)
{
    std::array<bool, 256> used{};
    for (uint8_t v : own)
        used[v] = true;
    const bool usesT = t >= 0 && used[size_t(t)];
    auto tryEncode = [&](const std::array<uint8_t, 256>& map, int codeCount, qsizetype table,
                         CompressedFrame candidate) {
        work.lzw.Lossy(candidate.local ? candidate.palette.data() : global.colors.data(), candidate.colorCount,
                       candidate.transparent, work.lzwError);
        work.mapped.resize(own.size());
        for (size_t i = 0; i < own.size(); ++i)
            work.mapped[i] = map[own[i]];
        const qsizetype limit = best.cost < 0 ? std::numeric_limits<qsizetype>::max() : best.cost - table - 1;
        if (limit < 0
            || !work.lzw.Encode(work.mapped.data(), work.mapped.size(), LzwCodeSize(codeCount), &work.code, limit))
            return;
        candidate.cost = work.code.size() + table;
        candidate.code.swap(work.code);
        candidate.pixels.swap(work.mapped);
        work.mapped.swap(best.pixels); // the buffer of the choice it beats is reused
        candidate.tableFilled = work.lzw.TableFilled();
        best = std::move(candidate);
    };

    // Local: the used colours in index order, the transparent one among them.
    std::array<uint8_t, 256> localMap{};
    CompressedFrame local;
    int count = 0;
    for (int i = 0; i < 256; ++i) {
        if (!used[size_t(i)])
            continue;
        localMap[size_t(i)] = uint8_t(count);
        local.palette[size_t(count)] = i == t ? 0u : (palette[size_t(i)] & 0xFFFFFFu);
        if (i == t)
            local.transparent = count;
        ++count;
    }
    if (wantsTransparent && local.transparent < 0 && count < 256) {
        local.transparent = count;
        local.palette[size_t(count++)] = 0;
    }
    local.colorCount = std::max(count, 2);
    const int localBits = LzwCodeSize(local.colorCount);

    // Global: a frame that needs transparency takes an index it does not use,
    // a padding entry of the table first.
    bool fits = global.count > 0;
    std::array<uint8_t, 256> globalMap{};
    std::array<bool, 256> taken{};
    for (int i = 0; i < 256 && fits; ++i) {
        if (!used[size_t(i)] || i == t)
            continue;
        const int g = global.Find(palette[size_t(i)] & 0xFFFFFFu);
        fits = g >= 0;
        globalMap[size_t(i)] = uint8_t(std::max(g, 0));
        taken[size_t(std::max(g, 0))] = true;
    }
    int globalT = -1;
    if (fits && (usesT || wantsTransparent)) {
        for (int g = (1 << PaletteBits(std::max(global.count, 2))) - 1; g >= 0 && globalT < 0; --g)
            if (!taken[size_t(g)])
                globalT = g;
        fits = globalT >= 0 || !usesT;
        if (usesT)
            globalMap[size_t(t)] = uint8_t(globalT);
    }
    const int globalBits = LzwCodeSize(global.count);
    if (fits) {
        CompressedFrame g;
        g.local = false;
        g.colorCount = global.count;
        g.transparent = globalT;
        tryEncode(globalMap, global.count, 0, std::move(g));
    }
    // The same stream in a table of the same width is no shorter: a local
    // table only pays when it narrows the codes.
    if (!fits || localBits < globalBits)
        tryEncode(localMap, local.colorCount, qsizetype(3) << PaletteBits(local.colorCount), std::move(local));
}

} // namespace

void CompressFrame(FrameJob& job, const GlobalColorTable& global, CompressorScratch& work,
                   const std::atomic<bool>* stop)
{
    CompressedFrame& best = job.best;
    // A large frame takes several encodings of a second or so: a stop is
    // honoured within them.
    work.lzw.StopOn(stop);
    const auto stopped = [stop] { return (stop && stop->load(std::memory_order_relaxed)) || StopRequest::Requested(); };
    if (job.blank) {
        job.palette.fill(0);
        Offer(job.pixels, 0, job.palette, global, true, work, best);
    } else {
        // Some decoders (Qt's among them) clear a disposed frame to
        // transparent only when it has a transparent colour of its own.
        const bool wantsTransparent = job.disposal == 2;
        Offer(job.pixels, job.t, job.palette, global, wantsTransparent, work, best);
        if (job.runsDiffer && !stopped())
            Offer(job.runs, job.t, job.palette, global, wantsTransparent, work, best);
        // The form without transparency costs a whole encoding: tried on small
        // rectangles, and where the transparent entry made the table grow.
        const bool grew = best.local && best.transparent >= 0
            && PaletteBits(best.colorCount) > PaletteBits(std::max(best.colorCount - 1, 2));
        if (job.opaqueDiffers && (job.pixels.size() <= kSmallArea || grew) && !stopped())
            Offer(job.opaque, job.opaqueT, job.palette, global, wantsTransparent, work, best);
    }
    if (best.cost >= 0 && !stopped())
        TryKeepingFullTable(work, best);
    if (stopped())
        best = CompressedFrame();
    // Only the code stream is needed from here on.
    job.pixels = {};
    job.runs = {};
    job.opaque = {};
    best.pixels = {};
}

} // namespace imaging
