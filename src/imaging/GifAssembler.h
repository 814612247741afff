// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "imaging/GifCodec.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace imaging {
class AnimationWriter;
}

// Joins single-frame GIF files into one animated GIF89a file: either files
// added first and streamed by SaveAnimation, or frames handed over in list
// order as they are made (Begin, Append, Finish), so that making and
// joining them overlap.
class GifAssembler final {
public:
    GifAssembler();
    ~GifAssembler();
    Q_DISABLE_COPY_MOVE(GifAssembler)

    // A new, empty animation.
    void Reset();
    // 0 loops endlessly; kPlayOnce writes no loop extension, so players show
    // the animation once.
    static constexpr int kPlayOnce = -1;
    void LoopCount(int count);
    // Always "gif89a".
    void Version(const QString& version);
    // Lets frames show colours up to `bound` away (squared distance summed
    // over R, G and B) from their own where that shortens the LZW codes; 0,
    // the default, writes every frame exactly.
    void LzwError(int bound);
    // Parses the exact LZW codes of frame rectangles up to `pixels` ahead
    // (fewer bytes for the same pixels, for more time); 0, the default, takes
    // every longest match.
    void LzwAheadArea(int pixels);
    // Parses those codes ahead once more, starting from the indices the first
    // parse wrote where a pixel may be written in two (unchanged pixels
    // transparent or in the screen's colour): a few bytes fewer for the same
    // pixels, for one more encoding of each frame.
    void LzwAheadAgain(bool again);
    // Shows a frame's pixel as unchanged, in the colour already on screen,
    // when its own colour is at most `bound` away from it (squared distance
    // summed over R, G and B); 0, the default, only when they are equal.
    void UnchangedError(int bound);
    // Holds this share (0 to 1) of the frames, spread evenly and never the
    // first: each shows the screen before it (its opaque pixels are kept as
    // they are on screen). 0, the default, holds none.
    void HoldShare(double share);
    // The global colour table (0xRRGGBB, sorted, each once) of every file
    // begun from now on; empty, the default: chosen from the frames.
    // `spare`: a free entry is kept for the pixels the frames leave unchanged
    // (imaging::ChooseGlobalTable).
    void GlobalColors(std::vector<uint32_t> colors, bool spare = false)
    {
        globalColors_ = std::move(colors);
        globalSpare_ = spare;
    }
    // Threads that compress frames while SaveAnimation writes: 0, the
    // default, one per core; 1 only the caller's.
    void Threads(int count);
    // The file becomes the next frame.
    bool AddFrame(const QString& path);
    // Delay of frame `index` (from 0) in hundredths of a second.
    bool SetFrameDelay(int index, int delay);
    // Writes the animation, replacing `path` only once it is complete; each
    // frame file is read once. `written`, when given, is called after each
    // frame with the count written so far; returning false stops the writing
    // (the target stays). `stop`, when given, is asked before each frame is
    // read; true gives up the write, leaving `path` as it was.
    bool SaveAnimation(const QString& path, const std::function<bool(int)>& written = {},
                       const std::function<bool()>& stop = {});

    // Starts writing `path` with the settings above; the frames follow by Append.
    void Begin(const QString& path);
    // The global colour table from the table colours of every frame
    // (imaging::TableColors), when all are known before the first Append.
    void GlobalColorsFrom(const std::vector<std::vector<uint32_t>>& frameColors);
    // The next frame, shown `delay` hundredths of a second.
    bool Append(imaging::IndexedPicture frame, int delay, const std::function<bool(int)>& written = {});
    // The last frame and the trailer; then the file replaces the target.
    bool Finish(const std::function<bool(int)>& written = {});
    // From any thread: a frame in compression gives up soon, and Append or Finish fails.
    void StopWriting();
    // Whether Begin has started a file that is not yet finished or given up.
    bool Writing() const { return stream_ != nullptr; }
    // Gives up the file begun, leaving its target as it was.
    void Abandon();

    QString LastError() const { return lastError_; }

private:
    QStringList frames_;
    QVector<int> delays_;
    int loopCount_ = 0;
    int lzwError_ = 0;
    int lzwAheadArea_ = 0;
    bool lzwAheadAgain_ = false;
    int unchangedError_ = 0;
    double holdShare_ = 0;
    int threads_ = 0;
    std::vector<uint32_t> globalColors_;
    bool globalSpare_ = false;
    QString lastError_;
    std::unique_ptr<imaging::AnimationWriter> stream_;
};
