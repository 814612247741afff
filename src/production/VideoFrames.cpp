// SPDX-License-Identifier: GPL-3.0-or-later
#include "production/VideoFrames.h"

#include "common/ReplacingFile.h"
#include "common/SizeText.h"
#include "production/CreationRules.h"
#include "common/StopRequest.h"
#include "imaging/VideoReader.h"
#include "imaging/codecs/Animation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QStorageInfo>

#include <algorithm>
#include <climits>

namespace {

// The file stores hundredths; play times are made from whole hundredths of the
// running time so that rounding never adds up over a long video (30 frames a
// second is 3.33 hundredths each: 3, 3, 4, 3, 3, 4 ... keeps the clock).
qint64 Hundredths(qint64 ms) { return (ms + 5) / 10; }

qint32 PlayTimeBetween(qint64 fromMs, qint64 toMs)
{
    const qint64 ms = 10 * (Hundredths(toMs) - Hundredths(fromMs));
    return qint32(std::clamp<qint64>(ms, 0, CreationRules::kMaximumPlayTime));
}

// How many frames the video will give, as far as the file tells: 0 when it does not.
template <class Reader> qint64 ExpectedFrames(const Reader& reader, qint32 everyMs)
{
    const qint64 step = reader.NominalFrameMs();
    qint64 pictures = reader.ExpectedPictures() > 0 ? reader.ExpectedPictures()
        : step > 0                                  ? reader.DurationMs() / step
                                                    : 0;
    // Sampled, a picture on show at several times is one frame.
    if (everyMs > 0 && reader.DurationMs() > 0)
        pictures = qMin(pictures > 0 ? pictures : LLONG_MAX, reader.DurationMs() / everyMs + 1);
    return pictures;
}

QString TooManyFrames(const QString& videoPath)
{
    return QCoreApplication::translate("VideoFrames",
                                       "\"%1\" gives more than %2 frames in all; take fewer with --every")
        .arg(QDir::toNativeSeparators(videoPath))
        .arg(VideoFrames::kMaximumFrames);
}

} // namespace

VideoFrames::VideoFrames(QString folder)
    : folder_(std::move(folder))
{
}

VideoFrames::~VideoFrames()
{
    for (const QString& file : std::as_const(files_))
        (void)QFile::remove(file);
}

VideoFrames::Outcome VideoFrames::Add(const QString& videoPath, qint32 everyMs, QVector<CreationFrame>* frames)
{
    imaging::VideoReader reader(videoPath);
    return AddFrom(reader, videoPath, everyMs, frames);
}

VideoFrames::Outcome VideoFrames::AddAnimation(const QString& path, qint32 everyMs, QVector<CreationFrame>* frames)
{
    imaging::AnimationReader reader(path);
    return AddFrom(reader, path, everyMs, frames);
}

