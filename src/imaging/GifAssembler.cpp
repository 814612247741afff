// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/GifAssembler.h"

#include "common/ReplacingFile.h"
#include "imaging/ColorTables.h"
#include "imaging/GifCodec.h"
#include "imaging/codecs/GifCodec.h"
#include "imaging/LzwEncoder.h"
#include "imaging/OrderedWorkers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <vector>

namespace {

using imaging::IndexedPicture;

// One frame file, decoded, on the animation's screen.
struct Frame {
    IndexedPicture picture;
    std::vector<uint32_t> colors; // per pixel: 0 = transparent, else 0xFFRRGGBB
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
            pick = 0; // all 256 colours used: colour 0 becomes transparent (lossy; never for our own frames)
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
        *error = QCoreApplication::translate("GifAssembler", "frame %1 (%2): %3")
                     .arg(number)
                     .arg(Native(path), file.errorString());
        return false;
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = QCoreApplication::translate("GifAssembler", "frame %1 (%2): %3")
                     .arg(number)
                     .arg(Native(path), file.errorString());
        return false;
    }
    if (const imaging::Result read =
            imaging::GifReadFirstFrame(reinterpret_cast<const uchar*>(data.constData()), data.size(), &frame->picture);
        !read) {
        *error = QCoreApplication::translate("GifAssembler", "frame %1 (%2): %3")
                     .arg(number)
                     .arg(Native(path), read.Message());
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
    int x0 = 0, y0 = 0, x1 = -1, y1 = -1; // inclusive; empty when x1 < x0
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

// What one compressing thread reuses from frame to frame.
struct Scratch {
    std::vector<uint8_t> mapped;
    QByteArray code;
    imaging::LzwEncoder lzw;
    int lzwError = 0; // see GifAssembler::LzwError
};

// Rectangles up to this many pixels are cheap to encode once more.
constexpr size_t kSmallArea = 16384;
// Frames from this many pixels are compressed on several threads.
constexpr qint64 kParallelArea = 16384;

// The smallest way found so far to write a frame's rectangle.
struct Choice {
    QByteArray code;
    std::array<uint32_t, 256> palette{};
    int colorCount = 0;
    int transparent = -1;
    bool local = true;
    qsizetype cost = -1;         // code and local table bytes; -1: nothing yet
    std::vector<uint8_t> pixels; // as encoded
    bool tableFilled = false;
};

// Where the code table filled up, keeping it may beat clearing it: measured
// on the chosen form only (the forms rank alike either way, and the second
// encoding costs as much as the first).
void TryKeepingFullTable(Scratch& work, Choice& best)
{
    if (!best.tableFilled)
        return;
    const int bits = imaging::LzwCodeSize(best.colorCount);
    work.lzw.Lossy(nullptr, 0, -1, 0); // the pixels already are what the frame shows
    if (work.lzw.Encode(best.pixels.data(), best.pixels.size(), bits, &work.code, best.code.size() - 1, true))
        best.code.swap(work.code);
}

// Offers one form of the rectangle (`own`: the frame's indices, `t` the one
// meaning transparent or -1) in the global table when its colours are all
// there and a free index can mean transparent, and in a local table holding
// just the colours used when that could be smaller. Encoding stops as soon as
// it cannot beat `best`.
void Offer(const std::vector<uint8_t>& own, int t, const std::array<uint32_t, 256>& palette,
           const imaging::GlobalColorTable& global, bool wantsTransparent, Scratch& work, Choice& best)
{
    std::array<bool, 256> used{};
    for (uint8_t v : own)
        used[v] = true;
    const bool usesT = t >= 0 && used[size_t(t)];
    auto tryEncode = [&](const std::array<uint8_t, 256>& map, int codeCount, qsizetype table, Choice candidate) {
        work.lzw.Lossy(candidate.local ? candidate.palette.data() : global.colors.data(), candidate.colorCount,
                       candidate.transparent, work.lzwError);
        work.mapped.resize(own.size());
        for (size_t i = 0; i < own.size(); ++i)
            work.mapped[i] = map[own[i]];
        const qsizetype limit = best.cost < 0 ? std::numeric_limits<qsizetype>::max() : best.cost - table - 1;
        if (limit < 0
            || !work.lzw.Encode(work.mapped.data(), work.mapped.size(), imaging::LzwCodeSize(codeCount), &work.code,
                                limit))
            return;
        candidate.cost = work.code.size() + table;
        candidate.code.swap(work.code);
        candidate.pixels.swap(work.mapped);
        work.mapped.swap(best.pixels); // the buffer of the choice it beats is reused
        candidate.tableFilled = work.lzw.TableFilled();
        best = std::move(candidate);
    };

    // Local: the used colours in index order, the transparent one among them.
    std::array<uint8_t, 256> localMap{};
    Choice local;
    int count = 0;
    for (int i = 0; i < 256; ++i) {
        if (!used[size_t(i)])
            continue;
        localMap[size_t(i)] = uint8_t(count);
        local.palette[size_t(count)] = i == t ? 0u : (palette[size_t(i)] & 0xFFFFFFu);
        if (i == t)
            local.transparent = count;
        ++count;
    }
    if (wantsTransparent && local.transparent < 0 && count < 256) {
        local.transparent = count;
        local.palette[size_t(count++)] = 0;
    }
    local.colorCount = std::max(count, 2);
    const int localBits = imaging::LzwCodeSize(local.colorCount);

    // Global: a frame that needs transparency takes an index it does not use,
    // a padding entry of the table first.
    bool fits = global.count > 0;
    std::array<uint8_t, 256> globalMap{};
    std::array<bool, 256> taken{};
    for (int i = 0; i < 256 && fits; ++i) {
        if (!used[size_t(i)] || i == t)
            continue;
        const int g = global.Find(palette[size_t(i)] & 0xFFFFFFu);
        fits = g >= 0;
        globalMap[size_t(i)] = uint8_t(std::max(g, 0));
        taken[size_t(std::max(g, 0))] = true;
    }
    int globalT = -1;
    if (fits && (usesT || wantsTransparent)) {
        for (int g = (1 << imaging::PaletteBits(std::max(global.count, 2))) - 1; g >= 0 && globalT < 0; --g)
            if (!taken[size_t(g)])
                globalT = g;
        fits = globalT >= 0 || !usesT;
        if (usesT)
            globalMap[size_t(t)] = uint8_t(globalT);
    }
    const int globalBits = imaging::LzwCodeSize(global.count);
    if (fits) {
        Choice g;
        g.local = false;
        g.colorCount = global.count;
        g.transparent = globalT;
        tryEncode(globalMap, global.count, 0, std::move(g));
    }
    // The same stream in a table of the same width is no shorter: a local
    // table only pays when it narrows the codes.
    if (!fits || localBits < globalBits)
        tryEncode(localMap, local.colorCount, qsizetype(3) << imaging::PaletteBits(local.colorCount), std::move(local));
}

// One frame as it goes into the file: worked out in list order, since it
// needs the screen the frames before leave; compressed on any thread; written
// in list order.
struct FrameJob {
    Rect r;
    int disposal = 1;
    int delay = 0;
    int t = -1; // the index meaning transparent, -1 for none
    std::array<uint32_t, 256> palette{};
    int ownTransparent = -1; // the frame's own transparent index
    int opaqueT = -1;        // the one of the form that keeps unchanged pixels
    bool blank = false;      // nothing changes
    bool runsDiffer = false;
    bool opaqueDiffers = false;
    std::vector<uint8_t> pixels; // the rectangle, every unchanged pixel transparent
    std::vector<uint8_t> runs;   // ... unchanged pixels that continue a run keep their colour
    std::vector<uint8_t> opaque; // ... unchanged pixels keep their colour
    Choice best;
};

// Works out frame `cur` over `canvas` (what a viewer shows before it) and
// advances `canvas` to what the viewer holds after the frame's disposal.
// The frame shows exactly cur's pixels: unchanged pixels may become
// transparent inside the changed rectangle; when `next` makes pixels
// transparent that `cur` shows, `cur` is disposed to background over a
// rectangle covering them.
// Squared distance summed over R, G and B of two opaque 0xFFRRGGBB colours.
int ColorDistance(uint32_t a, uint32_t b)
{
    const int dr = int((a >> 16) & 0xFF) - int((b >> 16) & 0xFF);
    const int dg = int((a >> 8) & 0xFF) - int((b >> 8) & 0xFF);
    const int db = int(a & 0xFF) - int(b & 0xFF);
    return dr * dr + dg * dg + db * db;
}

// Opaque pixels of `cur` that are within `bound` of the opaque colour the
// viewer shows there take that colour: they are then stored as unchanged.
// A picture quantised afresh shows a still background in slightly other
// colours; compared with what is on screen (not with the previous frame's
// own colours) the shown error stays within the bound however long a part
// stays still. Returns whether any pixel moved.
bool KeepNearColors(Frame& cur, const std::vector<uint32_t>& canvas, int bound, std::vector<uint8_t>& kept)
{
    kept.assign(cur.colors.size(), 0);
    if (bound <= 0)
        return false;
    bool any = false;
    for (size_t i = 0; i < cur.colors.size(); ++i) {
        const uint32_t c = cur.colors[i];
        const uint32_t b = canvas[i];
        if (c != b && c != 0 && b != 0 && ColorDistance(c, b) <= bound) {
            cur.colors[i] = b;
            kept[i] = 1;
            any = true;
        }
    }
    return any;
}

void PrepareFrame(Frame& cur, const Frame* next, std::vector<uint32_t>& canvas, int delay, int unchangedError,
                  std::vector<uint8_t>& kept, FrameJob& job)
{
    const IndexedPicture& p = cur.picture;
    const int w = p.width;
    const int h = p.height;
    bool anyKept = KeepNearColors(cur, canvas, unchangedError, kept);
    // The transparent index: the frame's own, else one no changed pixel uses.
    // A pixel kept at the screen's colour is written transparent (its own
    // index shows another colour), so without one nothing is kept.
    auto transparentIndex = [&] {
        if (p.transparent >= 0)
            return p.transparent;
        std::array<bool, 256> used{};
        for (size_t i = 0; i < cur.colors.size(); ++i)
            if (cur.colors[i] != canvas[i])
                used[p.indices[i]] = true;
        for (int i = 0; i < 256; ++i)
            if (!used[size_t(i)])
                return i;
        return -1;
    };
    int t = transparentIndex();
    if (t < 0 && anyKept) {
        for (size_t i = 0; i < kept.size(); ++i)
            if (kept[i])
                cur.colors[i] = p.palette[p.indices[i]] | 0xFF000000u;
        kept.assign(kept.size(), 0);
        anyKept = false;
        t = transparentIndex();
    }
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
    job.disposal = clears ? 2 : 1;
    job.delay = delay;
    job.palette = p.palette;
    job.ownTransparent = p.transparent;
    if (r.Empty()) {
        // Nothing changes: the frame still exists with its own delay, as one
        // transparent pixel.
        job.blank = true;
        job.r = Rect{0, 0, 0, 0};
        job.pixels.assign(1, 0);
    } else {
        job.r = r;
        const int rw = r.x1 - r.x0 + 1;
        const int rh = r.y1 - r.y0 + 1;
        job.t = t;
        job.opaqueT = anyKept ? t : p.transparent;
        // Three forms that show the same: every unchanged pixel transparent;
        // unchanged pixels that continue a run of their own colour kept (long
        // runs compress better); every unchanged pixel kept (no transparent
        // entry, and a stream as plain as the picture). The smallest is written.
        const size_t area = size_t(rw) * size_t(rh);
        job.pixels.resize(area);
        job.runs.resize(area);
        job.opaque.resize(area);
        bool runsDiffer = false;
        bool opaqueDiffers = false;
        for (int y = r.y0; y <= r.y1; ++y) {
            const size_t row = size_t(y) * size_t(w);
            uint8_t* dst = &job.pixels[size_t(y - r.y0) * size_t(rw)];
            uint8_t* alt = &job.runs[size_t(y - r.y0) * size_t(rw)];
            uint8_t* keep = &job.opaque[size_t(y - r.y0) * size_t(rw)];
            int last = -1;
            for (int x = r.x0; x <= r.x1; ++x) {
                const uint32_t c = cur.colors[row + x];
                const uint8_t own = p.indices[row + x];
                uint8_t v = own, a = own, o = own;
                if (c == 0) {
                    v = a = uint8_t(t);
                } else if (kept[row + x]) {
                    v = a = o = uint8_t(t);
                } else if (t >= 0 && c == canvas[row + x]) {
                    v = uint8_t(t);
                    a = own == last ? own : uint8_t(t);
                }
                runsDiffer |= a != v;
                opaqueDiffers |= o != v;
                dst[x - r.x0] = v;
                alt[x - r.x0] = a;
                keep[x - r.x0] = o;
                last = a;
            }
        }
        job.runsDiffer = runsDiffer;
        job.opaqueDiffers = opaqueDiffers;
    }

    // The viewer now shows cur (with lossy codes, each pixel within the bound
    // of cur's colour, which is what the next frame is compared with: a pixel
    // that keeps its colour stays within the bound); then the disposal applies.
    canvas.swap(cur.colors);
    if (job.disposal == 2 && !r.Empty()) {
        for (int y = r.y0; y <= r.y1; ++y)
            std::fill_n(&canvas[size_t(y) * size_t(w) + size_t(r.x0)], r.x1 - r.x0 + 1, 0u);
    }
}

// Finds the smallest way to write a prepared frame; on any thread.
void CompressFrame(FrameJob& job, const imaging::GlobalColorTable& global, Scratch& work)
{
    Choice& best = job.best;
    if (job.blank) {
        job.palette.fill(0);
        Offer(job.pixels, 0, job.palette, global, true, work, best);
    } else {
        // Some decoders (Qt's among them) clear a disposed frame to
        // transparent only when it has a transparent colour of its own.
        const bool wantsTransparent = job.disposal == 2;
        Offer(job.pixels, job.t, job.palette, global, wantsTransparent, work, best);
        if (job.runsDiffer)
            Offer(job.runs, job.t, job.palette, global, wantsTransparent, work, best);
        // The form without transparency costs a whole encoding: tried on small
        // rectangles, and where the transparent entry made the table grow.
        const bool grew = best.local && best.transparent >= 0
            && imaging::PaletteBits(best.colorCount) > imaging::PaletteBits(std::max(best.colorCount - 1, 2));
        if (job.opaqueDiffers && (job.pixels.size() <= kSmallArea || grew))
            Offer(job.opaque, job.opaqueT, job.palette, global, wantsTransparent, work, best);
    }
    if (best.cost >= 0)
        TryKeepingFullTable(work, best);
    // Only the code stream is needed from here on.
    job.pixels = {};
    job.runs = {};
    job.opaque = {};
    best.pixels = {};
}

bool WriteFrame(imaging::GifWriter& writer, const FrameJob& job, const imaging::GlobalColorTable& global,
                QString* error)
{
    const Choice& best = job.best;
    if (best.cost < 0) {
        *error = QCoreApplication::translate("GifAssembler", "a frame could not be compressed");
        return false;
    }
    imaging::GifWriter::Frame out;
    out.delay = job.delay;
    out.disposal = job.disposal;
    out.graphicControl = true;
    out.left = job.r.x0;
    out.top = job.r.y0;
    out.width = job.r.x1 - job.r.x0 + 1;
    out.height = job.r.y1 - job.r.y0 + 1;
    out.palette = best.local ? best.palette.data() : global.colors.data();
    out.colorCount = best.colorCount;
    out.transparent = best.transparent;
    if (!writer.AddCompressedFrame(out, best.code, best.local)) {
        *error = writer.Error();
        return false;
    }
    return true;
}

} // namespace

void GifAssembler::Reset()
{
    frames_.clear();
    delays_.clear();
    loopCount_ = 0;
    lzwError_ = 0;
    unchangedError_ = 0;
    lastError_.clear();
}

void GifAssembler::LoopCount(int count) { loopCount_ = std::clamp(count, kPlayOnce, 65535); }

void GifAssembler::Version(const QString& /*version*/)
{
    // Delays and the loop count need GIF89a: that is what is always written.
}

void GifAssembler::LzwError(int bound) { lzwError_ = std::max(bound, 0); }

void GifAssembler::UnchangedError(int bound) { unchangedError_ = std::max(bound, 0); }

void GifAssembler::Threads(int count) { threads_ = std::max(count, 0); }

bool GifAssembler::AddFrame(const QString& path)
{
    // Recorded even when it looks wrong, so that frame indices stay those of
    // the caller; SaveAnimation then names the file.
    frames_.append(path);
    delays_.append(0);
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile()) {
        lastError_ = QCoreApplication::translate("GifAssembler", "frame %1 (%2): the file does not exist")
                         .arg(frames_.size())
                         .arg(Native(path));
        return false;
    }
    return true;
}

