// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/animation/FrameQuantizer.h"

#include "imaging/PixelWords.h"

#include <QCoreApplication>
#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

// Pixels are handled as 32-bit words with red in the low byte (RGBA8888 in memory).
static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "RGBA8888 pixels are read as little-endian words");

namespace imaging {
namespace {

// The previous palette is kept for a new picture while
//  - its error on the whole picture stays close to the error it had on the
//    picture it was made for (the palette does not drift away), and
//  - its error on the changed pixels stays close to its error on what those
//    pixels showed before (moving parts keep their quality; a part in
//    colours that the palette lacks gets a new palette).
// Errors are mean squared distances summed over R, G and B.
// The slack of the first test is a setting (QuantizeSettings::driftSlack).
constexpr double kDriftFactor = 1.25;
constexpr double kRegionFactor = 1.5;
constexpr double kRegionSlack = 30.0;
// A changed pixel keeps the colour on screen when that is at most
// min(keepSlack, this) worse than the palette's nearest, or at most keepSlack
// from the picture's colour (squared distances summed over R, G, B). A
// larger slack over the nearest paid on a zoom, where the colour on screen
// is nearly right, but on a pan over a texture in a coarse palette it kept
// colours far from the picture, which cost SSIM and, the kept pixels
// breaking up the texture's strings, bytes as well. Bounding the kept
// colour's own error keeps the zoom's gain without the pan's loss (palette
// quality 70, slack 200: pan 1492623 bytes at 0.9105 SSIM before, 1471460 at
// 0.9165 now, 1469703 at 0.9166 with the slack at 50; zoom 4418538 at 0.9709
// before, 4463592 at 0.9713 now, 5701370 at 0.9775 with the slack at 50).
constexpr int kNearlyAsClose = 50;
// What a colour table of its own costs a frame, in bits.
constexpr double kTableBits = 768.0 * 8.0;
// The animation's palette is kept, and taken, while its error stays within
// this factor of what a picture's own palette shows: a frame that leaves it
// costs a table and, in a palette of its own, a redrawn screen. At 1.25 (as
// for a frame's own palette) 352 of scale-long's 1500 frames left it
// (6555241 bytes, 0.9975 mean SSIM), at 2 none (6341870, 0.9978); the
// 150-frame test pattern 1847027 / 0.9968 and 1811900 / 0.9967, a camera pan
// 2055670 / 0.9531 and 2187569 / 0.9585.
constexpr double kAnimationDriftFactor = 2.0;
inline int R(uint32_t c) { return int(c & 0xFF); }
inline int G(uint32_t c) { return int((c >> 8) & 0xFF); }
inline int B(uint32_t c) { return int((c >> 16) & 0xFF); }

} // namespace

void FrameQuantizer::Reset()
{
    width_ = height_ = 0;
    previous_.clear();
    previousOut_ = IndexedPicture();
    paletteError_ = 0;
    paletteLimit_ = 0;
    previousInAnimation_ = false;
}

void FrameQuantizer::UseAnimationPalette(const IndexedPicture* palette, double ownError, bool merged)
{
    animationPalette_ = palette && palette->colorCount > 0 ? palette : nullptr;
    animationOwnError_ = ownError;
    animationMerged_ = merged;
    previousInAnimation_ = false;
    cellsOfAnimation_ = false;
}

void FrameQuantizer::ContinueFrom(const FrameQuantizer& other)
{
    width_ = other.width_;
    height_ = other.height_;
    previous_ = other.previous_;
    previousOut_ = other.previousOut_;
    paletteError_ = other.paletteError_;
    paletteLimit_ = other.paletteLimit_;
    pictureError_ = other.pictureError_;
    errors_ = other.errors_;
    animationPalette_ = other.animationPalette_;
    animationOwnError_ = other.animationOwnError_;
    animationMerged_ = other.animationMerged_;
    previousInAnimation_ = other.previousInAnimation_;
    SetPalette(previousOut_);
    // The previous frame in the animation's palette has its opaque entries, in its order.
    cellsOfAnimation_ = previousInAnimation_;
}

void FrameQuantizer::CellTable::Reset(int bits)
{
    if (start.empty()) {
        start.assign(size_t(1) << bits, -1);
        end.assign(size_t(1) << bits, 0);
    }
    for (const int32_t key : filled)
        start[size_t(key)] = -1;
    filled.clear();
    entries.clear();
}

void FrameQuantizer::SetPalette(const IndexedPicture& p)
{
    opaqueCount_ = 0;
    for (int i = 0; i < p.colorCount; ++i) {
        if (i == p.transparent)
            continue;
        const uint32_t c = p.palette[size_t(i)];
        red_[opaqueCount_] = int((c >> 16) & 0xFF);
        green_[opaqueCount_] = int((c >> 8) & 0xFF);
        blue_[opaqueCount_] = int(c & 0xFF);
        opaqueIndex_[opaqueCount_] = uint8_t(i);
        ++opaqueCount_;
    }
    cells_.Reset(18);
    wide_.Reset(15);
    std::fill(memoColor_.begin(), memoColor_.end(), 0u);
    cellsOfAnimation_ = false;
}

int FrameQuantizer::CellCandidates(int r, int g, int b)
{
    // Distance from the cell's centre; an entry farther than the best by
    // more than the cell's diagonal can be nearest to no colour in it.
    // The entries are taken from the 5-bit cell's candidates, in index order:
    // they hold every entry this test can keep (the wide cell's reach is
    // larger by more than twice the distance between the two centres), so
    // the list is the one a test of every entry gives.
    const size_t wideKey = size_t(r >> 3) << 10 | size_t(g >> 3) << 5 | size_t(b >> 3);
    int32_t wideStart = wide_.start[wideKey];
    if (wideStart < 0) {
        const int wr = (r & ~7) + 4, wg = (g & ~7) + 4, wb = (b & ~7) + 4;
        int distance[256];
        int best = INT32_MAX;
        for (int i = 0; i < opaqueCount_; ++i) {
            const int dr = wr - red_[i], dg = wg - green_[i], db = wb - blue_[i];
            distance[i] = dr * dr + dg * dg + db * db;
            best = std::min(best, distance[i]);
        }
        const double reach = std::sqrt(double(best)) + 2 * std::sqrt(3.0 * 4 * 4) + 2.0;
        const int limit = int(reach * reach);
        wideStart = int32_t(wide_.entries.size());
        for (int i = 0; i < opaqueCount_; ++i)
            if (distance[i] <= limit)
                wide_.entries.push_back(uint8_t(i));
        wide_.start[wideKey] = wideStart;
        wide_.filled.push_back(int32_t(wideKey));
        wide_.end[wideKey] = int32_t(wide_.entries.size());
    }
    const uint8_t* const wide = wide_.entries.data();
    const int32_t wideEnd = wide_.end[wideKey];
    const int cr = (r & ~3) + 2, cg = (g & ~3) + 2, cb = (b & ~3) + 2;
    int distance[256];
    int best = INT32_MAX;
    for (int32_t k = wideStart; k < wideEnd; ++k) {
        const int i = wide[k];
        const int dr = cr - red_[i], dg = cg - green_[i], db = cb - blue_[i];
        distance[k - wideStart] = dr * dr + dg * dg + db * db;
        best = std::min(best, distance[k - wideStart]);
    }
    const double reach = std::sqrt(double(best)) + 2 * std::sqrt(3.0 * 2 * 2) + 0.5;
    const int limit = int(reach * reach);
    const int32_t start = int32_t(cells_.entries.size());
    for (int32_t k = wideStart; k < wideEnd; ++k)
        if (distance[k - wideStart] <= limit)
            cells_.entries.push_back(wide[k]);
    return start;
}

int FrameQuantizer::LookUp(int r, int g, int b, uint32_t color, size_t memo)
{
    // The palette entries that can be nearest to some colour of the cell,
    // found on the cell's first use; then the exact nearest among them.
    if (opaqueCount_ == 0)
        return 0;
    const size_t key = size_t(r >> 2) << 12 | size_t(g >> 2) << 6 | size_t(b >> 2);
    int32_t start = cells_.start[key];
    if (start < 0) {
        start = CellCandidates(r, g, b);
        cells_.start[key] = start;
        cells_.filled.push_back(int32_t(key));
        cells_.end[key] = int32_t(cells_.entries.size());
    }
    const int32_t end = cells_.end[key];
    int nearest = cells_.entries[size_t(start)];
    int bestDistance = INT32_MAX;
    for (int32_t k = start; k < end; ++k) {
        const int i = cells_.entries[size_t(k)];
        const int dr = r - red_[i], dg = g - green_[i], db = b - blue_[i];
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            nearest = i;
        }
    }
    memoColor_[memo] = color;
    memoNearest_[memo] = uint8_t(nearest);
    return nearest;
}

