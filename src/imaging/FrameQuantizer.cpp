// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/FrameQuantizer.h"

#include "imaging/PixelWords.h"

#include <QCoreApplication>
#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <cstring>

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
// Dithering: carried errors longer than kDampError (8-bit units) are damped,
// shorter than kTinyError dropped (a flat area whose colour is almost in the
// palette stays flat instead of getting sparse dots); it is full where
// neighbouring pixels differ by at most kSmooth (sum over R, G, B), none from
// kRough on.
constexpr float kDampError = 20.0f;
constexpr float kTinyError = 1.5f;
constexpr int kSmooth = 24;
constexpr int kRough = 96;

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
}

void FrameQuantizer::ContinueFrom(const FrameQuantizer& other)
{
    width_ = other.width_;
    height_ = other.height_;
    previous_ = other.previous_;
    previousOut_ = other.previousOut_;
    paletteError_ = other.paletteError_;
    pictureError_ = other.pictureError_;
    errors_ = other.errors_;
    SetPalette(previousOut_);
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
    // Only the cells filled for the palette before are cleared: clearing all
    // of them cost more than the rest of a small frame's work.
    if (cells_.empty()) {
        cells_.assign(size_t(1) << 18, -1);
        cellEnd_.assign(size_t(1) << 18, 0);
    }
    for (const int32_t key : filled_)
        cells_[size_t(key)] = -1;
    filled_.clear();
    candidates_.clear();
}