bool GifAssembler::SetFrameDelay(int index, int delay)
{
    if (index < 0 || index >= delays_.size()) {
        lastError_ =
            QCoreApplication::translate("GifAssembler", "there is no frame %1 (frames are counted from 0; %2 added)")
                .arg(index)
                .arg(delays_.size());
        return false;
    }
    delays_[index] = std::clamp(delay, 0, 65535);
    return true;
}

bool GifAssembler::SaveAnimation(const QString& path, const std::function<bool(int)>& written,
                                 const std::function<bool()>& stop)
{
    lastError_.clear();
    if (path.isEmpty()) {
        lastError_ = QCoreApplication::translate("GifAssembler", "no output file named");
        return false;
    }
    if (frames_.isEmpty()) {
        lastError_ = QCoreApplication::translate("GifAssembler", "%1: the animation has no frames").arg(Native(path));
        return false;
    }
    // Only two decoded frames and one screen buffer at a time, whatever the
    // frame count: frame i is written once frame i + 1 is known (its
    // transparency decides frame i's disposal).
    Frame cur, next;
    QString reason;
    if (!LoadFrame(frames_[0], 1, 0, 0, &cur, &reason)) {
        lastError_ = QCoreApplication::translate("GifAssembler", "cannot create %1: %2").arg(Native(path), reason);
        return false;
    }
    const int width = cur.picture.width;
    const int height = cur.picture.height;

    ReplacingFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        lastError_ =
            QCoreApplication::translate("GifAssembler", "cannot create %1: %2").arg(Native(path), file.errorString());
        return false;
    }
    auto fail = [&](const QString& text) {
        lastError_ = text;
        file.cancelWriting();
        return false;
    };
    // Every frame is read twice (its colours, then its pixels); a stop is
    // honoured between any two of them, so within one frame's time.
    const auto stopped = [&] {
        if (!stop || !stop())
            return false;
        fail(QCoreApplication::translate("GifAssembler", "the writing was stopped"));
        return true;
    };
    std::vector<std::vector<uint32_t>> frameColors;
    frameColors.reserve(size_t(frames_.size()));
    for (const QString& frame : frames_) {
        if (stopped())
            return false;
        frameColors.push_back(imaging::ReadOpaqueColors(frame));
    }
    const imaging::GlobalColorTable global = imaging::ChooseGlobalTable(frameColors);
    frameColors = {};

    imaging::GifWriter writer(&file);
    if (!writer.Begin(width, height, global.count > 0 ? global.colors.data() : nullptr, global.count, loopCount_))
        return fail(
            QCoreApplication::translate("GifAssembler", "cannot write %1: %2").arg(Native(path), writer.Error()));
    std::vector<uint32_t> canvas(size_t(width) * size_t(height), 0u);
    std::vector<uint8_t> kept;
    // Frames are worked out in order on this thread and compressed on others,
    // a few at a time; small frames are not worth the hand-over.
    const int n = int(frames_.size());
    int threads = threads_ > 0 ? threads_ : std::max(1, QThread::idealThreadCount());
    if (qint64(width) * height < kParallelArea || n < 2)
        threads = 1;
    std::vector<Scratch> scratch(static_cast<size_t>(threads));
    for (Scratch& work : scratch)
        work.lzwError = lzwError_;
    imaging::OrderedWorkers<FrameJob> workers(threads > 1 ? threads : 0, [&](FrameJob& job, int thread) {
        CompressFrame(job, global, scratch[size_t(thread)]);
    });
    const int inFlight = 2 * threads;
    int framesWritten = 0;
    auto writeOldest = [&] {
        const std::unique_ptr<FrameJob> job = workers.Pop();
        if (!WriteFrame(writer, *job, global, &reason))
            return false;
        if (written && !written(++framesWritten)) {
            reason = QCoreApplication::translate("GifAssembler", "stopped");
            return false;
        }
        return true;
    };
    for (int i = 0; i < n; ++i) {
        const bool hasNext = i + 1 < n;
        if (stopped())
            return false;
        if (hasNext && !LoadFrame(frames_[i + 1], i + 2, width, height, &next, &reason))
            return fail(QCoreApplication::translate("GifAssembler", "cannot create %1: %2").arg(Native(path), reason));
        auto job = std::make_unique<FrameJob>();
        PrepareFrame(cur, hasNext ? &next : nullptr, canvas, delays_[i], unchangedError_, kept, *job);
        workers.Push(std::move(job));
        while (workers.Waiting() > (hasNext ? inFlight : 0))
            if (!writeOldest())
                return fail(
                    QCoreApplication::translate("GifAssembler", "cannot write %1: %2").arg(Native(path), reason));
        std::swap(cur, next);
    }
    if (!writer.End())
        return fail(
            QCoreApplication::translate("GifAssembler", "cannot write %1: %2").arg(Native(path), writer.Error()));
    if (!file.commit()) {
        lastError_ =
            QCoreApplication::translate("GifAssembler", "cannot write %1: %2").arg(Native(path), file.errorString());
        return false;
    }
    return true;
}
