// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace imaging {

class LzwCodes;

// GIF's LZW compression of an image's pixels into data sub-blocks with
// giflib's code widths and table reset, into memory: the assembler measures
// a frame in more than one table and writes the smaller. Where a pixel may be
// written in two indices that show the same, the encoder picks.
class LzwEncoder final {
public:
    LzwEncoder();
    // The sub-blocks (each a length byte and up to 255 bytes, no terminator)
    // for `count` pixels below 2^codeSize; codeSize is at least 2. Gives up
    // (false) once the blocks would exceed `limit` bytes. A full code table is
    // cleared at once, or with `keepFullTable` kept while it compresses as
    // well as when it filled up (which suits some pictures and not others:
    // callers measure both when TableFilled()).
    //
    // With `alternatives`, alternatives[i] is another index that shows what
    // pixels[i] shows (equal to it when there is none, e.g. the transparent
    // index and the colour already on screen): each pixel is written as the
    // one of the two that continues the current string, or, where a string
    // starts, the one that lets it grow. The index written ends up in
    // pixels[i], the other in alternatives[i].
    //
    // With Lossy() set, a pixel that would end a string may be replaced by a
    // colour close to it that continues the string; the replacements are
    // written back into `pixels`, which then hold what a decoder shows.
    bool Encode(uint8_t* pixels, size_t count, int codeSize, QByteArray* blocks,
                qsizetype limit = std::numeric_limits<qsizetype>::max(), bool keepFullTable = false,
                uint8_t* alternatives = nullptr);
    // Lets the following Encodes replace a pixel by one of the colours of
    // `palette` (0xRRGGBB entries) at most `bound` away (squared distance
    // summed over R, G and B); `transparent` (-1 for none) is never replaced
    // nor a replacement. A bound of 0 encodes exactly.
    void Lossy(const uint32_t* palette, int colorCount, int transparent, int bound);
    // With a `depth` above 0 the following Encodes parse ahead: a string is
    // cut up to `depth` pixels short of its longest match where the string
    // from there then reaches more than a pixel further, so that two codes
    // cover more pixels. The table still grows by the codes written, which
    // decoders follow unchanged. With Lossy() set, a string goes on through
    // a colour near the pixel's (or its alternative's) where neither of them
    // continues it, and Encode writes the replacements back as without
    // parsing ahead. 0, the default, takes every longest match.
    void Lookahead(int depth) { lookahead_ = depth < 0 ? 0 : depth; }
    // Whether the last Encode filled the code table (both ways differ only then).
    bool TableFilled() const { return filled_; }
    // Lets Encode give up (false) once `stop` is true, or a stop of the
    // process is requested, checked where the code table fills: a large
    // frame takes a second or more.
    void StopOn(const std::atomic<bool>* stop) { stop_ = stop; }

private:
    static constexpr int kTableBits = 14;
    static constexpr uint32_t kTableSize = 1u << kTableBits; // well above the 4096 codes
    std::vector<uint32_t> keys_;                             // prefix << 8 | byte
    std::vector<uint16_t> codes_;
    std::vector<uint32_t> stamps_; // generation of each slot: clearing the table costs nothing
    uint32_t generation_ = 0;
    bool filled_ = false;
    // Per colour index, the indices that may stand in for it, nearest first.
    static constexpr int kNear = 8;
    uint8_t near_[256][kNear] = {};
    uint8_t nearCount_[256] = {};
    bool lossy_ = false;
    int lookahead_ = 0;
    // The codes and the indices taken along a string: the one being cut, the
    // one after it and the other way of starting that one.
    static constexpr size_t kLongest = 4096; // no string is longer than the table
    uint16_t chains_[3][kLongest] = {};
    uint8_t taken_[3][kLongest] = {};
    const std::atomic<bool>* stop_ = nullptr;
    bool Stopped() const;
    // The slot of `key` in this generation's table, or of the free place where it would go.
    uint32_t Find(uint32_t key, bool* found) const
    {
        uint32_t slot = ((key + 1) * 2654435761u) >> (32 - kTableBits);
        while (stamps_[slot] == generation_) {
            if (keys_[slot] == key) {
                *found = true;
                return slot;
            }
            slot = (slot + 1) & (kTableSize - 1);
        }
        *found = false;
        return slot;
    }
    // The pixels after the first clear code, which `codes` has written.
    template <bool kFree>
    bool Encode(LzwCodes& codes, uint8_t* pixels, size_t count, qsizetype limit, bool keepFullTable,
                uint8_t* alternatives);
    bool EncodeAhead(LzwCodes& codes, uint8_t* pixels, size_t count, qsizetype limit, bool keepFullTable,
                     uint8_t* alternatives);
};

} // namespace imaging
