// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/Resampler.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace imaging {
namespace {

// 14-bit weights: they fit 16 bits, so that SSE2 multiplies and adds two
// taps of all four channels in one instruction (as Pillow-SIMD does).
constexpr int kPrecisionBits = 14;
constexpr double kSupport = 3.0;

double Sinc(double x)
{
    if (x == 0.0)
        return 1.0;
    x *= std::numbers::pi;
    return std::sin(x) / x;
}

double Lanczos(double x) { return (-kSupport <= x && x < kSupport) ? Sinc(x) * Sinc(x / kSupport) : 0.0; }

struct Coefficients {
    int kernelSize = 0;
    std::vector<int> bounds;      // per output pixel: first input pixel, count
    std::vector<int16_t> weights; // per output pixel: kernelSize fixed-point weights
};

Coefficients Precompute(int inSize, int outSize)
{
    const double scale = double(inSize) / outSize;
    const double filterScale = std::max(scale, 1.0);
    const double support = kSupport * filterScale;
    Coefficients c;
    c.kernelSize = int(std::ceil(support)) * 2 + 1;
    c.bounds.resize(size_t(outSize) * 2);
    c.weights.assign(size_t(outSize) * size_t(c.kernelSize), 0);
    std::vector<double> k(size_t(c.kernelSize));
    for (int xx = 0; xx < outSize; ++xx) {
        const double center = (xx + 0.5) * scale;
        const double ss = 1.0 / filterScale;
        int xmin = int(center - support + 0.5);
        if (xmin < 0)
            xmin = 0;
        int xmax = int(center + support + 0.5);
        if (xmax > inSize)
            xmax = inSize;
        xmax -= xmin;
        double sum = 0.0;
        for (int x = 0; x < xmax; ++x) {
            const double w = Lanczos((x + xmin - center + 0.5) * ss);
            k[size_t(x)] = w;
            sum += w;
        }
        int16_t* out = &c.weights[size_t(xx) * size_t(c.kernelSize)];
        for (int x = 0; x < xmax; ++x) {
            const double w = sum != 0.0 ? k[size_t(x)] / sum : k[size_t(x)];
            out[x] = int16_t(w < 0 ? -0.5 + w * (1 << kPrecisionBits) : 0.5 + w * (1 << kPrecisionBits));
        }
        c.bounds[size_t(xx) * 2] = xmin;
        c.bounds[size_t(xx) * 2 + 1] = xmax;
    }
    return c;
}

inline uint8_t Clip8(int32_t v)
{
    v >>= kPrecisionBits;
    return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
}

constexpr int32_t kHalf = 1 << (kPrecisionBits - 1);

// Premultiplied data keeps every colour at or below its alpha (ringing may not).
inline void Finish(uint8_t* px, bool opaque)
{
    if (opaque) {
        px[3] = 255;
        return;
    }
    const uint8_t a = px[3];
    px[0] = std::min(px[0], a);
    px[1] = std::min(px[1], a);
    px[2] = std::min(px[2], a);
}

// Rows [y0, y1) of `out` from rows of `in` starting at `inFirst`.
void Horizontal(const QImage& in, int inFirst, QImage& out, int y0, int y1, const Coefficients& c, bool opaque)
{
    const int outW = out.width();
    for (int y = y0; y < y1; ++y) {
        const uint8_t* src = in.constScanLine(inFirst + y);
        uint8_t* dst = out.scanLine(y);
        for (int xx = 0; xx < outW; ++xx) {
            const int xmin = c.bounds[size_t(xx) * 2];
            const int n = c.bounds[size_t(xx) * 2 + 1];
            const int16_t* k = &c.weights[size_t(xx) * size_t(c.kernelSize)];
            const uint8_t* p = src + size_t(xmin) * 4;
#if defined(__SSE2__)
            const __m128i zero = _mm_setzero_si128();
            __m128i acc = _mm_set1_epi32(kHalf);
            int x = 0;
            for (; x + 1 < n; x += 2) {
                // Two pixels as 16-bit values, channel by channel: r0 r1 g0 g1 b0 b1 a0 a1.
                const __m128i two =
                    _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + 4 * x)), zero);
                const __m128i pairs = _mm_unpacklo_epi16(two, _mm_srli_si128(two, 8));
                const __m128i w = _mm_set1_epi32(int32_t(uint16_t(k[x])) | int32_t(uint32_t(uint16_t(k[x + 1])) << 16));
                acc = _mm_add_epi32(acc, _mm_madd_epi16(pairs, w));
            }
            if (x < n) {
                int32_t last;
                std::memcpy(&last, p + 4 * x, 4);
                const __m128i one = _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(last), zero), zero);
                acc = _mm_add_epi32(acc, _mm_madd_epi16(one, _mm_set1_epi32(int32_t(uint16_t(k[x])))));
            }
            acc = _mm_srai_epi32(acc, kPrecisionBits);
            const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(acc, acc), zero);
            const int32_t packed = _mm_cvtsi128_si32(bytes);
            std::memcpy(dst + 4 * xx, &packed, 4);
