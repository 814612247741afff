// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/GifAssembler.h"

#include "common/ReplacingFile.h"
#include "imaging/GifCodec.h"
#include "imaging/LzwEncoder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace {

using imaging::IndexedPicture;

// One frame file, decoded, on the animation's screen.
struct Frame {
    IndexedPicture picture;
    std::vector<uint32_t> colors;  // per pixel: 0 = transparent, else 0xFFRRGGBB
};

QString Native(const QString& path) { return QDir::toNativeSeparators(path); }

// Places `p` at the top left of a width x height screen (frames of one run
// all have the output size; this only guards against a stray file).
void FitToScreen(IndexedPicture& p, int width, int height)
{
    if (p.width == width && p.height == height)
        return;
    IndexedPicture fitted;
    fitted.width = width;
    fitted.height = height;
    fitted.palette = p.palette;
    fitted.colorCount = p.colorCount;
    fitted.transparent = p.transparent;
    const bool pads = p.width < width || p.height < height;
    if (pads && fitted.transparent < 0) {
        std::array<bool, 256> used{};
        for (uint8_t i : p.indices)
            used[i] = true;
        int pick = p.colorCount < 256 ? p.colorCount : -1;
        for (int i = 0; i < 256 && pick < 0; ++i)
            if (!used[size_t(i)])
                pick = i;
        if (pick < 0)
            pick = 0;  // all 256 colours used: colour 0 becomes transparent (lossy; never for our own frames)
        fitted.transparent = pick;
        fitted.colorCount = std::max(fitted.colorCount, pick + 1);
        fitted.palette[size_t(pick)] = 0;
    }
    fitted.indices.assign(size_t(width) * size_t(height), uint8_t(std::max(fitted.transparent, 0)));
    const int w = std::min(width, p.width);
    for (int y = 0; y < std::min(height, p.height); ++y)
        std::memcpy(&fitted.indices[size_t(y) * size_t(width)], &p.indices[size_t(y) * size_t(p.width)], size_t(w));
    p = std::move(fitted);
}

bool LoadFrame(const QString& path, int number, int width, int height, Frame* frame, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("frame %1 (%2): %3").arg(number).arg(Native(path), file.errorString());
        return false;
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("frame %1 (%2): %3").arg(number).arg(Native(path), file.errorString());
        return false;
    }
    QString reason;
    if (!imaging::GifReadFirstFrame(reinterpret_cast<const uchar*>(data.constData()), data.size(), &frame->picture,
                                    &reason)) {
        *error = QStringLiteral("frame %1 (%2): %3").arg(number).arg(Native(path), reason);
        return false;
    }
    if (width > 0)
        FitToScreen(frame->picture, width, height);
    const IndexedPicture& p = frame->picture;
    std::array<uint32_t, 256> lookup = p.palette;
    for (uint32_t& c : lookup)
        c |= 0xFF000000u;
    if (p.transparent >= 0)
        lookup[size_t(p.transparent)] = 0;
    frame->colors.resize(p.indices.size());
    for (size_t i = 0; i < p.indices.size(); ++i)
        frame->colors[i] = lookup[p.indices[i]];
    return true;
}

struct Rect {
    int x0 = 0, y0 = 0, x1 = -1, y1 = -1;  // inclusive; empty when x1 < x0
    bool Empty() const { return x1 < x0; }
    void Add(int x, int y)
    {
        if (Empty()) {
            x0 = x1 = x;
            y0 = y1 = y;
            return;
        }
        x0 = std::min(x0, x);
        x1 = std::max(x1, x);
        y0 = std::min(y0, y);
        y1 = std::max(y1, y);
    }
};

// Writes frame `cur` over `canvas` (what a viewer shows before it) and
// advances `canvas` to what the viewer holds after the frame's disposal.
// The frame shows exactly cur's pixels: unchanged pixels become transparent
// inside the changed rectangle; when `next` makes pixels transparent that
// `cur` shows, `cur` is disposed to background over a rectangle covering them.
struct Scratch {
    std::vector<uint8_t> pixels;
    std::vector<uint8_t> runs;
    QByteArray code;
    QByteArray runCode;
    imaging::LzwEncoder lzw;
};

