// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/PictureFit.h"

#include <QCoreApplication>
#include <QImage>
#include <QString>
#include <QVector>
#include <QtGlobal>

#include <functional>
#include <atomic>
#include <memory>
#include <optional>
#include <vector>

class GifAssembler;
class ImageEngine;
namespace imaging {
class FrameQuantizer;
class SampledPalette;
class SharedPalette;
struct IndexedPicture;
struct QuantizeSettings;
} // namespace imaging

// One picture of the run, as read from the lists before the first frame.
struct CreationFrame {
    QString path;        // full path of the picture
    qint32 playTime = 0; // milliseconds; the delay is playTime / 10 rounded half to even
};

struct CreationSettings {
    QVector<CreationFrame> frames; // in list order; frame i (from 1) is frames[i - 1]
    int width = 0;                 // output size in pixels, already passed by the size rule
    int height = 0;
    PictureFit fit;     // how pictures of other proportions meet the size
    QString outputPath; // used unchanged
    QString tempFolder; // holds "__frame__N.gif" while the run lasts
    // Frames converted at once: 1 converts on the caller's thread with the
    // caller's engine; 0 takes one worker per core; more uses that many workers.
    int threads = 1;
    // Bytes that the frames converted at once may hold together, estimated
    // from the pictures' sizes; 0 takes FrameBudget::kDefaultBytes.
    qint64 memoryBudget = 0;
    // Called on the caller's thread now and then while it waits for workers
    // to finish the next frame (a window repaints there); may be empty.
    std::function<void()> whileWaiting;
    // Asked on the caller's thread between frames while they are joined into
    // the output; true stops the run there, the output left as it was. May be empty.
    std::function<bool()> stopRequested;
    // Palette quality 1..100 (in tenths between two whole ones:
    // SettingsForFineQuality) of every engine that saves frames; 0 leaves the
    // engines' default.
    double quality = 0;
    // Whether the frames the quality holds (QuantizeSettings::holdShare) are
    // held; false (a sample of a few runs of frames) holds none.
    bool holdsFrames = true;
    // Asked on the caller's thread, in list order, when a picture cannot be
    // read (damage the measuring did not show): true leaves the frame out of
    // the animation, false fails the run there. Empty: the run fails.
    std::function<bool(int frame, const QString& path, const QString& reason)> skipUnreadable;
    // When set, ConvertFrames joins each frame into the output as soon as it
    // and the frames before it are converted, with this loop count, so that
    // converting and joining overlap; Assemble with the same count then only
    // completes the file. Small animations, whose frames share one palette
    // made once all are there, are joined by Assemble whatever this says.
    std::optional<qint16> loopCount;
};

struct [[nodiscard]] CreationResult {
    enum class Status { Ok, Failed, Cancelled };
    Status status = Status::Ok;
    QString message; // for Failed: names the frame or file and the reason

    bool Ok() const { return status == Status::Ok; }
    static CreationResult Success() { return {}; }
    static CreationResult Failure(QString text) { return {Status::Failed, std::move(text)}; }
    static CreationResult Stopped()
    {
        return {Status::Cancelled, QCoreApplication::translate("CreationRun", "The run was stopped.")};
    }
};

// Called on the caller's thread after frame i of N has been written, with
// i * 100 / N (not rounded), for i = 1..N in order. Returning false stops the
// run after that frame.
using CreationProgress = std::function<bool(double percent)>;

// A creation run over plain values: every picture loaded, scaled to the output
// size when its own size differs, saved as a single-frame GIF in the temporary
// folder, and the frames joined into the animated file.
//
// The window runs the three stages itself (it rewrites the loop field between
// them and shows its message before removing the frames); flipreel-cli takes
// Run(). Frame files left when the object goes are removed then, so a failure
// on any path leaves none behind.
class CreationRun final {
public:
    CreationRun(ImageEngine& engine, GifAssembler& assembler, CreationSettings settings);
    ~CreationRun();
    CreationRun(const CreationRun&) = delete;
    CreationRun& operator=(const CreationRun&) = delete;

