// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/GifCodec.h"

#include "imaging/codecs/GifCodec.h"

#include <QCoreApplication>
#include <QIODevice>

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace imaging {

int PaletteBits(int count)
{
    int bits = 1;
    while ((1 << bits) < count)
        ++bits;
    return bits;
}

int LzwCodeSize(int count) { return std::max(2, PaletteBits(std::max(count, 2))); }

QImage IndexedToImage(const IndexedPicture& picture)
{
    bool anyTransparent = false;
    if (picture.transparent >= 0) {
        const uint8_t t = uint8_t(picture.transparent);
        anyTransparent = std::find(picture.indices.begin(), picture.indices.end(), t) != picture.indices.end();
    }
    QImage image(picture.width, picture.height, anyTransparent ? QImage::Format_RGBA8888 : QImage::Format_RGBX8888);
    if (image.isNull())
        return image;
    // Palette as RGBA bytes in memory order.
    std::array<uint32_t, 256> rgba{};
    for (int i = 0; i < 256; ++i) {
        const uint32_t c = picture.palette[size_t(i)];
        const uchar bytes[4] = {uchar(c >> 16), uchar(c >> 8), uchar(c), uchar(c >> 24)};
        std::memcpy(&rgba[size_t(i)], bytes, 4);
    }
    if (picture.transparent >= 0)
        rgba[size_t(picture.transparent)] = 0;
    for (int y = 0; y < picture.height; ++y) {
        auto* out = reinterpret_cast<uint32_t*>(image.scanLine(y));
        const uint8_t* in = &picture.indices[size_t(y) * size_t(picture.width)];
        for (int x = 0; x < picture.width; ++x)
            out[x] = rgba[in[x]];
    }
    return image;
}

// ---------------------------------------------------------------- writer

namespace {
constexpr qsizetype kFlushBytes = 1 << 20;

ColorMapObject* MakeMap(const uint32_t* palette, int count)
{
    const int bits = PaletteBits(std::max(count, 2));
    GifColorType colors[256] = {};
    for (int i = 0; i < count && i < 256; ++i) {
        colors[i].Red = GifByteType(palette[i] >> 16);
        colors[i].Green = GifByteType(palette[i] >> 8);
        colors[i].Blue = GifByteType(palette[i]);
    }
    return GifMakeMapObject(1 << bits, colors);
}

// giflib keeps its copy of a frame's local colour table until the next frame
// with one, and drops it unfreed when the next frame has none: free it once
// the frame is written.
void ReleaseLocalMap(GifFileType* gif)
{
    GifFreeMapObject(gif->Image.ColorMap);
    gif->Image.ColorMap = nullptr;
}
} // namespace

GifWriter::GifWriter(QIODevice* device)
    : device_(device)
{
}

GifWriter::~GifWriter()
{
    if (gif_) {
        int ignored = 0;
        EGifCloseFile(gif_, &ignored);
    }
}

int GifWriter::Output(GifFileType* gif, const unsigned char* bytes, int length)
{
    auto* self = static_cast<GifWriter*>(gif->UserData);
    if (self->deviceFailed_)
        return 0;
    self->buffer_.append(reinterpret_cast<const char*>(bytes), length);
    if (self->buffer_.size() >= kFlushBytes && !self->Flush())
        return 0;
    return length;
}

bool GifWriter::Flush()
{
    if (buffer_.isEmpty())
        return !deviceFailed_;
    const qint64 n = device_->write(buffer_);
    if (n != buffer_.size()) {
        deviceFailed_ = true;
        return false;
    }
    buffer_.clear();
    return true;
}

bool GifWriter::Fail(const char* step, int code)
{
    if (deviceFailed_)
        error_ = device_->errorString();
    else
        error_ = QCoreApplication::translate("GifCodec", "%1 failed: %2")
                     .arg(QCoreApplication::translate("GifCodec", step), GifMessage(code));
    return false;
}

bool GifWriter::Begin(int width, int height, const uint32_t* palette, int colorCount, int loopCount)
{
    int code = 0;
    gif_ = EGifOpen(this, &GifWriter::Output, &code);
    if (!gif_)
        return Fail(QT_TRANSLATE_NOOP("GifCodec", "opening the GIF encoder"), code);
    EGifSetGifVersion(gif_, true);
    ColorMapObject* map = palette ? MakeMap(palette, colorCount) : nullptr;
    const int rc = EGifPutScreenDesc(gif_, width, height, 8, 0, map);
    GifFreeMapObject(map);
    if (rc == GIF_ERROR)
        return Fail(QT_TRANSLATE_NOOP("GifCodec", "writing the screen descriptor"), gif_->Error);
    if (loopCount >= 0) {
        const unsigned char id[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
        const unsigned char loop[] = {1, uchar(loopCount & 0xFF), uchar((loopCount >> 8) & 0xFF)};
        if (EGifPutExtensionLeader(gif_, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR
            || EGifPutExtensionBlock(gif_, sizeof id, id) == GIF_ERROR
            || EGifPutExtensionBlock(gif_, sizeof loop, loop) == GIF_ERROR
            || EGifPutExtensionTrailer(gif_) == GIF_ERROR)
            return Fail(QT_TRANSLATE_NOOP("GifCodec", "writing the loop extension"), gif_->Error);
    }
    return true;
}

bool GifWriter::AddCompressedFrame(const Frame& f, const QByteArray& blocks, bool localPalette)
{
    if (!PutControl(f))
        return false;
    ColorMapObject* map = localPalette ? MakeMap(f.palette, f.colorCount) : nullptr;
    const int rc = EGifPutImageDesc(gif_, f.left, f.top, f.width, f.height, false, map);
    GifFreeMapObject(map);
    if (rc == GIF_ERROR)
        return Fail(QT_TRANSLATE_NOOP("GifCodec", "writing an image descriptor"), gif_->Error);
    // Sub-blocks as they are; the image descriptor wrote the code size.
    const auto* data = reinterpret_cast<const GifByteType*>(blocks.constData());
    const qsizetype n = blocks.size();
    qsizetype at = 0;
    bool firstBlock = true;
    while (at < n) {
        const qsizetype length = data[at];
        if (length == 0 || at + 1 + length > n) {
            error_ = QCoreApplication::translate("GifCodec", "malformed compressed data");
            return false;
        }
        const int written =
            firstBlock ? EGifPutCode(gif_, LzwCodeSize(f.colorCount), data + at) : EGifPutCodeNext(gif_, data + at);
        if (written == GIF_ERROR)
            return Fail(QT_TRANSLATE_NOOP("GifCodec", "writing the pixels"), gif_->Error);
        firstBlock = false;
        at += 1 + length;
    }
    if (EGifPutCodeNext(gif_, nullptr) == GIF_ERROR)
        return Fail(QT_TRANSLATE_NOOP("GifCodec", "writing the pixels"), gif_->Error);
    ReleaseLocalMap(gif_);
    return true;
}

bool GifWriter::PutControl(const Frame& f)
{
    if (!(f.graphicControl || f.transparent >= 0 || f.delay > 0 || f.disposal > 0))
        return true;
    const unsigned char gce[4] = {uchar(((f.disposal & 7) << 2) | (f.transparent >= 0 ? 1 : 0)), uchar(f.delay & 0xFF),
                                  uchar((f.delay >> 8) & 0xFF), uchar(f.transparent >= 0 ? f.transparent : 0)};
    if (EGifPutExtension(gif_, GRAPHICS_EXT_FUNC_CODE, 4, gce) == GIF_ERROR)
        return Fail(QT_TRANSLATE_NOOP("GifCodec", "writing a graphic control extension"), gif_->Error);
    return true;
}

bool GifWriter::AddFrame(const Frame& f, bool localPalette)
{
    if (!PutControl(f))
        return false;
    ColorMapObject* map = localPalette ? MakeMap(f.palette, f.colorCount) : nullptr;
    const int rc = EGifPutImageDesc(gif_, f.left, f.top, f.width, f.height, false, map);
    GifFreeMapObject(map);
    if (rc == GIF_ERROR)
        return Fail(QT_TRANSLATE_NOOP("GifCodec", "writing an image descriptor"), gif_->Error);
    if (EGifPutLine(gif_, f.pixels, f.width * f.height) == GIF_ERROR)
        return Fail(QT_TRANSLATE_NOOP("GifCodec", "compressing the pixels"), gif_->Error);
    ReleaseLocalMap(gif_);
    return true;
}

bool GifWriter::End()
{
    int code = 0;
    GifFileType* gif = gif_;
    gif_ = nullptr;
    if (EGifCloseFile(gif, &code) == GIF_ERROR)
        return Fail(QT_TRANSLATE_NOOP("GifCodec", "finishing the GIF"), code);
    if (!Flush())
        return Fail(QT_TRANSLATE_NOOP("GifCodec", "writing"), 0);
    return true;
}

} // namespace imaging
