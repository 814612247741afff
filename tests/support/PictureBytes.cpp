// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/PictureBytes.h"

#include <QFile>

namespace PictureBytes {
namespace {

void Le16(QByteArray& b, int v) { b.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF)); }
void Le32(QByteArray& b, quint32 v) { Le16(b, int(v & 0xFFFF)); Le16(b, int(v >> 16)); }
void Be16(QByteArray& b, int v) { b.append(char((v >> 8) & 0xFF)).append(char(v & 0xFF)); }
void Be32(QByteArray& b, quint32 v) { Be16(b, int(v >> 16)); Be16(b, int(v & 0xFFFF)); }

int Channel(QRgb p, int plane) { return plane == 0 ? qRed(p) : plane == 1 ? qGreen(p) : qBlue(p); }

} // namespace

QByteArray Tga(const QImage& image, bool bottomUp)
{
    QByteArray b;
    b.append(char(0)).append(char(0)).append(char(2)); // no id, no colour map, true colour
    b.append(5, char(0));                               // colour map spec
    Le16(b, 0);
    Le16(b, 0);
    Le16(b, image.width());
    Le16(b, image.height());
    const bool alpha = image.hasAlphaChannel();
    // Bit 5: origin at the top; bits 0-3: alpha bits per pixel.
    b.append(char(alpha ? 32 : 24)).append(char((bottomUp ? 0x00 : 0x20) | (alpha ? 8 : 0)));
    for (int r = 0; r < image.height(); ++r) {
        const int y = bottomUp ? image.height() - 1 - r : r;
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            b.append(char(qBlue(p))).append(char(qGreen(p))).append(char(qRed(p)));
            if (alpha)
                b.append(char(qAlpha(p)));
        }
    }
    return b;
}

QByteArray Sgi(const QImage& image)
{
    QByteArray b;
    Be16(b, 474);
    b.append(char(0)).append(char(1)); // verbatim, 1 byte per channel
    Be16(b, 3);
    Be16(b, image.width());
    Be16(b, image.height());
    Be16(b, 3);
    Be32(b, 0);
    Be32(b, 255);
    b.append(512 - b.size(), char(0));
    for (int plane = 0; plane < 3; ++plane)
        for (int y = image.height() - 1; y >= 0; --y)
            for (int x = 0; x < image.width(); ++x)
                b.append(char(Channel(image.pixel(x, y), plane)));
    return b;
}

QByteArray Pcx(const QImage& image)
{
    const int w = image.width(), h = image.height();
    const int stride = w + (w & 1);
    QByteArray b;
    b.append(char(10)).append(char(5)).append(char(1)).append(char(8));
    Le16(b, 0);
    Le16(b, 0);
    Le16(b, w - 1);
    Le16(b, h - 1);
    Le16(b, 72);
    Le16(b, 72);
    b.append(48, char(0));
    b.append(char(0)).append(char(3)); // reserved, planes
    Le16(b, stride);
    Le16(b, 1);
    b.append(128 - b.size(), char(0));
    for (int y = 0; y < h; ++y)
        for (int plane = 0; plane < 3; ++plane)
            for (int x = 0; x < stride;) {
                const int v = x < w ? Channel(image.pixel(x, y), plane) : 0;
                int run = 1;
                while (x + run < stride && run < 63 && (x + run < w ? Channel(image.pixel(x + run, y), plane) : 0) == v)
                    ++run;
                if (run > 1 || v >= 0xC0)
                    b.append(char(0xC0 | run));
                b.append(char(v));
                x += run;
            }
    return b;
}

QByteArray Psd(const QImage& image)
{
    QByteArray b("8BPS");
    Be16(b, 1);
    b.append(6, char(0));
    Be16(b, 3);
    Be32(b, quint32(image.height()));
    Be32(b, quint32(image.width()));
    Be16(b, 8);
    Be16(b, 3); // RGB
    Be32(b, 0); // colour mode data
    Be32(b, 0); // image resources
    Be32(b, 0); // layers
    Be16(b, 0); // raw
    for (int plane = 0; plane < 3; ++plane)
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                b.append(char(Channel(image.pixel(x, y), plane)));
    return b;
}

QByteArray BmpRle8(const QImage& image)
{
    QByteArray data;
    for (int y = image.height() - 1; y >= 0; --y) {
        for (int x = 0; x < image.width();) {
            const int v = qGray(image.pixel(x, y)) < 128 ? 0 : 1;
            int run = 1;
            while (x + run < image.width() && run < 255 && (qGray(image.pixel(x + run, y)) < 128 ? 0 : 1) == v)
                ++run;
            data.append(char(run)).append(char(v));
            x += run;
        }
        data.append(char(0)).append(char(0)); // end of line
    }
    data.append(char(0)).append(char(1)); // end of picture
    QByteArray b("BM");
    Le32(b, quint32(14 + 40 + 8 + data.size()));
    Le32(b, 0);
    Le32(b, 14 + 40 + 8);
    Le32(b, 40);
    Le32(b, quint32(image.width()));
    Le32(b, quint32(image.height()));
    Le16(b, 1);
    Le16(b, 8);
    Le32(b, 1); // BI_RLE8
    Le32(b, quint32(data.size()));
    Le32(b, 2835);
    Le32(b, 2835);
    Le32(b, 2);
    Le32(b, 0);
    Le32(b, 0x00000000);
    Le32(b, 0x00FFFFFF);
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
