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

} // namespace

QImage To32Bit(const QImage& image)
{
    const QImage::Format f = image.hasAlphaChannel() ? QImage::Format_RGBA8888 : QImage::Format_RGBX8888;
    return image.format() == f ? image : image.convertToFormat(f);
}

Result QtMeasure(const uchar* data, qint64 size, const char* format, QSize* result)
{
    QByteArray raw = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer buffer(&raw);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    reader.setAutoTransform(false);
    const QSize s = reader.size();
    if (!s.isValid())
        return Unreadable(format, reader);
    if (const QString reason = CheckPictureSize(s.width(), s.height()); !reason.isEmpty())
        return Result::Failure(ErrorCode::Undecodable, reason);
    *result = s;
    return {};
}

Result QtDecode(const uchar* data, qint64 size, const char* format, QImage* image)
{
    QSize s;
    if (Result measured = QtMeasure(data, size, format, &s); !measured)
        return measured;
    QByteArray raw = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer buffer(&raw);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    reader.setAutoTransform(false);
    QImage decoded;
    if (!reader.read(&decoded) || decoded.isNull())
        return Unreadable(format, reader);
    *image = To32Bit(decoded);
    ConvertToSrgb(image, ProfileOf(decoded));
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
