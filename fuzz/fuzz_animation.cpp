// SPDX-License-Identifier: GPL-3.0-or-later
// The frame readers of animated GIF, APNG and WebP. The first byte picks the
// file's extension, the rest is the file. Every frame handed out must be the
// canvas of the first, with a time that never goes back; a reader that stops
// early must say why.
#include "FuzzScratch.h"

#include "imaging/ImagingLimits.h"
#include "imaging/ImagingRuntime.h"
#include "imaging/codecs/Animation.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    imaging::UseOneLibraryThread();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    static const char* const kExtensions[] = {"gif", "png", "webp"};
    const QString path =
        fuzzing::WriteScratch(QStringLiteral("in.") + QLatin1String(kExtensions[data[0] % 3]), data + 1, size - 1);
    imaging::IsAnimatedPicture(path);
    imaging::AnimationReader reader(path);
    if (const imaging::Result opened = reader.Opened(); !opened) {
        if (opened.Message().isEmpty())
            fuzzing::Finding("an animation failed to open without a reason");
        return 0;
    }
    imaging::AnimationReader::Picture picture;
    QSize canvas;
    qint64 lastStart = -1;
    // Enough frames to pass every disposal and blend; a run is kept short.
    for (int frame = 0; frame < 64; ++frame) {
        const imaging::Result step = reader.Next(&picture);
        if (!step && step.Message().isEmpty())
            fuzzing::Finding("a frame failed without a reason");
        if (!step || picture.image.isNull())
            break;
        if (frame == 0) {
            canvas = picture.image.size();
            if (!imaging::CheckPictureSize(canvas.width(), canvas.height()).isEmpty())
                fuzzing::Finding("a canvas above the limits");
        } else if (picture.image.size() != canvas) {
            fuzzing::Finding("a frame of another size than the canvas");
        }
        if (picture.startMs < lastStart || picture.lengthMs < 0)
            fuzzing::Finding("a frame time goes back");
        lastStart = picture.startMs;
        if (fuzzing::TooSlowToDecode(canvas))
            return 0;
    }
    return 0;
}
