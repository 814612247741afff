// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/FrameFile.h"

#include "common/ReplacingFile.h"
#include "imaging/LzwEncoder.h"

namespace imaging {

bool SaveFrameFile(const QString& path, const IndexedPicture& picture, QString* reason)
{
    ReplacingFile file(path, ReplacingFile::Use::Scratch);
    if (!file.open(QIODevice::WriteOnly)) {
        *reason = file.errorString();
        return false;
    }
    // Our encoder is about twice as fast as the library's; one per thread, as
    // its tables are large.
    thread_local LzwEncoder lzw;
    thread_local QByteArray blocks;
    thread_local std::vector<uint8_t> pixels; // Encode takes pixels it may rewrite
    pixels.assign(picture.indices.begin(), picture.indices.end());
    lzw.Lossy(nullptr, 0, -1, 0);
    (void)lzw.Encode(pixels.data(), pixels.size(), LzwCodeSize(picture.colorCount), &blocks);
    GifWriter writer(&file);
    GifWriter::Frame frame;
    frame.width = picture.width;
    frame.height = picture.height;
    frame.palette = picture.palette.data();
    frame.colorCount = picture.colorCount;
    frame.transparent = picture.transparent;
    if (!writer.Begin(picture.width, picture.height, picture.palette.data(), picture.colorCount, -1)
        || !writer.AddCompressedFrame(frame, blocks, false) || !writer.End()) {
        *reason = writer.Error().isEmpty() ? file.errorString() : writer.Error();
        return false;
    }
    if (!file.commit()) {
        *reason = file.errorString();
        return false;
    }
    return true;
}

} // namespace imaging
