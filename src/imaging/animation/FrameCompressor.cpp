// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/animation/FrameCompressor.h"

#include "common/StopRequest.h"
#include "imaging/GifCodec.h"
#include "imaging/animation/FramePlanner.h"
#include "imaging/animation/UnchangedStretches.h"

#include <algorithm>
#include <limits>

namespace imaging {
namespace {

// Rectangles up to this many pixels are cheap to encode once more.
constexpr size_t kSmallArea = 16384;

// The rows of a rectangle whose stretches of unchanged pixels decide which
// way of writing them goes first.
constexpr size_t kStretchRowStep = 4;

// How far back from its longest match a string may be cut when parsing ahead.
constexpr int kLookahead = 2;

// Where the code table filled up, keeping it may beat clearing it: measured
// on the chosen form only (the forms rank alike either way, and the second
// encoding costs as much as the first).
void TryKeepingFullTable(CompressorScratch& work, CompressedFrame& best)
{
    if (!best.tableFilled)
        return;
    const int bits = LzwCodeSize(best.colorCount);
    work.lzw.Lossy(nullptr, 0, -1, 0); // the pixels already are what the frame shows
    if (work.lzw.Encode(best.pixels.data(), best.pixels.size(), bits, &work.code, best.code.size() - 1, true,
                        best.alternatives.empty() ? nullptr : best.alternatives.data())) {
        best.code.swap(work.code);
        best.keptFullTable = true;
    }
}

bool ParsesAhead(const CompressorScratch& work, size_t area)
{
    return work.lzwAheadArea > 0 && area <= size_t(work.lzwAheadArea);
}

// Whether unchanged pixels written by their stretches are likely to compress
// better than transparent first, and go first (the second way then stops
// as soon as it cannot win): where most stretches show one colour (a
// terminal, a pan over wood, pixel art) or the stretches are long (sprites
// over a sky, a test pattern). Frames of many short stretches of mixed
// colours (a game of life, a fractal zoom) wrote 1 to 5 % more that way.
bool StretchesFirst(const UnchangedStretches& s) { return s.oneColour * 4 >= s.count * 3 || s.pixels >= s.count * 40; }

// Parsed ahead, the chosen form's codes may be shorter for the same pixels:
// measured on that form alone, its full table cleared or kept as chosen.
// Not after lossy codes chose the form: their pixels were picked to continue
// the longest matches (on a pan over a photograph at -Q 99 no frame parsed
// ahead was shorter).
void ParseAhead(CompressorScratch& work, CompressedFrame& best)
{
    if (!ParsesAhead(work, best.pixels.size()) || best.lossy)
        return;
    work.lzw.Lossy(nullptr, 0, -1, 0);
    work.lzw.Lookahead(kLookahead);
    if (work.lzw.Encode(best.pixels.data(), best.pixels.size(), LzwCodeSize(best.colorCount), &work.code,
                        best.code.size() - 1, best.keptFullTable,
                        best.alternatives.empty() ? nullptr : best.alternatives.data()))
        best.code.swap(work.code);
    work.lzw.Lookahead(0);
}

// Where a frame is parsed ahead, its form is chosen in exact codes and lossy
// codes, parsed ahead too, are then tried on that form alone, kept when
// shorter. Forms chosen in lossy codes and parsed greedily lost to exact
// codes parsed ahead: a terminal recording at -Q 99 (whose colours have no
// near twins) wrote 1272139 bytes against 1249583 at -Q 100, sprites over a
// sky 267212 against 265750. Now 1245313 and 264339; a pan over a photograph
// 7137874 (7201988 before, 0.00001 less SSIM).
void TryLossy(CompressorScratch& work, CompressedFrame& best, const GlobalColorTable& global)
{
    work.mapped = best.pixels;
    work.mappedAlternatives = best.alternatives;
    work.lzw.Lossy(best.local ? best.palette.data() : global.colors.data(), best.colorCount, best.transparent,
                   work.lzwError);
    work.lzw.Lookahead(kLookahead);
    const bool shorter = work.lzw.Encode(work.mapped.data(), work.mapped.size(), LzwCodeSize(best.colorCount),
                                         &work.code, best.code.size() - 1, best.keptFullTable,
                                         work.mappedAlternatives.empty() ? nullptr : work.mappedAlternatives.data());
    work.lzw.Lookahead(0);
    if (shorter)
        best.code.swap(work.code);
}

// Offers the rectangle (`own`: the frame's indices, `t` the one meaning
// transparent or -1; `alternatives`, when not null, what each pixel may also
// be written as) in the global table when its colours are all there and a
// free index can mean transparent, and in a local table holding just the
// colours used when that could be smaller. An alternative is taken into a
// table only where it costs nothing: its colour is there already, or the
// local table keeps its size. Encoding stops as soon as it cannot beat `best`.
void Offer(const std::vector<uint8_t>& own, const std::vector<uint8_t>* alternatives, int t,
           const std::array<uint32_t, 256>& palette, const GlobalColorTable& global, bool wantsTransparent,
           int lossyBound, CompressorScratch& work, CompressedFrame& best)
{
    std::array<bool, 256> used{};
    for (uint8_t v : own)
        used[v] = true;
    std::array<bool, 256> extra{}; // used only as an alternative
    int extraCount = 0;
    if (alternatives) {
        for (uint8_t v : *alternatives)
            if (!used[v] && !extra[v]) {
                extra[v] = true;
                ++extraCount;
            }
    }
    const bool usesT = t >= 0 && used[size_t(t)];
    auto tryEncode = [&](const std::array<uint8_t, 256>& map, const std::array<bool, 256>& usable, int codeCount,
                         qsizetype table, CompressedFrame candidate) {
        work.lzw.Lossy(candidate.local ? candidate.palette.data() : global.colors.data(), candidate.colorCount,
                       candidate.transparent, lossyBound);
        work.mapped.resize(own.size());
        for (size_t i = 0; i < own.size(); ++i)
            work.mapped[i] = map[own[i]];
        uint8_t* alt = nullptr;
        if (alternatives) {
            work.mappedAlternatives.resize(own.size());
            // An alternative not in the table is the pixel itself.
            std::array<int, 256> altMap;
            for (int a = 0; a < 256; ++a)
                altMap[size_t(a)] = usable[size_t(a)] ? map[size_t(a)] : -1;
            const uint8_t* from = alternatives->data();
            for (size_t i = 0; i < own.size(); ++i) {
                const int m = altMap[from[i]];
                work.mappedAlternatives[i] = m < 0 ? work.mapped[i] : uint8_t(m);
            }
            alt = work.mappedAlternatives.data();
        }
        const qsizetype limit = best.cost < 0 ? std::numeric_limits<qsizetype>::max() : best.cost - table - 1;
        if (limit < 0
            || !work.lzw.Encode(work.mapped.data(), work.mapped.size(), LzwCodeSize(codeCount), &work.code, limit,
                                false, alt))
            return;
        candidate.cost = work.code.size() + table;
        candidate.code.swap(work.code);
        candidate.pixels.swap(work.mapped);
        work.mapped.swap(best.pixels); // the buffers of the choice it beats are reused
        if (alt)
            candidate.alternatives.swap(work.mappedAlternatives);
        work.mappedAlternatives.swap(best.alternatives);
        candidate.tableFilled = work.lzw.TableFilled();
        candidate.lossy = lossyBound > 0;
        best = std::move(candidate);
    };

    // Local: the used colours in index order, the transparent one among them.
    auto localTable = [&](bool withExtra, std::array<uint8_t, 256>& localMap, std::array<bool, 256>& usable) {
        CompressedFrame local;
        int count = 0;
        for (int i = 0; i < 256; ++i) {
            if (!used[size_t(i)] && !(withExtra && extra[size_t(i)]))
                continue;
            localMap[size_t(i)] = uint8_t(count);
            usable[size_t(i)] = true;
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
        return local;
    };
    std::array<uint8_t, 256> localMap{};
    std::array<bool, 256> localUsable{};
    CompressedFrame local = localTable(false, localMap, localUsable);
    if (extraCount > 0) {
        std::array<uint8_t, 256> wideMap{};
        std::array<bool, 256> wideUsable{};
        CompressedFrame wide = localTable(true, wideMap, wideUsable);
        if (PaletteBits(wide.colorCount) == PaletteBits(local.colorCount)) {
            local = std::move(wide);
            localMap = wideMap;
            localUsable = wideUsable;
        }
    }
    const int localBits = LzwCodeSize(local.colorCount);

    // Global: a frame that needs transparency takes an index it does not use,
    // a padding entry of the table first.
    bool fits = global.count > 0;
    std::array<uint8_t, 256> globalMap{};
    std::array<bool, 256> globalUsable{};
    std::array<bool, 256> taken{};
    for (int i = 0; i < 256 && fits; ++i) {
        if ((!used[size_t(i)] && !extra[size_t(i)]) || i == t)
            continue;
        const int g = global.Find(palette[size_t(i)] & 0xFFFFFFu);
        if (g < 0 && !used[size_t(i)])
            continue; // an alternative not there
        fits = g >= 0;
        globalMap[size_t(i)] = uint8_t(std::max(g, 0));
        globalUsable[size_t(i)] = g >= 0;
        taken[size_t(std::max(g, 0))] = true;
    }
    int globalT = -1;
    if (fits && (usesT || wantsTransparent)) {
        for (int g = (1 << PaletteBits(std::max(global.count, 2))) - 1; g >= 0 && globalT < 0; --g)
            if (!taken[size_t(g)])
                globalT = g;
        fits = globalT >= 0 || !usesT;
        if (usesT) {
            globalMap[size_t(t)] = uint8_t(globalT);
            globalUsable[size_t(t)] = true;
        }
    }
    const int globalBits = LzwCodeSize(global.count);
    if (fits) {
        CompressedFrame g;
        g.local = false;
        g.colorCount = global.count;
        g.transparent = globalT;
        tryEncode(globalMap, globalUsable, global.count, 0, std::move(g));
    }
    // The same stream in a table of the same width is no shorter: a local
    // table only pays when it narrows the codes.
    if (!fits || localBits < globalBits)
        tryEncode(localMap, localUsable, local.colorCount, qsizetype(3) << PaletteBits(local.colorCount),
                  std::move(local));
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
    // Lossy codes either choose the form or are tried after exact ones chose
    // it; with a bound of 0 that parses the exact codes ahead once more.
    const bool lossyAfter = (work.lzwError > 0 || work.lzwAheadAgain) && ParsesAhead(work, job.pixels.size());
    const int lossyBound = lossyAfter ? 0 : work.lzwError;
    if (job.blank) {
        job.palette.fill(0);
        Offer(job.pixels, nullptr, 0, job.palette, global, true, lossyBound, work, best);
    } else {
        // Some decoders (Qt's among them) clear a disposed frame to
        // transparent only when it has a transparent colour of its own.
        const bool wantsTransparent = job.disposal == 2;
        const std::vector<uint8_t>* alternatives = job.free ? &job.alternatives : nullptr;
        // Unchanged pixels transparent first, each switched to the screen's
        // colour where that continues a string; and where frames are parsed
        // ahead, whose time allows it, by their stretches too, the smaller
        // kept. Offered alone, the stretches' way lost to transparent first
        // on a gradient by 1 to 3 % from -Q 85 to 30, as on a game of life.
        bool byStretches = false, both = false;
        // Not where lossy codes follow: they would show other pixels.
        if (job.free && work.lzwError == 0) {
            const size_t width = size_t(job.r.x1 - job.r.x0 + 1);
            both = ParsesAhead(work, job.pixels.size());
            byStretches = both && StretchesFirst(CountStretches(job.pixels, job.alternatives, width, kStretchRowStep));
            if (both)
                WriteByStretches(job.pixels, job.alternatives, work.stretches, work.stretchesOther);
        }
        auto offerTransparent = [&] {
            Offer(job.pixels, alternatives, job.t, job.palette, global, wantsTransparent, lossyBound, work, best);
        };
        auto offerStretches = [&] {
            Offer(work.stretches, &work.stretchesOther, job.t, job.palette, global, wantsTransparent, lossyBound, work,
                  best);
        };
        // The likelier one first: the other stops as soon as it cannot win.
        if (byStretches)
            offerStretches();
        else
            offerTransparent();
        if (both && !stopped()) {
            if (byStretches)
                offerTransparent();
            else
                offerStretches();
        }
        // Started from the screen's colours, unchanged pixels may need no
        // transparent entry at all; that costs a whole encoding: tried on
        // small rectangles, and where the transparent entry made the table grow.
        const bool grew = best.local && best.transparent >= 0
            && PaletteBits(best.colorCount) > PaletteBits(std::max(best.colorCount - 1, 2));
        if (job.free && (job.pixels.size() <= kSmallArea || grew) && !stopped())
            Offer(job.alternatives, &job.pixels, job.t, job.palette, global, wantsTransparent, lossyBound, work, best);
    }
    if (best.cost >= 0 && !stopped())
        TryKeepingFullTable(work, best);
    if (best.cost >= 0 && !stopped())
        ParseAhead(work, best);
    if (lossyAfter && best.cost >= 0 && !stopped())
        TryLossy(work, best, global);
    if (stopped())
        best = CompressedFrame();
    // Only the code stream is needed from here on.
    job.pixels = {};
    job.alternatives = {};
    work.stretches.clear();
    work.stretchesOther.clear();
    best.pixels = {};
    best.alternatives = {};
}

} // namespace imaging
