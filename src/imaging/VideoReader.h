// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QString>
#include <QtGlobal>

#include <memory>

namespace imaging {

// Decodes the pictures of a video file one at a time, in presentation order,
// through FFmpeg's libraries: any container and codec they know. Only the
// current picture is held, so a long video takes no more memory than a short one.
class VideoReader final {
public:
    explicit VideoReader(const QString& path);
    ~VideoReader();
    Q_DISABLE_COPY_MOVE(VideoReader)

    // False when the file holds no decodable video stream; Error() says why.
    bool IsOpen() const;

    struct Picture {
        QImage image;        // RGB32, the stream's coded size
        qint64 startMs = 0;  // presentation time, from the stream's first picture
        qint64 lengthMs = 0; // how long the stream shows it; 0 when it does not say
    };
    // The next picture; false at the end of the stream or when decoding stops
    // on damaged data (then Error() is not empty, and the pictures before stay good).
    bool Next(Picture* picture);

    // The stream's nominal time between pictures, 0 when unknown.
    qint64 NominalFrameMs() const;
    QString Error() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace imaging
