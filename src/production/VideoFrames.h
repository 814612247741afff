// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "production/CreationRun.h"

#include <QString>
#include <QStringList>

// Turns the pictures of video files (and of animated pictures) into frames of a run: each chosen picture
// is written as a lossless picture file into a folder (one at a time, so memory
// stays flat however long the video) and listed with its play time from the
// video's timestamps. The files go when the object goes.
class VideoFrames final {
public:
    explicit VideoFrames(QString folder);
    ~VideoFrames();
    VideoFrames(const VideoFrames&) = delete;
    VideoFrames& operator=(const VideoFrames&) = delete;

    // As many frames as the window's picture list holds.
    static constexpr int kMaximumFrames = 32767;

    enum class Refusal {
        None,
        Stopped,       // a stop was requested (common/StopRequest)
        TooManyFrames, // the frames would pass kMaximumFrames
        NoSpace,       // the frame files would not fit in the folder
    };
    struct Outcome {
        bool video = false;              // false: the file is no video at all
        int added = 0;                   // frames appended
        QString error;                   // why decoding stopped early, or why nothing came out
        QString dimensions;              // of the first picture, as "640 x 480"
        Refusal refusal = Refusal::None; // the run cannot go on; error says why
    };
    // Appends the video's frames: every decoded picture when everyMs is 0,
    // else the picture showing at 0, everyMs, 2 x everyMs ... (a picture that
    // shows at several of those times becomes one longer frame). Stops early,
    // with a refusal, on a stop request, past kMaximumFrames in all, or when the
    // first frame file shows that the rest would not fit.
    Outcome Add(const QString& videoPath, qint32 everyMs, QVector<CreationFrame>* frames);
    // The same for an animated picture (GIF, APNG, WebP): one frame per
    // picture of the animation, with its own delay.
    Outcome AddAnimation(const QString& path, qint32 everyMs, QVector<CreationFrame>* frames);

private:
    template <class Reader>
    Outcome AddFrom(Reader& reader, const QString& videoPath, qint32 everyMs, QVector<CreationFrame>* frames);

    QString folder_;
    QStringList files_;
};
