// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/Quantizer.h"

#include "imaging/ImagingRuntime.h"

#include "imaging/LiqHandles.h"
#include "imaging/PixelWords.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <unordered_map>

#include <QCoreApplication>

namespace imaging {
namespace {

QString LiqMessage(liq_error e)
{
    switch (e) {
    case LIQ_QUALITY_TOO_LOW:
        return QCoreApplication::translate("Quantizer", "quality too low");
    case LIQ_VALUE_OUT_OF_RANGE:
        return QCoreApplication::translate("Quantizer", "value out of range");
    case LIQ_OUT_OF_MEMORY:
        return QCoreApplication::translate("Quantizer", "out of memory");
    case LIQ_ABORTED:
        return QCoreApplication::translate("Quantizer", "aborted");
    case LIQ_BITMAP_NOT_AVAILABLE:
        return QCoreApplication::translate("Quantizer", "bitmap not available");
    case LIQ_BUFFER_TOO_SMALL:
        return QCoreApplication::translate("Quantizer", "buffer too small");
    case LIQ_INVALID_POINTER:
        return QCoreApplication::translate("Quantizer", "invalid pointer");
    case LIQ_UNSUPPORTED:
        return QCoreApplication::translate("Quantizer", "unsupported");
    default:
        return QCoreApplication::translate("Quantizer", "error %1").arg(int(e));
    }
}

// A picture with at most 256 colours (transparency counting as one) needs no
// palette search: it can be stored exactly. Quality targets below 100 would
// otherwise let libimagequant merge colours of a picture that fits as it is.
// `rgba` is thresholded: a pixel is either 0 (transparent) or fully opaque.
bool ExactPalette(const QImage& rgba, bool anyTransparent, IndexedPicture* out)
{
    const int w = rgba.width();
    const int h = rgba.height();
    const int first = anyTransparent ? 1 : 0; // index 0 is the transparent one
    std::unordered_map<uint32_t, uint8_t> index;
    index.reserve(512);
    IndexedPicture p;
    p.width = w;
    p.height = h;
    p.indices.resize(size_t(w) * size_t(h));
    int count = first;
    for (int y = 0; y < h; ++y) {
        const auto* src = reinterpret_cast<const uint32_t*>(rgba.constScanLine(y));
        uint8_t* dst = &p.indices[size_t(y) * size_t(w)];
        for (int x = 0; x < w; ++x) {
            const uint32_t c = src[x];
            if (anyTransparent && c == 0) {
                dst[x] = 0;
                continue;
            }
            const uint32_t key = c | 0xFF000000u;
            auto it = index.find(key);
            if (it == index.end()) {
                if (count == 256)
                    return false;
                const uchar* b = reinterpret_cast<const uchar*>(&key);
                p.palette[size_t(count)] = 0xFF000000u | uint32_t(b[0]) << 16 | uint32_t(b[1]) << 8 | b[2];
                it = index.emplace(key, uint8_t(count++)).first;
            }
            dst[x] = it->second;
        }
    }
    p.colorCount = count;
    if (anyTransparent) {
        p.transparent = 0;
        p.palette[0] = 0;
    }
    *out = std::move(p);
    return true;
}

// The exact palette picture `p` with its near shades merged (MergeNearColors):
// the kept colours in their first order, the transparent index unchanged.
void MergeShades(IndexedPicture* p, const QuantizeSettings& settings)
{
    if (settings.mergeDistance <= 0 || p->colorCount <= 2)
        return;
    std::vector<uint32_t> counts(size_t(p->colorCount), 0);
    for (uint8_t i : p->indices)
        ++counts[i];
    std::vector<uint32_t> colors(p->palette.begin(), p->palette.begin() + p->colorCount);
    if (p->transparent >= 0)
        counts[size_t(p->transparent)] = 0; // never merged into, and it merges into nothing (below)
    const std::vector<int> into = NearShadesMerged(settings, colors, counts);
    if (into.empty())
        return;
    std::array<uint8_t, 256> remap{};
    std::array<int, 256> slot;
    slot.fill(-1);
    int count = 0;
    for (int i = 0; i < p->colorCount; ++i) {
        if (i != p->transparent && into[size_t(i)] != i)
            continue;
        slot[size_t(i)] = count;
        p->palette[size_t(count)] = p->palette[size_t(i)];
        ++count;
    }
    if (count == p->colorCount)
        return;
    for (int i = 0; i < p->colorCount; ++i)
        remap[size_t(i)] = uint8_t(i == p->transparent ? slot[size_t(i)] : slot[size_t(into[size_t(i)])]);
    for (uint8_t& i : p->indices)
        i = remap[i];
    if (p->transparent >= 0)
        p->transparent = slot[size_t(p->transparent)];
    for (int i = count; i < p->colorCount; ++i)
        p->palette[size_t(i)] = 0;
    p->colorCount = count;
}

} // namespace

std::vector<int> NearShadesMerged(const QuantizeSettings& settings, const std::vector<uint32_t>& colors,
                                  const std::vector<uint32_t>& counts)
{
    if (settings.mergeDistance <= 0)
        return {};
    std::vector<int> into = MergeNearColors(colors, counts, settings.mergeDistance, settings.mergeBudget);
    if (colors.size() <= size_t(QuantizeSettings::kDefaultExactColors))
        return into;
    size_t kept = 0;
    uint64_t moved = 0, all = 0;
    for (size_t i = 0; i < colors.size(); ++i) {
        kept += into[i] == int(i) && counts[i] > 0;
        moved += into[i] == int(i) ? 0 : counts[i];
        all += counts[i];
    }
    if (kept > size_t(QuantizeSettings::kDefaultExactColors) || moved * kRareShadeShare > all)
        return {};
    return into;
}

std::vector<int> MergeNearColors(const std::vector<uint32_t>& colors, const std::vector<uint32_t>& counts, int distance,
                                 double budget)
{
    const size_t n = colors.size();
    std::vector<int> into(n);
    for (size_t i = 0; i < n; ++i)
        into[i] = int(i);
    // The colours seen, most frequent first; equal counts by colour, so the
    // result does not depend on the order the colours were met in. A colour
    // never seen (the transparent entry) stays and takes none.
    std::vector<size_t> order;
    for (size_t i = 0; i < n; ++i)
        if (counts[i] > 0)
            order.push_back(i);
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return counts[a] != counts[b] ? counts[a] > counts[b] : (colors[a] & 0xFFFFFFu) < (colors[b] & 0xFFFFFFu);
    });
    const size_t m = order.size();
    if (distance <= 0 || m < 2)
        return into;
    std::vector<int> d(m * m);
    for (size_t a = 0; a < m; ++a)
        for (size_t b = 0; b < m; ++b)
            d[a * m + b] = EntryDistance(colors[order[a]], colors[order[b]]);
    // Groups of colours, each shown in one of its own: the one with the least
    // squared error over the group, every member within `distance` of it.
    // Per group and colour c: the group's error shown in c, and its farthest
    // member from c.
    std::vector<std::vector<size_t>> members(m);
    std::vector<double> cost(m * m);
    std::vector<int> farthest(m * m);
    std::vector<size_t> shown(m);
    std::vector<bool> alive(m, true);
    std::vector<double> weight(m);
    for (size_t g = 0; g < m; ++g) {
        members[g] = {g};
        shown[g] = g;
        weight[g] = counts[order[g]];
        for (size_t c = 0; c < m; ++c) {
            cost[g * m + c] = double(counts[order[g]]) * d[g * m + c];
            farthest[g * m + c] = d[g * m + c];
        }
    }
    // A colour holding at least half of its group's pixels is the group's
    // colour (a flat area keeps its exact colour); the colours are in order
    // of frequency, so a group's most frequent one comes first.
    auto ruling = [&](size_t first, double pixels) { return 2.0 * counts[order[first]] >= pixels; };
    // The colour a group made of g and h would be shown in, and its error.
    auto joined = [&](size_t g, size_t h, size_t* best) {
        const size_t first = std::min(members[g].front(), members[h].front());
        const bool rules = ruling(first, weight[g] + weight[h]);
        double least = -1;
        for (const auto* part : {&members[g], &members[h]})
            for (size_t c : *part) {
                if (std::max(farthest[g * m + c], farthest[h * m + c]) > distance || (rules && c != first))
                    continue;
                const double e = cost[g * m + c] + cost[h * m + c];
                if (least < 0 || e < least || (e == least && c < *best)) {
                    least = e;
                    *best = c;
                }
            }
        return least;
    };
    // Of the groups whose joining keeps the joined group's error per pixel
    // within the budget, the two whose joining adds the least error are
    // joined, until no two can be: a ramp of close shades merges in pairs,
    // then in threes, as the budget grows, and colours far apart never meet.
    // Each pair's joining (g before h) is kept from round to round: only the
    // pairs of the group just grown change (a terminal recording's 254 greys
    // took 0.06 s a picture when every pair was weighed again each round).
    std::vector<char> mayJoin(m * m, 0);
    std::vector<double> pairAdded(m * m, 0);
    std::vector<size_t> pairShown(m * m, 0);
    auto weigh = [&](size_t g, size_t h) {
        const size_t at = g * m + h;
        mayJoin[at] = 0;
        if (d[shown[g] * m + shown[h]] > 4 * distance)
            return;
        size_t c = 0;
        const double e = joined(g, h, &c);
        if (e < 0 || e > budget * (weight[g] + weight[h]))
            return;
        mayJoin[at] = 1;
        pairAdded[at] = e - cost[g * m + shown[g]] - cost[h * m + shown[h]];
        pairShown[at] = c;
    };
    for (size_t g = 0; g < m; ++g)
        for (size_t h = g + 1; h < m; ++h)
            weigh(g, h);
    for (;;) {
        double least = -1;
        size_t bestG = 0, bestH = 0, bestShown = 0;
        for (size_t g = 0; g < m; ++g) {
            if (!alive[g])
                continue;
            for (size_t h = g + 1; h < m; ++h) {
                const size_t at = g * m + h;
                if (!alive[h] || !mayJoin[at])
                    continue;
                const double added = pairAdded[at];
                if (least < 0 || added < least) {
                    least = added;
                    bestG = g;
                    bestH = h;
                    bestShown = pairShown[at];
                }
            }
        }
        if (least < 0)
            break;
        weight[bestG] += weight[bestH];
        members[bestG].insert(members[bestG].end(), members[bestH].begin(), members[bestH].end());
        std::sort(members[bestG].begin(), members[bestG].end());
        members[bestH].clear();
        alive[bestH] = false;
        shown[bestG] = bestShown;
        for (size_t c = 0; c < m; ++c) {
            cost[bestG * m + c] += cost[bestH * m + c];
            farthest[bestG * m + c] = std::max(farthest[bestG * m + c], farthest[bestH * m + c]);
        }
        for (size_t x = 0; x < m; ++x)
            if (alive[x] && x != bestG)
                weigh(std::min(x, bestG), std::max(x, bestG));
    }
    // Then each colour is shown in its nearest kept colour and each group
    // again in its best colour, until nothing moves: the groups' colours sit
    // in their middles (a fading trail in its middle shade, not its first).
    std::vector<size_t> kept;
    for (size_t g = 0; g < m; ++g)
        if (alive[g])
            kept.push_back(shown[g]);
    std::vector<size_t> nearest(m);
    for (int round = 0; round < 8; ++round) {
        for (size_t c = 0; c < m; ++c) {
            nearest[c] = kept[0];
            for (size_t k : kept)
                if (d[c * m + k] < d[c * m + nearest[c]] || (d[c * m + k] == d[c * m + nearest[c]] && k < nearest[c]))
                    nearest[c] = k;
        }
        bool moved = false;
        for (size_t& k : kept) {
            size_t best = k;
            double least = -1;
            size_t first = m;
            double pixels = 0;
            for (size_t c = 0; c < m; ++c)
                if (nearest[c] == k) {
                    first = std::min(first, c);
                    pixels += counts[order[c]];
                }
            const bool rules = ruling(first, pixels);
            for (size_t c = 0; c < m; ++c) {
                if (nearest[c] != k || (rules && c != first))
                    continue;
                double e = 0;
                int far = 0;
                for (size_t x = 0; x < m; ++x)
                    if (nearest[x] == k) {
                        e += double(counts[order[x]]) * d[x * m + c];
                        far = std::max(far, d[x * m + c]);
                    }
                if (far <= distance && (least < 0 || e < least || (e == least && c < best))) {
                    least = e;
                    best = c;
                }
            }
            moved |= best != k;
            k = best;
        }
        if (!moved)
            break;
    }
    for (size_t c = 0; c < m; ++c) {
        size_t best = kept[0];
        for (size_t k : kept)
            if (d[c * m + k] < d[c * m + best] || (d[c * m + k] == d[c * m + best] && k < best))
                best = k;
        into[order[c]] = int(order[best]);
    }
    return into;
}

