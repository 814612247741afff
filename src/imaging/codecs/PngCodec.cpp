// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/codecs/PngCodec.h"

#include "imaging/ImagingLimits.h"
#include "imaging/codecs/Exif.h"
#include "imaging/codecs/PictureCodec.h"
#include "imaging/codecs/QtReader.h"

#include <QCoreApplication>
#include <QtEndian>

#include <png.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

namespace imaging {

bool IsPng(const uchar* d, qint64 n) { return n >= 8 && std::memcmp(d, kPngSignature, 8) == 0; }

bool PngReadHeader(const uchar* d, qint64 n, PngHeader* header)
{
    if (!IsPng(d, n) || n < 33 || std::memcmp(d + 12, "IHDR", 4) != 0)
        return false;
    const quint32 w = qFromBigEndian<quint32>(d + 16), h = qFromBigEndian<quint32>(d + 20);
    if (w > quint32(INT32_MAX) || h > quint32(INT32_MAX))
        return false;
    *header = PngHeader();
    header->stored = QSize(int(w), int(h));
    // length, type, data, CRC
    for (qint64 at = 8;;) {
        if (at + 8 > n) {
            header->complete = false;
            return true;
        }
        const qint64 length = qFromBigEndian<quint32>(d + at);
        const uchar* type = d + at + 4;
        if (std::memcmp(type, "IDAT", 4) == 0 || std::memcmp(type, "IEND", 4) == 0)
            return true;
        if (at + 12 + length > n) {
            header->complete = false;
            return true;
        }
        const uchar* data = d + at + 8;
        if (std::memcmp(type, "eXIf", 4) == 0)
            header->orientation = TiffOrientation(data, length);
        else if (std::memcmp(type, "acTL", 4) == 0 && length >= 8)
            header->frames = int(std::clamp<quint32>(qFromBigEndian<quint32>(data), 1, INT_MAX));
        at += 12 + length;
    }
}

bool PngHasEnd(const uchar* tail, qint64 n)
{
    const qint64 from = std::max<qint64>(0, n - 65536);
    for (qint64 i = n - 8; i >= from; --i)
        if (std::memcmp(tail + i, "IEND", 4) == 0)
            return true;
    return false;
}

namespace {

Result Truncated()
{
    return Result::Failure(ErrorCode::Undecodable,
                           QCoreApplication::translate("PictureReader", "the PNG data is truncated"));
}

// The header, its size checked and its data proved complete. An eXIf chunk
// after the image data is not applied, as web browsers and ffmpeg do not
// (PIL does): the picture shows as the browser shows it.
Result ReadChecked(const uchar* d, qint64 n, const uchar* tail, qint64 tailSize, PngHeader* header)
{
    if (!PngReadHeader(d, n, header))
        return Result::Failure(ErrorCode::Undecodable,
                               QCoreApplication::translate("PictureReader", "unreadable PNG: no image header"));
    if (const QString reason = CheckPictureSize(header->Upright().width(), header->Upright().height());
        !reason.isEmpty())
        return Result::Failure(ErrorCode::Undecodable, reason);
    if (!header->complete || !PngHasEnd(tail, tailSize))
        return Truncated();
    return {};
}

std::optional<Result> MeasureEnds(const PictureEnds& file, const FormatChoice&, QSize* size)
{
    PngHeader header;
    Result checked = ReadChecked(file.head, file.headSize, file.tail, file.tailSize, &header);
    if (!checked)
        return std::nullopt; // perhaps a header longer than the start read
    *size = header.Upright();
    return checked;
}

Result Measure(const uchar* d, qint64 n, const FormatChoice&, QSize* size)
{
    PngHeader header;
    Result checked = ReadChecked(d, n, d, n, &header);
    if (checked)
        *size = header.Upright();
    return checked;
}

// Whether the PNG is 8-bit RGB or RGBA, not interlaced, and holds no chunk
// but its header, pixel density, data and end: nothing Qt's reader would
// make more of (colour space, transparency, offset, text, frames).
bool IsPlainPng(const uchar* d, qint64 n)
{
    if (n < 33 || d[24] != 8 || (d[25] != 2 && d[25] != 6) || d[28] != 0)
        return false;
    for (qint64 at = 8; at + 12 <= n;) {
        const qint64 length = qFromBigEndian<quint32>(d + at);
        const char* type = reinterpret_cast<const char*>(d + at + 4);
        if (std::memcmp(type, "IEND", 4) == 0)
            return true;
        if (std::memcmp(type, "IHDR", 4) != 0 && std::memcmp(type, "pHYs", 4) != 0 && std::memcmp(type, "IDAT", 4) != 0)
            return false;
        at += 12 + length;
    }
    return false;
}

struct PngBytes {
    const uchar* data;
    qint64 size;
    qint64 at = 0;
};

void ReadPngBytes(png_structp png, png_bytep out, size_t length)
{
    auto* in = static_cast<PngBytes*>(png_get_io_ptr(png));
    if (qint64(length) > in->size - in->at)
        png_error(png, "Read Error");
    std::memcpy(out, in->data + in->at, length);
    in->at += qint64(length);
}

// Failures go back to Qt's reader, which reports them: nothing is printed here.
[[noreturn]] void QuietError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void QuietWarning(png_structp, png_const_charp) { }

// The rows of a plain PNG into `image` (RGBX8888 or RGBA8888, its size),
// `row` holding one stored row and a byte. False on any error. No object with a
// destructor lives here, as libpng's errors jump out of it.
bool ReadPlainRows(PngBytes* in, QImage* image, uchar* row, int* dpmX, int* dpmY)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, QuietError, QuietWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
        return false;
    }
    // As Qt's reader does, for streams that need the largest window.
    png_set_option(png, PNG_MAXIMUM_INFLATE_WINDOW, PNG_OPTION_ON);
    png_set_read_fn(png, in, ReadPngBytes);
    png_read_info(png, info);
    const bool alpha = png_get_color_type(png, info) == PNG_COLOR_TYPE_RGB_ALPHA;
    const int width = image->width();
    for (int y = 0; y < image->height(); ++y) {
        uchar* line = image->scanLine(y);
        if (alpha) {
            png_read_row(png, line, nullptr);
            continue;
        }
        png_read_row(png, row, nullptr);
        for (int x = 0; x < width; ++x) {
            // Four bytes at a time (the row has one to spare at its end),
            // the fourth made opaque.
            quint32 pixel;
            std::memcpy(&pixel, row + 3 * x, 4);
            pixel = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? pixel | 0xFF000000u : pixel | 0xFFu;
            std::memcpy(line + 4 * x, &pixel, 4);
        }
    }
    png_read_end(png, nullptr);
    *dpmX = int(png_get_x_pixels_per_meter(png, info));
    *dpmY = int(png_get_y_pixels_per_meter(png, info));
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

// A plain PNG straight into the byte order the program works in; the same
// pixels and density as Qt's reader gives and To32Bit turns into, without
// Qt's BGR rows and the pass that turns them back. Null when the picture is
// not plain or anything fails: Qt's reader then reads it.
QImage DecodePlain(const uchar* d, qint64 n, QSize size)
{
    if (!IsPlainPng(d, n))
        return {};
    QImage image(size, d[25] == 6 ? QImage::Format_RGBA8888 : QImage::Format_RGBX8888);
    if (image.isNull())
        return {};
    std::vector<uchar> row(size_t(size.width()) * 3 + 1);
    PngBytes in{d, n};
    int dpmX = 0;
    int dpmY = 0;
    if (!ReadPlainRows(&in, &image, row.data(), &dpmX, &dpmY))
        return {};
    image.setDotsPerMeterX(dpmX);
    image.setDotsPerMeterY(dpmY);
    return image;
}

Result Decode(const uchar* d, qint64 n, const FormatChoice&, QSize, QImage* image)
{
    PngHeader header;
    if (Result checked = ReadChecked(d, n, d, n, &header); !checked)
        return checked;
    QImage decoded = DecodePlain(d, n, header.stored);
    if (decoded.isNull())
        if (Result read = QtDecode(d, n, "png", &decoded); !read)
            return read;
    if (Result turned = TurnUpright(&decoded, header.orientation); !turned)
        return turned;
    *image = std::move(decoded);
    return {};
}

} // namespace

const PictureCodec kPngCodec{MeasureEnds, Measure, Decode, nullptr};

} // namespace imaging
