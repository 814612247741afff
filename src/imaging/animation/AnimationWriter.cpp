// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/animation/AnimationWriter.h"

#include "common/ReplacingFile.h"
#include "common/StopRequest.h"
#include "imaging/OrderedWorkers.h"
#include "imaging/animation/FrameCompressor.h"
#include "imaging/animation/FramePlanner.h"

#include <QCoreApplication>
#include <QDir>
#include <QThread>

#include <algorithm>
#include <cmath>

namespace imaging {
namespace {

// Frames from this many pixels are compressed on several threads; smaller
// ones are not worth the hand-over.
constexpr qint64 kParallelArea = 16384;

QString Native(const QString& path) { return QDir::toNativeSeparators(path); }

} // namespace

// Everything that exists once the first frame has given the screen's size.
struct AnimationWriter::Pipeline {
    ReplacingFile file;
    GifWriter writer{&file};
    int width = 0;
    int height = 0;
    std::vector<uint32_t> canvas; // what a viewer shows before the pending frame
    std::vector<uint8_t> kept;
    ScreenFrame pending; // the frame waiting for its successor
    ScreenFrame next;
    int pendingDelay = 0;
    std::vector<CompressorScratch> scratch;
    std::unique_ptr<OrderedWorkers<FrameJob>> workers;
    int inFlight = 0;
    int written = 0;
    int planned = 0; // frames planned so far

