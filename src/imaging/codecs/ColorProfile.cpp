// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/codecs/ColorProfile.h"

#include <QColorSpace>

#include <lcms2.h>

#include <memory>

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

// Grey pictures are stored as RGB with equal parts: one table of 256 entries.
void ConvertGrey(QImage* image, cmsHPROFILE grey, cmsHPROFILE srgb)
{
    const Transform t(cmsCreateTransform(grey, TYPE_GRAY_8, srgb, TYPE_RGB_8, INTENT_PERCEPTUAL, cmsFLAGS_NOCACHE));
    if (!t)
        return;
    uchar levels[256];
    uchar rgb[256 * 3];
    for (int i = 0; i < 256; ++i)
        levels[i] = uchar(i);
    cmsDoTransform(t.get(), levels, rgb, 256);
    for (int y = 0; y < image->height(); ++y) {
        uchar* p = image->scanLine(y);
        for (int x = 0; x < image->width(); ++x, p += 4) {
            const uchar* to = rgb + 3 * p[0];
            p[0] = to[0];
            p[1] = to[1];
            p[2] = to[2];
        }
    }
}

} // namespace

void ConvertToSrgb(QImage* image, const QByteArray& icc)
{
    if (icc.isEmpty() || image->isNull() || image->depth() != 32 || IsSrgb(icc))
        return;
    const Profile in(cmsOpenProfileFromMem(icc.constData(), cmsUInt32Number(icc.size())));
    if (!in)
        return;
    const Profile srgb(cmsCreate_sRGBProfile());
    const cmsColorSpaceSignature space = cmsGetColorSpace(in.get());
    if (space == cmsSigGrayData) {
        ConvertGrey(image, in.get(), srgb.get());
        return;
    }
    if (space != cmsSigRgbData)
        return;
    // The fourth byte (alpha, or the pad of RGBX) is copied as it is.
    const Transform t(
        cmsCreateTransform(in.get(), TYPE_RGBA_8, srgb.get(), TYPE_RGBA_8, INTENT_PERCEPTUAL, cmsFLAGS_COPY_ALPHA));
    if (!t)
        return;
    const int w = image->width();
    const int h = image->height();
    const auto stride = cmsUInt32Number(image->bytesPerLine());
    uchar* bits = image->bits(); // in place: the same layout in and out
    cmsDoTransformLineStride(t.get(), bits, bits, cmsUInt32Number(w), cmsUInt32Number(h), stride, stride, 0, 0);
}

QByteArray ProfileOf(const QImage& image)
{
    const QColorSpace space = image.colorSpace();
    if (!space.isValid() || space == QColorSpace(QColorSpace::SRgb))
        return {};
    return space.iccProfile();
}

} // namespace imaging
