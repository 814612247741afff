// SPDX-License-Identifier: GPL-3.0-or-later
#include "ImagingTestSupport.h"

#include "imaging/animation/FrameQuantizer.h"
#include "imaging/ImageEngine.h"
#include "imaging/ImagingRuntime.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QtEndian>

#include <Magick++.h>

#include <list>

namespace testing_imaging {

QImage Pattern(int width, int height, bool withAlpha)
{
    QImage image(width, height, withAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool right = x >= width / 2;
            const bool bottom = y >= height / 2;
            int r = right ? 230 : 20, g = bottom ? 200 : 40, b = (right != bottom) ? 220 : 30;
            r = (r + x * 20 / std::max(width, 1)) & 255;
            int a = 255;
            if (withAlpha)
                a = (x + y) % 3 == 0 ? 0 : (x % 4 == 1 ? 100 : 255);
            image.setPixel(x, y, qRgba(r, g, b, a));
        }
    }
    return image;
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

static Magick::Image ToMagick(const QImage& image)
{
    imaging::EnsureImagingRuntime();
    const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
    Magick::Image m(size_t(rgba.width()), size_t(rgba.height()), "RGBA", Magick::CharPixel, rgba.constBits());
    if (!image.hasAlphaChannel())
        m.matte(false);
    return m;
}

bool WriteWithMagick(const QImage& image, const QString& path, const char* coder)
{
    try {
        Magick::Image m = ToMagick(image);
        m.magick(coder);
        m.write(std::string(coder) + ":" + QFile::encodeName(path).toStdString());
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool WriteListWithMagick(const QVector<QImage>& images, const QString& path, const char* coder)
{
    try {
        std::list<Magick::Image> list;
        for (const QImage& i : images)
            list.push_back(ToMagick(i));
        Magick::writeImages(list.begin(), list.end(), std::string(coder) + ":" + QFile::encodeName(path).toStdString());
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

QByteArray PlaceableWmf(int width, int height, int unitsPerInch)
{
    QByteArray wmf;
    auto put16 = [&wmf](int v) {
        wmf.append(char(v & 0xFF));
        wmf.append(char((v >> 8) & 0xFF));
    };
    auto put32 = [&](int v) {
        put16(v & 0xFFFF);
        put16((v >> 16) & 0xFFFF);
    };
    wmf.append("\xD7\xCD\xC6\x9A", 4);
    put16(0);
    put16(0);
    put16(0);
    put16(width);
    put16(height);
    put16(unitsPerInch);
    put32(0);
    quint16 sum = 0;
    for (int i = 0; i < 20; i += 2)
        sum ^= quint16(uchar(wmf[i]) | uchar(wmf[i + 1]) << 8);
    put16(sum);
    const int records[][8] = {
        {5, 0x020B, 0, 0},                                                 // window origin
        {5, 0x020C, height, width},                                        // window extent
        {7, 0x02FC, 0, 0x00FF, 0, 0},                                      // solid red brush
        {4, 0x012D, 0},                                                    // select it
        {7, 0x041B, height * 5 / 6, width * 5 / 6, height / 7, width / 7}, // rectangle bottom, right, top, left
        {3, 0x0000},                                                       // end
    };
    int words = 9;
    for (const auto& r : records)
        words += r[0];
    put16(1);
    put16(9);
    put16(0x0300);
    put32(words);
    put16(1);
    put32(7);
    put16(0);
    for (const auto& r : records) {
        put32(r[0]);
        put16(r[1]);
        for (int k = 0; k < r[0] - 3; ++k)
            put16(r[2 + k]);
    }
    return wmf;
}

QByteArray JpegWithOrientation(const QImage& image, int orientation)
{
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 95);
    // APP1: "Exif\0\0", little-endian TIFF header, IFD0 with one entry (0x0112).
    QByteArray tiff;
    tiff.append("II*\0", 4);
    const char ifdOffset[4] = {8, 0, 0, 0};
    tiff.append(ifdOffset, 4);
    const char count[2] = {1, 0};
    tiff.append(count, 2);
    const char entry[12] = {0x12, 0x01, 3, 0, 1, 0, 0, 0, char(orientation), 0, 0, 0};
    tiff.append(entry, 12);
    tiff.append(QByteArray(4, '\0'));
    QByteArray app1("Exif\0\0", 6);
    app1.append(tiff);
    QByteArray segment("\xFF\xE1", 2);
    const quint16 length = quint16(app1.size() + 2);
    segment.append(char(length >> 8));
    segment.append(char(length & 0xFF));
    segment.append(app1);
    jpeg.insert(2, segment); // right after SOI
    return jpeg;
}

Scratch::Scratch() = default;

QString Scratch::Path(const QString& name) const { return dir_.filePath(name); }

QStringList Scratch::Entries() const
{
    return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

QString SaveFrame(const Scratch& scratch, const QString& name, const QImage& image, imaging::FrameQuantizer* frames)
{
    const QString png = scratch.Path(name + QStringLiteral(".png"));
    const QString gif = scratch.Path(name + QStringLiteral(".gif"));
    if (!image.save(png, "PNG"))
        return {};
    ImageEngine engine;
    if (!engine.LoadFile(png) || !(frames ? engine.SaveFile(gif, *frames) : engine.SaveFile(gif, false, 0)))
        return {};
    QFile::remove(png);
    return gif;
}

} // namespace testing_imaging
