// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/animation/SampledPalette.h"

#include "imaging/ImagingRuntime.h"
#include "imaging/LiqHandles.h"
#include "imaging/PixelWords.h"

#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>

namespace imaging {
namespace {

// libimagequant's colours as palette entries (0xAARRGGBB); the opaque ones
// only, as every colour it was given is.
void TakeColors(const liq_palette* colors, IndexedPicture* palette)
{
    palette->colorCount = 0;
    for (unsigned i = 0; i < colors->count; ++i) {
        const liq_color& c = colors->entries[i];
        if (c.a >= 128)
            palette->palette[size_t(palette->colorCount++)] =
                0xFF000000u | uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b;
    }
}

// The colours of `counts` (pixel words, red in the low byte) with their near
// shades merged as a picture's own palette merges them, each kept colour
// counting the pixels it now shows; false where they are not merged.
bool MergeCounts(std::unordered_map<uint32_t, uint32_t>* counts, const QuantizeSettings& settings)
{
    if (counts->size() > 256)
        return false;
    std::vector<uint32_t> colors, seen;
    for (const auto& [c, n] : *counts) {
        colors.push_back(SwappedRedBlue(c));
        seen.push_back(n);
    }
    const std::vector<int> into = NearShadesMerged(settings, colors, seen);
    if (into.empty())
        return false;
    std::unordered_map<uint32_t, uint32_t> merged;
    for (size_t i = 0; i < colors.size(); ++i)
        merged[SwappedRedBlue(colors[size_t(into[i])])] += seen[i];
    counts->swap(merged);
    return true;
}

// Moves each entry of `palette` (opaque, 0xFFRRGGBB) to the rounded mean
// of the pixels (words, red in the low byte; sorted here) nearest it, `rounds` times.
void RefinePalette(std::vector<uint32_t>* words, int rounds, IndexedPicture* palette)
{
    if (rounds <= 0 || words->empty() || palette->colorCount == 0)
        return;
    std::sort(words->begin(), words->end());
    std::vector<uint32_t> colors;
    std::vector<uint32_t> counts;
    for (const uint32_t c : *words) {
        if (colors.empty() || colors.back() != c) {
            colors.push_back(c);
            counts.push_back(0);
        }
        ++counts.back();
    }
    const int n = palette->colorCount;
    for (int round = 0; round < rounds; ++round) {
        std::vector<double> sums(size_t(n) * 4, 0.0);
        for (size_t i = 0; i < colors.size(); ++i) {
            int best = 0;
            int least = INT32_MAX;
            for (int k = 0; k < n; ++k) {
                const int d = WordDistance(colors[i], palette->palette[size_t(k)]);
                if (d < least) {
                    least = d;
                    best = k;
                }
            }
            double* sum = &sums[size_t(best) * 4];
            const double count = counts[i];
            sum[0] += count * double((colors[i] >> 16) & 0xFF);
            sum[1] += count * double((colors[i] >> 8) & 0xFF);
            sum[2] += count * double(colors[i] & 0xFF);
            sum[3] += count;
        }
        for (int k = 0; k < n; ++k) {
            const double* sum = &sums[size_t(k) * 4];
            if (sum[3] <= 0)
                continue;
            // The words hold blue high, red low; entries red high.
            const auto mean = [&](int c) { return uint32_t(std::lround(sum[c] / sum[3])); };
            palette->palette[size_t(k)] = 0xFF000000u | mean(2) << 16 | mean(1) << 8 | mean(0);
        }
    }
}

} // namespace

bool PaletteForColors(const std::unordered_map<uint32_t, uint32_t>& counts, int room, const QuantizeSettings& settings,
                      IndexedPicture* palette, bool* merged)
{
    if (merged)
        *merged = false;
    room = std::min(room, std::max(settings.maxColors, 2));
    // Near shades merged as in a picture's own palette.
    std::unordered_map<uint32_t, uint32_t> fewer;
    if (counts.size() <= 256) {
        fewer = counts;
        if (!MergeCounts(&fewer, settings))
            fewer.clear();
    }
    if (int(counts.size()) <= room || (!fewer.empty() && int(fewer.size()) <= room)) {
        std::vector<uint32_t> colors;
        for (const auto& [c, n] : fewer.empty() ? counts : fewer)
            colors.push_back(SwappedRedBlue(c));
        std::sort(colors.begin(), colors.end());
        std::copy(colors.begin(), colors.end(), palette->palette.begin());
        palette->colorCount = int(colors.size());
        if (merged)
            *merged = !fewer.empty();
        return true;
    }
    UseOneLibraryThread();
    LiqHandle<liq_attr> attr(liq_attr_create());
    if (!attr)
        return false;
    liq_set_speed(attr.get(), std::clamp(settings.speed, 1, 10));
    liq_set_quality(attr.get(), 0, std::clamp(settings.maxQuality, 0, 100));
    liq_set_max_colors(attr.get(), room);
    LiqHandle<liq_histogram> histogram(liq_histogram_create(attr.get()));
    if (!histogram)
        return false;
    std::vector<liq_histogram_entry> entries;
    entries.reserve(counts.size());
    for (const auto& [c, n] : counts)
        entries.push_back({{uchar(c & 0xFF), uchar(c >> 8 & 0xFF), uchar(c >> 16 & 0xFF), 255}, n});
    liq_result* raw = nullptr;
    if (liq_histogram_add_colors(histogram.get(), attr.get(), entries.data(), int(entries.size()), 0) != LIQ_OK
        || liq_histogram_quantize(histogram.get(), attr.get(), &raw) != LIQ_OK || !raw)
        return false;
    LiqHandle<liq_result> result(raw);
    TakeColors(liq_get_palette(result.get()), palette);
    return palette->colorCount > 0;
}

std::vector<int> SampledPalette::SampleFrames(int frames, QSize output)
{
    const qint64 pixels = std::max<qint64>(qint64(output.width()) * output.height(), 1);
    const int count = int(std::clamp<qint64>(kSamplePixels / pixels, std::min(kMinFrames, frames), frames));
    std::vector<int> sample;
    for (int k = 0; k < count; ++k) {
        const int frame = count == 1 ? 1 : 1 + int(qint64(frames - 1) * k / (count - 1));
        if (sample.empty() || sample.back() != frame)
            sample.push_back(frame);
    }
    return sample;
}

bool SampledPalette::QuantisedAlone(int position, int count) { return position == count / 2; }

bool SampledPalette::Add(const QImage& picture, const QuantizeSettings& settings, bool own)
{
    const QImage rgba =
        picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_RGBA8888 : QImage::Format_RGBX8888);
    if (rgba.isNull())
        return false;
    if (!attr_) {
        UseOneLibraryThread();
        attr_.reset(liq_attr_create());
        if (!attr_)
            return false;
        liq_set_speed(attr_.get(), std::clamp(settings.speed, 1, 10));
        histogram_.reset(liq_histogram_create(attr_.get()));
        if (!histogram_)
            return false;
    }
    std::vector<uint32_t> words;
    ThresholdedWords(rgba, &words);
    const bool transparent = std::find(words.begin(), words.end(), 0u) != words.end();
    anyTransparent_ |= transparent;
    if (few_) {
        uint32_t last = 0;
        uint32_t* lastCount = nullptr;
        for (uint32_t c : words) {
            if (c == 0)
                continue;
            if (c == last) {
                ++*lastCount;
                continue;
            }
            last = c;
            lastCount = &++counts_[c | 0xFF000000u];
            if (counts_.size() > 256) {
                few_ = false;
                counts_ = {};
                break;
            }
        }
    }
    if (settings.paletteRounds > 0)
        std::copy_if(words.begin(), words.end(), std::back_inserter(words_), [](uint32_t c) { return c != 0; });
    // Only opaque colours count: a picture with transparent pixels lends its
    // opaque ones, as a list.
    if (!transparent) {
        LiqHandle<liq_image> image(liq_image_create_rgba(attr_.get(), words.data(), rgba.width(), rgba.height(), 0));
        if (!image || liq_histogram_add_image(histogram_.get(), attr_.get(), image.get()) != LIQ_OK)
            return false;
    } else {
        std::unordered_map<uint32_t, uint32_t> counts;
        for (uint32_t c : words)
            if (c != 0)
                ++counts[c];
        std::vector<liq_histogram_entry> entries;
        entries.reserve(counts.size());
        for (const auto& [c, n] : counts)
            entries.push_back({{uchar(c & 0xFF), uchar(c >> 8 & 0xFF), uchar(c >> 16 & 0xFF), 255}, n});
        if (liq_histogram_add_colors(histogram_.get(), attr_.get(), entries.data(), int(entries.size()), 0) != LIQ_OK)
            return false;
    }
    if (!own)
        return true;
    IndexedPicture alone;
    QString reason;
    if (!QuantizePicture(rgba, settings, &alone, &reason) || alone.indices.size() != words.size())
        return false;
    double sum = 0;
    for (size_t i = 0; i < words.size(); ++i)
        if (words[i] != 0)
            sum += WordDistance(words[i], alone.palette[alone.indices[i]]);
    ownError_ = sum / double(std::max<size_t>(words.size(), 1));
    ownWords_.swap(words);
    return true;
}

