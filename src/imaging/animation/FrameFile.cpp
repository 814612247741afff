// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/animation/FrameFile.h"

#include "common/ReplacingFile.h"
#include "imaging/codecs/GifCodec.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <vector>

namespace imaging {
namespace {

// LZW codes packed into bytes four at a time, cut into data sub-blocks (a
// length byte, up to 255 bytes) at the end.
class CodeBlocks {
public:
    // Room for `codes` codes of at most 12 bits.
    explicit CodeBlocks(size_t codes)
    {
        packed_.resize(codes * 12 / 8 + 16);
        at_ = packed_.data();
    }
    void Put(uint32_t code, int width)
    {
        bits_ |= uint64_t(code) << count_;
        count_ += width;
        if (count_ >= 32) {
            const quint32 word = qToLittleEndian(quint32(bits_));
            std::memcpy(at_, &word, 4);
            at_ += 4;
            bits_ >>= 32;
            count_ -= 32;
        }
    }
    void Finish(QByteArray* blocks)
    {
        for (; count_ > 0; count_ -= 8, bits_ >>= 8)
            *at_++ = uint8_t(bits_);
        const size_t size = size_t(at_ - packed_.data());
        blocks->resize(qsizetype(size + (size + 254) / 255));
        char* out = blocks->data();
        for (size_t from = 0; from < size; from += 255) {
            const size_t n = std::min<size_t>(255, size - from);
            *out++ = char(n);
            std::memcpy(out, packed_.data() + from, n);
            out += n;
        }
    }

private:
    std::vector<uint8_t> packed_;
    uint8_t* at_ = nullptr;
    uint64_t bits_ = 0;
    int count_ = 0;
};

// A frame file is scratch, written once and read at most once: its pixels
// are coded by runs alone, which takes a tenth of the time of a search for
// every string and stores runs of one colour (most of an animation's frame)
// nearly as well. Every code still defines the table entry a decoder
// expects; an entry made while a run goes on is that colour one pixel
// longer than the code just written, which the next code of the run may use
// at once. The table is cleared before the codes outgrow 9 bits (more bits
// would cost every pixel outside the runs).
void EncodeRuns(const uint8_t* pixels, size_t count, int codeSize, QByteArray* blocks)
{
    // At most a code a pixel, a clear every 254 codes, the first clear and the end.
    CodeBlocks out(count + count / 254 + 3);
    const uint32_t clear = 1u << codeSize;
    const uint32_t end = clear + 1;
    const uint32_t limit = 1u << std::max(codeSize + 1, 9);
    int width = codeSize + 1;
    uint32_t running = end + 1; // the code the next entry gets
    // Per colour: the longest run it has a code for in this table, and those codes.
    constexpr int kLongest = 64;
    thread_local std::vector<uint16_t> runCodes(size_t(256) * (kLongest + 1));
    uint16_t longest[256];
    // Writes a code; then, as decoders read them, the width grows once the
    // next entry's code no longer fits.
    const auto put = [&](uint32_t code) {
        out.Put(code, width);
        if (running >= (1u << width))
            ++width;
    };
    const auto reset = [&] {
        put(clear);
        running = end + 1;
        width = codeSize + 1;
        std::fill(std::begin(longest), std::end(longest), uint16_t(1));
    };
    reset();
    for (size_t i = 0; i < count;) {
        const uint8_t c = pixels[i];
        size_t run = 1;
        while (i + run < count && pixels[i + run] == c)
            ++run;
        i += run;
        uint16_t* const codes = runCodes.data() + size_t(c) * (kLongest + 1);
        for (;;) {
            const size_t known = longest[c];
            const size_t k = std::min(known, run);
            put(k == 1 ? c : codes[k]);
            run -= k;
            // The entry this code makes: its string and the next code's first pixel.
            const uint32_t entry = running++;
            if (running >= limit)
                reset(); // before the entry could be used
            else if (run > 0 && k == known && k < kLongest) {
                longest[c] = uint16_t(k + 1);
                codes[k + 1] = uint16_t(entry);
            }
            if (run == 0)
                break;
        }
    }
    put(end);
    out.Finish(blocks);
}

} // namespace

bool SaveFrameFile(const QString& path, const IndexedPicture& picture, QString* reason)
{
    ReplacingFile file(path, ReplacingFile::Use::Scratch);
    if (!file.open(QIODevice::WriteOnly)) {
        *reason = file.errorString();
        return false;
    }
    thread_local QByteArray blocks;
    EncodeRuns(picture.indices.data(), picture.indices.size(), LzwCodeSize(picture.colorCount), &blocks);
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
