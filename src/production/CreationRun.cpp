// SPDX-License-Identifier: GPL-3.0-or-later
#include "production/CreationRun.h"

#include "imaging/GifAssembler.h"
#include "imaging/animation/ColorTables.h"
#include "imaging/animation/FrameFile.h"
#include "imaging/animation/FrameQuantizer.h"
#include "imaging/ImageEngine.h"
#include "imaging/PictureReader.h"
#include "imaging/Quantizer.h"
#include "imaging/animation/SampledPalette.h"
#include "imaging/animation/SharedPalette.h"
#include "production/CreationRules.h"
#include "production/FrameBudget.h"

#include "common/FileNames.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QThread>

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>
#include <thread>
#include <utility>
#include <vector>

namespace {

QString Reason(const QString& engineError)
{
    return engineError.isEmpty() ? QCoreApplication::translate("CreationRun", "unknown error") : engineError;
}

// One frame, in the engine's calling order: drop and clear, load, measure,
// scale only when the size differs, save. Empty on success, else the message;
// when the picture could not be read, `unreadable` gets the reason. `joined`,
// when given, gets the frame as its file holds it. `decoded`, when not null,
// is the picture already read from `path` (and maybe scaled).
QString ConvertFrame(ImageEngine& engine, imaging::FrameQuantizer& palettes, imaging::SharedPalette& shared, int frame,
                     const QString& path, int width, int height, const PictureFit& fit, const QString& frameFile,
                     QString* unreadable, imaging::IndexedPicture* joined, QImage decoded)
{
    engine.LoadFile(QString());
    engine.Clear();
    if (!decoded.isNull())
        engine.UsePicture(std::move(decoded));
    else if (!engine.LoadFile(path)) {
        *unreadable = Reason(engine.LastError());
        return QCoreApplication::translate("CreationRun", "Frame %1: cannot read the picture \"%2\": %3.")
            .arg(frame)
            .arg(QDir::toNativeSeparators(path), *unreadable);
    }
    const int w = engine.ImageWidth();
    const int h = engine.ImageHeight();
    if (w < 1 || h < 1)
        return QCoreApplication::translate("CreationRun",
                                           "Frame %1: cannot read the picture \"%2\": it holds no picture.")
            .arg(frame)
            .arg(QDir::toNativeSeparators(path));
    if ((w != width || h != height) && !engine.Fit(width, height, fit))
        return QCoreApplication::translate("CreationRun", "Frame %1: cannot scale the picture \"%2\" to %3 x %4: %5.")
            .arg(frame)
            .arg(QDir::toNativeSeparators(path))
            .arg(width)
            .arg(height)
            .arg(Reason(engine.LastError()));
    imaging::IndexedPicture written;
    if (!engine.SaveFile(frameFile, palettes, shared.Wanted() || joined ? &written : nullptr))
        return QCoreApplication::translate("CreationRun", "Frame %1: cannot write the temporary file \"%2\": %3.")
            .arg(frame)
            .arg(QDir::toNativeSeparators(frameFile), Reason(engine.LastError()));
    if (shared.Wanted())
        shared.Keep(frame, engine.Picture(), std::move(written));
    else if (joined)
        *joined = imaging::AsFrameFileHolds(std::move(written));
    return {};
}

// What tells a file's content from an earlier one's: a picture kept from the
// sample stands in for its file only while the file's stamp is the same.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};
    bool operator==(const FileStamp& o) const
    {
        return device == o.device && inode == o.inode && size == o.size && modified.tv_sec == o.modified.tv_sec
            && modified.tv_nsec == o.modified.tv_nsec && changed.tv_sec == o.changed.tv_sec
            && changed.tv_nsec == o.changed.tv_nsec;
    }
};

