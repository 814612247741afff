// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/FrameQuantizer.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace imaging {
namespace {

// The previous palette is kept for a new picture while
//  - its error on the whole picture stays close to the error it had on the
//    picture it was made for (the palette does not drift away), and
//  - its error on the changed pixels stays close to its error on what those
//    pixels showed before (moving parts keep their quality; a part in
//    colours that the palette lacks gets a new palette).
// Errors are mean squared distances summed over R, G and B.
constexpr double kDriftFactor = 1.25;
constexpr double kDriftSlack = 1.0;
constexpr double kRegionFactor = 1.5;
constexpr double kRegionSlack = 30.0;
// Dithering: errors above this length (in 8-bit units) are damped; it is
// full where neighbouring pixels differ by at most kSmooth (sum over R, G,
// B), none from kRough on.
constexpr float kDampError = 20.0f;
constexpr int kSmooth = 24;
constexpr int kRough = 96;
// A changed pixel keeps the colour the previous frame shows there when that
// colour is at most this much (squared distance, summed over R, G, B) worse
// than the palette's nearest colour: the animation then stores it as
// unchanged. Compared with what is shown, not with the previous picture, so
// the error stays within this bound however slowly a part drifts. 50 is about
// 4 levels per channel: mean SSIM drops by under 0.01 on every-pixel-changes
// animations while they shrink by a fifth.
constexpr int kKeepSlack = 50;

inline int R(uint32_t c) { return int(c & 0xFF); }
inline int G(uint32_t c) { return int((c >> 8) & 0xFF); }
inline int B(uint32_t c) { return int((c >> 16) & 0xFF); }

bool Trace()
{
    static const bool on = qEnvironmentVariableIsSet("FLIPREEL_TRACE_PALETTE");
    return on;
}

}  // namespace

FrameQuantizer::FrameQuantizer()
{
    // TUNING (temporary)
    if (qEnvironmentVariableIsSet("FR_SPEED")) settings_.speed = qEnvironmentVariableIntValue("FR_SPEED");
    if (qEnvironmentVariableIsSet("FR_QMAX")) settings_.maxQuality = qEnvironmentVariableIntValue("FR_QMAX");
    if (qEnvironmentVariableIsSet("FR_DITHER")) settings_.dithering = qEnvironmentVariableIntValue("FR_DITHER") / 100.0f;
    noReuse_ = qEnvironmentVariableIsSet("FR_NOREUSE");
}

void FrameQuantizer::Reset()
{
    width_ = height_ = 0;
    previous_.clear();
    previousOut_ = IndexedPicture();
    paletteError_ = 0;
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
    cells_.assign(size_t(1) << 18, int16_t(-1));
}

