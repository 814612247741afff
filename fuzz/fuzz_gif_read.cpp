// SPDX-License-Identifier: GPL-3.0-or-later
// GIF reading from memory (the frames the assembler reads, and GIF pictures):
// a frame that reads has an index for every pixel and the size that
// measuring gives.
#include "FuzzScratch.h"

#include "imaging/GifCodec.h"
#include "imaging/codecs/GifCodec.h"

#include <QImage>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    imaging::IndexedPicture picture;
    QSize measured;
    const bool sized = imaging::GifReadSize(data, qint64(size), &measured).Ok();
    if (sized && fuzzing::TooSlowToDecode(measured))
        return 0;
    if (const imaging::Result read = imaging::GifReadFirstFrame(data, qint64(size), &picture); !read) {
        if (read.Message().isEmpty())
            fuzzing::Finding("a GIF failed to read without a reason");
        return 0;
    }
    if (picture.width <= 0 || picture.height <= 0
        || picture.indices.size() != size_t(picture.width) * size_t(picture.height))
        fuzzing::Finding("a frame read with a wrong pixel count");
    if (!sized || measured != QSize(picture.width, picture.height))
        fuzzing::Finding("the measured GIF size differs from the decoded size");
    const QImage image = imaging::IndexedToImage(picture);
    if (image.size() != QSize(picture.width, picture.height))
        fuzzing::Finding("the picture of a frame has another size");
    return 0;
}
