// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/PreviewPictures.h"

#include "imaging/PictureReader.h"

#include <QThread>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

namespace PreviewPictures {

QImage FitToBox(const QImage& picture, QSize box)
{
    if (picture.isNull() || box.isEmpty())
        return {};
    QImage fitted =
        picture.size() == box ? picture : picture.scaled(box, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage::Format paintFormat =
        fitted.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    if (fitted.format() != paintFormat)
        fitted.convertTo(paintFormat);
    return fitted;
}

QImage Decode(const QString& path, QSize box)
{
    return Decode(path, box, [] { return true; });
}

QImage Decode(const QString& path, QSize box, const std::function<bool()>& wanted)
{
    if (path.isEmpty() || box.isEmpty())
        return {};
    QImage picture;
    if (!imaging::DecodePicture(path, &picture, box) || !wanted())
        return {};
    return FitToBox(picture, box);
}

} // namespace PreviewPictures

PreviewPrefetch::PreviewPrefetch(QSize box, int ahead)
    : box_(box)
    , ahead_(ahead > 0 ? ahead : std::max(1, QThread::idealThreadCount()))
{
}

PreviewPrefetch::~PreviewPrefetch() { Drop(); }

void PreviewPrefetch::Drop()
{
    dropped_->store(true);
    pending_.clear();
}

void PreviewPrefetch::Queue(qint32 position, const QString& path)
{
    const QSize box = box_;
    pending_.push_back({position, path, QtConcurrent::run([path, box, dropped = dropped_, started = started_] {
                            // Queued work of a load that has ended is not started.
                            if (dropped->load())
                                return QImage();
                            ++*started;
                            return PreviewPictures::Decode(path, box);
                        })});
    queuedUpTo_ = std::max(queuedUpTo_, position);
}

QImage PreviewPrefetch::Take(qint32 position, const QString& path)
{
    while (!pending_.empty() && pending_.front().position < position)
        pending_.pop_front();
    if (!pending_.empty() && pending_.front().position == position) {
        Pending next = std::move(pending_.front());
        pending_.pop_front();
        if (next.path == path)
            return next.picture.result();
    }
    return PreviewPictures::Decode(path, box_);
}
