// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/animation/FrameFile.h"

#include "common/ReplacingFile.h"
#include "imaging/animation/LzwEncoder.h"
#include "imaging/codecs/GifCodec.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <algorithm>

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
    if (!lzw.Encode(pixels.data(), pixels.size(), LzwCodeSize(picture.colorCount), &blocks)) {
        *reason = QCoreApplication::translate("GifAssembler", "the writing was stopped");
        return false;
    }
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

IndexedPicture AsFrameFileHolds(IndexedPicture picture)
{
    const int stored = std::min(picture.colorCount, 256);
    for (int i = 0; i < 256; ++i)
        picture.palette[size_t(i)] = i < stored ? 0xFF000000u | (picture.palette[size_t(i)] & 0xFFFFFFu) : 0xFF000000u;
    picture.colorCount = 1 << PaletteBits(std::max(stored, 2));
    if (picture.transparent >= 0 && picture.transparent < 256)
        picture.palette[size_t(picture.transparent)] = 0;
    return picture;
}

bool LoadFrameFile(const QString& path, int number, IndexedPicture* picture, QString* error)
{
    const auto failed = [&](const QString& reason) {
        *error = QCoreApplication::translate("GifAssembler", "frame %1 (%2): %3")
                     .arg(number)
                     .arg(QDir::toNativeSeparators(path), reason);
        return false;
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failed(file.errorString());
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return failed(file.errorString());
    if (const Result read = GifReadFirstFrame(reinterpret_cast<const uchar*>(data.constData()), data.size(), picture);
        !read)
        return failed(read.Message());
    return true;
}

} // namespace imaging