template <class Reader>
VideoFrames::Outcome VideoFrames::AddFrom(Reader& reader, const QString& videoPath, qint32 everyMs,
                                          QVector<CreationFrame>* frames)
{
    Outcome outcome;
    if (const imaging::Result opened = reader.Opened(); !opened) {
        outcome.error = opened.Message();
        return outcome;
    }
    outcome.video = true;
    auto refuse = [&](Refusal refusal, const QString& why) {
        outcome.refusal = refusal;
        outcome.error = why;
        return false;
    };
    // A count of pictures that the file states is refused before any frame file is written.
    const qint64 expected = ExpectedFrames(reader, everyMs);
    if (reader.ExpectedPictures() > 0 && frames->size() + expected > kMaximumFrames) {
        refuse(Refusal::TooManyFrames, TooManyFrames(videoPath));
        return outcome;
    }

    qint64 frameStart = 0; // start of the frame last appended
    auto append = [&](const QImage& image, qint64 at) -> bool {
        if (StopRequest::Requested())
            return refuse(Refusal::Stopped, QCoreApplication::translate("VideoFrames", "stopped"));
        if (frames->size() >= kMaximumFrames)
            return refuse(Refusal::TooManyFrames, TooManyFrames(videoPath));
        if (outcome.added > 0)
            frames->back().playTime = PlayTimeBetween(frameStart, at);
        // PNG at the fastest compression: lossless, and quick to write and read back.
        const QString file = QDir(folder_).filePath(QStringLiteral("__video__%1.png").arg(files_.size() + 1));
        ReplacingFile scratch(file, ReplacingFile::Use::Scratch);
        QImageWriter writer(&scratch, "png");
        writer.setQuality(90);
        files_ << file;
        if (!scratch.open(QIODevice::WriteOnly) || !writer.write(image) || !scratch.commit()) {
            const QString why = scratch.errorString().isEmpty() ? writer.errorString() : scratch.errorString();
            outcome.error = QCoreApplication::translate("VideoFrames", "cannot write the temporary file \"%1\": %2")
                                .arg(QDir::toNativeSeparators(file), why);
            return false;
        }
        if (outcome.added == 0) {
            outcome.dimensions = SizeText(image.size());
            // The first frame file tells what the others will take.
            const qint64 needed = QFileInfo(file).size() * (expected - 1);
            const qint64 free = QStorageInfo(folder_).bytesAvailable();
            if (expected > 1 && free >= 0 && needed > free)
                return refuse(
                    Refusal::NoSpace,
                    QCoreApplication::translate("VideoFrames",
                                                "the frames of \"%1\" need about %2 MB in \"%3\", which has %4 MB free")
                        .arg(QDir::toNativeSeparators(videoPath))
                        .arg((needed + (1 << 20) - 1) >> 20)
                        .arg(QDir::toNativeSeparators(folder_))
                        .arg(free >> 20));
        }
        frames->push_back({file, 0});
        frameStart = at;
        ++outcome.added;
        return true;
    };

    // The picture on show now, and the next sampling time.
    typename Reader::Picture shown;
    bool haveShown = false;
    bool shownEmitted = false;
    qint64 nextSample = 0;
    qint64 previousGap = 0;
    auto sampleUntil = [&](qint64 before) -> bool {
        // Every sampling time before `before` falls on the picture on show.
        while (haveShown && nextSample < before) {
            if (!shownEmitted) {
                if (!append(shown.image, nextSample))
                    return false;
                shownEmitted = true;
            }
            nextSample += everyMs;
        }
        return true;
    };

    typename Reader::Picture picture;
    imaging::Result step;
    // A null picture ends the pictures; a failure ends them early.
    while ((step = reader.Next(&picture)) && !picture.image.isNull()) {
        if (StopRequest::Requested()) {
            refuse(Refusal::Stopped, QCoreApplication::translate("VideoFrames", "stopped"));
            return outcome;
        }
        if (haveShown)
            previousGap = picture.startMs - shown.startMs;
        if (everyMs <= 0) {
            if (!append(picture.image, picture.startMs))
                return outcome;
        } else if (!sampleUntil(picture.startMs)) {
            return outcome;
        }
        if (everyMs > 0) {
            // The new picture is on show from its start; earlier samples are taken.
            shown = std::move(picture);
            shownEmitted = false;
            haveShown = true;
            if (!sampleUntil(shown.startMs + 1))
                return outcome;
        } else {
            shown.startMs = picture.startMs;
            shown.lengthMs = picture.lengthMs;
            haveShown = true;
        }
    }
    if (StopRequest::Requested()) {
        refuse(Refusal::Stopped, QCoreApplication::translate("VideoFrames", "stopped"));
        return outcome;
    }
    outcome.error = step.Message();
    if (!haveShown) {
        if (outcome.error.isEmpty())
            outcome.error = QCoreApplication::translate("VideoFrames", "holds no pictures");
        return outcome;
    }
    // The last picture lasts as long as the video says, else as long as one before it.
    qint64 length = shown.lengthMs > 0 ? shown.lengthMs : reader.NominalFrameMs();
    if (length <= 0)
        length = previousGap > 0 ? previousGap : 100;
    const qint64 end = shown.startMs + length;
    if (everyMs > 0 && !sampleUntil(end))
        return outcome;
    frames->back().playTime = PlayTimeBetween(frameStart, end);
    return outcome;
}