    explicit Pipeline(const QString& path)
        : file(path)
    {
    }
};

bool HeldFrame(int frame, double share)
{
    if (frame <= 0 || !(share > 0))
        return false;
    // Frame k is held when k's bits read backwards after the binary point
    // (0.1 for 1, 0.01 for 2, 0.11 for 3, ...) fall under the share: evenly
    // spread, never two in a row up to half of them, and a larger share holds
    // the frames a smaller one holds and more (a gradient's tenths under -Q 2,
    // their held frames chosen afresh, grew by 1.6 % from one to the next).
    double place = 0, bit = 0.5;
    for (unsigned k = unsigned(frame); k != 0; k >>= 1, bit /= 2)
        place += (k & 1) ? bit : 0;
    return place < share;
}

AnimationWriter::AnimationWriter(const QString& path, const AnimationOptions& options)
    : path_(path)
    , options_(options)
{
}

AnimationWriter::~AnimationWriter()
{
    // A frame still in compression is given up between its encodings.
    stop_.store(true);
    if (pipeline_ && pipeline_->file.isOpen())
        pipeline_->file.cancelWriting();
}

void AnimationWriter::ChooseGlobalTable(const std::vector<std::vector<uint32_t>>& frameColors, bool spare)
{
    global_ = imaging::ChooseGlobalTable(frameColors, spare);
    globalChosen_ = true;
}

bool AnimationWriter::Fail(const QString& text)
{
    failed_ = true;
    error_ = text;
    if (pipeline_ && pipeline_->file.isOpen())
        pipeline_->file.cancelWriting();
    return false;
}

bool AnimationWriter::Open(const IndexedPicture& first)
{
    if (!globalChosen_)
        ChooseGlobalTable({TableColors(first)});
    pipeline_ = std::make_unique<Pipeline>(path_);
    Pipeline& p = *pipeline_;
    if (!p.file.open(QIODevice::WriteOnly))
        return Fail(QCoreApplication::translate("GifAssembler", "cannot create %1: %2")
                        .arg(Native(path_), p.file.errorString()));
    p.width = first.width;
    p.height = first.height;
    if (!p.writer.Begin(p.width, p.height, global_.count > 0 ? global_.colors.data() : nullptr, global_.count,
                        options_.loopCount))
        return Fail(
            QCoreApplication::translate("GifAssembler", "cannot write %1: %2").arg(Native(path_), p.writer.Error()));
    p.canvas.assign(size_t(p.width) * size_t(p.height), 0u);
    int threads = options_.threads > 0 ? options_.threads : std::max(1, QThread::idealThreadCount());
    if (qint64(p.width) * p.height < kParallelArea)
        threads = 1;
    p.scratch.resize(size_t(threads));
    for (CompressorScratch& work : p.scratch) {
        work.lzwError = options_.lzwError;
        work.lzwAheadArea = options_.lzwAheadArea;
        work.lzwAheadAgain = options_.lzwAheadAgain;
    }
    p.workers =
        std::make_unique<OrderedWorkers<FrameJob>>(threads > 1 ? threads : 0, [this](FrameJob& job, int thread) {
            CompressFrame(job, global_, pipeline_->scratch[size_t(thread)], &stop_);
        });
    // A few frames ahead per thread keep them busy while this one plans.
    p.inFlight = 2 * threads;
    return true;
}

bool AnimationWriter::WriteOldest()
{
    Pipeline& p = *pipeline_;
    const std::unique_ptr<FrameJob> job = p.workers->Pop();
    if (stop_.load() || StopRequest::Requested())
        return Fail(QCoreApplication::translate("GifAssembler", "the writing was stopped"));
    const CompressedFrame& best = job->best;
    if (best.cost < 0)
        return Fail(
            QCoreApplication::translate("GifAssembler", "cannot write %1: %2")
                .arg(Native(path_), QCoreApplication::translate("GifAssembler", "a frame could not be compressed")));
    GifWriter::Frame out;
    out.delay = job->delay;
    out.disposal = job->disposal;
    out.graphicControl = true;
    out.left = job->r.x0;
    out.top = job->r.y0;
    out.width = job->r.x1 - job->r.x0 + 1;
    out.height = job->r.y1 - job->r.y0 + 1;
    out.palette = best.local ? best.palette.data() : global_.colors.data();
    out.colorCount = best.colorCount;
    out.transparent = best.transparent;
    if (!p.writer.AddCompressedFrame(out, best.code, best.local))
        return Fail(
            QCoreApplication::translate("GifAssembler", "cannot write %1: %2").arg(Native(path_), p.writer.Error()));
    if (written_ && !written_(++p.written))
        return Fail(QCoreApplication::translate("GifAssembler", "cannot write %1: %2")
                        .arg(Native(path_), QCoreApplication::translate("GifAssembler", "stopped")));
    return true;
}

bool AnimationWriter::PlanPending(bool last)
{
    Pipeline& p = *pipeline_;
    auto job = std::make_unique<FrameJob>();
    // Planned here, on the caller's thread, as the screen runs in list order.
    // A held frame keeps every opaque pixel on screen.
    const int frame = p.planned++;
    const bool held = HeldFrame(frame, options_.holdShare) && p.pendingDelay < kHeldDelayBelow;
    const int unchangedError = held ? kHeldError : options_.unchangedError;
    PlanFrame(p.pending, last ? nullptr : &p.next, p.canvas, p.pendingDelay, unchangedError, p.kept, *job);
    p.workers->Push(std::move(job));
    while (p.workers->Waiting() > (last ? 0 : p.inFlight))
        if (!WriteOldest())
            return false;
    return true;
}

bool AnimationWriter::Add(IndexedPicture frame, int delay)
{
    if (failed_)
        return false;
    if (stop_.load())
        return Fail(QCoreApplication::translate("GifAssembler", "the writing was stopped"));
    if (!pipeline_ && !Open(frame))
        return false;
    Pipeline& p = *pipeline_;
    ++added_;
    if (added_ == 1) {
        PlaceOnScreen(std::move(frame), 0, 0, &p.pending);
        p.pendingDelay = delay;
        return true;
    }
    PlaceOnScreen(std::move(frame), p.width, p.height, &p.next);
    if (!PlanPending(false))
        return false;
    std::swap(p.pending, p.next);
    p.pendingDelay = delay;
    return true;
}

bool AnimationWriter::Finish()
{
    if (failed_)
        return false;
    if (!pipeline_)
        return Fail(QCoreApplication::translate("GifAssembler", "%1: the animation has no frames").arg(Native(path_)));
    Pipeline& p = *pipeline_;
    if (!PlanPending(true))
        return false;
    if (!p.writer.End())
        return Fail(
            QCoreApplication::translate("GifAssembler", "cannot write %1: %2").arg(Native(path_), p.writer.Error()));
    if (!p.file.commit()) {
        failed_ = true;
        error_ =
            QCoreApplication::translate("GifAssembler", "cannot write %1: %2").arg(Native(path_), p.file.errorString());
        return false;
    }
    return true;
}

} // namespace imaging
