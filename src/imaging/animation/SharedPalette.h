// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "imaging/Quantizer.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <functional>
#include <mutex>
#include <vector>

namespace imaging {

// One palette made from the colours of every frame of a small animation.
//
// Frames quantised one by one each get a palette of their own, and each then
// needs a colour table of its own in the animation. When the frames share
// their colours (pixel art scaled up, a sprite walking over a scene), one
// palette made from all of them shows each frame about as well as the
// frame's own palette did, and the animation needs just one table. The
// creation run owns one for its frames: each scaled picture is kept with the
// frame as its file holds it, and once all are there the frames that the
// shared palette shows well enough are written again in it.
class SharedPalette final {
public:
    // Pictures are kept only while all frames together stay under this many pixels.
    static constexpr qint64 kMaxPixels = qint64(1) << 20;

    SharedPalette(int frames, QSize output);
    Q_DISABLE_COPY_MOVE(SharedPalette)

    // Whether this animation is small enough to be looked at as a whole.
    bool Wanted() const { return !pictures_.empty(); }
    static bool WantedFor(int frames, QSize output)
    {
        return frames >= 2 && qint64(frames) * output.width() * output.height() <= kMaxPixels;
    }
    // The scaled picture of frame `frame` (from 1) and the frame as its file
    // holds it, in its own palette. Safe from any thread.
    void Keep(int frame, const QImage& picture, IndexedPicture own);

    // Once every frame file is written: makes the palette and writes again,
    // in it, each frame whose mean squared error in it stays within what its
    // own palette showed times 1.25, plus settings.driftSlack, plus the
    // larger of driftSlack and settings.tableSlack times what a table of its
    // own would cost the frame per pixel. Frames it
    // does not suit keep their files (at least two must share it). `frames`
    // then holds every frame as its file does, so that the files need not be
    // read again (none when not every frame was kept). On failure `error`
    // names the frame (from 1) in `failedFrame` when there is one.
    bool Apply(const QuantizeSettings& settings, const std::function<QString(int)>& frameFile,
               std::vector<IndexedPicture>* frames, int* failedFrame, QString* error);

private:
    std::mutex mutex_;
    std::vector<QImage> pictures_;
    std::vector<IndexedPicture> own_;
};

} // namespace imaging