uint32_t FrameQuantizer::Error(uint32_t c)
{
    const int k = Nearest(R(c), G(c), B(c));
    const int dr = R(c) - red_[k], dg = G(c) - green_[k], db = B(c) - blue_[k];
    return uint32_t(dr * dr + dg * dg + db * db);
}

double FrameQuantizer::MeasureErrors()
{
    errors_.resize(previous_.size());
    double sum = 0;
    size_t opaque = 0;
    for (size_t i = 0; i < previous_.size(); ++i) {
        const uint32_t c = previous_[i];
        const uint32_t e = c == 0 ? 0 : Error(c);
        errors_[i] = e;
        sum += e;
        opaque += c != 0;
    }
    return opaque ? sum / double(opaque) : 0.0;
}

bool FrameQuantizer::Quantize(const QImage& picture, IndexedPicture* result, QString* error)
{
    if (picture.isNull()) {
        *error = QCoreApplication::translate("FrameQuantizer", "there is no picture");
        return false;
    }
    const QImage rgba = picture.format() == QImage::Format_RGBA8888 || picture.format() == QImage::Format_RGBX8888
        ? picture
        : picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_RGBA8888 : QImage::Format_RGBX8888);
    const int w = rgba.width();
    const int h = rgba.height();
    // The thresholded pixels, as the palette picture will show them.
    ThresholdedWords(rgba, &current_);

    const bool samePlace = w == width_ && h == height_ && !previous_.empty();
    if (samePlace) {
        if (current_ == previous_) {
            *result = previousOut_;
            animationFrames_ += previousInAnimation_;
            return true;
        }
        if (TryReuse(result)) {
            previous_.swap(current_);
            previousOut_ = *result;
            animationFrames_ += previousInAnimation_;
            return true;
        }
    }
    // A frame in the animation's palette that the palette no longer suits
    // gets one of its own; but an animation's palette of few colours, where
    // near shades merge, is tried again on the whole picture: its frames'
    // own palettes would each merge the shades a little differently.
    if ((!(samePlace && previousInAnimation_) || MergedAnimationPalette()) && TryAnimationPalette(w, h, result)) {
        previous_.swap(current_);
        previousOut_ = *result;
        ++animationFrames_;
        return true;
    }
    if (!Fresh(rgba, result, error))
        return false;
    previousInAnimation_ = false;
    width_ = w;
    height_ = h;
    previous_.swap(current_);
    previousOut_ = *result;
    SetPalette(previousOut_);
    paletteError_ = MeasureErrors();
    // The whole-picture error counts transparent pixels as exact, as the
    // incremental updates do.
    pictureError_ = 0;
    for (uint32_t e : errors_)
        pictureError_ += e;
    pictureError_ /= double(std::max<size_t>(errors_.size(), 1));
    paletteLimit_ = paletteError_ * kDriftFactor + settings_.driftSlack;
    return true;
}

