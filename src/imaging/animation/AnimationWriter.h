// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "imaging/GifCodec.h"
#include "imaging/animation/ColorTables.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class ReplacingFile;

namespace imaging {

struct AnimationOptions {
    int loopCount = 0;          // 0 loops endlessly; -1 writes no loop extension
    int lzwError = 0;           // see GifAssembler::LzwError
    int lzwAheadArea = 0;       // see GifAssembler::LzwAheadArea
    bool lzwAheadAgain = false; // see GifAssembler::LzwAheadAgain
    int unchangedError = 0;     // see GifAssembler::UnchangedError
    double holdShare = 0;       // see GifAssembler::HoldShare
    int threads = 0;            // compressing threads: 0 one per core, 1 only the caller's
};

// Whether frame `frame` (from 0) of an animation holding a `share` (0 to 1) of
// its frames is held, showing the screen before it: the held frames are
// spread evenly, those of a smaller share are held by every larger one, and
// the first one is never held.
bool HeldFrame(int frame, double share);
// Only frames shown for less than this (hundredths of a second) are held:
// a moment of motion then shows the one before a little longer, where a slide
// shown for a fifth of a second or more always shows its own picture.
constexpr int kHeldDelayBelow = 20;
// What a held frame's pixels may differ from the screen and still be kept
// (squared distance summed over R, G and B): any colour.
constexpr int kHeldError = 3 * 255 * 255;

// Joins frames, handed over in list order as they are ready, into an animated
// GIF89a. Each frame is planned against the screen once the next is known
// (its transparency decides the disposal), compressed on worker threads and
// written in order; only two frames, the screen and the frames in compression
// are held, whatever the frame count. The target is replaced only by Finish.
class AnimationWriter final {
public:
    AnimationWriter(const QString& path, const AnimationOptions& options);
    ~AnimationWriter();
    AnimationWriter(const AnimationWriter&) = delete;
    AnimationWriter& operator=(const AnimationWriter&) = delete;

    // The global table from the table colours (TableColors) of every frame,
    // when they are all known before the first frame; without it the first
    // frame's colours are the global table. `spare`: see imaging::ChooseGlobalTable.
    void ChooseGlobalTable(const std::vector<std::vector<uint32_t>>& frameColors, bool spare = false);
    // Called after each frame written with the count so far; false stops the writing.
    void OnWritten(std::function<bool(int)> written) { written_ = std::move(written); }
    // The next frame, shown `delay` hundredths of a second. Frames after the
    // first are placed on its screen.
    bool Add(IndexedPicture frame, int delay);
    // The last frame and the trailer; then the file replaces the target.
    bool Finish();
    // From any thread: a frame in compression gives up between encodings, and
    // the writing fails with "the writing was stopped".
    void Stop() { stop_.store(true); }

    int FramesAdded() const { return added_; }
    QString Error() const { return error_; }

private:
    struct Pipeline;
    bool Open(const IndexedPicture& first);
    bool PlanPending(bool last);
    bool WriteOldest();
    bool Fail(const QString& text);

    QString path_;
    AnimationOptions options_;
    GlobalColorTable global_;
    bool globalChosen_ = false;
    std::function<bool(int)> written_;
    std::atomic<bool> stop_{false};
    std::unique_ptr<Pipeline> pipeline_;
    int added_ = 0;
    bool failed_ = false;
    QString error_;
};

} // namespace imaging
