// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "imaging/ImagingResult.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <memory>

namespace imaging {

// What a WebP file says of itself, from its chunks (no pixel is decoded).
struct WebpHeader {
    QSize canvas;        // as stored
    int orientation = 1; // from the EXIF chunk
    bool animated = false;
    bool alpha = false;
    QByteArray icc; // the ICCP chunk
    QSize Upright() const { return orientation >= 5 ? canvas.transposed() : canvas; }
};

bool IsWebp(const uchar* d, qint64 n);
bool WebpReadHeader(const uchar* d, qint64 n, WebpHeader* header);

// The first frame (the picture of a still file) on the canvas, upright and in
// sRGB; RGBA8888, RGBX8888 without alpha. Damaged or cut data fails.
Result WebpDecode(const uchar* d, qint64 n, QImage* image);

// The frames of an animated (or still) WebP, each the whole canvas.
class WebpFrames final {
public:
    WebpFrames();
    ~WebpFrames();
    WebpFrames(const WebpFrames&) = delete;
    WebpFrames& operator=(const WebpFrames&) = delete;
    // `bytes` must outlive this object.
    Result Open(const QByteArray& bytes);
    // The next frame; at the end a success with a null image.
    Result Next(QImage* image, qint64* lengthMs);

private:
    struct Decoder;
    std::unique_ptr<Decoder> decoder_;
    WebpHeader header_;
    int timestamp_ = 0;
};

} // namespace imaging