std::optional<FileStamp> StampOf(const QString& path)
{
    struct stat st { };
    if (::stat(FileNames::ToBytes(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return FileStamp{st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
}

// The sample's pictures kept for their frames hold at most this many bytes;
// the others are decoded again.
constexpr qint64 kSamplePictureBytes = qint64(32) << 20;

// Running out of memory fails this frame only: the run reports it and cleans up.
QString NoMemory(int frame, const QString& path)
{
    return QCoreApplication::translate("CreationRun", "Frame %1: not enough memory to convert the picture \"%2\".")
        .arg(frame)
        .arg(QDir::toNativeSeparators(path));
}

// The list is cut into this many runs of consecutive frames, however many
// workers convert them, and every run starts from the palette memory the
// first frame left: the file then does not depend on the core count or -j,
// and a still background keeps the first frame's colours across runs. Enough
// runs to even out pictures that take longer on a few workers (four each on
// two), few enough that little is lost where a run starts over.
constexpr int kRuns = 8;

// Frames that workers converted ahead of the one being joined wait in memory
// up to this many bytes of pixels; beyond it they are read from their files.
constexpr qint64 kHeldFrameBytes = qint64(16) << 20;

int RunCount(int frames) { return qMin(frames, kRuns); }

// The first frame (from 1) of run `run` (from 0) of `runs`.
int RunStart(int run, int runs, int frames) { return 1 + int(qint64(frames) * run / runs); }

double ProgressAfter(int frame, int count) { return double(frame) * 100.0 / double(count); }

} // namespace

double CreationRun::WrittenProgress(int written) const
{
    const int count = int(settings_.frames.size());
    if (!countsConversions_)
        return ProgressAfter(written, count);
    return (ProgressAfter(convertedFrames_.load(), count) + ProgressAfter(written, count)) / 2.0;
}

struct CreationRun::SamplePicture {
    QImage picture;
    FileStamp stamp;
};

QImage CreationRun::TakeSamplePicture(int frame)
{
    if (std::size_t(frame - 1) >= samplePictures_.size() || !samplePictures_[std::size_t(frame - 1)])
        return {};
    const std::unique_ptr<SamplePicture> kept = std::move(samplePictures_[std::size_t(frame - 1)]);
    if (StampOf(settings_.frames.at(frame - 1).path) != kept->stamp)
        return {};
    return kept->picture;
}

CreationRun::CreationRun(ImageEngine& engine, GifAssembler& assembler, CreationSettings settings)
    : engine_(engine)
    , assembler_(assembler)
    , settings_(std::move(settings))
{
    // Workers read the list at the same time: it must never detach under them.
    settings_.frames.detach();
}

CreationRun::~CreationRun()
{
    if (joining_)
        assembler_.Abandon();
    RemoveFrameFiles();
}

QString CreationRun::FrameFile(const QString& tempFolder, int frame)
{
    return QDir(tempFolder).filePath(QStringLiteral("__frame__%1.gif").arg(frame));
}

CreationResult CreationRun::ConvertFrames(const CreationProgress& progress)
{
    framesWritten_ = true;
    peakFramesInFlight_ = 0;
    skipped_.assign(std::size_t(settings_.frames.size()), 0);
    skippedCount_ = 0;
    int workers = settings_.threads;
    if (workers <= 0)
        workers = qMax(1, QThread::idealThreadCount());
    workers = qMin(workers, int(settings_.frames.size()));
    // One sequence of frames per worker, each with its own palette memory.
    shared_ = std::make_unique<imaging::SharedPalette>(int(settings_.frames.size()),
                                                       QSize(settings_.width, settings_.height));
    palettes_.clear();
    firstFrame_ = std::make_unique<imaging::FrameQuantizer>();
    for (int k = 0; k < qMax(workers, 1); ++k) {
        palettes_.push_back(std::make_unique<imaging::FrameQuantizer>());
        if (settings_.quality > 0)
            palettes_.back()->Settings() = imaging::SettingsForFineQuality(settings_.quality);
        // The frames of a small animation are written once more in one
        // palette, which nearly all of them take: their own palettes only set
        // the bar and stand in for the rest, so they are made at the fastest
        // speed (on a 24-frame sprite the same file, in 10 % less time). Not
        // below the default quality: palettes of few colours need the
        // slower search.
        if (shared_->Wanted() && (settings_.quality == 0 || settings_.quality >= 95))
            palettes_.back()->Settings().speed = imaging::QuantizeSettings::kFastestSpeed;
    }
    // A larger animation gets one palette from a sample of its pictures,
    // made before the first frame so that the frames are joined as they come.
    sampled_.reset();
    samplePictures_.clear();
    globalColors_.clear();
    globalSpare_ = false;
    if (!shared_->Wanted() && int(settings_.frames.size()) >= imaging::SampledPalette::kMinAnimationFrames)
        sampled_ = SamplePalette(palettes_.front()->Settings());
    if (sampled_) {
        for (auto& palettes : palettes_)
            palettes->UseAnimationPalette(&sampled_->Palette(), sampled_->OwnError(), sampled_->Merged());
        globalColors_ = imaging::TableColors(sampled_->Palette());
        // Frames in all its colours find a free entry for what they leave
        // unchanged, but not where the settings bound the colours to narrow
        // the codes: there (4 colours at -Q 20) a pan over a photograph wrote
        // 924008 bytes in a table of 4 and 980117 in one of 8.
        const imaging::QuantizeSettings& quantize = palettes_.front()->Settings();
        globalSpare_ = quantize.maxColors >= 256 && quantize.colorsOfQuality == 0;
    }
    kept_.clear();
    if (joining_)
        assembler_.Abandon();
    joining_.reset();
    if (settings_.loopCount && !shared_->Wanted()) {
        SetUpAssembler(*settings_.loopCount);
        assembler_.Begin(settings_.outputPath);
        joining_ = settings_.loopCount;
    }
    joinProgress_ = joining_ ? progress : CreationProgress();
    convertedFrames_ = 0;
    lastWritten_ = 0;
    CreationResult result = workers <= 1 ? ConvertInOrder(progress) : ConvertOnWorkers(progress, workers);
    samplePictures_.clear();
    if (result.Ok())
        result = ShareOnePalette();
    shared_.reset();
    if (!result.Ok() && joining_) {
        assembler_.Abandon();
        joining_.reset();
    }
    return result;
}

std::unique_ptr<imaging::SampledPalette> CreationRun::SamplePalette(const imaging::QuantizeSettings& settings)
{
    auto sampled = std::make_unique<imaging::SampledPalette>();
    const std::vector<int> sample =
        imaging::SampledPalette::SampleFrames(int(settings_.frames.size()), QSize(settings_.width, settings_.height));
    samplePictures_.resize(settings_.frames.size());
    qint64 keptBytes = 0;
    for (size_t k = 0; k < sample.size(); ++k) {
        if (settings_.whileWaiting)
            settings_.whileWaiting();
        // Stopped: no palette, and the conversion that follows stops at once.
        if (settings_.stopRequested && settings_.stopRequested())
            break;
        // A picture that cannot be read is left out here; converting it says why.
        engine_.LoadFile(QString());
        engine_.Clear();
        const QString& path = settings_.frames.at(sample[k] - 1).path;
        // Taken before the file is read: a change while it is read shows.
        const std::optional<FileStamp> stamp = StampOf(path);
        if (!engine_.LoadFile(path) || engine_.ImageWidth() < 1 || engine_.ImageHeight() < 1)
            continue;
        if ((engine_.ImageWidth() != settings_.width || engine_.ImageHeight() != settings_.height)
            && !engine_.Fit(settings_.width, settings_.height, settings_.fit))
            continue;
        if (!sampled->Add(engine_.Picture(), settings,
                          imaging::SampledPalette::QuantisedAlone(int(k), int(sample.size()))))
            return nullptr;
        if (stamp && keptBytes + engine_.Picture().sizeInBytes() <= kSamplePictureBytes) {
            keptBytes += engine_.Picture().sizeInBytes();
            samplePictures_[std::size_t(sample[k] - 1)] =
                std::make_unique<SamplePicture>(SamplePicture{engine_.Picture(), *stamp});
        }
    }
    engine_.LoadFile(QString());
    engine_.Clear();
    if ((settings_.stopRequested && settings_.stopRequested()) || !sampled->Make(settings))
        return nullptr;
    return sampled;
}

void CreationRun::SetUpAssembler(qint16 loopCount)
{
    assembler_.Reset();
    assembler_.GlobalColors(globalColors_, globalSpare_);
    assembler_.LoopCount(loopCount);
    const imaging::QuantizeSettings quantize =
        settings_.quality > 0 ? imaging::SettingsForFineQuality(settings_.quality) : imaging::QuantizeSettings();
    assembler_.LzwError(quantize.lzwError);
    assembler_.LzwAheadArea(quantize.lzwAheadArea);
    assembler_.LzwAheadAgain(quantize.lzwAheadAgain);
    assembler_.UnchangedError(quantize.unchangedError);
    assembler_.HoldShare(settings_.holdsFrames ? quantize.holdShare : 0.0);
    assembler_.Version(QStringLiteral("gif89a"));
    assembler_.Threads(settings_.threads);
}

CreationResult CreationRun::WriteFailure(const QString& reason) const
{
    return CreationResult::Failure(QCoreApplication::translate("CreationRun", "Cannot write the GIF file \"%1\": %2.")
                                       .arg(QDir::toNativeSeparators(settings_.outputPath), Reason(reason)));
}

CreationResult CreationRun::JoinFrame(int i, const CreationProgress& progress, imaging::IndexedPicture converted)
{
    // The frame file was just written: the frame comes as it holds it, or,
    // when the conversion did not keep it, from the file, read once here.
    if (settings_.stopRequested && settings_.stopRequested())
        return CreationResult::Stopped();
    // The bar follows the frames written, which trail the frames handed over
    // by the few in compression (and, in Run, the frames converted too).
    bool stopped = false;
    const auto written = [&](int frames) {
        lastWritten_ = frames + skippedCount_;
        stopped = progress && !progress(WrittenProgress(lastWritten_));
        return !stopped;
    };
    const QString file = FrameFile(settings_.tempFolder, i);
    try {
        imaging::IndexedPicture frame = std::move(converted);
        QString reason;
        if (frame.indices.empty() && !imaging::LoadFrameFile(file, i, &frame, &reason))
            return CreationResult::Failure(
                QCoreApplication::translate("CreationRun", "Frame %1: cannot add the temporary file \"%2\": %3.")
                    .arg(i)
                    .arg(QDir::toNativeSeparators(file), Reason(reason)));
        if (!assembler_.Append(std::move(frame), CreationRules::FrameDelay(settings_.frames.at(i - 1).playTime),
                               written))
            return stopped ? CreationResult::Stopped() : WriteFailure(assembler_.LastError());
    } catch (const std::bad_alloc&) {
        return CreationResult::Failure(
            QCoreApplication::translate("CreationRun", "Cannot write the GIF file \"%1\": not enough memory.")
                .arg(QDir::toNativeSeparators(settings_.outputPath)));
    }
    return CreationResult::Success();
}

CreationResult CreationRun::ShareOnePalette()
{
    int failed = 0;
    QString reason;
    const imaging::QuantizeSettings quantize =
        settings_.quality > 0 ? imaging::SettingsForFineQuality(settings_.quality) : imaging::QuantizeSettings();
    const QString folder = settings_.tempFolder;
    try {
        if (shared_->Apply(
                quantize, [&folder](int i) { return FrameFile(folder, i); }, &kept_, &failed, &reason))
            return CreationResult::Success();
    } catch (const std::bad_alloc&) {
        // The frames keep the palettes they were written with, and are read from their files.
        kept_.clear();
        return CreationResult::Success();
    }
    return CreationResult::Failure(
        QCoreApplication::translate("CreationRun", "Frame %1: cannot write the temporary file \"%2\": %3.")
            .arg(failed)
            .arg(QDir::toNativeSeparators(FrameFile(folder, failed)), Reason(reason)));
}

CreationResult CreationRun::ConvertInOrder(const CreationProgress& progress)
{
    const int count = int(settings_.frames.size());
    const int runs = RunCount(count);
    for (int i = 1, run = 0; i <= count; ++i) {
        peakFramesInFlight_ = 1;
        if (run < runs && i == RunStart(run, runs, count)) {
            if (run == 0)
                palettes_.front()->Reset();
            else
                palettes_.front()->ContinueFrom(*firstFrame_);
            ++run;
        }
        const QString& path = settings_.frames.at(i - 1).path;
        QString error;
        QString unreadable;
        imaging::IndexedPicture converted;
        try {
            error = ConvertFrame(engine_, *palettes_.front(), *shared_, i, path, settings_.width, settings_.height,
                                 settings_.fit, FrameFile(settings_.tempFolder, i), &unreadable,
                                 joining_ ? &converted : nullptr, TakeSamplePicture(i));
        } catch (const std::bad_alloc&) {
            engine_.Clear();
            error = NoMemory(i, path);
        }
        ++convertedFrames_;
        if (!error.isEmpty() && !Skip(i, unreadable))
            return CreationResult::Failure(error);
        if (i == 1)
            firstFrame_->ContinueFrom(*palettes_.front());
        if (joining_ && !Skipped(i)) {
            if (CreationResult joined = JoinFrame(i, progress, std::move(converted)); !joined.Ok())
                return joined;
        } else if (progress
                   && !progress(countsConversions_ ? WrittenProgress(lastWritten_) : ProgressAfter(i, count))) {
            return CreationResult::Stopped();
        }
    }
    return CreationResult::Success();
}

CreationResult CreationRun::ConvertOnWorkers(const CreationProgress& progress, int workers)
{
    // The list is cut into runs of consecutive frames, a few per worker, each
    // worker with an engine and a palette memory of its own: frames saved in
    // order keep unchanged pixels in the colours of the frame before, which
    // keeps the animation small, so frames are not dealt out one by one. A
    // worker that is done takes the next run not yet started, so the work
    // stays balanced when some pictures take longer; every run starts with a
    // fresh palette memory, so the file does not depend on which worker took
    // it. Results are handed over in list order, so progress still runs 1..N
    // on this thread. The frames in flight are bounded by memory as well as by
    // the workers.
    const int count = int(settings_.frames.size());
    // Plain threads and standard locks: one thread per worker for the whole
    // run, and synchronisation the thread sanitizer can follow.
    struct Shared {
        std::mutex mutex;
        std::condition_variable changed;
        std::vector<char> done;          // per frame (0-based)
        std::vector<QString> errors;     // per frame, empty when it went well
        std::vector<QString> unreadable; // per frame: why its picture could not be read
        // Frames converted and not yet joined, as their files hold them (the
        // rest are read from their files), and the bytes these hold.
        std::vector<imaging::IndexedPicture> converted;
        qint64 heldBytes = 0;
        std::atomic<bool> stop{false};
        bool firstFrameDone = false;   // firstFrame_ holds the palette memory after frame 1
        bool firstFrameFailed = false; // then the run fails at frame 1 and nothing else starts
    } shared;
    shared.done.assign(std::size_t(count), 0);
    shared.errors.resize(std::size_t(count));
    shared.unreadable.resize(std::size_t(count));
    if (joining_)
        shared.converted.resize(std::size_t(count));
    FrameBudget budget(settings_.memoryBudget > 0 ? settings_.memoryBudget : FrameBudget::kDefaultBytes);
    const QSize output(settings_.width, settings_.height);

    const int runs = RunCount(count);
    std::atomic<int> nextRun{0};
    std::vector<std::thread> chunks;
    chunks.reserve(std::size_t(workers));
    for (int k = 0; k < workers; ++k) {
        imaging::FrameQuantizer& palettes = *palettes_[std::size_t(k)];
        chunks.emplace_back([this, &shared, &budget, &palettes, &nextRun, output, count, runs] {
            ImageEngine engine;
            // One frame, its result handed over; false when it failed.
            auto convert = [&](int i) {
                const QString& path = settings_.frames.at(i - 1).path;
                QString error;
                QString unreadable;
                imaging::IndexedPicture converted;
                qint64 share = -1; // nothing taken yet
                try {
                    // The header gives the size, so the frame waits before it decodes.
                    QSize size;
                    (void)imaging::MeasurePicture(path, &size);
                    share = budget.Take(FrameBudget::FrameEstimate(size, output));
                    if (!shared.stop.load())
                        error = ConvertFrame(engine, palettes, *shared_, i, path, settings_.width, settings_.height,
                                             settings_.fit, FrameFile(settings_.tempFolder, i), &unreadable,
                                             joining_ ? &converted : nullptr, TakeSamplePicture(i));
                } catch (const std::bad_alloc&) {
                    error = NoMemory(i, path);
                }
                engine.Clear();
                if (share >= 0)
                    budget.Give(share);
                // A picture that may be left out does not stop the worker; the caller decides.
                const bool ok = error.isEmpty() || (!unreadable.isEmpty() && settings_.skipUnreadable);
                {
                    std::lock_guard lock(shared.mutex);
                    const auto bytes = qint64(converted.indices.size());
                    if (error.isEmpty() && bytes > 0 && shared.heldBytes + bytes <= kHeldFrameBytes) {
                        shared.heldBytes += bytes;
                        shared.converted[std::size_t(i - 1)] = std::move(converted);
                    }
                    shared.errors[std::size_t(i - 1)] = std::move(error);
                    shared.unreadable[std::size_t(i - 1)] = std::move(unreadable);
                    shared.done[std::size_t(i - 1)] = 1;
                    ++convertedFrames_;
                }
                shared.changed.notify_all();
                return ok;
            };
            for (int run = nextRun++; run < runs && !shared.stop.load(); run = nextRun++) {
                if (run == 0) {
                    // Run 0 is taken first: its first frame starts every other run.
                    palettes.Reset();
                    const bool ok = convert(1);
                    if (ok)
                        firstFrame_->ContinueFrom(palettes);
                    {
                        std::lock_guard lock(shared.mutex);
                        shared.firstFrameDone = true;
                        shared.firstFrameFailed = !ok;
                    }
                    shared.changed.notify_all();
                    if (!ok)
                        return;
                } else {
                    std::unique_lock lock(shared.mutex);
                    shared.changed.wait(lock, [&] { return shared.firstFrameDone || shared.stop.load(); });
                    if (shared.stop.load() || shared.firstFrameFailed)
                        return;
                    lock.unlock();
                    try {
                        palettes.ContinueFrom(*firstFrame_);
                    } catch (const std::bad_alloc&) {
                        // The run's first frame fails; the caller stops there.
                        const int first = RunStart(run, runs, count);
                        {
                            std::lock_guard failed(shared.mutex);
                            shared.errors[std::size_t(first - 1)] =
                                NoMemory(first, settings_.frames.at(first - 1).path);
                            shared.done[std::size_t(first - 1)] = 1;
                        }
                        shared.changed.notify_all();
                        return;
                    }
                }
                const int last = RunStart(run + 1, runs, count) - 1;
                for (int i = std::max(RunStart(run, runs, count), run == 0 ? 2 : 1); i <= last && !shared.stop.load();
                     ++i)
                    // Runs before this one are all taken and will be finished;
                    // the caller stops at this frame.
                    if (!convert(i))
                        return;
            }
        });
    }
    // Frames still being written must be finished before their files can be removed.
    auto finish = [&](CreationResult result) {
        {
            std::lock_guard lock(shared.mutex);
            shared.stop = true;
        }
        shared.changed.notify_all();
        for (std::thread& chunk : chunks)
            chunk.join();
        peakFramesInFlight_ = budget.PeakFrames();
        return result;
    };
    for (int i = 1; i <= count; ++i) {
        QString error;
        QString unreadable;
        imaging::IndexedPicture converted;
        bool stopped = false;
        {
            std::unique_lock lock(shared.mutex);
            const auto ready = [&] { return shared.done[std::size_t(i - 1)] != 0; };
            // Frames converted ahead of this one move the bar while it is awaited.
            const bool shows = countsConversions_ && progress;
            while (!ready() && !stopped) {
                const int converted = convertedFrames_.load();
                if (!settings_.whileWaiting) {
                    if (!shows) {
                        shared.changed.wait(lock, ready);
                        break;
                    }
                    shared.changed.wait(lock, [&] { return ready() || convertedFrames_.load() != converted; });
                } else if (!shared.changed.wait_for(lock, std::chrono::milliseconds(50), ready)) {
                    lock.unlock();
                    settings_.whileWaiting();
                    lock.lock();
                }
                if (shows && convertedFrames_.load() != converted) {
                    lock.unlock();
                    stopped = !progress(WrittenProgress(lastWritten_));
                    lock.lock();
                }
            }
            error = shared.errors[std::size_t(i - 1)];
            unreadable = shared.unreadable[std::size_t(i - 1)];
            if (joining_) {
                converted = std::move(shared.converted[std::size_t(i - 1)]);
                shared.heldBytes -= qint64(converted.indices.size());
            }
        }
        if (stopped)
            return finish(CreationResult::Stopped());
        if (!error.isEmpty() && !Skip(i, unreadable))
            return finish(CreationResult::Failure(error));
        // Joined on this thread while the workers convert the frames after it.
        if (joining_ && !Skipped(i)) {
            if (CreationResult joined = JoinFrame(i, progress, std::move(converted)); !joined.Ok())
                return finish(std::move(joined));
        } else if (progress
                   && !progress(countsConversions_ ? WrittenProgress(lastWritten_) : ProgressAfter(i, count))) {
            return finish(CreationResult::Stopped());
        }
    }
    return finish(CreationResult::Success());
}

bool CreationRun::Skip(int frame, const QString& reason)
{
    if (reason.isEmpty() || !settings_.skipUnreadable
        || !settings_.skipUnreadable(frame, settings_.frames.at(frame - 1).path, reason))
        return false;
    skipped_[std::size_t(frame - 1)] = 1;
    ++skippedCount_;
    return true;
}

CreationResult CreationRun::Assemble(qint16 loopCount, const CreationProgress& progress)
{
    // The output is replaced only after a complete write, so failing here leaves it as it was.
    try {
        return AssembleFrames(loopCount, progress);
    } catch (const std::bad_alloc&) {
        assembler_.Reset();
        kept_.clear();
        joining_.reset();
        return CreationResult::Failure(
            QCoreApplication::translate("CreationRun", "Cannot write the GIF file \"%1\": not enough memory.")
                .arg(QDir::toNativeSeparators(settings_.outputPath)));
    }
}

CreationResult CreationRun::AssembleFrames(qint16 loopCount, const CreationProgress& progress)
{
    const int count = int(settings_.frames.size());
    // The frames in the animation: `written` counts these.
    const int added = count - skippedCount_;
    // Remembered: the check may let events through, so it is not asked again afterwards.
    bool stopped = false;
    std::function<bool(int)> written;
    if (progress)
        written = [&](int frames) {
            stopped =
                !progress(countsConversions_ ? WrittenProgress(frames + skippedCount_) : ProgressAfter(frames, added));
            return !stopped;
        };
    const auto stop = [this, &stopped] {
        stopped = settings_.stopRequested && settings_.stopRequested();
        return stopped;
    };
    const auto outcome = [&](bool saved) {
        if (stopped)
            return CreationResult::Stopped();
        if (!saved)
            return WriteFailure(assembler_.LastError());
        return CreationResult::Success();
    };
    const std::optional<qint16> joined = joining_;
    joining_.reset();
    if (joined && assembler_.Writing()) {
        if (*joined == loopCount) {
            // The last frames are written now: the bar the conversion moved goes on.
            if (!progress && joinProgress_)
                written = [&](int frames) {
                    lastWritten_ = frames + skippedCount_;
                    stopped = !joinProgress_(WrittenProgress(lastWritten_));
                    return !stopped;
                };
            return outcome(assembler_.Finish(written));
        }
        // The loop count changed since: the frames are joined again from their files.
        assembler_.Abandon();
    }
    SetUpAssembler(loopCount);
    if (int(kept_.size()) == count) {
        // A small animation: the frames are at hand, and the global table is
        // chosen from all of them.
        std::vector<imaging::IndexedPicture> frames;
        frames.swap(kept_);
        std::vector<std::vector<uint32_t>> colors;
        colors.reserve(frames.size());
        for (const imaging::IndexedPicture& frame : frames)
            colors.push_back(imaging::TableColors(frame));
        assembler_.Begin(settings_.outputPath);
        assembler_.GlobalColorsFrom(colors);
        for (int i = 1; i <= count; ++i) {
            if (stop()) {
                assembler_.Abandon();
                return CreationResult::Stopped();
            }
            const int delay = CreationRules::FrameDelay(settings_.frames.at(i - 1).playTime);
            if (!assembler_.Append(std::move(frames[size_t(i - 1)]), delay, written))
                return outcome(false);
        }
        return outcome(assembler_.Finish(written));
    }
    kept_.clear();
    for (int i = 1, index = 0; i <= count; ++i) {
        if (Skipped(i))
            continue;
        const QString file = FrameFile(settings_.tempFolder, i);
        if (!assembler_.AddFrame(file))
            return CreationResult::Failure(
                QCoreApplication::translate("CreationRun", "Frame %1: cannot add the temporary file \"%2\": %3.")
                    .arg(i)
                    .arg(QDir::toNativeSeparators(file), Reason(assembler_.LastError())));
        const qint32 playTime = settings_.frames.at(i - 1).playTime;
        const int delay = CreationRules::FrameDelay(playTime);
        if (!assembler_.SetFrameDelay(index++, delay))
            return CreationResult::Failure(
                QCoreApplication::translate("CreationRun",
                                            "Frame %1: cannot give it the delay of %2 hundredths "
                                            "(play time %3 ms): %4.")
                    .arg(i)
                    .arg(delay)
                    .arg(playTime)
                    .arg(Reason(assembler_.LastError())));
    }
    return outcome(assembler_.SaveAnimation(settings_.outputPath, written, stop));
}

void CreationRun::RemoveFrameFiles()
{
    if (!framesWritten_)
        return;
    framesWritten_ = false;
    const int count = int(settings_.frames.size());
    for (int i = 1; i <= count; ++i)
        (void)QFile::remove(FrameFile(settings_.tempFolder, i));
}

CreationResult CreationRun::Run(qint16 loopCount, const CreationProgress& progress)
{
    settings_.loopCount = loopCount;
    // Frames joined while they are converted: the bar follows the frames.
    // A small animation is joined afterwards, and converting and joining
    // take about as long as each other (the joining compresses): each is
    // half the bar.
    const bool joinsLater =
        imaging::SharedPalette::WantedFor(int(settings_.frames.size()), QSize(settings_.width, settings_.height));
    // Joined as they come, the frames written trail the frames converted:
    // the bar counts both.
    countsConversions_ = !joinsLater;
    CreationProgress stages[2];
    for (int stage = 0; stage < 2 && progress; ++stage)
        stages[stage] = joinsLater
            ? CreationProgress([&progress, stage](double percent) { return progress(50.0 * stage + percent / 2.0); })
            : progress;
    CreationResult result = ConvertFrames(stages[0]);
    if (result.Ok())
        result = Assemble(loopCount, stages[1]);
    RemoveFrameFiles();
    return result;
}
