// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/FrameFile.h"

#include "common/ReplacingFile.h"

namespace imaging {

bool SaveFrameFile(const QString& path, const IndexedPicture& picture, QString* reason)
{
    ReplacingFile file(path, ReplacingFile::Use::Scratch);
    if (!file.open(QIODevice::WriteOnly)) {
        *reason = file.errorString();
        return false;
    }
    // The writer may rewrite the pixels in place.
    std::vector<uint8_t> pixels = picture.indices;
    GifWriter writer(&file);
    GifWriter::Frame frame;
    frame.width = picture.width;
    frame.height = picture.height;
    frame.pixels = pixels.data();
    frame.palette = picture.palette.data();
    frame.colorCount = picture.colorCount;
    frame.transparent = picture.transparent;
    if (!writer.Begin(picture.width, picture.height, picture.palette.data(), picture.colorCount, -1)
        || !writer.AddFrame(frame, false) || !writer.End()) {
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
