// SPDX-License-Identifier: GPL-3.0-or-later
// GIF assembling: the input becomes the first and third frame of an animation
// around a fixed middle frame. It assembles exactly when it reads as a GIF,
// and the animation must read back showing the input's first picture.
#include "FuzzScratch.h"

#include "imaging/GifAssembler.h"
#include "imaging/GifCodec.h"
#include "imaging/codecs/GifCodec.h"
#include "imaging/ImageEngine.h"
#include "imaging/ImagingRuntime.h"

#include <QFile>
#include <QImage>

#include <cstddef>
#include <cstdint>

namespace {

// Transparent pixels compare equal whatever their colour.
QImage Shown(const imaging::IndexedPicture& picture)
{
    QImage image = imaging::IndexedToImage(picture).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(line[x]) == 0)
                line[x] = 0;
    }
    return image;
}

QString MiddleFrame()
{
    static const QString path = [] {
        QImage image(9, 5, QImage::Format_RGBA8888);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, qRgba(x * 28, y * 60, 99, x == y ? 0 : 255));
        const QString png = fuzzing::ScratchPath(QStringLiteral("middle.png"));
        const QString gif = fuzzing::ScratchPath(QStringLiteral("middle.gif"));
        ImageEngine engine;
        if (!image.save(png, "PNG") || !engine.LoadFile(png) || !engine.SaveFile(gif))
            fuzzing::Finding("cannot make the middle frame");
        return gif;
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    imaging::UseOneLibraryThread();
    MiddleFrame();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    imaging::IndexedPicture input;
    QSize measured;
    if (imaging::GifReadSize(data, qint64(size), &measured) && fuzzing::TooSlowToDecode(measured))
        return 0;
    const bool read = imaging::GifReadFirstFrame(data, qint64(size), &input).Ok();

    const QString frame = fuzzing::WriteScratch(QStringLiteral("frame.gif"), data, size);
    const QString output = fuzzing::ScratchPath(QStringLiteral("animation.gif"));
    GifAssembler assembler;
    assembler.LoopCount(0);
    assembler.Version(QStringLiteral("gif89a"));
    for (const QString& path : {frame, MiddleFrame(), frame})
        assembler.AddFrame(path);
    assembler.SetFrameDelay(1, 7);
    const bool saved = assembler.SaveAnimation(output);
    if (saved != read)
        fuzzing::Finding(saved ? "an unreadable frame was assembled" : "a readable frame failed to assemble");
    if (!saved) {
        if (assembler.LastError().isEmpty())
            fuzzing::Finding("assembling failed without a reason");
        return 0;
    }
    QFile file(output);
    if (!file.open(QIODevice::ReadOnly))
        fuzzing::Finding("the animation cannot be opened");
    const QByteArray bytes = file.readAll();
    imaging::IndexedPicture first;
    if (!imaging::GifReadFirstFrame(reinterpret_cast<const uchar*>(bytes.constData()), bytes.size(), &first))
        fuzzing::Finding("the animation does not read back");
    if (Shown(first) != Shown(input))
        fuzzing::Finding("the animation's first frame differs from the input");
    return 0;
}