int FrameQuantizer::Nearest(int r, int g, int b)
{
    const size_t key = size_t(r >> 2) << 12 | size_t(g >> 2) << 6 | size_t(b >> 2);
    int16_t& cell = cells_[key];
    if (cell >= 0)
        return cell;
    // The cell's centre, so that every colour of the cell gets the same answer.
    const int cr = (r & ~3) + 2, cg = (g & ~3) + 2, cb = (b & ~3) + 2;
    int best = 0;
    int bestDistance = INT32_MAX;
    for (int i = 0; i < opaqueCount_; ++i) {
        const int dr = cr - red_[i], dg = cg - green_[i], db = cb - blue_[i];
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    cell = int16_t(best);
    return best;
}

double FrameQuantizer::MeanError(const std::vector<uint32_t>& pixels, size_t step)
{
    double sum = 0;
    size_t n = 0;
    for (size_t i = 0; i < pixels.size(); i += step) {
        const uint32_t c = pixels[i];
        if (c == 0)
            continue;
        const int k = Nearest(R(c), G(c), B(c));
        const int dr = R(c) - red_[k], dg = G(c) - green_[k], db = B(c) - blue_[k];
        sum += dr * dr + dg * dg + db * db;
        ++n;
    }
    return n ? sum / double(n) : 0.0;
}

bool FrameQuantizer::Quantize(const QImage& picture, IndexedPicture* result, QString* error)
{
    if (picture.isNull()) {
        *error = QStringLiteral("there is no picture");
        return false;
    }
    const QImage rgba = picture.format() == QImage::Format_RGBA8888 || picture.format() == QImage::Format_RGBX8888
        ? picture
        : picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_RGBA8888 : QImage::Format_RGBX8888);
    const int w = rgba.width();
    const int h = rgba.height();
    // The thresholded pixels, as the palette picture will show them.
    current_.resize(size_t(w) * size_t(h));
    const bool alpha = rgba.format() == QImage::Format_RGBA8888;
    for (int y = 0; y < h; ++y) {
        const auto* src = reinterpret_cast<const uint32_t*>(rgba.constScanLine(y));
        uint32_t* dst = &current_[size_t(y) * size_t(w)];
        if (!alpha) {
            for (int x = 0; x < w; ++x)
                dst[x] = src[x] | 0xFF000000u;
            continue;
        }
        for (int x = 0; x < w; ++x) {
            const uint32_t c = src[x];
            dst[x] = (c >> 24) < 128 ? 0u : c | 0xFF000000u;
        }
    }

    if (!noReuse_ && w == width_ && h == height_ && !previous_.empty()) {
        if (current_ == previous_) {
            *result = previousOut_;
            ++stats_.repeated;
            if (Trace())
                std::fprintf(stderr, "palette: repeated\n");
            return true;
        }
        if (TryReuse(result)) {
            previous_.swap(current_);
            previousOut_ = *result;
            ++stats_.reused;
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
    paletteError_ = MeanError(previous_, 1);
    pictureError_ = paletteError_;
    ++stats_.fresh;
    if (Trace())
        std::fprintf(stderr, "palette: fresh, %d colours, error %.2f\n", previousOut_.colorCount, paletteError_);
    return true;
}

bool FrameQuantizer::Fresh(const QImage& picture, IndexedPicture* result, QString* error)
{
    return QuantizePicture(picture, settings_, result, error);
}

bool FrameQuantizer::TryReuse(IndexedPicture* result)
{
    const size_t n = current_.size();
    auto error = [this](uint32_t c) {
        const int k = Nearest(R(c), G(c), B(c));
        const int dr = R(c) - red_[k], dg = G(c) - green_[k], db = B(c) - blue_[k];
        return dr * dr + dg * dg + db * db;
    };
    double before = 0, after = 0;
    size_t changed = 0;
    bool needsTransparent = false;
    for (size_t i = 0; i < n; ++i) {
        const uint32_t c = current_[i];
        const uint32_t p = previous_[i];
        if (c == p)
            continue;
        ++changed;
        if (c == 0)
            needsTransparent = true;
        else
            after += error(c);
        if (p != 0)
            before += error(p);
    }
    const double whole = pictureError_ + (after - before) / double(n);
    const double regionBefore = before / double(changed);
    const double regionAfter = after / double(changed);
    const bool roomForTransparent = !needsTransparent || previousOut_.transparent >= 0 || previousOut_.colorCount < 256;
    const bool keep = roomForTransparent && whole <= paletteError_ * kDriftFactor + kDriftSlack
        && regionAfter <= regionBefore * kRegionFactor + kRegionSlack;
    if (Trace())
        std::fprintf(stderr, "palette: %zu of %zu pixels changed, error %.2f -> %.2f, picture %.2f (palette %.2f)%s\n",
                     changed, n, regionBefore, regionAfter, whole, paletteError_, keep ? "" : ": new palette");
    if (!keep)
        return false;
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
    std::vector<float> errorRows(size_t(w + 2) * 6, 0.0f);  // two rows of R,G,B, a pixel of margin each side
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
        if (x > 0) take(current_[i - 1]);
        if (x + 1 < w) take(current_[i + 1]);
        if (y > 0) take(current_[i - size_t(w)]);
        if (y + 1 < h) take(current_[i + size_t(w)]);
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
                continue;  // index kept from the previous frame
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
                if (sr * sr + sg * sg + sb * sb <= nr * nr + ng * ng + nb * nb + kKeepSlack)
                    continue;
            }
            float* e = thisRow + size_t(x + 1) * 3;
            float er = e[0] * level, eg = e[1] * level, eb = e[2] * level;
            if (er * er + eg * eg + eb * eb > kDampError * kDampError) {
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
            const float amount = edge <= kSmooth ? 1.0f : edge >= kRough ? 0.0f : float(kRough - edge) / float(kRough - kSmooth);
            if (amount == 0.0f)
                continue;
            dr *= amount / 16.0f;
            dg *= amount / 16.0f;
            db *= amount / 16.0f;
            float* ahead = e + 3 * dir;
            float* below = nextRow + size_t(x + 1) * 3;
            float* belowAhead = below + 3 * dir;
            float* belowBehind = below - 3 * dir;
            ahead[0] += dr * 7; ahead[1] += dg * 7; ahead[2] += db * 7;
            belowBehind[0] += dr * 3; belowBehind[1] += dg * 3; belowBehind[2] += db * 3;
            below[0] += dr * 5; below[1] += dg * 5; below[2] += db * 5;
            belowAhead[0] += dr; belowAhead[1] += dg; belowAhead[2] += db;
        }
        std::swap(thisRow, nextRow);
    }
    return true;
}

}  // namespace imaging
