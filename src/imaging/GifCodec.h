// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

class QIODevice;
struct GifFileType;

namespace imaging {

// One picture as colour indices and a palette (0xAARRGGBB, opaque entries).
struct IndexedPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> indices;        // width * height, row by row
    std::array<uint32_t, 256> palette{}; // unused entries are opaque black
    int colorCount = 0;                  // entries that the picture's colour table holds
    int transparent = -1;                // index shown transparent, -1 for none
};

// RGBA8888 (RGBX8888 when no pixel is transparent).
QImage IndexedToImage(const IndexedPicture& picture);

// Writes a GIF89a stream block by block to a device, in large writes.
class GifWriter final {
public:
    struct Frame {
        int left = 0;
        int top = 0;
        int width = 0;
        int height = 0;
        uint8_t* pixels = nullptr; // width * height indices, contiguous (giflib may rewrite them in place)
        const uint32_t* palette = nullptr;
        int colorCount = 0;          // entries used; the table is padded to a power of two
        int transparent = -1;        // -1: no transparency
        int disposal = 0;            // GIF disposal method 0..3
        int delay = 0;               // hundredths of a second
        bool graphicControl = false; // write a graphic control extension even without transparency/delay
    };

    explicit GifWriter(QIODevice* device);
    ~GifWriter();
    Q_DISABLE_COPY_MOVE(GifWriter)

    // Screen descriptor, optional global colour table (palette may be null),
    // and a NETSCAPE2.0 loop extension when loopCount >= 0.
    bool Begin(int width, int height, const uint32_t* palette, int colorCount, int loopCount);
    // An image with a local colour table (none when localPalette is false).
    bool AddFrame(const Frame& frame, bool localPalette);
    // The same with pixels already compressed (LZW data sub-blocks for the
    // code size LzwCodeSize(frame.colorCount), see LzwEncoder); frame.pixels is
    // unused. Without a local palette the global table's indices are meant.
    bool AddCompressedFrame(const Frame& frame, const QByteArray& blocks, bool localPalette = true);
    // Trailer; flushes everything to the device.
    bool End();

    QString Error() const { return error_; }

private:
    static int Output(GifFileType* gif, const unsigned char* bytes, int length);
    bool PutControl(const Frame& frame);
    bool Fail(const char* step, int code);
    bool Flush();

    QIODevice* device_;
    GifFileType* gif_ = nullptr;
    QByteArray buffer_;
    bool deviceFailed_ = false;
    QString error_;
};

// Bits needed to index `count` colours (at least 1).
int PaletteBits(int count);
// The LZW minimum code size of an image whose colour table holds `count` entries.
int LzwCodeSize(int count);

} // namespace imaging
