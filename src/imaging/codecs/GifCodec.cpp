// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/codecs/GifCodec.h"

#include "imaging/GifCodec.h"
#include "imaging/ImagingLimits.h"
#include "imaging/codecs/PictureCodec.h"

#include <QCoreApplication>

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace imaging {

bool IsGif(const uchar* d, qint64 n)
{
    return n >= 6 && (std::memcmp(d, "GIF87a", 6) == 0 || std::memcmp(d, "GIF89a", 6) == 0);
}

QString GifMessage(int code)
{
    const char* text = GifErrorString(code);
    return text ? QString::fromLatin1(text) : QCoreApplication::translate("GifCodec", "error %1").arg(code);
}

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

namespace {

struct GifCloser {
    void operator()(GifFileType* gif) const
    {
        int ignored = 0;
        DGifCloseFile(gif, &ignored);
    }
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

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

bool ReadSize(const uchar* data, qint64 size, QSize* result, QString* error)
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

bool ReadFirstFrame(const uchar* data, qint64 size, IndexedPicture* picture, QString* error)
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

} // namespace

Result GifReadSize(const uchar* data, qint64 size, QSize* result)
{
    QString error;
    if (!ReadSize(data, size, result, &error))
        return Result::Failure(ErrorCode::Undecodable, error);
    return {};
}

Result GifReadFirstFrame(const uchar* data, qint64 size, IndexedPicture* picture)
{
    QString error;
    if (!ReadFirstFrame(data, size, picture, &error))
        return Result::Failure(ErrorCode::Undecodable, error);
    return {};
}

namespace {

Result Measure(const uchar* d, qint64 n, const FormatChoice&, QSize* size) { return GifReadSize(d, n, size); }

Result Decode(const uchar* d, qint64 n, const FormatChoice&, QSize, QImage* image)
{
    IndexedPicture picture;
    if (Result read = GifReadFirstFrame(d, n, &picture); !read)
        return read;
    QImage result = IndexedToImage(picture);
    if (result.isNull())
        return Result::Failure(ErrorCode::Undecodable,
                               QCoreApplication::translate("PictureReader", "not enough memory for the picture"));
    *image = std::move(result);
    return {};
}

} // namespace

const PictureCodec kGifCodec{nullptr, Measure, Decode, nullptr};

} // namespace imaging
