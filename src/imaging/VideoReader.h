// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "imaging/VideoDecoder.h"

#include <QString>
#include <QtGlobal>

#include <memory>

namespace imaging {

// Decodes the pictures of a video file one at a time, in presentation order,
// through FFmpeg's libraries: any container and codec they know. Only the
// current picture is held, so a long video takes no more memory than a short one.
// A stop request ends the reading between packets and while opening.
// The decoder is a module loaded with the first video (see VideoDecoder.h); a
// program without it reads no video and says so in Opened().
class VideoReader final {
public:
    explicit VideoReader(const QString& path);
    ~VideoReader();
    Q_DISABLE_COPY_MOVE(VideoReader)

    // Fails when the file holds no decodable video stream, with the reason.
    Result Opened() const;

    using Picture = VideoPicture;
    // The next picture; at the end of the stream a success with a null
    // image, a failure when decoding stops on damaged data (the pictures
    // before stay good).
    Result Next(Picture* picture);

    // The stream's nominal time between pictures, 0 when unknown.
    qint64 NominalFrameMs() const;
    // How many pictures the file announces, and how long it plays; 0 when it does not say.
    qint64 ExpectedPictures() const;
    qint64 DurationMs() const;

private:
    bool IsOpen() const;
    std::unique_ptr<VideoDecoder> decoder_;
    Result failed_; // when there is no decoder
};

} // namespace imaging
