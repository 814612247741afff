// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "imaging/ImagingResult.h"
#include "imaging/VideoDecoder.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace imaging {

// Whether a picture file is an animation of more than one frame: a GIF with
// a second image, an APNG whose animation control names more than one frame,
// an animated WebP. Such a file is one picture to the window (its first
// frame) and many frames to flipreel-cli.
bool IsAnimatedPicture(const QString& path);

// The frames of an animated GIF, APNG or WebP one at a time, each the whole
// canvas as the animation shows it at that moment (earlier frames disposed
// and blended as the format says), RGBA8888, with its start and length in
// milliseconds. Colour profile and orientation are applied as for a still
// picture. Only the current canvas is held.
class AnimationReader final {
public:
    explicit AnimationReader(const QString& path);
    ~AnimationReader();
    AnimationReader(const AnimationReader&) = delete;
    AnimationReader& operator=(const AnimationReader&) = delete;

    // Fails when the file is no readable animation, with the reason.
    Result Opened() const;
    using Picture = VideoPicture;
    // The next frame; at the end a success with a null image, a failure on
    // damaged data (the frames before stay good).
    Result Next(Picture* picture);
    qint64 NominalFrameMs() const { return 0; } // every frame says its own length
    // Unknown before the frames are read: the frame limit is checked as they come.
    qint64 ExpectedPictures() const { return 0; }
    qint64 DurationMs() const { return 0; }

    class Source;

private:
    std::unique_ptr<Source> source_;
    bool opened_ = false;
    QString error_; // of opening, then of the frame that failed
    qint64 clock_ = 0;
};

} // namespace imaging
