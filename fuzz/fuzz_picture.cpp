// SPDX-License-Identifier: GPL-3.0-or-later
// The picture reader through the engine's load path. The first byte picks the
// file's extension (formats without a signature are chosen by it), the rest
// is the file. A picture that loads must also measure to the same size, and
// must scale and save as a frame that reads back.
#include "FuzzFormats.h"
#include "FuzzScratch.h"

#include "imaging/GifCodec.h"
#include "imaging/codecs/GifCodec.h"
#include "imaging/ImageEngine.h"
#include "imaging/ImagingLimits.h"
#include "imaging/ImagingRuntime.h"
#include "imaging/PictureReader.h"

#include <QFile>

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
    const char* extension = fuzzing::kExtensions[data[0] % fuzzing::kExtensionCount];
    const QString path = fuzzing::WriteScratch(QStringLiteral("in.") + QLatin1String(extension), data + 1, size - 1);

    QSize measured;
    const bool measuredOk = imaging::MeasurePicture(path, &measured).Ok();
    if (measuredOk && fuzzing::TooSlowToDecode(measured))
        return 0;
    ImageEngine engine;
    const bool loaded = engine.LoadFile(path);
    if (!loaded) {
        if (engine.LastError().isEmpty())
            fuzzing::Finding("a picture failed to load without a reason");
        return 0;
    }
    if (!imaging::CheckPictureSize(engine.ImageWidth(), engine.ImageHeight()).isEmpty() || engine.ImageWidth() <= 0
        || engine.ImageHeight() <= 0)
        fuzzing::Finding("a loaded picture has no size or one above the limits");
    if (measuredOk && measured != QSize(engine.ImageWidth(), engine.ImageHeight()))
        fuzzing::Finding("the measured size differs from the decoded size");

    const QString frame = fuzzing::ScratchPath(QStringLiteral("frame.gif"));
    if (!engine.Resize(13, 7) || !engine.SaveFile(frame))
        fuzzing::Finding("a loaded picture failed to scale or save");
    QFile saved(frame);
    if (!saved.open(QIODevice::ReadOnly))
        fuzzing::Finding("the saved frame cannot be opened");
    const QByteArray bytes = saved.readAll();
    imaging::IndexedPicture picture;
    if (!imaging::GifReadFirstFrame(reinterpret_cast<const uchar*>(bytes.constData()), bytes.size(), &picture)
        || picture.width != 13 || picture.height != 7)
        fuzzing::Finding("the saved frame does not read back at its size");
    return 0;
}