int FrameQuantizer::Nearest(int r, int g, int b)
{
    // The palette entries that can be nearest to some colour of the cell,
    // found on the cell's first use; then the exact nearest among them.
    if (opaqueCount_ == 0)
        return 0;
    const size_t key = size_t(r >> 2) << 12 | size_t(g >> 2) << 6 | size_t(b >> 2);
    int32_t start = cells_[key];
    if (start < 0) {
        // Distance from the cell's centre; an entry farther than the best by
        // more than the cell's diagonal can be nearest to no colour in it.
        const int cr = (r & ~3) + 2, cg = (g & ~3) + 2, cb = (b & ~3) + 2;
        int distance[256];
        int best = INT32_MAX;
        for (int i = 0; i < opaqueCount_; ++i) {
            const int dr = cr - red_[i], dg = cg - green_[i], db = cb - blue_[i];
            distance[i] = dr * dr + dg * dg + db * db;
            best = std::min(best, distance[i]);
        }
        const double reach = std::sqrt(double(best)) + 2 * std::sqrt(3.0 * 2 * 2) + 0.5;
        const int limit = int(reach * reach);
        start = int32_t(candidates_.size());
        for (int i = 0; i < opaqueCount_; ++i)
            if (distance[i] <= limit)
                candidates_.push_back(uint8_t(i));
        cells_[key] = start;
        filled_.push_back(int32_t(key));
        cellEnd_[key] = int32_t(candidates_.size());
    }
    const int32_t end = cellEnd_[key];
    int nearest = candidates_[size_t(start)];
    int bestDistance = INT32_MAX;
    for (int32_t k = start; k < end; ++k) {
        const int i = candidates_[size_t(k)];
        const int dr = r - red_[i], dg = g - green_[i], db = b - blue_[i];
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            nearest = i;
        }
    }
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

    if (w == width_ && h == height_ && !previous_.empty()) {
        if (current_ == previous_) {
            *result = previousOut_;
            return true;
        }
        if (TryReuse(result)) {
            previous_.swap(current_);
            previousOut_ = *result;
            return true;
        }
    }
    if (!Fresh(rgba, result, error))
        return false;
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
        if (c == 0)
            needsTransparent = true;
        else
            e = Error(c);
        after += e;
        changes_.emplace_back(uint32_t(i), e);
    }
    const double whole = pictureError_ + (after - before) / double(n);
    const double regionBefore = before / double(changed);
    const double regionAfter = after / double(changed);
    const bool roomForTransparent = !needsTransparent || previousOut_.transparent >= 0 || previousOut_.colorCount < 256;
    const bool keep = roomForTransparent && whole <= paletteError_ * kDriftFactor + settings_.driftSlack
        && regionAfter <= regionBefore * kRegionFactor + kRegionSlack;
    if (!keep)
        return false;
    for (const auto& [i, e] : changes_)
        errors_[i] = e;
    pictureError_ = whole;

    IndexedPicture& out = *result;
    out = previousOut_;
    if (needsTransparent && out.transparent < 0) {
        out.transparent = out.colorCount++;
        out.palette[size_t(out.transparent)] = 0;
    }
    // Floyd-Steinberg over the changed pixels only, serpentine; unchanged
    // pixels keep their index and neither give nor take dither error.
    // Like libimagequant, dithering fades out where the picture has edges or
    // noise of its own (it would only add noise there, and bytes), and very
    // large errors are damped so that no stray colours pop out.
    const int w = width_;
    const int h = height_;
    const float level = std::clamp(settings_.dithering, 0.0f, 1.0f);
    std::vector<float> errorRows(size_t(w + 2) * 6, 0.0f); // two rows of R,G,B, a pixel of margin each side
    float* thisRow = errorRows.data();
    float* nextRow = errorRows.data() + size_t(w + 2) * 3;
    auto contrast = [&](size_t i, int x, int y) {
        const uint32_t c = current_[i];
        int most = 0;
        auto take = [&](uint32_t o) {
            if (o == 0)
                return;
            most = std::max(most, std::abs(R(c) - R(o)) + std::abs(G(c) - G(o)) + std::abs(B(c) - B(o)));
        };
        if (x > 0)
            take(current_[i - 1]);
        if (x + 1 < w)
            take(current_[i + 1]);
        if (y > 0)
            take(current_[i - size_t(w)]);
        if (y + 1 < h)
            take(current_[i + size_t(w)]);
        return most;
    };
    for (int y = 0; y < h; ++y) {
        std::fill_n(nextRow, size_t(w + 2) * 3, 0.0f);
        const bool leftToRight = (y & 1) == 0;
        const int dir = leftToRight ? 1 : -1;
        const size_t row = size_t(y) * size_t(w);
        for (int step = 0; step < w; ++step) {
            const int x = leftToRight ? step : w - 1 - step;
            const size_t i = row + size_t(x);
            const uint32_t c = current_[i];
            if (c == previous_[i])
                continue; // index kept from the previous frame
            if (c == 0) {
                out.indices[i] = uint8_t(out.transparent);
                continue;
            }
            if (int(out.indices[i]) != out.transparent) {
                // out.indices[i] still holds the previous frame's index here.
                const uint32_t shown = out.palette[out.indices[i]];
                const int sr = R(c) - int((shown >> 16) & 0xFF);
                const int sg = G(c) - int((shown >> 8) & 0xFF);
                const int sb = B(c) - int(shown & 0xFF);
                const int k = Nearest(R(c), G(c), B(c));
                const int nr = R(c) - red_[k], ng = G(c) - green_[k], nb = B(c) - blue_[k];
                if (sr * sr + sg * sg + sb * sb <= nr * nr + ng * ng + nb * nb + settings_.keepSlack)
                    continue;
            }
            float* e = thisRow + size_t(x + 1) * 3;
            float er = e[0] * level, eg = e[1] * level, eb = e[2] * level;
            const float carried = er * er + eg * eg + eb * eb;
            if (carried < kTinyError * kTinyError) {
                // Not worth a different colour: flat areas stay flat.
                er = eg = eb = 0.0f;
            } else if (carried > kDampError * kDampError) {
                er *= 0.8f;
                eg *= 0.8f;
                eb *= 0.8f;
            }
            const float r = std::clamp(R(c) + er, 0.0f, 255.0f);
            const float g = std::clamp(G(c) + eg, 0.0f, 255.0f);
            const float b = std::clamp(B(c) + eb, 0.0f, 255.0f);
            const int k = Nearest(int(r + 0.5f), int(g + 0.5f), int(b + 0.5f));
            out.indices[i] = opaqueIndex_[k];
            float dr = r - float(red_[k]), dg = g - float(green_[k]), db = b - float(blue_[k]);
            if (dr * dr + dg * dg + db * db > kDampError * kDampError) {
                dr *= 0.75f;
                dg *= 0.75f;
                db *= 0.75f;
            }
            const int edge = contrast(i, x, y);
            const float amount = edge <= kSmooth ? 1.0f
                : edge >= kRough                 ? 0.0f
                                                 : float(kRough - edge) / float(kRough - kSmooth);
            if (amount == 0.0f)
                continue;
            dr *= amount / 16.0f;
            dg *= amount / 16.0f;
            db *= amount / 16.0f;
            float* ahead = e + 3 * dir;
            float* below = nextRow + size_t(x + 1) * 3;
            float* belowAhead = below + 3 * dir;
            float* belowBehind = below - 3 * dir;
            ahead[0] += dr * 7;
            ahead[1] += dg * 7;
            ahead[2] += db * 7;
            belowBehind[0] += dr * 3;
            belowBehind[1] += dg * 3;
            belowBehind[2] += db * 3;
            below[0] += dr * 5;
            below[1] += dg * 5;
            below[2] += db * 5;
            belowAhead[0] += dr;
            belowAhead[1] += dg;
            belowAhead[2] += db;
        }
        std::swap(thisRow, nextRow);
    }
    return true;
}

} // namespace imaging
