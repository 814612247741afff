// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/GifCodec.h"

#include "imaging/ImagingLimits.h"

#include <QCoreApplication>
#include <QIODevice>

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace imaging {
namespace {

struct MemoryReader {
    const uchar* data;
    qint64 size;
    qint64 pos;
};

int ReadMemory(GifFileType* gif, GifByteType* bytes, int length)
{
    auto* r = static_cast<MemoryReader*>(gif->UserData);
    const qint64 n = std::min<qint64>(length, r->size - r->pos);
    if (n <= 0)
        return 0;
    std::memcpy(bytes, r->data + r->pos, size_t(n));
    r->pos += n;
    return int(n);
}

struct GifCloser {
    void operator()(GifFileType* gif) const
    {
        int ignored = 0;
        DGifCloseFile(gif, &ignored);
    }
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

QString GifMessage(int code)
{
    const char* text = GifErrorString(code);
    return text ? QString::fromLatin1(text) : QCoreApplication::translate("GifCodec", "error %1").arg(code);
}

// The blocks up to the first image descriptor: screen, transparency, image geometry.
struct FirstImage {
    GifHandle gif;
    int canvasWidth = 0;
    int canvasHeight = 0;
    int transparent = -1;
};

bool OpenFirstImage(MemoryReader* reader, FirstImage* first, QString* error)
{
    int code = 0;
    first->gif.reset(DGifOpen(reader, ReadMemory, &code));
    GifFileType* gif = first->gif.get();
    if (!gif) {
        *error = QCoreApplication::translate("GifCodec", "unreadable GIF: %1").arg(GifMessage(code));
        return false;
    }
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR) {
            *error =
                QCoreApplication::translate("GifCodec", "corrupt or truncated GIF: %1").arg(GifMessage(gif->Error));
            return false;
        }
        if (type == EXTENSION_RECORD_TYPE) {
            int function = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif, &function, &block) == GIF_ERROR) {
                *error =
                    QCoreApplication::translate("GifCodec", "corrupt or truncated GIF: %1").arg(GifMessage(gif->Error));
                return false;
            }
            if (function == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4)
                first->transparent = (block[1] & 1) ? block[4] : -1;
            while (block) {
                if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) {
                    *error = QCoreApplication::translate("GifCodec", "corrupt or truncated GIF: %1")
                                 .arg(GifMessage(gif->Error));
                    return false;
                }
            }
            continue;
        }
        if (type == IMAGE_DESC_RECORD_TYPE) {
            if (DGifGetImageDesc(gif) == GIF_ERROR) {
                *error =
                    QCoreApplication::translate("GifCodec", "corrupt or truncated GIF: %1").arg(GifMessage(gif->Error));
                return false;
            }
            const GifImageDesc& d = gif->Image;
            first->canvasWidth = gif->SWidth;
            first->canvasHeight = gif->SHeight;
            if (first->canvasWidth <= 0 || first->canvasHeight <= 0) {
                first->canvasWidth = d.Left + d.Width;
                first->canvasHeight = d.Top + d.Height;
            }
            QString reason = CheckPictureSize(first->canvasWidth, first->canvasHeight);
            if (reason.isEmpty() && (d.Width > 0 || d.Height > 0))
                reason = CheckPictureSize(std::max(d.Width, 1), std::max(d.Height, 1));
            if (!reason.isEmpty()) {
                *error = reason;
                return false;
            }
            return true;
        }
        if (type == TERMINATE_RECORD_TYPE) {
            *error = QCoreApplication::translate("GifCodec", "the GIF file holds no picture");
            return false;
        }
    }
}

// Reads past the current image's data blocks; a cut file fails.
bool SkipImageData(GifFileType* gif, QString* error)
{
    int codeSize = 0;
    GifByteType* block = nullptr;
    if (DGifGetCode(gif, &codeSize, &block) == GIF_ERROR) {
        *error = QCoreApplication::translate("GifCodec", "corrupt or truncated GIF: %1").arg(GifMessage(gif->Error));
        return false;
    }
    while (block) {
        if (DGifGetCodeNext(gif, &block) == GIF_ERROR) {
            *error =
                QCoreApplication::translate("GifCodec", "corrupt or truncated GIF: %1").arg(GifMessage(gif->Error));
            return false;
        }
    }
    return true;
}

} // namespace

int PaletteBits(int count)
{
    int bits = 1;
    while ((1 << bits) < count)
        ++bits;
    return bits;
}

int LzwCodeSize(int count) { return std::max(2, PaletteBits(std::max(count, 2))); }

bool GifReadSize(const uchar* data, qint64 size, QSize* result, QString* error)
{
    MemoryReader reader{data, size, 0};
    FirstImage first;
    if (!OpenFirstImage(&reader, &first, error))
        return false;
    // The first image's data blocks must all be there (their content is not decoded).
    if (!SkipImageData(first.gif.get(), error))
        return false;
    *result = QSize(first.canvasWidth, first.canvasHeight);
    return true;
}

