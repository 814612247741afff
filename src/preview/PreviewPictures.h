// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFuture>
#include <QImage>
#include <QSize>
#include <QString>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>

// The preview keeps every frame at the size it is shown, not at its own size:
// a thousand 12-megapixel pictures would otherwise need tens of gigabytes.
namespace PreviewPictures {

// Scales smoothly to exactly the box, in a format that paints without conversion.
QImage FitToBox(const QImage& picture, QSize box);

// Decodes as the creation run does (orientation, first frame, largest icon,
// the same limits), at the box size straight away where the format can (JPEG
// decodes at a fraction of its size). A null image when the file cannot be
// read. Thread-safe.
QImage Decode(const QString& path, QSize box);
// The same; a picture no longer `wanted` once read is dropped before scaling.
QImage Decode(const QString& path, QSize box, const std::function<bool()>& wanted);

} // namespace PreviewPictures

// Decodes the next pictures of a load on worker threads while the window
// thread places the current one. Results are taken in order, and only for the
// path they were queued with: a list edited meanwhile is decoded afresh.
class PreviewPrefetch final {
public:
    explicit PreviewPrefetch(QSize box, int ahead = 0);
    ~PreviewPrefetch();
    Q_DISABLE_COPY_MOVE(PreviewPrefetch)

    // The load has ended: decodes not yet started are never started, and
    // nothing queued is taken any more (Take decodes afresh).
    void Drop();

    // How many positions past the current one may be decoding.
    int Ahead() const { return ahead_; }
    // Decodes begun on worker threads so far.
    int DecodesStarted() const { return started_->load(); }
    // The last position queued (0 before the first).
    qint32 QueuedUpTo() const { return queuedUpTo_; }
    void Queue(qint32 position, const QString& path);
    // The picture for a position, waiting for its decode or decoding here.
    QImage Take(qint32 position, const QString& path);

private:
    struct Pending {
        qint32 position = 0;
        QString path;
        QFuture<QImage> picture;
    };
    QSize box_;
    int ahead_ = 1;
    qint32 queuedUpTo_ = 0;
    std::deque<Pending> pending_;
    std::shared_ptr<std::atomic_bool> dropped_ = std::make_shared<std::atomic_bool>(false);
    std::shared_ptr<std::atomic_int> started_ = std::make_shared<std::atomic_int>(0);
};