bool FrameQuantizer::TryAnimationPalette(int width, int height, IndexedPicture* result)
{
    if (!animationPalette_ || current_.empty())
        return false;
    const IndexedPicture& palette = *animationPalette_;
    const size_t n = current_.size();
    const bool needsTransparent = std::find(current_.begin(), current_.end(), 0u) != current_.end();
    if (needsTransparent && palette.transparent < 0 && palette.colorCount >= 256)
        return false;
    if (!cellsOfAnimation_) {
        SetPalette(palette);
        cellsOfAnimation_ = true;
    }
    if (opaqueCount_ == 0)
        return false;
    // In a merged palette of few colours each pixel must be within the
    // merge's reach of its colour, whatever the mean; in any other the mean
    // error is bounded.
    const bool merged = MergedAnimationPalette();
    const double limit = animationOwnError_ * kAnimationDriftFactor + settings_.driftSlack
        + settings_.TableWeight() * kTableBits / double(n);
    // Given up as soon as the error is over the limit: a frame the palette
    // does not suit costs part of one pass.
    const double most = merged ? std::numeric_limits<double>::infinity() : limit * double(n);
    trialErrors_.resize(n);
    trialIndices_.resize(n);
    double sum = 0;
    for (size_t i = 0; i < n; ++i) {
        const uint32_t c = current_[i];
        if (c == 0) {
            trialErrors_[i] = 0;
            continue;
        }
        const int k = Nearest(R(c), G(c), B(c));
        const int dr = R(c) - red_[k], dg = G(c) - green_[k], db = B(c) - blue_[k];
        const uint32_t e = uint32_t(dr * dr + dg * dg + db * db);
        trialErrors_[i] = e;
        trialIndices_[i] = opaqueIndex_[k];
        sum += e;
        if (sum > most || (merged && e > uint32_t(settings_.mergeDistance)))
            return false;
    }
    IndexedPicture& out = *result;
    out = IndexedPicture();
    out.width = width;
    out.height = height;
    out.palette = palette.palette;
    out.colorCount = palette.colorCount;
    out.transparent = palette.transparent;
    if (needsTransparent && out.transparent < 0) {
        out.transparent = out.colorCount++;
        out.palette[size_t(out.transparent)] = 0;
    }
    out.indices.assign(trialIndices_.begin(), trialIndices_.end());
    if (needsTransparent)
        for (size_t i = 0; i < n; ++i)
            if (current_[i] == 0)
                out.indices[i] = uint8_t(out.transparent);
    width_ = width;
    height_ = height;
    errors_.swap(trialErrors_);
    pictureError_ = sum / double(n);
    paletteLimit_ = merged ? std::max(limit, pictureError_ * kDriftFactor + settings_.driftSlack) : limit;
    previousInAnimation_ = true;
    return true;
}