    // Loads, scales and saves every frame, joining them as they come when
    // the settings give the loop count.
    CreationResult ConvertFrames(const CreationProgress& progress);
    // Starts a new animation with the loop count and GIF89a, adds every frame
    // with its delay and writes the output file. An output file that exists is
    // replaced only by a complete new one.
    // `progress`, when given, takes the share of the frames written; without
    // it, the frames that ConvertFrames joined go on with its progress.
    CreationResult Assemble(qint16 loopCount, const CreationProgress& progress = {});
    // Deletes frame files 1..N of this run; missing files are no error, and
    // files with higher numbers (an older, longer run) are left alone.
    void RemoveFrameFiles();

    // All of it: convert, assemble, remove the frame files. `progress` runs
    // from 0 to 100 over the whole work.
    CreationResult Run(qint16 loopCount, const CreationProgress& progress);

    // "__frame__" i ".gif" in the folder, i from 1.
    static QString FrameFile(const QString& tempFolder, int frame);

    // The most frames that were being converted at once in the last ConvertFrames.
    int PeakFramesInFlight() const { return peakFramesInFlight_; }

private:
    CreationResult ConvertInOrder(const CreationProgress& progress);
    CreationResult ConvertOnWorkers(const CreationProgress& progress, int workers);
    // Whether frame i (from 1), whose picture could not be read, is left out.
    bool Skip(int frame, const QString& reason);
    bool Skipped(int frame) const
    {
        return std::size_t(frame - 1) < skipped_.size() && skipped_[std::size_t(frame - 1)];
    }
    CreationResult ShareOnePalette();
    // The palette of a larger animation, from a sample of its pictures;
    // null when it has none.
    std::unique_ptr<imaging::SampledPalette> SamplePalette(const imaging::QuantizeSettings& settings);
    void SetUpAssembler(qint16 loopCount);
    // Hands frame i, just converted, to the animation being written:
    // `converted` as its file holds it, or read from the file when empty.
    CreationResult JoinFrame(int frame, const CreationProgress& progress, imaging::IndexedPicture converted);
    CreationResult WriteFailure(const QString& reason) const;
    CreationResult AssembleFrames(qint16 loopCount, const CreationProgress& progress);
    CreationResult AssembleKept(const CreationProgress& progress);
    // Where the bar stands once `written` frames (the skipped ones counted)
    // are in the file; in Run's joining as frames arrive, half the bar is the
    // frames converted, which run ahead of the frames written.
    double WrittenProgress(int written) const;

    ImageEngine& engine_;
    GifAssembler& assembler_;
    CreationSettings settings_;
    // The palette memory of each sequence of frames saved in order (one per
    // worker): the run's, so every run starts afresh.
    std::vector<std::unique_ptr<imaging::FrameQuantizer>> palettes_;
    // The palette memory after the first frame: every later run starts from it.
    std::unique_ptr<imaging::FrameQuantizer> firstFrame_;
    // The colours of the whole animation, while its frames are converted.
    std::unique_ptr<imaging::SharedPalette> shared_;
    // A larger animation's palette, tried for every frame, and its colours
    // as the global table.
    std::unique_ptr<imaging::SampledPalette> sampled_;
    std::vector<uint32_t> globalColors_;
    bool globalSpare_ = false;
    // The sample's pictures, decoded and at the output size, waiting for
    // their frames (per frame, 0-based; empty for the others), so that they
    // are not decoded again while their files are unchanged.
    struct SamplePicture;
    std::vector<std::unique_ptr<SamplePicture>> samplePictures_;
    // Frame i's picture from the sample, when kept and its file unchanged;
    // else null. Each frame's slot is taken once, by the thread converting it.
    QImage TakeSamplePicture(int frame);
    // A small animation's frames as their files hold them, from conversion
    // to joining (they are never more than SharedPalette::kMaxPixels).
    std::vector<imaging::IndexedPicture> kept_;
    // The loop count of the output that ConvertFrames is joining, if any,
    // and the progress it reports, which Assemble continues.
    std::optional<qint16> joining_;
    CreationProgress joinProgress_;
    int peakFramesInFlight_ = 0;
    bool countsConversions_ = false;
    std::atomic<int> convertedFrames_{0};
    int lastWritten_ = 0; // what the bar last showed written
    bool framesWritten_ = false;
    std::vector<char> skipped_; // per frame (0-based): left out, its picture unreadable
    int skippedCount_ = 0;
};
