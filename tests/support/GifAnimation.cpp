// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/GifAnimation.h"

#include <QFile>

#include <gif_lib.h>

#include <algorithm>
#include <cstring>

namespace testing_imaging {

QImage Normalized(const QImage& image)
{
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* p = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            if (qAlpha(p[x]) == 0)
                p[x] = 0;
    }
    return out;
}

int DifferentPixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return -1;
    const QImage na = Normalized(a), nb = Normalized(b);
    int n = 0;
    for (int y = 0; y < na.height(); ++y)
        for (int x = 0; x < na.width(); ++x)
            n += na.pixel(x, y) != nb.pixel(x, y);
    return n;
}

double MeanDifference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.isNull())
        return 1e9;
    const QImage na = a.convertToFormat(QImage::Format_ARGB32), nb = b.convertToFormat(QImage::Format_ARGB32);
    double sum = 0;
    for (int y = 0; y < na.height(); ++y) {
        for (int x = 0; x < na.width(); ++x) {
            const QRgb p = na.pixel(x, y), q = nb.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    }
    return sum / (3.0 * na.width() * na.height());
}

Animation DecodeAnimation(const QString& path)
{
    Animation a;
    QFile file(path);
    const QByteArray head = file.open(QIODevice::ReadOnly) ? file.read(6) : QByteArray();
    a.version = head;
    int error = 0;
    GifFileType* gif = DGifOpenFileName(QFile::encodeName(path).constData(), &error);
    if (!gif) {
        a.error = QString::fromLatin1(GifErrorString(error));
        return a;
    }
    if (DGifSlurp(gif) == GIF_ERROR) {
        a.error = QString::fromLatin1(GifErrorString(gif->Error));
        DGifCloseFile(gif, &error);
        return a;
    }
    a.width = gif->SWidth;
    a.globalTableSize = gif->SColorMap ? gif->SColorMap->ColorCount : 0;
    a.height = gif->SHeight;
    // Browsers start from a transparent canvas (they ignore the background colour).
    QImage canvas(a.width, a.height, QImage::Format_ARGB32);
    canvas.fill(0);
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& s = gif->SavedImages[i];
        for (int k = 0; k < s.ExtensionBlockCount; ++k) {
            const ExtensionBlock& e = s.ExtensionBlocks[k];
            if (e.Function == APPLICATION_EXT_FUNC_CODE && e.ByteCount == 11
                && std::memcmp(e.Bytes, "NETSCAPE2.0", 11) == 0 && k + 1 < s.ExtensionBlockCount) {
                const ExtensionBlock& sub = s.ExtensionBlocks[k + 1];
                if (sub.ByteCount >= 3 && sub.Bytes[0] == 1) {
                    a.loopCount = sub.Bytes[1] | sub.Bytes[2] << 8;
                    ++a.netscapeBlocks;
                }
            }
        }
        GraphicsControlBlock gcb;
        gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
        gcb.DelayTime = 0;
        gcb.TransparentColor = NO_TRANSPARENT_COLOR;
        DGifSavedExtensionToGCB(gif, i, &gcb);
        a.delays << gcb.DelayTime;
        a.disposals << gcb.DisposalMode;
        a.transparent << (gcb.TransparentColor != NO_TRANSPARENT_COLOR);
        const GifImageDesc& d = s.ImageDesc;
        a.rects << QRect(d.Left, d.Top, d.Width, d.Height);
        a.localTables << (d.ColorMap != nullptr);
        const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
        if (!map) {
            a.error = QStringLiteral("image %1 has no colour table").arg(i);
            DGifCloseFile(gif, &error);
            return a;
        }
        const QImage before = gcb.DisposalMode == DISPOSE_PREVIOUS ? canvas.copy() : QImage();
        for (int y = 0; y < d.Height; ++y) {
            for (int x = 0; x < d.Width; ++x) {
                const int index = s.RasterBits[y * d.Width + x];
                if (index == gcb.TransparentColor)
                    continue;
                const int cx = d.Left + x, cy = d.Top + y;
                if (cx >= a.width || cy >= a.height)
                    continue;
                const GifColorType c = index < map->ColorCount ? map->Colors[index] : GifColorType{0, 0, 0};
                canvas.setPixel(cx, cy, qRgb(c.Red, c.Green, c.Blue));
            }
        }
        a.frames << canvas.copy();
        if (gcb.DisposalMode == DISPOSE_BACKGROUND) {
            for (int y = d.Top; y < std::min(a.height, d.Top + d.Height); ++y)
                for (int x = d.Left; x < std::min(a.width, d.Left + d.Width); ++x)
                    canvas.setPixel(x, y, 0);
        } else if (gcb.DisposalMode == DISPOSE_PREVIOUS) {
            canvas = before;
        }
    }
    DGifCloseFile(gif, &error);
    a.ok = true;
    return a;
}

QVector<QImage> ScaledPictures(const QStringList& paths, QSize size)
{
    QVector<QImage> out;
    for (const QString& path : paths)
        out << QImage(path)
                   .convertToFormat(QImage::Format_RGB32)
                   .scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return out;
}

double WorstFrameDifference(const Animation& animation, const QVector<QImage>& expected)
{
    if (animation.frames.size() != expected.size())
        return 1e9;
    double worst = 0;
    for (int i = 0; i < expected.size(); ++i)
        worst = std::max(worst, MeanDifference(animation.frames[i], expected[i]));
    return worst;
}

} // namespace testing_imaging
