// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/PictureFit.h"

#include <QImage>
#include <QString>

namespace imaging {
class FrameQuantizer;
struct IndexedPicture;
} // namespace imaging

// Decodes, measures, scales and saves one current picture at a time.
// Failures never throw: they return false and leave a reason in LastError().
class ImageEngine final {
public:
    ImageEngine();
    ~ImageEngine();
    Q_DISABLE_COPY_MOVE(ImageEngine)

    // The file becomes the current picture. An empty path drops the current
    // picture (and returns true). On failure there is no current picture.
    bool LoadFile(const QString& path);
    void Clear();
    // `picture`, decoded earlier as LoadFile would, becomes the current picture.
    void UsePicture(QImage picture);

    // Pixel size of the current picture; 0 when there is none.
    int ImageWidth() const;
    int ImageHeight() const;

    // Scales the current picture to exactly width x height. The flag is unused.
    bool Resize(int width, int height, bool flag = false);
    // Brings the current picture to exactly width x height in the given way
    // (Stretch is Resize).
    bool Fit(int width, int height, const PictureFit& fit);

    // Writes the current picture as a single-frame GIF89a (at most 256 colours)
    // with a palette of its own. The flag and number are unused.
    bool SaveFile(const QString& path, bool flag = false, int number = 0);
    // The same as a frame of an animation: `frames` remembers the frame saved
    // before, so where this picture repeats its pixels they keep their colours
    // and the animation can store them as unchanged. The caller owns it, one
    // per sequence of frames saved in order.
    bool SaveFile(const QString& path, imaging::FrameQuantizer& frames, imaging::IndexedPicture* written = nullptr);

    // Puts the current picture on the system clipboard as a bitmap.
    bool CopyToClipboard() const;

    // The current picture (null when there is none), for callers that take it
    // directly instead of through the clipboard.
    const QImage& Picture() const { return picture_; }

    QString LastError() const { return lastError_; }

private:
    QImage picture_;
    QString lastError_;
};
