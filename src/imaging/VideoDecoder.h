// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "imaging/ImagingResult.h"

#include <QImage>
#include <QString>
#include <QtGlobal>

namespace imaging {

struct VideoPicture {
    QImage image;        // RGB32, upright: turned and mirrored as the stream says
    qint64 startMs = 0;  // presentation time, from the stream's first picture
    qint64 lengthMs = 0; // how long the stream shows it; 0 when it does not say
};

// What the video module hands out: FFmpeg's libraries stay out of every
// program start that reads no video (they pull in over a hundred shared
// libraries), so the decoder lives in a module loaded on first use.
class VideoDecoder {
public:
    VideoDecoder() = default;
    virtual ~VideoDecoder() = default;
    Q_DISABLE_COPY_MOVE(VideoDecoder)

    // Success when the stream is open for reading, else why not.
    virtual Result Opened() const = 0;
    // The next picture. At the end of the stream it succeeds and leaves
    // `picture->image` null; on damaged data it fails with the reason (the
    // pictures before stay good).
    virtual Result Next(VideoPicture* picture) = 0;
    virtual qint64 NominalFrameMs() const = 0;
    // How many pictures the file announces, 0 when it does not say.
    virtual qint64 ExpectedPictures() const = 0;
    // How long the video plays, 0 when the file does not say.
    virtual qint64 DurationMs() const = 0;
};

// Refuses a picture size before anything of that size is allocated; empty when it is allowed.
using VideoSizeCheck = QString (*)(qint64 width, qint64 height);
// Polled while opening and between packets: true ends the reading at once.
using VideoStopCheck = bool (*)();

} // namespace imaging

// The module's one entry point: `file` is the file name's bytes, a regular file.
extern "C" {
using OpenVideoDecoderFunction = imaging::VideoDecoder* (*)(const char* file, imaging::VideoSizeCheck check,
                                                            imaging::VideoStopCheck stop);
}
#define FLIPREEL_OPEN_VIDEO_DECODER "flipreel_open_video_decoder"