bool QuantizePicture(const QImage& source, const QuantizeSettings& settings, IndexedPicture* result, QString* error)
{
    if (source.isNull()) {
        *error = QCoreApplication::translate("Quantizer", "there is no picture");
        return false;
    }
    const int w = source.width();
    const int h = source.height();
    // RGBA byte order is what libimagequant reads; RGBX has 255 in the alpha byte.
    QImage rgba = source;
    if (rgba.format() != QImage::Format_RGBA8888 && rgba.format() != QImage::Format_RGBX8888)
        rgba = rgba.convertToFormat(rgba.hasAlphaChannel() ? QImage::Format_RGBA8888 : QImage::Format_RGBX8888);
    bool anyTransparent = false;
    if (rgba.format() == QImage::Format_RGBA8888) {
        // GIF has one transparent colour and no partial opacity: threshold at half.
        rgba.detach();
        for (int y = 0; y < h; ++y) {
            auto* p = reinterpret_cast<uint32_t*>(rgba.scanLine(y));
            for (int x = 0; x < w; ++x) {
                uchar* b = reinterpret_cast<uchar*>(p + x);
                if (b[3] < 128) {
                    p[x] = 0;
                    anyTransparent = true;
                } else {
                    b[3] = 255;
                }
            }
        }
    }
    if (rgba.isNull()) {
        *error = QCoreApplication::translate("Quantizer", "not enough memory to convert the picture");
        return false;
    }

    // Up to 256 colours fit as they are; whether they are stored so is decided
    // below when there are more than settings.exactColors of them.
    IndexedPicture exact;
    const bool fits = MayKeepOwnColors(settings) && ExactPalette(rgba, anyTransparent, &exact);
    if (fits)
        MergeShades(&exact, settings);
    const bool fewEnough =
        fits && exact.colorCount <= std::clamp(settings.maxColors, 2, 256) + (anyTransparent ? 1 : 0);
    if (fewEnough && exact.colorCount <= settings.exactColors) {
        *result = std::move(exact);
        return true;
    }

    UseOneLibraryThread();
    LiqHandle<liq_attr> attr(liq_attr_create());
    if (!attr) {
        *error = QCoreApplication::translate("Quantizer", "libimagequant could not start");
        return false;
    }
    liq_set_speed(attr.get(), std::clamp(settings.speed, 1, 10));
    liq_set_quality(attr.get(), std::clamp(settings.minQuality, 0, 100), std::clamp(settings.maxQuality, 0, 100));
    int maxColors = std::clamp(settings.maxColors, 2, 256);
    liq_set_max_colors(attr.get(), maxColors);
    LiqHandle<liq_image> image(liq_image_create_rgba(attr.get(), rgba.constBits(), w, h, 0));
    if (!image) {
        *error = QCoreApplication::translate("Quantizer", "libimagequant refused the %1 x %2 picture").arg(w).arg(h);
        return false;
    }
    if (anyTransparent)
        liq_image_add_fixed_color(image.get(), liq_color{0, 0, 0, 0});
    liq_result* raw = nullptr;
    if (settings.colorsOfQuality > settings.maxQuality) {
        liq_set_quality(attr.get(), 0, std::clamp(settings.colorsOfQuality, 0, 100));
        if (liq_image_quantize(image.get(), attr.get(), &raw) == LIQ_OK && raw) {
            LiqHandle<liq_result> reference(raw);
            const int count = int(liq_get_palette(reference.get())->count);
            if (count < maxColors) {
                maxColors = std::max(count, 2);
                liq_set_max_colors(attr.get(), maxColors);
            }
        }
        raw = nullptr;
        liq_set_quality(attr.get(), std::clamp(settings.minQuality, 0, 100), std::clamp(settings.maxQuality, 0, 100));
    }
    liq_error e = liq_image_quantize(image.get(), attr.get(), &raw);
    LiqHandle<liq_result> quantized(raw);
    if (e != LIQ_OK || !quantized) {
        *error = QCoreApplication::translate("Quantizer", "making the palette failed: %1").arg(LiqMessage(e));
        return false;
    }
    if (fewEnough && OwnColorsWorthKeeping(settings, exact.colorCount, int(liq_get_palette(quantized.get())->count))) {
        *result = std::move(exact);
        return true;
    }
    // No dithering: on the benchmark animations it added 3 to 12 % to the
    // file and lowered SSIM and PSNR, and it makes still areas flicker.
    liq_set_dithering_level(quantized.get(), 0.0f);

    IndexedPicture& out = *result;
    out = IndexedPicture();
    out.width = w;
    out.height = h;
    try {
        out.indices.resize(size_t(w) * size_t(h));
    } catch (const std::bad_alloc&) {
        *error = QCoreApplication::translate("Quantizer", "not enough memory for the palette picture");
        return false;
    }
    e = liq_write_remapped_image(quantized.get(), image.get(), out.indices.data(), out.indices.size());
    if (e != LIQ_OK) {
        *error = QCoreApplication::translate("Quantizer", "mapping to the palette failed: %1").arg(LiqMessage(e));
        return false;
    }
    // The palette is final only after remapping.
    const liq_palette* palette = liq_get_palette(quantized.get());
    out.colorCount = int(palette->count);
    bool isTransparent[256] = {};
    for (int i = 0; i < out.colorCount; ++i) {
        const liq_color& c = palette->entries[i];
        isTransparent[i] = c.a < 128;
        out.palette[size_t(i)] = isTransparent[i] ? 0u : 0xFF000000u | uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b;
        if (isTransparent[i] && out.transparent < 0)
            out.transparent = i;
    }
    if (anyTransparent && out.transparent < 0) {
        // The fixed transparent colour is always kept; this is a safety net.
        if (out.colorCount >= 256) {
            *error = QCoreApplication::translate("Quantizer", "the palette has no room for the transparent colour");
            return false;
        }
        out.transparent = out.colorCount++;
        out.palette[size_t(out.transparent)] = 0;
    }
    // Opaque entries only for opaque pixels, the transparent index only for
    // transparent ones (the remapping works on alpha too).
    int nearestOpaque[256];
    for (int i = 0; i < out.colorCount; ++i) {
        nearestOpaque[i] = i;
        if (!isTransparent[i])
            continue;
        long best = -1;
        for (int j = 0; j < out.colorCount; ++j) {
            if (isTransparent[j])
                continue;
            const liq_color& a = palette->entries[i];
            const liq_color& b = palette->entries[j];
            const long d =
                long(a.r - b.r) * (a.r - b.r) + long(a.g - b.g) * (a.g - b.g) + long(a.b - b.b) * (a.b - b.b);
            if (best < 0 || d < best) {
                best = d;
                nearestOpaque[i] = j;
            }
        }
    }
    if (anyTransparent || out.transparent >= 0) {
        const uint8_t t = uint8_t(std::max(out.transparent, 0));
        for (int y = 0; y < h; ++y) {
            const uchar* src = rgba.constScanLine(y);
            uint8_t* idx = &out.indices[size_t(y) * size_t(w)];
            for (int x = 0; x < w; ++x) {
                if (src[4 * x + 3] == 0)
                    idx[x] = t;
                else if (isTransparent[idx[x]])
                    idx[x] = uint8_t(nearestOpaque[idx[x]]);
            }
        }
        if (!anyTransparent)
            out.transparent = -1; // no pixel uses it
    }
    return true;
}