bool SampledPalette::Make(const QuantizeSettings& settings)
{
    palette_ = IndexedPicture();
    merged_ = false;
    if (!histogram_ || ownWords_.empty())
        return false;
    const int room = std::min(anyTransparent_ ? 255 : 256, std::max(settings.maxColors, 2));
    IndexedPicture made;
    // The colours themselves when they fit, where a picture's own palette
    // would take them (QuantizePicture): few of them, or libimagequant
    // keeping a fair share; never below the default, where fewer cost less.
    const bool merges = few_ && MergeCounts(&counts_, settings);
    const int count = int(counts_.size());
    const bool fits = few_ && count <= room && MayKeepOwnColors(settings);
    bool exact = fits && count <= settings.exactColors;
    if (!exact) {
        liq_set_quality(attr_.get(), 0, std::clamp(settings.maxQuality, 0, 100));
        liq_set_max_colors(attr_.get(), room);
        liq_result* raw = nullptr;
        if (liq_histogram_quantize(histogram_.get(), attr_.get(), &raw) != LIQ_OK || !raw)
            return false;
        LiqHandle<liq_result> result(raw);
        TakeColors(liq_get_palette(result.get()), &made);
        if (made.colorCount == 0)
            return false;
        exact = fits && OwnColorsWorthKeeping(settings, count, made.colorCount);
        if (!exact)
            RefinePalette(&words_, settings.paletteRounds, &made);
    }
    words_ = {};
    if (exact) {
        made = IndexedPicture();
        // The counts are merged already: merged again, they would lose more.
        QuantizeSettings once = settings;
        once.mergeDistance = 0;
        if (counts_.empty() || !PaletteForColors(counts_, room, once, &made))
            return false;
    }
    if (anyTransparent_) {
        made.transparent = made.colorCount++;
        made.palette[size_t(made.transparent)] = 0;
    }
    counts_ = {};
    histogram_.reset();
    attr_.reset();
    // Frames that do not share their colours (a slideshow) are shown worse
    // by a palette of them all than by their own: there is none then.
    std::unordered_map<uint32_t, int> nearest;
    double sum = 0;
    int farthest = 0;
    for (uint32_t c : ownWords_) {
        if (c == 0)
            continue;
        auto [it, added] = nearest.emplace(c, 0);
        if (added) {
            int best = INT32_MAX;
            for (int i = 0; i < made.colorCount; ++i)
                if (i != made.transparent)
                    best = std::min(best, WordDistance(c, made.palette[size_t(i)]));
            it->second = best;
        }
        sum += it->second;
        farthest = std::max(farthest, it->second);
    }
    const double error = sum / double(ownWords_.size());
    ownWords_ = {};
    // Merged shades are judged as the frames judge them (FrameQuantizer):
    // each pixel within the merge's reach of its colour, however the
    // picture's own colours alone would have merged.
    const bool merged = merges && exact && made.colorCount <= QuantizeSettings::kDefaultExactColors;
    if (merged ? farthest > settings.mergeDistance : error > ownError_ * kSharedFactor + settings.driftSlack)
        return false;
    palette_ = made;
    merged_ = merged;
    return true;
}

} // namespace imaging