bool EncodeFrame(imaging::GifWriter& writer, Frame& cur, const Frame* next, std::vector<uint32_t>& canvas, int delay,
                 Scratch& work, QString* error)
{
    const IndexedPicture& p = cur.picture;
    std::vector<uint8_t>& scratch = work.pixels;
    std::vector<uint8_t>& runs = work.runs;
    const int w = p.width;
    const int h = p.height;
    Rect r;
    bool clears = false;
    for (int y = 0; y < h; ++y) {
        const size_t row = size_t(y) * size_t(w);
        const uint32_t* c = &cur.colors[row];
        const uint32_t* b = &canvas[row];
        const uint32_t* n = next ? &next->colors[row] : nullptr;
        int first = -1, last = -1;
        for (int x = 0; x < w; ++x) {
            const bool changed = c[x] != b[x];
            const bool clear = n && c[x] != 0 && n[x] == 0;
            clears |= clear;
            if (changed || clear) {
                if (first < 0)
                    first = x;
                last = x;
            }
        }
        if (first >= 0) {
            r.Add(first, y);
            r.Add(last, y);
        }
    }
    const int disposal = clears ? 2 : 1;

    imaging::GifWriter::Frame out;
    out.delay = delay;
    out.disposal = disposal;
    out.graphicControl = true;
    std::array<uint32_t, 256> palette{};
    if (r.Empty()) {
        // Nothing changes: the frame still exists with its own delay, as one
        // transparent pixel.
        scratch.assign(1, 0);
        out.left = out.top = 0;
        out.width = out.height = 1;
        out.pixels = scratch.data();
        palette[0] = 0;
        out.palette = palette.data();
        out.colorCount = 2;
        out.transparent = 0;
        if (!writer.AddFrame(out, true)) {
            *error = writer.Error();
            return false;
        }
    } else {
        const int rw = r.x1 - r.x0 + 1;
        const int rh = r.y1 - r.y0 + 1;
        // The transparent index: the frame's own, else one no changed pixel uses.
        int t = p.transparent;
        if (t < 0) {
            std::array<bool, 256> used{};
            for (int y = r.y0; y <= r.y1; ++y) {
                const size_t row = size_t(y) * size_t(w);
                for (int x = r.x0; x <= r.x1; ++x)
                    if (cur.colors[row + x] != canvas[row + x])
                        used[p.indices[row + x]] = true;
            }
            for (int i = 0; i < 256 && t < 0; ++i)
                if (!used[size_t(i)])
                    t = i;
        }
        // Pixels in frame indices, two ways that show the same: every unchanged
        // pixel transparent, or unchanged pixels that continue a run of their
        // own colour kept as that colour (long runs compress better). The
        // smaller code stream is written.
        scratch.resize(size_t(rw) * size_t(rh));
        runs.resize(scratch.size());
        std::array<bool, 256> emitted{};
        bool runsDiffer = false;
        for (int y = r.y0; y <= r.y1; ++y) {
            const size_t row = size_t(y) * size_t(w);
            uint8_t* dst = &scratch[size_t(y - r.y0) * size_t(rw)];
            uint8_t* alt = &runs[size_t(y - r.y0) * size_t(rw)];
            int last = -1;
            for (int x = r.x0; x <= r.x1; ++x) {
                const uint32_t c = cur.colors[row + x];
                const uint8_t own = p.indices[row + x];
                uint8_t v = own, a = own;
                if (c == 0) {
                    v = a = uint8_t(t);
                } else if (t >= 0 && c == canvas[row + x]) {
                    v = uint8_t(t);
                    a = own == last ? own : uint8_t(t);
                }
                runsDiffer |= a != v;
                dst[x - r.x0] = v;
                alt[x - r.x0] = a;
                emitted[v] = true;
                last = a;
            }
        }
        std::array<uint8_t, 256> map{};
        int count = 0;
        int newT = -1;
        for (int i = 0; i < 256; ++i) {
            if (!emitted[size_t(i)])
                continue;
            map[size_t(i)] = uint8_t(count);
            palette[size_t(count)] = i == t ? 0u : (p.palette[size_t(i)] & 0xFFFFFFu);
            if (i == t)
                newT = count;
            ++count;
        }
        if (disposal == 2 && newT < 0 && count < 256) {
            // Some decoders (Qt's among them) clear a disposed frame to
            // transparent only when it has a transparent colour of its own.
            newT = count;
            palette[size_t(count++)] = 0;
        }
        for (uint8_t& v : scratch)
            v = map[v];
        const int codeSize = imaging::LzwCodeSize(std::max(count, 2));
        work.lzw.Encode(scratch.data(), scratch.size(), codeSize, &work.code);
        if (runsDiffer) {
            // The run form uses no colour that the other does not.
            for (uint8_t& v : runs)
                v = map[v];
            work.lzw.Encode(runs.data(), runs.size(), codeSize, &work.runCode);
            if (work.runCode.size() < work.code.size())
                work.code.swap(work.runCode);
        }
        out.left = r.x0;
        out.top = r.y0;
        out.width = rw;
        out.height = rh;
        out.pixels = scratch.data();
        out.palette = palette.data();
        out.colorCount = std::max(count, 2);
        out.transparent = newT;
        if (!writer.AddCompressedFrame(out, work.code)) {
            *error = writer.Error();
            return false;
        }
    }

    // The viewer now shows exactly cur; then the disposal applies.
    canvas.swap(cur.colors);
    if (disposal == 2 && !r.Empty()) {
        for (int y = r.y0; y <= r.y1; ++y)
            std::fill_n(&canvas[size_t(y) * size_t(w) + size_t(r.x0)], r.x1 - r.x0 + 1, 0u);
    }
    return true;
}

}  // namespace

