// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/MagickCodec.h"

#include "imaging/ImagingLimits.h"
#include "imaging/ImagingRuntime.h"
#include "imaging/PictureCompleteness.h"
#include "imaging/codecs/ColorProfile.h"
#include "imaging/codecs/HeifCodec.h"
#include "imaging/codecs/PictureCodec.h"

#include <Magick++.h>

#include <algorithm>
#include <limits>
#include <cstdio>
#include <exception>
#include <string>

#include <QCoreApplication>

namespace imaging {
namespace {

// Vector pictures are rendered, not decoded: a tiny file may claim any size.
bool IsVector(const QByteArray& coder) { return coder == "WMF"; }

QString Reason(const std::exception& e)
{
    QString text = QString::fromLocal8Bit(e.what()).trimmed();
    // Magick prefixes the program name ("Magick: ..."); keep the message.
    if (text.startsWith(QLatin1String("Magick: ")))
        text = text.mid(8);
    return text.isEmpty() ? QCoreApplication::translate("MagickCodec", "unknown ImageMagick error") : text;
}

// Reads (or pings) the first picture of `data` with `coder` into `image`.
// MagickCore reads the bytes where they are (Magick++'s Blob would copy a
// whole mapped file only to measure it). A corrupt-image warning is a
// failure: the pixels would be partly invented; other warnings (unknown tags
// and the like) are not.
// `density` ("72x72"), when given, is the resolution a vector picture is rendered at.
bool Load(Magick::Image& image, const uchar* data, qint64 size, const QByteArray& coder, bool ping,
          const QByteArray& density, QString* error)
{
    const QString name = QString::fromLatin1(coder);
    MagickCore::ImageInfo* info = MagickCore::AcquireImageInfo();
    MagickCore::ExceptionInfo* exception = MagickCore::AcquireExceptionInfo();
    // "CODER:" names the coder explicitly: ImageMagick does not guess from the data.
    std::snprintf(info->filename, sizeof info->filename, "%s:", coder.constData());
    std::snprintf(info->magick, sizeof info->magick, "%s", coder.constData());
    // Only the first picture of a file. (Photo CD uses the scene to pick a
    // resolution instead; left alone it reads the 768 x 512 base picture.)
    if (coder != "PCD") {
        info->scene = 0;
        info->number_scenes = 1;
    }
    if (!density.isEmpty())
        (void)MagickCore::CloneString(&info->density, density.constData());
    MagickCore::Image* raw = ping ? MagickCore::PingBlob(info, data, size_t(size), exception)
                                  : MagickCore::BlobToImage(info, data, size_t(size), exception);
    const MagickCore::ExceptionType severity = exception->severity;
    QString reason;
    if (exception->reason)
        reason = QString::fromLocal8Bit(exception->reason);
    if (exception->description)
        reason += QStringLiteral(" (%1)").arg(QString::fromLocal8Bit(exception->description));
    // Left out: the coder name and ImageMagick's source line ("`TGA:' @ error/tga.c/...").
    if (const qsizetype at = reason.indexOf(QLatin1String(" `"));
        at > 0 && reason.indexOf(QLatin1String("' @ "), at) > 0)
        reason.truncate(at);
    MagickCore::DestroyExceptionInfo(exception);
    MagickCore::DestroyImageInfo(info);
    if (raw && raw->next) {
        // A coder that ignored the scene range: keep the first picture.
        MagickCore::Image* rest = MagickCore::SplitImageList(raw);
        MagickCore::DestroyImageList(rest);
    }
    const bool failed = severity >= MagickCore::ErrorException || severity == MagickCore::CorruptImageWarning;
    if (failed || !raw) {
        if (raw)
            MagickCore::DestroyImageList(raw);
        if (reason.isEmpty())
            reason = QCoreApplication::translate("MagickCodec", "no picture was read");
        *error = severity == MagickCore::CorruptImageWarning || severity == MagickCore::CorruptImageError
            ? QCoreApplication::translate("MagickCodec", "corrupt or truncated %1 data: %2").arg(name, reason)
            : QCoreApplication::translate("MagickCodec", "unreadable %1: %2").arg(name, reason);
        return false;
    }
    try {
        image = Magick::Image(raw); // takes the picture over
        if (image.columns() == 0 || image.rows() == 0) {
            *error = QCoreApplication::translate("MagickCodec", "the %1 file holds no picture").arg(name);
            return false;
        }
        return true;
    } catch (const std::exception& e) {
        *error = QCoreApplication::translate("MagickCodec", "unreadable %1: %2").arg(name, Reason(e));
    }
    return false;
}

// A side as the size check takes it: a header may claim more than 2^63.
qint64 Side(size_t claimed) { return qint64(std::min<size_t>(claimed, size_t(std::numeric_limits<qint64>::max()))); }

} // namespace

namespace {

bool Decode(const uchar* data, qint64 size, const QByteArray& coder, QImage* out, QString* error, QSize fit,
            const QByteArray& profile)
{
    EnsureImagingRuntime();
    // A metafile is rendered at the size it is needed, and never above the
    // largest output: one of 100 bytes may claim a hundred megapixels.
    const QSize limit = fit.isEmpty() ? QSize(kMaxVectorSide, kMaxVectorSide) : fit;
    QByteArray density;
    QSize rendered; // the exact size of a vector picture drawn smaller than its own
    {
        // Refuse oversized pictures before ImageMagick allocates their pixels.
        Magick::Image probe;
        if (!Load(probe, data, size, coder, true, {}, error))
            return false;
        const double w = double(probe.columns()), h = double(probe.rows());
        if (IsVector(coder)) {
            const double f = std::min({1.0, limit.width() / w, limit.height() / h});
            if (f < 1.0) {
                const double x = probe.xResolution() > 0 ? probe.xResolution() : 72.0;
                const double y = probe.yResolution() > 0 ? probe.yResolution() : 72.0;
                density = QByteArray::number(x * f, 'f', 6) + 'x' + QByteArray::number(y * f, 'f', 6);
                rendered = QSize(std::max(1, qRound(w * f)), std::max(1, qRound(h * f)));
            }
        } else if (const QString reason = CheckPictureSize(Side(probe.columns()), Side(probe.rows()));
                   !reason.isEmpty()) {
            *error = reason;
            return false;
        }
    }
    Magick::Image image;
    if (!Load(image, data, size, coder, false, density, error))
        return false;
    try {
        // ImageMagick returns rows as stored and only records where they
        // start (a TGA's bottom-left origin, a TIFF's orientation tag).
        if (image.orientation() != Magick::UndefinedOrientation && image.orientation() != Magick::TopLeftOrientation)
            image.autoOrient();
        // The renderer rounds its own way: the size is the one worked out above.
        if (rendered.isValid()
            && (image.columns() != size_t(rendered.width()) || image.rows() != size_t(rendered.height()))) {
            Magick::Geometry exact(size_t(rendered.width()), size_t(rendered.height()));
            exact.aspect(true);
            image.resize(exact);
        }
        const MagickCore::ColorspaceType cs = image.colorSpace();
        // The embedded profile of RGB and grey pixels turns them into sRGB
        // once exported (CMYK and other data keep ImageMagick's conversion).
        QByteArray icc;
        if (cs == MagickCore::sRGBColorspace || cs == MagickCore::GRAYColorspace
            || cs == MagickCore::UndefinedColorspace) {
            const Magick::Blob embedded = image.profile("ICC");
            icc = embedded.length() > 0
                ? QByteArray(static_cast<const char*>(embedded.data()), qsizetype(embedded.length()))
                : profile;
        } else {
            image.colorSpace(MagickCore::sRGBColorspace);
        }
        const int w = int(image.columns());
        const int h = int(image.rows());
        const QString reason = CheckPictureSize(w, h);
        if (!reason.isEmpty()) {
            *error = reason;
            return false;
        }
        const bool alpha = image.matte();
        QImage result(w, h, alpha ? QImage::Format_RGBA8888 : QImage::Format_RGBX8888);
        if (result.isNull()) {
            *error =
                QCoreApplication::translate("MagickCodec", "not enough memory for a %1 x %2 picture").arg(w).arg(h);
            return false;
        }
        // RGBA8888 rows have no padding: one export for the whole picture.
        // Without an alpha channel the opacity of some coders' pixels is
        // never set: the fourth byte is a pad, then made opaque.
        image.write(0, 0, size_t(w), size_t(h), alpha ? "RGBA" : "RGBP", Magick::CharPixel, result.bits());
        if (!alpha) {
            uchar* p = result.bits();
            const qsizetype n = qsizetype(w) * h;
            for (qsizetype i = 0; i < n; ++i)
                p[4 * i + 3] = 255;
        }
        ConvertToSrgb(&result, icc);
        *out = std::move(result);
        return true;
    } catch (const Magick::Warning&) {
        *error = QCoreApplication::translate("MagickCodec", "the %1 picture could not be converted")
                     .arg(QString::fromLatin1(coder));
    } catch (const std::bad_alloc&) {
        *error = QCoreApplication::translate("MagickCodec", "not enough memory to read the %1 picture")
                     .arg(QString::fromLatin1(coder));
    } catch (const std::exception& e) {
        *error =
            QCoreApplication::translate("MagickCodec", "unreadable %1: %2").arg(QString::fromLatin1(coder), Reason(e));
    } catch (...) {
        *error = QCoreApplication::translate("MagickCodec", "unreadable %1").arg(QString::fromLatin1(coder));
    }
    return false;
}

bool Measure(const uchar* data, qint64 size, const QByteArray& coder, QSize* result, QString* error)
{
    EnsureImagingRuntime();
    Magick::Image probe;
    if (!Load(probe, data, size, coder, true, {}, error))
        return false;
    try {
        const qint64 w = qint64(probe.columns()), h = qint64(probe.rows());
        if (const QString reason = CheckPictureSize(w, h); !reason.isEmpty()) {
            *error = reason;
            return false;
        }
        *result = QSize(int(w), int(h));
        // The orientations that MagickDecode's autoOrient turns by a quarter.
        const Magick::OrientationType o = probe.orientation();
        if (o == Magick::LeftTopOrientation || o == Magick::RightTopOrientation || o == Magick::RightBottomOrientation
            || o == Magick::LeftBottomOrientation)
            result->transpose();
        return true;
    } catch (const std::exception& e) {
        *error =
            QCoreApplication::translate("MagickCodec", "unreadable %1: %2").arg(QString::fromLatin1(coder), Reason(e));
    }
    return false;
}

} // namespace

Result MagickDecode(const uchar* data, qint64 size, const QByteArray& coder, QImage* image, QSize fit,
                    const QByteArray& profile)
{
    QString error;
    if (!Decode(data, size, coder, image, &error, fit, profile))
        return Result::Failure(ErrorCode::Undecodable, error);
    return {};
}

Result MagickMeasure(const uchar* data, qint64 size, const QByteArray& coder, QSize* result)
{
    QString error;
    if (!Measure(data, size, coder, result, &error))
        return Result::Failure(ErrorCode::Undecodable, error);
    return {};
}

namespace {

Result Truncated(const FormatChoice& format)
{
    return Result::Failure(ErrorCode::Undecodable,
                           QCoreApplication::translate("PictureReader", "the %1 data is truncated").arg(format.name));
}

} // namespace

// Formats whose header (at the start) fixes the data's length show their size
// and completeness without their pixels being read.
std::optional<Result> MagickCodecMeasureEnds(const PictureEnds& file, const FormatChoice& format, QSize* size)
{
    const Completeness whole = CheckCompleteness(format, file.head, file.headSize, file.fileSize);
    if (whole == Completeness::Truncated)
        return Truncated(format);
    // A header that reaches past the start read is measured from the whole file.
    if (whole == Completeness::Complete && MagickMeasure(file.head, file.headSize, format.coder, size))
        return Result();
    return std::nullopt;
}

Result MagickCodecDecode(const uchar* d, qint64 n, const FormatChoice& format, QSize box, QImage* image)
{
    // What the header says is cut short is refused as measuring refuses it.
    if (CheckCompleteness(format, d, n, n) == Completeness::Truncated)
        return Truncated(format);
    // ImageMagick 6 does not hand a HEIF picture's profile on.
    return MagickDecode(d, n, format.coder, image, box,
                        HeifSignature(d, n) != HeifKind::None ? HeifIccProfile(d, n) : QByteArray());
}

Result MagickCodecMeasure(const uchar* d, qint64 n, const FormatChoice& format, QSize* size)
{
    switch (CheckCompleteness(format, d, n, n)) {
    case Completeness::Truncated:
        return Truncated(format);
    case Completeness::Complete:
        return MagickMeasure(d, n, format.coder, size);
    case Completeness::Unknown:
        break;
    }
    return MeasureByDecoding(kMagickCodec, d, n, format, size);
}

const PictureCodec kMagickCodec{MagickCodecMeasureEnds, MagickCodecMeasure, MagickCodecDecode, nullptr};

} // namespace imaging
