// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/codecs/QtReader.h"

#include "imaging/ImagingLimits.h"
#include "imaging/PictureReader.h"
#include "imaging/codecs/ColorProfile.h"

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QImageReader>

namespace imaging {
namespace {

Result Unreadable(const char* format, const QImageReader& reader)
{
    return Result::Failure(ErrorCode::Undecodable,
                           QCoreApplication::translate("PictureReader", "unreadable %1: %2")
                               .arg(QString::fromLatin1(format).toUpper(), reader.errorString()));
}

// Qt's reader of one format over bytes in memory, as stored (no turning).
struct MemoryReader {
    MemoryReader(const uchar* data, qint64 size, const char* format)
        : raw(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)))
        , buffer(&raw)
        , reader(&buffer, format)
    {
        buffer.open(QIODevice::ReadOnly);
        reader.setAutoDetectImageFormat(false);
        reader.setAutoTransform(false);
    }
    QByteArray raw;
    QBuffer buffer;
    QImageReader reader;
};

// The stored size, within the limits; the reader then goes on to the pixels.
Result Measure(QImageReader& reader, const char* format, QSize* result)
{
    const QSize s = reader.size();
    if (!s.isValid())
        return Unreadable(format, reader);
    if (const QString reason = CheckPictureSize(s.width(), s.height()); !reason.isEmpty())
        return Result::Failure(ErrorCode::Undecodable, reason);
    *result = s;
    return {};
}

} // namespace

QImage To32Bit(QImage image)
{
    const QImage::Format f = image.hasAlphaChannel() ? QImage::Format_RGBA8888 : QImage::Format_RGBX8888;
    // In place where Qt can, as for the RGB32 that its PNG reader gives: no
    // second picture to allocate and fill.
    return image.format() == f ? image : std::move(image).convertToFormat(f);
}

Result QtMeasure(const uchar* data, qint64 size, const char* format, QSize* result)
{
    MemoryReader memory(data, size, format);
    return Measure(memory.reader, format, result);
}

Result QtDecode(const uchar* data, qint64 size, const char* format, QImage* image)
{
    MemoryReader memory(data, size, format);
    QSize s;
    if (Result measured = Measure(memory.reader, format, &s); !measured)
        return measured;
    QImage decoded;
    if (!memory.reader.read(&decoded) || decoded.isNull())
        return Unreadable(format, memory.reader);
    const QByteArray profile = ProfileOf(decoded);
    *image = To32Bit(std::move(decoded));
    ConvertToSrgb(image, profile);
    if (image->isNull())
        return Result::Failure(ErrorCode::Undecodable,
                               QCoreApplication::translate("PictureReader", "not enough memory for a %1 x %2 picture")
                                   .arg(s.width())
                                   .arg(s.height()));
    return {};
}

Result TurnUpright(QImage* image, int orientation)
{
    if (orientation == 1)
        return {};
    *image = ApplyExifOrientation(*image, orientation);
    if (image->isNull())
        return Result::Failure(
            ErrorCode::Undecodable,
            QCoreApplication::translate("PictureReader", "not enough memory to turn the picture upright"));
    return {};
}

} // namespace imaging