bool GifReadFirstFrame(const uchar* data, qint64 size, IndexedPicture* picture, QString* error)
{
    MemoryReader reader{data, size, 0};
    FirstImage first;
    if (!OpenFirstImage(&reader, &first, error))
        return false;
    GifFileType* gif = first.gif.get();
    const GifImageDesc& d = gif->Image;
    const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
    if (!map) {
        *error = QCoreApplication::translate("GifCodec", "the GIF picture has no colour table");
        return false;
    }
    IndexedPicture& p = *picture;
    p = IndexedPicture();
    p.width = first.canvasWidth;
    p.height = first.canvasHeight;
    p.colorCount = std::min(map->ColorCount, 256);
    for (int i = 0; i < p.colorCount; ++i) {
        const GifColorType& c = map->Colors[i];
        p.palette[size_t(i)] = 0xFF000000u | uint32_t(c.Red) << 16 | uint32_t(c.Green) << 8 | c.Blue;
    }
    for (int i = p.colorCount; i < 256; ++i)
        p.palette[size_t(i)] = 0xFF000000u;
    p.transparent = first.transparent;

    // An image without pixels reads no line, which would leave its data unchecked.
    if ((d.Width <= 0 || d.Height <= 0) && !SkipImageData(gif, error))
        return false;

    const bool covers = d.Left == 0 && d.Top == 0 && d.Width >= p.width && d.Height >= p.height;
    // Pixels outside the image are transparent; they need an index of their own.
    constexpr uint8_t kUnset = 0;
    try {
        p.indices.assign(size_t(p.width) * size_t(p.height), kUnset);
    } catch (const std::bad_alloc&) {
        *error = QCoreApplication::translate("GifCodec", "not enough memory for a %1 x %2 picture")
                     .arg(p.width)
                     .arg(p.height);
        return false;
    }
    std::vector<uint8_t> covered;
    if (!covers)
        covered.assign(p.indices.size(), 0);

    std::vector<GifPixelType> line(size_t(std::max(d.Width, 1)));
    static const int kStart[4] = {0, 4, 2, 1};
    static const int kStep[4] = {8, 8, 4, 2};
    const int passes = d.Interlace ? 4 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        const int start = d.Interlace ? kStart[pass] : 0;
        const int step = d.Interlace ? kStep[pass] : 1;
        for (int row = start; row < d.Height; row += step) {
            if (DGifGetLine(gif, line.data(), d.Width) == GIF_ERROR) {
                *error =
                    QCoreApplication::translate("GifCodec", "corrupt or truncated GIF: %1").arg(GifMessage(gif->Error));
                return false;
            }
            const int y = d.Top + row;
            if (y >= p.height)
                continue;
            const int x0 = d.Left;
            const int n = std::min(d.Width, p.width - x0);
            if (n <= 0)
                continue;
            std::memcpy(&p.indices[size_t(y) * size_t(p.width) + size_t(x0)], line.data(), size_t(n));
            if (!covers)
                std::memset(&covered[size_t(y) * size_t(p.width) + size_t(x0)], 1, size_t(n));
        }
    }

    if (!covers) {
        if (p.transparent < 0) {
            // Find an index for the transparent surround: one past the table,
            // else one that no pixel uses, else merge the rarest colour into
            // its nearest neighbour (only a 256-colour image smaller than its
            // screen gets here).
            std::array<size_t, 256> used{};
            for (size_t i = 0; i < p.indices.size(); ++i)
                if (covered[i])
                    ++used[p.indices[i]];
            int pick = -1;
            if (p.colorCount < 256) {
                pick = p.colorCount;
            } else {
                for (int i = 0; i < 256 && pick < 0; ++i)
                    if (used[size_t(i)] == 0)
                        pick = i;
            }
            if (pick < 0) {
                pick = int(std::min_element(used.begin(), used.end()) - used.begin());
                const uint32_t c = p.palette[size_t(pick)];
                int best = -1;
                long bestDistance = 0;
                for (int i = 0; i < 256; ++i) {
                    if (i == pick)
                        continue;
                    const uint32_t o = p.palette[size_t(i)];
                    const long dr = long((c >> 16) & 255) - long((o >> 16) & 255);
                    const long dg = long((c >> 8) & 255) - long((o >> 8) & 255);
                    const long db = long(c & 255) - long(o & 255);
                    const long dist = dr * dr + dg * dg + db * db;
                    if (best < 0 || dist < bestDistance) {
                        best = i;
                        bestDistance = dist;
                    }
                }
                for (size_t i = 0; i < p.indices.size(); ++i)
                    if (covered[i] && p.indices[i] == pick)
                        p.indices[i] = uint8_t(best);
            }
            p.transparent = pick;
            p.colorCount = std::max(p.colorCount, pick + 1);
        }
        for (size_t i = 0; i < p.indices.size(); ++i)
            if (!covered[i])
                p.indices[i] = uint8_t(p.transparent);
    }
    if (p.transparent >= 0)
        p.palette[size_t(p.transparent)] = 0;
    return true;
}

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