#else
            int32_t s0 = kHalf, s1 = kHalf, s2 = kHalf, s3 = kHalf;
            for (int x = 0; x < n; ++x) {
                const int32_t w = k[x];
                s0 += p[4 * x] * w;
                s1 += p[4 * x + 1] * w;
                s2 += p[4 * x + 2] * w;
                s3 += p[4 * x + 3] * w;
            }
            dst[4 * xx] = Clip8(s0);
            dst[4 * xx + 1] = Clip8(s1);
            dst[4 * xx + 2] = Clip8(s2);
            dst[4 * xx + 3] = Clip8(s3);
#endif
            Finish(dst + 4 * xx, opaque);
        }
    }
}

// Rows [y0, y1) of `out`; `shift` moves the coefficient bounds into `in`'s rows.
void Vertical(const QImage& in, int shift, QImage& out, int y0, int y1, const Coefficients& c, bool opaque)
{
    const int values = out.width() * 4;
    for (int yy = y0; yy < y1; ++yy) {
        const int ymin = c.bounds[size_t(yy) * 2] - shift;
        const int n = c.bounds[size_t(yy) * 2 + 1];
        const int16_t* k = &c.weights[size_t(yy) * size_t(c.kernelSize)];
        uint8_t* dst = out.scanLine(yy);
        int i = 0;
#if defined(__SSE2__)
        // Eight values (two pixels) at a time, two source rows per step.
        const __m128i zero = _mm_setzero_si128();
        for (; i + 8 <= values; i += 8) {
            __m128i lo = _mm_set1_epi32(kHalf), hi = lo;
            int y = 0;
            for (; y + 1 < n; y += 2) {
                const __m128i a = _mm_unpacklo_epi8(
                    _mm_loadl_epi64(reinterpret_cast<const __m128i*>(in.constScanLine(ymin + y) + i)), zero);
                const __m128i b = _mm_unpacklo_epi8(
                    _mm_loadl_epi64(reinterpret_cast<const __m128i*>(in.constScanLine(ymin + y + 1) + i)), zero);
                const __m128i w = _mm_set1_epi32(int32_t(uint16_t(k[y])) | int32_t(uint32_t(uint16_t(k[y + 1])) << 16));
                lo = _mm_add_epi32(lo, _mm_madd_epi16(_mm_unpacklo_epi16(a, b), w));
                hi = _mm_add_epi32(hi, _mm_madd_epi16(_mm_unpackhi_epi16(a, b), w));
            }
            if (y < n) {
                const __m128i a = _mm_unpacklo_epi8(
                    _mm_loadl_epi64(reinterpret_cast<const __m128i*>(in.constScanLine(ymin + y) + i)), zero);
                const __m128i w = _mm_set1_epi32(int32_t(uint16_t(k[y])));
                lo = _mm_add_epi32(lo, _mm_madd_epi16(_mm_unpacklo_epi16(a, zero), w));
                hi = _mm_add_epi32(hi, _mm_madd_epi16(_mm_unpackhi_epi16(a, zero), w));
            }
            lo = _mm_srai_epi32(lo, kPrecisionBits);
            hi = _mm_srai_epi32(hi, kPrecisionBits);
            _mm_storel_epi64(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(_mm_packs_epi32(lo, hi), zero));
        }
#endif
        for (; i < values; ++i) {
            int32_t sum = kHalf;
            for (int y = 0; y < n; ++y)
                sum += in.constScanLine(ymin + y)[i] * int32_t(k[y]);
            dst[i] = Clip8(sum);
        }
        for (int x = 0; x < values; x += 4)
            Finish(dst + x, opaque);
    }
}

} // namespace

QImage ResampleLanczos(const QImage& source, int width, int height)
{
    if (source.isNull() || width <= 0 || height <= 0)
        return {};
    const bool opaque = !source.hasAlphaChannel();
    const QImage::Format work = opaque ? QImage::Format_RGBX8888 : QImage::Format_RGBA8888_Premultiplied;
    const QImage in = source.format() == work ? source : source.convertToFormat(work);
    if (in.isNull())
        return {};
    const bool needH = width != in.width();
    const bool needV = height != in.height();
    if (!needH && !needV)
        return source.convertToFormat(opaque ? QImage::Format_RGBX8888 : QImage::Format_RGBA8888);

    const Coefficients ch = Precompute(in.width(), width);
    const Coefficients cv = Precompute(in.height(), height);
    // Source rows that the vertical pass reads.
    const int first = cv.bounds[0];
    const int last = cv.bounds[size_t(height) * 2 - 2] + cv.bounds[size_t(height) * 2 - 1];

    QImage temp;
    const QImage* vin = &in;
    int shift = 0;
    if (needH) {
        const int rows = needV ? last - first : in.height();
        const int from = needV ? first : 0;
        temp = QImage(width, rows, work);
        if (temp.isNull())
            return {};
        Horizontal(in, from, temp, 0, rows, ch, opaque);
        if (!needV)
            return temp.convertToFormat(opaque ? QImage::Format_RGBX8888 : QImage::Format_RGBA8888);
        vin = &temp;
        shift = first;
    }
    QImage out(width, height, work);
    if (out.isNull())
        return {};
    Vertical(*vin, shift, out, 0, height, cv, opaque);
    if (opaque)
        return out;
    return out.convertToFormat(QImage::Format_RGBA8888);
}

} // namespace imaging
