// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "imaging/ImagingResult.h"

#include <QSize>
#include <QString>

#include <gif_lib.h>

namespace imaging {

struct IndexedPicture;

// A GIF87a or GIF89a signature.
bool IsGif(const uchar* d, qint64 n);

// The first image of a GIF on the logical screen (the screen size; the image's
// extent when the screen claims 0 x 0). Screen parts outside the image are
// transparent. Corrupt or truncated data fails.
Result GifReadFirstFrame(const uchar* data, qint64 size, IndexedPicture* picture);
// The size GifReadFirstFrame gives, read from the blocks before the pixel
// data; the first image's data blocks are checked to be complete, not decoded.
Result GifReadSize(const uchar* data, qint64 size, QSize* result);

// GIF data in memory, read by giflib through ReadMemory (DGifOpen's input function).
struct MemoryReader {
    const uchar* data;
    qint64 size;
    qint64 pos;
};
int ReadMemory(GifFileType* gif, GifByteType* bytes, int length);

// giflib's text for one of its error codes.
QString GifMessage(int code);

} // namespace imaging
