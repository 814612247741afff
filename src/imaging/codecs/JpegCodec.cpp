// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/codecs/JpegCodec.h"

#include "imaging/ImagingLimits.h"
#include "imaging/codecs/ColorProfile.h"
#include "imaging/codecs/Exif.h"
#include "imaging/codecs/PictureCodec.h"
#include "imaging/codecs/QtReader.h"

#include <csetjmp>
#include <cstdlib>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>
#include <jerror.h>

#include <QCoreApplication>

namespace imaging {
namespace {

// Progressive files may hold any number of scans, each a pass over the whole
// coefficient buffer: a tiny hostile file can keep the decoder busy for hours.
constexpr int kMaxJpegScans = 1000;

struct ErrorManager {
    jpeg_error_mgr pub;
    jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void OnError(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

void OnMessage(j_common_ptr cinfo, int level)
{
    if (level >= 0)
        return; // trace messages
    // The memory source inserts a fake end marker at the end of the data and
    // warns: the picture would show grey where data is missing.
    if (cinfo->err->msg_code == JWRN_JPEG_EOF) {
        auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
        std::snprintf(err->message, sizeof err->message, "the JPEG data is truncated");
        std::longjmp(err->jump, 1);
    }
    // Other corrupt-data warnings: libjpeg recovers and the picture shows as
    // other viewers show it.
    cinfo->err->num_warnings++;
}

void OnProgress(j_common_ptr cinfo)
{
    if (!cinfo->is_decompressor)
        return;
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > kMaxJpegScans) {
        auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
        std::snprintf(err->message, sizeof err->message, "the JPEG file has more than %d scans", kMaxJpegScans);
        std::longjmp(err->jump, 1);
    }
}

int OrientationFromMarkers(j_decompress_ptr cinfo)
{
    for (jpeg_saved_marker_ptr m = cinfo->marker_list; m; m = m->next) {
        if (m->marker == JPEG_APP0 + 1) {
            const int o = ExifOrientation(m->data, m->data_length);
            if (o != 1)
                return o;
        }
    }
    return 1;
}

// Everything between setjmp and the end lives in `cinfo`/`err` (plain C
// structs) or in the caller's objects: longjmp skips no destructor.
struct Decoder {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    jpeg_progress_mgr progress;
};

void Setup(Decoder& d, const uchar* data, qint64 size)
{
    d.cinfo.err = jpeg_std_error(&d.err.pub);
    d.err.pub.error_exit = OnError;
    d.err.pub.emit_message = OnMessage;
    d.err.message[0] = 0;
    jpeg_create_decompress(&d.cinfo);
    d.progress.progress_monitor = OnProgress;
    d.cinfo.progress = &d.progress;
    d.cinfo.mem->max_memory_to_use = long(kMaxPicturePixels) * 8;
    jpeg_mem_src(&d.cinfo, data, static_cast<unsigned long>(size));
    jpeg_save_markers(&d.cinfo, JPEG_APP0 + 1, 0xFFFF);
    jpeg_save_markers(&d.cinfo, JPEG_APP0 + 2, 0xFFFF); // ICC profile, in one or more parts
}

QString Message(const Decoder& d) { return QString::fromLocal8Bit(d.err.message); }

// libjpeg jumps back on errors: these keep to plain out-parameters, and the
// public functions below wrap them.
bool ReadHeader(const uchar* data, qint64 size, QSize* stored, int* orientation, QString* error, const uchar* tail,
                qint64 tailSize)
{
    Decoder d;
    if (setjmp(d.err.jump)) {
        *error = QCoreApplication::translate("JpegCodec", "unreadable JPEG: %1").arg(Message(d));
        jpeg_destroy_decompress(&d.cinfo);
        return false;
    }
    Setup(d, data, size);
    jpeg_read_header(&d.cinfo, TRUE);
    *stored = QSize(int(d.cinfo.image_width), int(d.cinfo.image_height));
    *orientation = OrientationFromMarkers(&d.cinfo);
    // The header reader stops at the first scan's data. A complete file has
    // an end marker after it (entropy-coded data never holds FF D9); looking
    // for it from the end costs nothing for a complete file.
    const qint64 scan = qint64(d.cinfo.src->next_input_byte - data);
    jpeg_destroy_decompress(&d.cinfo);
    const uchar* end = tail ? tail : data + scan;
    const qint64 endSize = tail ? tailSize : size - scan;
    for (qint64 i = endSize - 2; i >= 0; --i) {
        if (end[i] == 0xFF && end[i + 1] == 0xD9)
            return true;
    }
    *error = QCoreApplication::translate("JpegCodec", "the JPEG data is truncated");
    return false;
}

bool Decode(const uchar* data, qint64 size, QImage* image, int* orientation, QString* error, int reduction,
            QByteArray* icc)
{
    Decoder d;
    // Kept outside the jump's reach: a plain pointer to a buffer freed below.
    uchar* volatile cmykRow = nullptr;
    if (setjmp(d.err.jump)) {
        *error = QCoreApplication::translate("JpegCodec", "unreadable JPEG: %1").arg(Message(d));
        jpeg_destroy_decompress(&d.cinfo);
        delete[] cmykRow;
        *image = QImage();
        return false;
    }
    Setup(d, data, size);
    jpeg_read_header(&d.cinfo, TRUE);
    {
        // Scoped: no C++ object may be alive when libjpeg jumps back.
        const QString tooLarge = CheckPictureSize(d.cinfo.image_width, d.cinfo.image_height);
        if (!tooLarge.isEmpty()) {
            *error = tooLarge;
            jpeg_destroy_decompress(&d.cinfo);
            return false;
        }
    }
    *orientation = OrientationFromMarkers(&d.cinfo);
    if (icc) {
        JOCTET* profile = nullptr;
        unsigned int length = 0;
        if (jpeg_read_icc_profile(&d.cinfo, &profile, &length) && profile)
            *icc = QByteArray(reinterpret_cast<const char*>(profile), qsizetype(length));
        else
            icc->clear();
        std::free(profile);
    }
    const bool cmyk = d.cinfo.jpeg_color_space == JCS_CMYK || d.cinfo.jpeg_color_space == JCS_YCCK;
    d.cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBX;
    d.cinfo.dct_method = JDCT_ISLOW;
    // Scaled in the DCT: every coefficient is still read, so a scaled decode
    // finds a damaged file as a full one does.
    d.cinfo.scale_num = 1;
    d.cinfo.scale_denom = unsigned(reduction == 2 || reduction == 4 || reduction == 8 ? reduction : 1);
    jpeg_start_decompress(&d.cinfo);
    const int w = int(d.cinfo.output_width);
    const int h = int(d.cinfo.output_height);
    *image = QImage(w, h, QImage::Format_RGBX8888);
    if (image->isNull()) {
        *error = QCoreApplication::translate("JpegCodec", "not enough memory for a %1 x %2 picture").arg(w).arg(h);
        jpeg_destroy_decompress(&d.cinfo);
        return false;
    }
    if (cmyk)
        cmykRow = new uchar[size_t(w) * 4];
    // Adobe writes CMYK inverted; without the Adobe marker the values are plain.
    const bool inverted = d.cinfo.saw_Adobe_marker;
    while (d.cinfo.output_scanline < d.cinfo.output_height) {
        const int y = int(d.cinfo.output_scanline);
        if (!cmyk) {
            JSAMPROW rows[4];
            int n = 0;
            for (; n < 4 && y + n < h; ++n)
                rows[n] = image->scanLine(y + n);
            jpeg_read_scanlines(&d.cinfo, rows, JDIMENSION(n));
            continue;
        }
        JSAMPROW row = cmykRow;
        jpeg_read_scanlines(&d.cinfo, &row, 1);
        uchar* out = image->scanLine(y);
        for (int x = 0; x < w; ++x) {
            int c = cmykRow[4 * x], m = cmykRow[4 * x + 1], ye = cmykRow[4 * x + 2], k = cmykRow[4 * x + 3];
            if (!inverted) {
                c = 255 - c;
                m = 255 - m;
                ye = 255 - ye;
                k = 255 - k;
            }
            out[4 * x] = uchar((c * k + 127) / 255);
            out[4 * x + 1] = uchar((m * k + 127) / 255);
            out[4 * x + 2] = uchar((ye * k + 127) / 255);
            out[4 * x + 3] = 255;
        }
    }
    jpeg_finish_decompress(&d.cinfo);
    jpeg_destroy_decompress(&d.cinfo);
    delete[] cmykRow;
    return true;
}

} // namespace

bool IsJpeg(const uchar* d, qint64 n) { return n >= 3 && d[0] == 0xFF && d[1] == 0xD8 && d[2] == 0xFF; }

Result JpegReadHeader(const uchar* data, qint64 size, QSize* stored, int* orientation, const uchar* tail,
                      qint64 tailSize)
{
    QString error;
    if (!ReadHeader(data, size, stored, orientation, &error, tail, tailSize))
        return Result::Failure(ErrorCode::Undecodable, error);
    return {};
}

Result JpegDecode(const uchar* data, qint64 size, QImage* image, int* orientation, int reduction, QByteArray* icc)
{
    QString error;
    if (!Decode(data, size, image, orientation, &error, reduction, icc))
        return Result::Failure(ErrorCode::Undecodable, error);
    return {};
}

namespace {

// The largest reduction of a decode that still gives at least `box` (in
// stored orientation).
int Reduction(QSize stored, QSize box)
{
    if (box.isEmpty())
        return 1;
    int reduction = 8;
    while (reduction > 1
           && ((stored.width() + reduction - 1) / reduction < box.width()
               || (stored.height() + reduction - 1) / reduction < box.height()))
        reduction /= 2;
    return reduction;
}

Result MeasureFrom(const uchar* d, qint64 n, const uchar* tail, qint64 tailSize, QSize* size)
{
    QSize stored;
    int orientation = 1;
    if (Result header = JpegReadHeader(d, n, &stored, &orientation, tail, tailSize); !header)
        return header;
    const QSize upright = orientation >= 5 ? stored.transposed() : stored;
    if (const QString reason = CheckPictureSize(upright.width(), upright.height()); !reason.isEmpty())
        return Result::Failure(ErrorCode::Undecodable, reason);
    *size = upright;
    return {};
}

std::optional<Result> MeasureEnds(const PictureEnds& file, const FormatChoice&, QSize* size)
{
    Result measured = MeasureFrom(file.head, file.headSize, file.tail, file.tailSize, size);
    if (!measured)
        return std::nullopt; // perhaps markers longer than the start read
    return measured;
}

Result Measure(const uchar* d, qint64 n, const FormatChoice&, QSize* size) { return MeasureFrom(d, n, d, n, size); }

Result DecodeUpright(const uchar* d, qint64 n, const FormatChoice&, QSize box, QImage* image)
{
    QSize stored;
    int orientation = 1;
    if (Result header = JpegReadHeader(d, n, &stored, &orientation); !header)
        return header;
    const QSize wanted = orientation >= 5 ? box.transposed() : box;
    QByteArray icc;
    QImage decoded;
    if (Result read = JpegDecode(d, n, &decoded, &orientation, Reduction(stored, wanted), &icc); !read)
        return read;
    ConvertToSrgb(&decoded, icc);
    if (Result turned = TurnUpright(&decoded, orientation); !turned)
        return turned;
    *image = std::move(decoded);
    return {};
}

} // namespace

const PictureCodec kJpegCodec{MeasureEnds, Measure, DecodeUpright, nullptr};

} // namespace imaging
