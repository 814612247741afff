// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "imaging/animation/ColorTables.h"
#include "imaging/animation/LzwEncoder.h"

#include <QByteArray>

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

namespace imaging {

struct FrameJob;

// The smallest way found so far to write a frame's rectangle.
struct CompressedFrame {
    QByteArray code;
    std::array<uint32_t, 256> palette{};
    int colorCount = 0;
    int transparent = -1;
    bool local = true;
    qsizetype cost = -1;               // code and local table bytes; -1: nothing yet
    std::vector<uint8_t> pixels;       // as encoded
    std::vector<uint8_t> alternatives; // what each pixel may also be written as, empty for nothing
    bool tableFilled = false;
    bool keptFullTable = false; // the code keeps a full table rather than clearing it
    bool lossy = false;         // `pixels` are what lossy codes made of the frame's
};

// What one compressing thread reuses from frame to frame.
struct CompressorScratch {
    std::vector<uint8_t> mapped;
    std::vector<uint8_t> mappedAlternatives;
    std::vector<uint8_t> stretches; // a frame's unchanged pixels written by their stretches, and the other way
    std::vector<uint8_t> stretchesOther;
    QByteArray code;
    LzwEncoder lzw;
    int lzwError = 0;           // see GifAssembler::LzwError
    int lzwAheadArea = 0;       // see GifAssembler::LzwAheadArea
    bool lzwAheadAgain = false; // see GifAssembler::LzwAheadAgain
};

// Finds the smallest way to write the frame the planner made, in the global
// table or a local one, each unchanged pixel transparent or in the screen's
// colour as compresses better; on any thread. Leaves job.best empty (cost -1) when
// `stop` became true on the way.
void CompressFrame(FrameJob& job, const GlobalColorTable& global, CompressorScratch& work,
                   const std::atomic<bool>* stop = nullptr);

} // namespace imaging
