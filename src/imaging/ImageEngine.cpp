// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/ImageEngine.h"

#include "imaging/animation/FrameFile.h"
#include "imaging/animation/FrameQuantizer.h"
#include "imaging/GifCodec.h"
#include "imaging/ImagingLimits.h"
#include "imaging/PictureReader.h"
#include "imaging/Quantizer.h"
#include "imaging/Resampler.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QThread>

ImageEngine::ImageEngine() = default;

ImageEngine::~ImageEngine() = default;

bool ImageEngine::LoadFile(const QString& path)
{
    picture_ = QImage();
    lastError_.clear();
    if (path.isEmpty())
        return true;
    QImage decoded;
    if (const imaging::Result read = imaging::DecodePicture(path, &decoded); !read) {
        lastError_ = read.Message();
        return false;
    }
    picture_ = std::move(decoded);
    return true;
}

void ImageEngine::Clear()
{
    picture_ = QImage();
    lastError_.clear();
}

void ImageEngine::UsePicture(QImage picture)
{
    picture_ = std::move(picture);
    lastError_.clear();
}

int ImageEngine::ImageWidth() const { return picture_.isNull() ? 0 : picture_.width(); }

int ImageEngine::ImageHeight() const { return picture_.isNull() ? 0 : picture_.height(); }

bool ImageEngine::Resize(int width, int height, bool /*flag*/)
{
    lastError_.clear();
    if (picture_.isNull()) {
        lastError_ = QCoreApplication::translate("ImageEngine", "there is no picture to resize");
        return false;
    }
    const QString reason = imaging::CheckPictureSize(width, height);
    if (!reason.isEmpty()) {
        lastError_ = QCoreApplication::translate("ImageEngine", "cannot resize to %1 x %2: %3")
                         .arg(width)
                         .arg(height)
                         .arg(reason);
        return false;
    }
    if (width == picture_.width() && height == picture_.height())
        return true;
    QImage scaled = imaging::ResampleLanczos(picture_, width, height);
    if (scaled.isNull()) {
        lastError_ =
            QCoreApplication::translate("ImageEngine", "not enough memory to resize to %1 x %2").arg(width).arg(height);
        return false;
    }
    picture_ = std::move(scaled);
    return true;
}

bool ImageEngine::SaveFile(const QString& path, bool /*flag*/, int /*number*/)
{
    imaging::FrameQuantizer alone;
    return SaveFile(path, alone);
}

bool ImageEngine::SaveFile(const QString& path, imaging::FrameQuantizer& frames, imaging::IndexedPicture* written)
{
    lastError_.clear();
    const QString shown = QDir::toNativeSeparators(path);
    if (picture_.isNull()) {
        lastError_ = QCoreApplication::translate("ImageEngine", "%1: there is no picture to save").arg(shown);
        return false;
    }
    imaging::IndexedPicture indexed;
    QString reason;
    if (!frames.Quantize(picture_, &indexed, &reason)) {
        lastError_ = QStringLiteral("%1: %2").arg(shown, reason);
        return false;
    }
    if (!imaging::SaveFrameFile(path, indexed, &reason)) {
        lastError_ = QStringLiteral("%1: %2").arg(shown, reason);
        return false;
    }
    if (written)
        *written = std::move(indexed);
    return true;
}

bool ImageEngine::CopyToClipboard() const
{
    if (picture_.isNull())
        return false;
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app || QThread::currentThread() != app->thread())
        return false;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    clipboard->setImage(picture_);
    return true;
}