bool FrameQuantizer::Fresh(const QImage& picture, IndexedPicture* result, QString* error)
{
    return QuantizePicture(picture, settings_, result, error);
}

bool FrameQuantizer::TryReuse(IndexedPicture* result)
{
    if (opaqueCount_ == 0)
        return false;
    const size_t n = current_.size();
    // The errors of the previous picture's pixels are known; those of the
    // changed pixels are worked out (and kept if the palette stays).
    double before = 0, after = 0;
    uint32_t worst = 0;
    size_t changed = 0;
    bool needsTransparent = false;
    changes_.clear();
    for (size_t i = 0; i < n; ++i) {
        const uint32_t c = current_[i];
        if (c == previous_[i])
            continue;
        ++changed;
        before += errors_[i];
        uint32_t e = 0;
        int k = -1;
        if (c == 0) {
            needsTransparent = true;
        } else {
            k = Nearest(R(c), G(c), B(c));
            const int dr = R(c) - red_[k], dg = G(c) - green_[k], db = B(c) - blue_[k];
            e = uint32_t(dr * dr + dg * dg + db * db);
        }
        after += e;
        worst = std::max(worst, e);
        changes_.push_back({uint32_t(i), e, k});
    }
    const double whole = pictureError_ + (after - before) / double(n);
    const double regionBefore = before / double(changed);
    const double regionAfter = after / double(changed);
    const bool roomForTransparent = !needsTransparent || previousOut_.transparent >= 0 || previousOut_.colorCount < 256;
    // In the animation's merged palette a changed pixel within the merge's
    // reach of its colour is shown as the merge shows it: a trail fading
    // through merged shades keeps the palette.
    const bool mergedReach =
        previousInAnimation_ && MergedAnimationPalette() && worst <= uint32_t(settings_.mergeDistance);
    const bool keep = roomForTransparent && whole <= paletteLimit_
        && (regionAfter <= regionBefore * kRegionFactor + kRegionSlack || mergedReach);
    if (!keep)
        return false;
    for (const Change& change : changes_)
        errors_[change.index] = change.error;
    pictureError_ = whole;

    IndexedPicture& out = *result;
    out = previousOut_;
    if (needsTransparent && out.transparent < 0) {
        out.transparent = out.colorCount++;
        out.palette[size_t(out.transparent)] = 0;
    }
    // Changed pixels take the palette's nearest colour, or keep the one the
    // previous frame shows when it is nearly as close; unchanged pixels keep
    // their index. No error diffusion: it would make a still area flicker.
    for (const Change& change : changes_) {
        const size_t i = change.index;
        const uint32_t c = current_[i];
        if (c == 0) {
            out.indices[i] = uint8_t(out.transparent);
            continue;
        }
        const int k = change.nearest;
        if (int(out.indices[i]) != out.transparent) {
            // out.indices[i] still holds the previous frame's index here.
            const uint32_t shown = out.palette[out.indices[i]];
            const int sr = R(c) - int((shown >> 16) & 0xFF);
            const int sg = G(c) - int((shown >> 8) & 0xFF);
            const int sb = B(c) - int(shown & 0xFF);
            const int nr = R(c) - red_[k], ng = G(c) - green_[k], nb = B(c) - blue_[k];
            // Kept when nearly as close as the nearest, or, below the
            // default, when it is close to the picture's colour itself.
            const int nearest = nr * nr + ng * ng + nb * nb;
            const int kept = sr * sr + sg * sg + sb * sb;
            if (kept <= nearest + std::min(settings_.keepSlack, kNearlyAsClose) || kept <= settings_.keepSlack)
                continue;
        }
        out.indices[i] = opaqueIndex_[k];
    }
    return true;
}

} // namespace imaging