void GifAssembler::Reset()
{
    frames_.clear();
    delays_.clear();
    loopCount_ = 0;
    version_ = QStringLiteral("gif89a");
    lastError_.clear();
}

void GifAssembler::LoopCount(int count)
{
    loopCount_ = std::clamp(count, 0, 65535);
}

void GifAssembler::Version(const QString& version)
{
    // Delays and the loop count need GIF89a; that is what is written.
    version_ = version;
}

bool GifAssembler::AddFrame(const QString& path)
{
    // Recorded even when it looks wrong, so that frame indices stay those of
    // the caller; SaveAnimation then names the file.
    frames_.append(path);
    delays_.append(0);
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile()) {
        lastError_ = QStringLiteral("frame %1 (%2): the file does not exist").arg(frames_.size()).arg(Native(path));
        return false;
    }
    return true;
}

bool GifAssembler::SetFrameDelay(int index, int delay)
{
    if (index < 0 || index >= delays_.size()) {
        lastError_ = QStringLiteral("there is no frame %1 (frames are counted from 0; %2 added)")
                         .arg(index).arg(delays_.size());
        return false;
    }
    delays_[index] = std::clamp(delay, 0, 65535);
    return true;
}

bool GifAssembler::SaveAnimation(const QString& path)
{
    lastError_.clear();
    if (path.isEmpty()) {
        lastError_ = QStringLiteral("no output file named");
        return false;
    }
    if (frames_.isEmpty()) {
        lastError_ = QStringLiteral("%1: the animation has no frames").arg(Native(path));
        return false;
    }
    // Only two decoded frames and one screen buffer at a time, whatever the
    // frame count: frame i is written once frame i + 1 is known (its
    // transparency decides frame i's disposal).
    Frame cur, next;
    QString reason;
    if (!LoadFrame(frames_[0], 1, 0, 0, &cur, &reason)) {
        lastError_ = QStringLiteral("cannot create %1: %2").arg(Native(path), reason);
        return false;
    }
    const int width = cur.picture.width;
    const int height = cur.picture.height;

    ReplacingFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        lastError_ = QStringLiteral("cannot create %1: %2").arg(Native(path), file.errorString());
        return false;
    }
    imaging::GifWriter writer(&file);
    if (!writer.Begin(width, height, nullptr, 0, loopCount_)) {
        lastError_ = QStringLiteral("cannot write %1: %2").arg(Native(path), writer.Error());
        file.cancelWriting();
        return false;
    }
    std::vector<uint32_t> canvas(size_t(width) * size_t(height), 0u);
    Scratch scratch;
    const int n = int(frames_.size());
    for (int i = 0; i < n; ++i) {
        const bool hasNext = i + 1 < n;
        if (hasNext && !LoadFrame(frames_[i + 1], i + 2, width, height, &next, &reason)) {
            lastError_ = QStringLiteral("cannot create %1: %2").arg(Native(path), reason);
            file.cancelWriting();
            return false;
        }
        if (!EncodeFrame(writer, cur, hasNext ? &next : nullptr, canvas, delays_[i], scratch, &reason)) {
            lastError_ = QStringLiteral("cannot write %1: %2").arg(Native(path), reason);
            file.cancelWriting();
            return false;
        }
        std::swap(cur, next);
    }
    if (!writer.End()) {
        lastError_ = QStringLiteral("cannot write %1: %2").arg(Native(path), writer.Error());
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        lastError_ = QStringLiteral("cannot write %1: %2").arg(Native(path), file.errorString());
        return false;
    }
    return true;
}
