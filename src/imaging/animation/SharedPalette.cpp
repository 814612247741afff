// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/animation/SharedPalette.h"

#include "imaging/animation/FrameFile.h"
#include "imaging/animation/SampledPalette.h"
#include "imaging/GifCodec.h"
#include "imaging/PixelWords.h"

#include <algorithm>
#include <memory>
#include <unordered_map>

namespace imaging {
namespace {

// Kept like FrameQuantizer's previous palette: within this factor of the
// error of the frame's own palette (plus the quality's slack).
constexpr double kFitFactor = 1.25;

// The picture's pixel words, thresholded as its frame shows them.
std::vector<uint32_t> Thresholded(const QImage& picture)
{
    std::vector<uint32_t> words;
    ThresholdedWords(picture.convertToFormat(QImage::Format_RGBA8888), &words);
    return words;
}

// Mean squared error of the frame in its own palette against the picture,
// or -1 when it shows an opaque pixel as transparent.
double OwnError(const IndexedPicture& own, const std::vector<uint32_t>& pixels)
{
    if (own.indices.size() != pixels.size())
        return -1;
    double sum = 0;
    for (size_t i = 0; i < pixels.size(); ++i) {
        if (pixels[i] == 0)
            continue;
        if (int(own.indices[i]) == own.transparent)
            return -1;
        sum += WordDistance(pixels[i], own.palette[own.indices[i]]);
    }
    return sum / double(std::max<size_t>(pixels.size(), 1));
}

} // namespace

SharedPalette::SharedPalette(int frames, QSize output)
{
    if (WantedFor(frames, output)) {
        pictures_.resize(size_t(frames));
        own_.resize(size_t(frames));
    }
}

void SharedPalette::Keep(int frame, const QImage& picture, IndexedPicture own)
{
    std::lock_guard lock(mutex_);
    if (frame >= 1 && size_t(frame) <= pictures_.size()) {
        pictures_[size_t(frame - 1)] = picture;
        own_[size_t(frame - 1)] = std::move(own);
    }
}

bool SharedPalette::Apply(const QuantizeSettings& settings, const std::function<QString(int)>& frameFile,
                          std::vector<IndexedPicture>* frames, int* failedFrame, QString* error)
{
    frames->clear();
    std::vector<QImage> pictures;
    std::vector<IndexedPicture> own;
    {
        std::lock_guard lock(mutex_);
        pictures.swap(pictures_);
        own.swap(own_);
    }
    std::vector<std::vector<uint32_t>> pixels;
    std::vector<QSize> sizes;
    std::vector<double> limits; // per frame: the most error the shared palette may show, -1: keep the file
    bool anyTransparent = false;
    for (size_t f = 0; f < pictures.size(); ++f) {
        if (pictures[f].isNull() || own[f].indices.empty())
            return true; // not every frame was kept: nothing to share
        pixels.push_back(Thresholded(pictures[f]));
        sizes.push_back(pictures[f].size());
        anyTransparent |= std::find(pixels.back().begin(), pixels.back().end(), 0u) != pixels.back().end();
        const double ownError = OwnError(own[f], pixels.back());
        // A table of its own costs the frame 768 bytes: on a small frame that
        // is bits per pixel, worth some error to save.
        const double tableBitsPerPixel = 768.0 * 8.0 / double(std::max<size_t>(pixels.back().size(), 1));
        limits.push_back(ownError < 0 ? -1
                                      : ownError * kFitFactor + settings.driftSlack
                                 + settings.TableWeight() * tableBitsPerPixel);
    }
    pictures = {};

    // The palette of every frame's colours; when some frames do not fit it,
    // once more from the frames that fit it best (those that fit, at least
    // the better half), which then no longer lend colours to the others.
    std::vector<char> include(pixels.size(), 1);
    std::vector<char> fits(pixels.size(), 0);
    IndexedPicture shared;
    std::vector<std::vector<uint8_t>> mapped;
    int sharing = 0;
    for (int round = 0; round < 2; ++round) {
        std::unordered_map<uint32_t, uint32_t> counts;
        for (size_t f = 0; f < pixels.size(); ++f)
            for (uint32_t c : pixels[f])
                if (c != 0)
                    counts[c] += include[f] ? 1 : 0;
        IndexedPicture palette;
        bool merged = false;
        if (counts.empty() || !PaletteForColors(counts, anyTransparent ? 255 : 256, settings, &palette, &merged))
            break; // the frames keep their own palettes
        if (anyTransparent) {
            palette.transparent = palette.colorCount++;
            palette.palette[size_t(palette.transparent)] = 0;
        }
        // Each colour's nearest entry, worked out once for all frames.
        std::unordered_map<uint32_t, uint8_t> nearest;
        nearest.reserve(counts.size());
        for (const auto& [c, n] : counts) {
            int best = 0, bestDistance = INT32_MAX;
            for (int i = 0; i < palette.colorCount; ++i) {
                const int d = i == palette.transparent ? INT32_MAX : WordDistance(c, palette.palette[size_t(i)]);
                if (d < bestDistance) {
                    bestDistance = d;
                    best = i;
                }
            }
            nearest.emplace(c, uint8_t(best));
        }
        std::vector<char> roundFits(pixels.size(), 0);
        std::vector<double> ratios(pixels.size(), 1e300);
        std::vector<std::vector<uint8_t>> roundMapped(pixels.size());
        int roundSharing = 0;
        for (size_t f = 0; f < pixels.size(); ++f) {
            const std::vector<uint32_t>& frame = pixels[f];
            std::vector<uint8_t>& indices = roundMapped[f];
            indices.resize(frame.size());
            double sum = 0;
            int farthest = 0;
            for (size_t i = 0; i < frame.size(); ++i) {
                if (frame[i] == 0) {
                    indices[i] = uint8_t(palette.transparent);
                    continue;
                }
                const uint8_t k = nearest[frame[i]];
                indices[i] = k;
                const int d = WordDistance(frame[i], palette.palette[k]);
                sum += d;
                farthest = std::max(farthest, d);
            }
            // A palette of merged shades suits each frame whose pixels are all
            // within the merge's reach, as a sampled one does (FrameQuantizer).
            if (limits[f] >= 0)
                ratios[f] = merged ? double(farthest) / double(std::max(settings.mergeDistance, 1))
                                   : sum / double(std::max<size_t>(frame.size(), 1)) / std::max(limits[f], 1e-9);
            roundFits[f] = ratios[f] <= 1.0;
            roundSharing += roundFits[f];
        }
        if (roundSharing > sharing) {
            sharing = roundSharing;
            shared = palette;
            fits.swap(roundFits);
            mapped.swap(roundMapped);
        }
        if (sharing == int(pixels.size()))
            break;
        std::vector<double> sorted = ratios;
        std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
        const double cut = std::max(1.0, sorted[sorted.size() / 2]);
        for (size_t f = 0; f < pixels.size(); ++f)
            include[f] = ratios[f] <= cut;
    }
    if (sharing < 2) {
        frames->swap(own); // one frame alone gains nothing
        return true;
    }

    for (size_t f = 0; f < pixels.size(); ++f) {
        if (!fits[f])
            continue;
        IndexedPicture& picture = own[f];
        picture = shared;
        picture.width = sizes[f].width();
        picture.height = sizes[f].height();
        picture.indices.swap(mapped[f]);
        QString reason;
        if (!SaveFrameFile(frameFile(int(f) + 1), picture, &reason)) {
            *failedFrame = int(f) + 1;
            *error = reason;
            return false;
        }
    }
    frames->swap(own);
    return true;
}

} // namespace imaging
