// SPDX-License-Identifier: GPL-3.0-or-later
// Picture files laid out byte by byte, so that the decoders are checked
// against a writer that shares nothing with them.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace PictureBytes {

// Uncompressed 24-bit TGA (32-bit when `image` has alpha), rows stored from
// the bottom (the format's default origin) or from the top.
QByteArray Tga(const QImage& image, bool bottomUp);
// Uncompressed 24-bit SGI: planes red, green, blue; rows from the bottom up.
QByteArray Sgi(const QImage& image);
// 24-bit PCX: three run-length coded planes per row.
QByteArray Pcx(const QImage& image);
// 8-bit RGB PSD with a raw composite picture.
QByteArray Psd(const QImage& image);
// Uncompressed 8-bit RGB TIFF in either byte order, strips of `rowsPerStrip`
// rows after the directory (a cut file loses strip data, not the tables).
QByteArray Tiff(const QImage& image, bool bigEndian, int rowsPerStrip);
// Two-colour BMP with run-length coded rows (RLE8), from the bottom up:
// black where `image` is dark, white elsewhere.
QByteArray BmpRle8(const QImage& image);

bool Write(const QString& path, const QByteArray& bytes);

// A picture whose first `topRows` rows are `top` and the others `bottom`:
// shows at once whether rows were read upside down.
QImage Bands(int width, int height, int topRows, QRgb top, QRgb bottom);

} // namespace PictureBytes