// Steps below the default. Each step lowers the palette's quality by one:
// of the knobs there are, that one loses the least SSIM for its bytes on
// the benchmark animations (palette quality 70 against 88: a photographic
// sky 29 % fewer bytes for 0.025 SSIM, a terminal recording 28 % for 0.013, a
// colourful game of life 33 % for 0.0016, a slideshow 32 % for 0.005).
// Changed pixels keep the colour on screen when it is close (a zoom: 37 %
// fewer bytes for 0.013 SSIM at a slack of 500), growing up to kMaxKeepSlack,
// beyond which a pan over a texture lost SSIM and gained bytes. Pixels close
// to the screen's colour counted as unchanged and lossy LZW codes lost two to
// five times the SSIM of fewer colours for the same bytes on the sky, the zoom
// and the terminal recording: they come only at the lowest settings, where
// the palette has no colours left to give.
constexpr int kKeepSlackPerStep = 5;
constexpr int kMaxKeepSlack = 250;
constexpr double kDriftSlackPerStep = 0.1;
constexpr int kLossyFrom = 70; // steps below the default: -Q 25
constexpr int kUnchangedErrorPerStep = 3;
constexpr int kLzwErrorPerStep = 8;
// A ceiling on the palette's colours: where libimagequant's quality alone
// keeps a few far-apart colours (a terminal recording keeps 9 or 10 at any
// palette quality under 40), lossy codes find nothing to merge and only fewer
// colours make the file smaller. Falling with every step, it also keeps fewer
// quality from giving more colours.
constexpr int kFewestColors = 2;
// Below this -Q, never more colours than this -Q's palette quality keeps.
constexpr int kFewerColorsBelow = 45;
constexpr double kMergeTenfoldSteps = 65.0;
constexpr double kBudgetTenfoldSteps = 93.0;
// ... up to 75 levels of one channel, which still keeps a trail apart from
// its background; below -Q 3 the colour ceiling decides.
constexpr double kMostMerge = 75.0 * 75.0;
// The share of frames held at -Q 2 to kHeldFrom; -Q 1 holds kMostHeld.
// With -Q 1 holding half of them more than -Q 2 (0.62), --max-size read a
// game of life's sample wrongly and took -Q 1 for a target of -Q 2.8.
constexpr int kHeldFrom = 5;
constexpr std::array<double, kHeldFrom - 1> kHeldShares = {0.12, 0.09, 0.06, 0.03};
// From here up to the default, every frame is parsed ahead: sprites over a
// sky 1.1 % fewer bytes at -Q 90.
constexpr int kEveryAheadFrom = 90;
// An animation's sampled palette moved once to its pixels' means above the
// default: a pan over wood at -Q 99 wrote 7144617 bytes at 0.99700 SSIM
// against 7137874 at 0.99687, at -Q 100 7757106 / 0.99740 against 7766862 /
// 0.99727; three rounds gave it no more SSIM than one. Below the default the
// pan at -Q 94 came out truer than at the default (0.9587 against 0.9585).
constexpr int kPaletteRounds = 1;
// The top's lossy codes grow by this along the square, up to
// QuantizeSettings::kMostTopLzwError.
constexpr double kTopLzwErrorGrowth = 12.0;

