// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/PictureBytes.h"

#include <QFile>

#include <algorithm>
#include <initializer_list>

namespace PictureBytes {
namespace {

void Bytes(QByteArray& b, std::initializer_list<int> values)
{
    for (int v : values)
        b.append(char(v & 0xFF));
}
void Le16(QByteArray& b, std::initializer_list<int> values)
{
    for (int v : values)
        Bytes(b, {v, v >> 8});
}
void Le32(QByteArray& b, std::initializer_list<int> values)
{
    for (int v : values)
        Bytes(b, {v, v >> 8, v >> 16, v >> 24});
}
void Be16(QByteArray& b, std::initializer_list<int> values)
{
    for (int v : values)
        Bytes(b, {v >> 8, v});
}
void Be32(QByteArray& b, std::initializer_list<int> values)
{
    for (int v : values)
        Bytes(b, {v >> 24, v >> 16, v >> 8, v});
}

int Channel(QRgb p, int plane) { return plane == 0 ? qRed(p) : plane == 1 ? qGreen(p) : qBlue(p); }

// Planes of 8-bit samples: red, green, blue, each row by row.
void Planes(QByteArray& b, const QImage& image, bool bottomUp)
{
    for (int plane = 0; plane < 3; ++plane)
        for (int r = 0; r < image.height(); ++r)
            for (int x = 0; x < image.width(); ++x)
                b.append(char(Channel(image.pixel(x, bottomUp ? image.height() - 1 - r : r), plane)));
}

} // namespace

QByteArray Tga(const QImage& image, bool bottomUp)
{
    QByteArray b;
    Bytes(b, {0, 0, 2, 0, 0, 0, 0, 0}); // no id, no colour map, true colour
    Le16(b, {0, 0, image.width(), image.height()});
    const bool alpha = image.hasAlphaChannel();
    // Bit 5: origin at the top; bits 0-3: alpha bits per pixel.
    Bytes(b, {alpha ? 32 : 24, (bottomUp ? 0x00 : 0x20) | (alpha ? 8 : 0)});
    for (int r = 0; r < image.height(); ++r)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, bottomUp ? image.height() - 1 - r : r);
            Bytes(b, {qBlue(p), qGreen(p), qRed(p)});
            if (alpha)
                Bytes(b, {qAlpha(p)});
        }
    return b;
}

QByteArray Sgi(const QImage& image)
{
    QByteArray b;
    Be16(b, {474});
    Bytes(b, {0, 1}); // verbatim, 1 byte per channel
    Be16(b, {3, image.width(), image.height(), 3});
    Be32(b, {0, 255});
    b.append(512 - b.size(), char(0));
    Planes(b, image, true);
    return b;
}

QByteArray Pcx(const QImage& image)
{
    const int w = image.width(), h = image.height();
    const int stride = w + (w & 1);
    QByteArray b;
    Bytes(b, {10, 5, 1, 8});
    Le16(b, {0, 0, w - 1, h - 1, 72, 72});
    b.append(48, char(0));
    Bytes(b, {0, 3}); // reserved, planes
    Le16(b, {stride, 1});
    b.append(128 - b.size(), char(0));
    const auto value = [&](int x, int y, int plane) { return x < w ? Channel(image.pixel(x, y), plane) : 0; };
    for (int y = 0; y < h; ++y)
        for (int plane = 0; plane < 3; ++plane)
            for (int x = 0; x < stride;) {
                const int v = value(x, y, plane);
                int run = 1;
                while (x + run < stride && run < 63 && value(x + run, y, plane) == v)
                    ++run;
                if (run > 1 || v >= 0xC0)
                    Bytes(b, {0xC0 | run});
                Bytes(b, {v});
                x += run;
            }
    return b;
}

QByteArray Psd(const QImage& image)
{
    QByteArray b("8BPS");
    Be16(b, {1, 0, 0, 0, 3});
    Be32(b, {image.height(), image.width()});
    Be16(b, {8, 3});    // 8 bits, RGB
    Be32(b, {0, 0, 0}); // colour mode data, image resources, layers
    Be16(b, {0});       // raw
    Planes(b, image, false);
    return b;
}

QByteArray Tiff(const QImage& image, bool bigEndian, int rowsPerStrip)
{
    const int w = image.width(), h = image.height();
    const int strips = (h + rowsPerStrip - 1) / rowsPerStrip;
    const auto u16 = [&](QByteArray& b, int v) { bigEndian ? Be16(b, {v}) : Le16(b, {v}); };
    const auto u32 = [&](QByteArray& b, int v) { bigEndian ? Be32(b, {v}) : Le32(b, {v}); };
    QByteArray b(bigEndian ? "MM" : "II");
    u16(b, 42);
    u32(b, 8);
    const int entries = 10, tables = 8 + 2 + 12 * entries + 4, data = tables + 8 * strips;
    u16(b, entries);
    // Tag, type (3 short, 4 long), count, value (left-justified when short).
    const auto entry = [&](int tag, int type, int count, int value) {
        u16(b, tag);
        u16(b, type);
        u32(b, count);
        if (type == 3 && count == 1) {
            u16(b, value);
            u16(b, 0);
        } else {
            u32(b, value);
        }
    };
    entry(256, 4, 1, w);
    entry(257, 4, 1, h);
    entry(258, 3, 1, 8); // bits per sample: one value stands for all three
    entry(259, 3, 1, 1); // no compression
    entry(262, 3, 1, 2); // RGB
    entry(273, 4, strips, tables);
    entry(277, 3, 1, 3);
    entry(278, 4, 1, rowsPerStrip);
    entry(279, 4, strips, tables + 4 * strips);
    entry(284, 3, 1, 1); // chunky
    u32(b, 0);
    for (int s = 0; s < strips; ++s)
        u32(b, data + s * rowsPerStrip * w * 3);
    for (int s = 0; s < strips; ++s)
        u32(b, std::min(rowsPerStrip, h - s * rowsPerStrip) * w * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            Bytes(b, {qRed(image.pixel(x, y)), qGreen(image.pixel(x, y)), qBlue(image.pixel(x, y))});
    return b;
}

QByteArray BmpRle8(const QImage& image)
{
    const auto index = [&image](int x, int y) { return qGray(image.pixel(x, y)) < 128 ? 0 : 1; };
    QByteArray data;
    for (int y = image.height() - 1; y >= 0; --y) {
        for (int x = 0; x < image.width();) {
            int run = 1;
            while (x + run < image.width() && run < 255 && index(x + run, y) == index(x, y))
                ++run;
            Bytes(data, {run, index(x, y)});
            x += run;
        }
        Bytes(data, {0, 0}); // end of line
    }
    Bytes(data, {0, 1}); // end of picture
    QByteArray b("BM");
    Le32(b, {14 + 40 + 8 + int(data.size()), 0, 14 + 40 + 8, 40, image.width(), image.height()});
    Le16(b, {1, 8});
    Le32(b, {1, int(data.size()), 2835, 2835, 2, 0}); // BI_RLE8, two colours
    Le32(b, {0x000000, 0xFFFFFF});
    return b + data;
}

QImage Bands(int width, int height, int topRows, QRgb top, QRgb bottom)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(bottom);
    for (int y = 0; y < topRows && y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, top);
    return image;
}

bool Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

} // namespace PictureBytes
