// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/codecs/ColorProfile.h"

#include <QColorSpace>

#include <lcms2.h>

#include <deque>
#include <memory>
#include <mutex>
#include <utility>

namespace imaging {
namespace {

struct ProfileCloser {
    void operator()(void* p) const { cmsCloseProfile(p); }
};
struct TransformDeleter {
    void operator()(void* t) const { cmsDeleteTransform(t); }
};
using Profile = std::unique_ptr<void, ProfileCloser>;
using Transform = std::unique_ptr<void, TransformDeleter>;

// A profile whose colours already are sRGB's needs no transform (and gets none,
// so that the common case costs nothing and stays exact).
bool IsSrgb(const QByteArray& icc)
{
    const QColorSpace space = QColorSpace::fromIccProfile(icc);
    return space.isValid() && space == QColorSpace(QColorSpace::SRgb);
}

// How a profile's colours become sRGB: nothing (sRGB itself, unreadable,
// not RGB nor grey), one transform for RGB, a table of 256 for grey.
struct Conversion {
    Transform rgb;
    bool grey = false;
    uchar greyRgb[256 * 3] = {};
};

std::shared_ptr<const Conversion> MakeConversion(const QByteArray& icc)
{
    auto c = std::make_shared<Conversion>();
    if (IsSrgb(icc))
        return c;
    const Profile in(cmsOpenProfileFromMem(icc.constData(), cmsUInt32Number(icc.size())));
    if (!in)
        return c;
    const Profile srgb(cmsCreate_sRGBProfile());
    const cmsColorSpaceSignature space = cmsGetColorSpace(in.get());
    if (space == cmsSigGrayData) {
        // Grey pictures are stored as RGB with equal parts.
        const Transform t(
            cmsCreateTransform(in.get(), TYPE_GRAY_8, srgb.get(), TYPE_RGB_8, INTENT_PERCEPTUAL, cmsFLAGS_NOCACHE));
        if (t) {
            uchar levels[256];
            for (int i = 0; i < 256; ++i)
                levels[i] = uchar(i);
            cmsDoTransform(t.get(), levels, c->greyRgb, 256);
            c->grey = true;
        }
    } else if (space == cmsSigRgbData) {
        // The fourth byte (alpha, or the pad of RGBX) is copied as it is. No
        // cache of the last pixel: the transform is shared by the workers.
        c->rgb.reset(cmsCreateTransform(in.get(), TYPE_RGBA_8, srgb.get(), TYPE_RGBA_8, INTENT_PERCEPTUAL,
                                        cmsFLAGS_COPY_ALPHA | cmsFLAGS_NOCACHE));
    }
    return c;
}

// Making a transform costs far more than applying it to a small picture, and
// the pictures of one animation mostly share a profile (a PNG's cHRM and gAMA
// on every frame made a 24-frame sprite take seven times as long): the last
// few conversions are kept.
std::shared_ptr<const Conversion> ConversionFor(const QByteArray& icc)
{
    static std::mutex mutex;
    static std::deque<std::pair<QByteArray, std::shared_ptr<const Conversion>>> recent; // newest first
    constexpr size_t kKept = 8;
    {
        const std::lock_guard lock(mutex);
        for (const auto& [profile, conversion] : recent)
            if (profile == icc)
                return conversion;
    }
    std::shared_ptr<const Conversion> made = MakeConversion(icc);
    const std::lock_guard lock(mutex);
    recent.emplace_front(icc, made);
    if (recent.size() > kKept)
        recent.pop_back();
    return made;
}

} // namespace

void ConvertToSrgb(QImage* image, const QByteArray& icc)
{
    if (icc.isEmpty() || image->isNull() || image->depth() != 32)
        return;
    const std::shared_ptr<const Conversion> c = ConversionFor(icc);
    const int w = image->width();
    const int h = image->height();
    if (c->grey) {
        for (int y = 0; y < h; ++y) {
            uchar* p = image->scanLine(y);
            for (int x = 0; x < w; ++x, p += 4) {
                const uchar* to = c->greyRgb + 3 * p[0];
                p[0] = to[0];
                p[1] = to[1];
                p[2] = to[2];
            }
        }
    } else if (c->rgb) {
        const auto stride = cmsUInt32Number(image->bytesPerLine());
        uchar* bits = image->bits(); // in place: the same layout in and out
        cmsDoTransformLineStride(c->rgb.get(), bits, bits, cmsUInt32Number(w), cmsUInt32Number(h), stride, stride, 0,
                                 0);
    }
}

QByteArray ProfileOf(const QImage& image)
{
    const QColorSpace space = image.colorSpace();
    if (!space.isValid() || space == QColorSpace(QColorSpace::SRgb))
        return {};
    return space.iccProfile();
}

} // namespace imaging