QuantizeSettings SettingsForQuality(int quality)
{
    quality = std::clamp(quality, 1, 100);
    QuantizeSettings settings;
    const int below = std::max(kDefaultQuality - quality, 0);
    constexpr int kPalette = QuantizeSettings::kDefaultMaxQuality;
    if (quality > kDefaultQuality) {
        // Between the default and -Q 100 the settings move along a square,
        // fine next to -Q 100: a pan over a photograph wrote 7.8 MB at
        // palette quality 100 and 4.9 MB at 99, sprites over a photographed
        // sky 272 KB at 90 and 259 KB at 88. The slack for keeping the colour
        // on screen follows the square's square: next to -Q 100 a slack of 2
        // or 3 cost the pan and a terminal recording bytes and SSIM.
        const double step = double(100 - quality) / (100 - kDefaultQuality);
        const double share = step * step;
        const QuantizeSettings fallback;
        settings.maxQuality = int(std::ceil(100 - (100 - kPalette) * share));
        settings.keepSlack = int(std::lround(fallback.keepSlack * share * share));
        settings.driftSlack = fallback.driftSlack * share;
        // A table costs a small frame as much as at the default: at -Q 100,
        // where the drift slack is 0, 20 of a sprite's 24 frames of 28 x 50
        // took tables of their own (32675 bytes, 0.99777 SSIM); with the
        // default's weight on the table none did (15689, 0.99803).
        settings.tableSlack = fallback.driftSlack;
        // Exact up to 256 colours where the palette is made at quality 100.
        settings.exactColors = settings.maxQuality == 100 ? 256 : QuantizeSettings::kDefaultExactColors;
        // Near twins merged in the codes, not at the default and below (see
        // lzwError), and farther along the square: where the palette keeps
        // 256 colours from -Q 96 up, that alone makes each step cost SSIM and
        // save bytes (a slideshow of photographs wrote about 2.27 MB at each
        // of -Q 96 to 99; with bounds of 4 and 6 at -Q 98 and 97, 2243222 and
        // 2190891 bytes for 0.0002 and 0.0007 less SSIM than at -Q 99).
        settings.lzwError = quality == 100
            ? 0
            : std::min(QuantizeSettings::kNearTwins + int(std::lround(kTopLzwErrorGrowth * share)),
                       QuantizeSettings::kMostTopLzwError);
        settings.mergeDistance = int(std::lround(QuantizeSettings::kDefaultMergeDistance * share));
        settings.mergeBudget = QuantizeSettings::kDefaultMergeBudget * share;
        // Every frame parsed ahead, near twins merged only where that is shorter.
        settings.lzwAheadArea = QuantizeSettings::kEveryAheadArea;
        settings.lzwAheadAgain = true;
        settings.paletteRounds = kPaletteRounds;
        return settings;
    }
    // The palette's quality falls one step per step below the default.
    settings.maxQuality = std::max(kPalette - below, 1);
    settings.keepSlack = std::min(50 + kKeepSlackPerStep * below, kMaxKeepSlack);
    settings.driftSlack = 1.0 + kDriftSlackPerStep * below;
    // Below the default, small files matter more than exact colours: a screen
    // recording's few colours are merged as well.
    if (below > 0)
        settings.exactColors = 0;
    // Near shades merge farther apart with every step, ten times as far 65
    // steps down, and with ten times the error 93 steps down: a game of life
    // whose trail is a ramp of twelve shades keeps five of them at the
    // default, four at -Q 90, three at -Q 45, two at -Q 30 and one from -Q 10
    // (3040254, 2663601, 2326292, 2084087 and 1738976 bytes at 0.9979,
    // 0.9972, 0.9954, 0.9905 and 0.9768 SSIM), each the middle shade of those
    // it shows.
    settings.mergeDistance = int(std::lround(
        std::min(QuantizeSettings::kDefaultMergeDistance * std::pow(10.0, below / kMergeTenfoldSteps), kMostMerge)));
    // Every frame parsed ahead next to the default, whose time is kept.
    if (below > 0)
        settings.lzwAheadArea =
            quality >= kEveryAheadFrom ? QuantizeSettings::kEveryAheadArea : QuantizeSettings::kSmallAheadArea;
    settings.mergeBudget = QuantizeSettings::kDefaultMergeBudget * std::pow(10.0, below / kBudgetTenfoldSteps);
    const int lossy = std::max(below - kLossyFrom, 0);
    settings.unchangedError = kUnchangedErrorPerStep * lossy;
    settings.lzwError = kLzwErrorPerStep * lossy;
    if (settings.lzwError > 0)
        settings.lzwAheadArea = 0;
    // From -Q 25 down the colours fall geometrically to kFewestColors at -Q 1.
    const int steps = kDefaultQuality - 1 - kLossyFrom;
    settings.maxColors = int(std::lround(256.0 * std::pow(kFewestColors / 256.0, double(lossy) / steps)));
    if (quality < kFewerColorsBelow)
        settings.colorsOfQuality = kPalette - (kDefaultQuality - kFewerColorsBelow);
    // Where the colours left are few, the lossy codes and the ceiling may
    // find nothing more to take (a pan gave one file at -Q 6, 5, 3 and 2):
    // from -Q 5 down a growing share of the frames is held.
    if (quality <= kHeldFrom)
        settings.holdShare = quality == 1 ? QuantizeSettings::kMostHeld : kHeldShares[size_t(quality - 2)];
    return settings;
}

QuantizeSettings SettingsForFineQuality(double quality)
{
    quality = std::clamp(quality, 1.0, 100.0);
    const int above = int(std::ceil(quality));
    QuantizeSettings settings = SettingsForQuality(above);
    const double f = double(above) - quality;
    if (f <= 0)
        return settings;
    // From the share the one above holds up to kMostHeld, next to the one below.
    settings.holdShare += f * (QuantizeSettings::kMostHeld - settings.holdShare);
    return settings;
}

} // namespace imaging
