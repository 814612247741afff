// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/animation/LzwEncoder.h"

#include "common/StopRequest.h"
#include "imaging/PixelWords.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace imaging {
namespace {

// Packs codes least significant bit first and cuts the bytes into sub-blocks.
class BlockWriter {
public:
    explicit BlockWriter(QByteArray* out)
        : out_(out)
    {
        out_->clear();
    }
    // Bits written so far.
    uint64_t Bits() const { return uint64_t(out_->size() + fill_) * 8 + uint64_t(count_); }
    qsizetype Size() const { return out_->size() + fill_; }
    void Put(uint32_t code, int width)
    {
        bits_ |= uint64_t(code) << count_;
        count_ += width;
        while (count_ >= 8) {
            Byte(uint8_t(bits_ & 0xFF));
            bits_ >>= 8;
            count_ -= 8;
        }
    }
    void Finish()
    {
        if (count_ > 0)
            Byte(uint8_t(bits_ & 0xFF));
        bits_ = 0;
        count_ = 0;
        if (fill_ > 0)
            EndBlock();
    }

private:
    void Byte(uint8_t b)
    {
        block_[1 + fill_++] = b;
        if (fill_ == 255)
            EndBlock();
    }
    void EndBlock()
    {
        block_[0] = uint8_t(fill_);
        out_->append(reinterpret_cast<const char*>(block_), fill_ + 1);
        fill_ = 0;
    }
    QByteArray* out_;
    uint64_t bits_ = 0;
    int count_ = 0;
    int fill_ = 0;
    uint8_t block_[256];
};

// A kept full table is cleared once a window's bits per pixel exceed the
// best window's since it filled by this factor (measured on photographs and
// fractal zooms: 1.02 to 1.04 gave the smallest files).
constexpr double kClearAbove = 1.03;
// The window over which a kept full table's bits per pixel are measured.
constexpr size_t kWindow = 2048;

// How many pixels further two codes must reach for a string to be cut short
// of its longest match: a cut spends a code on a string already in the table.
// At -Q 100, 1 looking two pixels back wrote 0.7 to 1 % fewer bytes than 0
// looking one back on a slideshow, sprites over a sky and a test pattern, and
// 0.9 % more on a pan over a photograph.
constexpr size_t kCutGain = 1;

// How far ahead a choice between two indices of a pixel looks (on the
// benchmark animations 64 made files no smaller and took a fifth more time).
constexpr size_t kReach = 4;

} // namespace

// The codes of one image over a BlockWriter: their width grows once the next
// code no longer fits, checked after every code written, as giflib does; a
// clear code starts the table over.
class LzwCodes {
public:
    static constexpr uint32_t kMaxCode = 4095;
    LzwCodes(QByteArray* out, int codeSize)
        : blocks(out)
        , codeSize_(codeSize)
        , clear_(1u << codeSize)
        , end_(clear_ + 1)
        , width_(codeSize + 1)
    {
        running = end_ + 1;
        Clear();
    }
    void Put(uint32_t code)
    {
        blocks.Put(code, width_);
        if (running >= (1u << width_) && code <= kMaxCode)
            ++width_;
    }
    // Written in the width of the codes before it.
    void Clear()
    {
        Put(clear_);
        running = end_ + 1;
        width_ = codeSize_ + 1;
    }
    void End()
    {
        Put(end_);
        blocks.Finish();
    }
    bool Full() const { return running >= kMaxCode; }
    BlockWriter blocks;
    uint32_t running = 0; // the next code to assign

private:
    int codeSize_;
    uint32_t clear_;
    uint32_t end_;
    int width_ = 0;
};

bool LzwEncoder::Stopped() const
{
    return (stop_ && stop_->load(std::memory_order_relaxed)) || StopRequest::Requested();
}

LzwEncoder::LzwEncoder()
    : keys_(kTableSize)
    , codes_(kTableSize)
    , stamps_(kTableSize, 0)
{
}

void LzwEncoder::Lossy(const uint32_t* palette, int colorCount, int transparent, int bound)
{
    lossy_ = false;
    std::fill(std::begin(nearCount_), std::end(nearCount_), uint8_t(0));
    if (bound <= 0 || !palette)
        return;
    colorCount = std::clamp(colorCount, 0, 256);
    std::pair<int, int> found[256];
    for (int a = 0; a < colorCount; ++a) {
        if (a == transparent)
            continue;
        int n = 0;
        for (int b = 0; b < colorCount; ++b) {
            if (b == a || b == transparent)
                continue;
            const int d = EntryDistance(palette[a], palette[b]);
            if (d <= bound)
                found[n++] = {d, b};
        }
        const int keep = std::min(n, kNear);
        std::partial_sort(found, found + keep, found + n);
        for (int k = 0; k < keep; ++k)
            near_[a][k] = uint8_t(found[k].second);
        nearCount_[a] = uint8_t(keep);
        lossy_ |= keep > 0;
    }
}

bool LzwEncoder::Encode(uint8_t* pixels, size_t count, int codeSize, QByteArray* blocks, qsizetype limit,
                        bool keepFullTable, uint8_t* alternatives)
{
    codeSize = std::max(codeSize, 2);
    blocks->reserve(qsizetype(std::min<size_t>(count / 2 + 64, size_t(std::min<qsizetype>(limit, 1 << 24)) + 300)));
    LzwCodes codes(blocks, codeSize);
    ++generation_;
    filled_ = false;
    if (count == 0) {
        codes.End();
        return true;
    }
    if (lookahead_ > 0)
        return EncodeAhead(codes, pixels, count, limit, keepFullTable, alternatives);
    // Without alternatives the loop is spared every look at them.
    return alternatives ? Encode<true>(codes, pixels, count, limit, keepFullTable, alternatives)
                        : Encode<false>(codes, pixels, count, limit, keepFullTable, nullptr);
}

template <bool kFree>
bool LzwEncoder::Encode(LzwCodes& codes, uint8_t* pixels, size_t count, qsizetype limit, bool keepFullTable,
                        uint8_t* alternatives)
{
    auto put = [&](uint32_t code) { codes.Put(code); };
    // A kept full table is cleared only when the bits per pixel over a window
    // grow beyond the best window since it filled: clearing at once throws
    // away strings that later rows of a picture may keep using.
    bool frozen = false;
    size_t windowStart = 0;
    uint64_t windowBits = 0;
    double bestRate = 0;
    auto find = [this](uint32_t key, bool* found) { return Find(key, found); };
    // How many of the pixels from j on (at most `reach`) extend the string of
    // `code`, each written as whichever of its two indices does.
    auto length = [&](uint32_t code, size_t j, size_t reach) {
        const size_t from = j;
        for (; j < count && j - from < reach; ++j) {
            bool hit = false;
            uint32_t next = find(code << 8 | pixels[j], &hit);
            if (!hit && alternatives[j] != pixels[j])
                next = find(code << 8 | alternatives[j], &hit);
            if (!hit)
                break;
            code = codes_[next];
        }
        return j - from;
    };
    // Writes pixel i as its alternative.
    auto swap = [&](size_t i) { std::swap(pixels[i], alternatives[i]); };
    // Where a string starts and where both indices continue it, the
    // alternative is taken when it goes further (looked at first: it mostly
    // goes nowhere, and then the other way need not be followed).
    auto further = [&](uint32_t mine, uint32_t theirs, size_t j) {
        const size_t reach = length(theirs, j, kReach);
        return reach > 0 && length(mine, j, reach) < reach;
    };
    if (kFree && alternatives[0] != pixels[0] && count > 1 && further(pixels[0], alternatives[0], 1))
        swap(0);
    uint32_t prefix = pixels[0];
    for (size_t i = 1; i < count; ++i) {
        const uint32_t pixel = pixels[i];
        const uint32_t key = prefix << 8 | pixel;
        bool found = false;
        uint32_t slot = find(key, &found);
        if (found) {
            if (kFree && alternatives[i] != pixel) {
                bool both = false;
                const uint32_t theirs = find(prefix << 8 | alternatives[i], &both);
                if (both && further(codes_[slot], codes_[theirs], i + 1)) {
                    swap(i);
                    slot = theirs;
                }
            }
            prefix = codes_[slot];
            continue;
        }
        const uint32_t other = kFree ? alternatives[i] : pixel;
        if (other != pixel) {
            const uint32_t next = find(prefix << 8 | other, &found);
            if (found) {
                swap(i);
                prefix = codes_[next];
                continue;
            }
        }
        if (lossy_) {
            for (const uint32_t c : {pixel, other}) {
                for (int k = 0; k < nearCount_[c] && !found; ++k) {
                    const uint32_t near = find(prefix << 8 | near_[c][k], &found);
                    if (found) {
                        if (c != pixel)
                            alternatives[i] = uint8_t(pixel);
                        pixels[i] = near_[c][k];
                        prefix = codes_[near];
                    }
                }
                if (found || other == pixel)
                    break;
            }
            if (found)
                continue;
        }
        put(prefix);
        uint32_t first = pixel;
        if (other != pixel && i + 1 < count) {
            if (further(pixel, other, i + 1)) {
                swap(i);
                first = other;
                slot = find(prefix << 8 | other, &found);
            }
        }
        const uint32_t added = prefix << 8 | first;
        prefix = first;
        if (codes.blocks.Size() > limit)
            return false;
        if (!frozen) {
            filled_ |= codes.Full();
            if (codes.Full() && Stopped())
                return false;
            if (codes.Full() && !keepFullTable) {
                codes.Clear();
                ++generation_;
            } else if (codes.Full()) {
                frozen = true;
                windowStart = i;
                windowBits = codes.blocks.Bits();
                bestRate = 0;
            } else {
                stamps_[slot] = generation_;
                keys_[slot] = added;
                codes_[slot] = uint16_t(codes.running++);
            }
            continue;
        }
        if (i - windowStart < kWindow)
            continue;
        if (Stopped())
            return false;
        const double rate = double(codes.blocks.Bits() - windowBits) / double(i - windowStart);
        if (bestRate > 0 && rate > bestRate * kClearAbove) {
            codes.Clear();
            ++generation_;
            frozen = false;
            continue;
        }
        bestRate = bestRate > 0 ? std::min(bestRate, rate) : rate;
        windowStart = i;
        windowBits = codes.blocks.Bits();
    }
    put(prefix);
    codes.End();
    return codes.blocks.Size() <= limit;
}

bool LzwEncoder::EncodeAhead(LzwCodes& codes, uint8_t* pixels, size_t count, qsizetype limit, bool keepFullTable,
                             uint8_t* alternatives)
{
    auto put = [&](uint32_t code) { codes.Put(code); };
    auto reset = [&] {
        codes.Clear();
        ++generation_;
    };
    bool frozen = false;
    size_t windowStart = 0;
    uint64_t windowBits = 0;
    double bestRate = 0;
    auto find = [this](uint32_t key, bool* found) { return Find(key, found); };
    // The code that follows `code` with pixel j (its own index first, else
    // its alternative), and the index taken; -1 where neither continues it.
    auto step = [&](uint32_t code, size_t j, uint32_t* next) {
        bool hit = false;
        uint32_t slot = find(code << 8 | pixels[j], &hit);
        if (hit) {
            *next = codes_[slot];
            return int(pixels[j]);
        }
        const bool free = alternatives && alternatives[j] != pixels[j];
        if (free) {
            slot = find(code << 8 | alternatives[j], &hit);
            if (hit) {
                *next = codes_[slot];
                return int(alternatives[j]);
            }
        }
        // With Lossy(), a colour near either of them.
        if (lossy_) {
            for (const uint32_t c : {uint32_t(pixels[j]), free ? uint32_t(alternatives[j]) : uint32_t(pixels[j])}) {
                for (int k = 0; k < nearCount_[c]; ++k) {
                    slot = find(code << 8 | near_[c][k], &hit);
                    if (hit) {
                        *next = codes_[slot];
                        return int(near_[c][k]);
                    }
                }
                if (!free)
                    break;
            }
        }
        return -1;
    };
    // A string: its codes and the index taken for each of its pixels.
    struct Walk {
        uint16_t* codes;
        uint8_t* taken;
        size_t length;
    };
    // How many pixels from j on the string started with index `first` covers;
    // with `into`, its codes and indices too.
    auto follow = [&](uint32_t first, size_t j, Walk* into) {
        uint32_t code = first;
        if (into) {
            into->codes[0] = uint16_t(first);
            into->taken[0] = uint8_t(first);
        }
        size_t n = 1;
        for (; n < kLongest && j + n < count; ++n) {
            uint32_t next = 0;
            const int index = step(code, j + n, &next);
            if (index < 0)
                break;
            code = next;
            if (into) {
                into->codes[n] = uint16_t(code);
                into->taken[n] = uint8_t(index);
            }
        }
        if (into)
            into->length = n;
        return n;
    };
    Walk walks[3] = {{chains_[0], taken_[0], 0}, {chains_[1], taken_[1], 0}, {chains_[2], taken_[2], 0}};
    Walk* current = &walks[0];
    Walk* after = &walks[1];
    Walk* spare = &walks[2];
    // The string from j on started with whichever index of pixel j goes
    // further, into `into` (`other` is scratch), or only its length.
    auto start = [&](size_t j, Walk*& into, Walk*& other) {
        if (!alternatives || alternatives[j] == pixels[j])
            return follow(pixels[j], j, into);
        const size_t mine = follow(pixels[j], j, into);
        const size_t theirs = follow(alternatives[j], j, other);
        if (theirs > mine && into)
            std::swap(into, other);
        return std::max(mine, theirs);
    };
    Walk* none = nullptr;
    const size_t depth = size_t(lookahead_);
    uint32_t written = 0; // the code written last, whose string gains the next first index
    size_t writtenLength = 0;
    bool known = false; // `current` already holds the string from i on
    for (size_t i = 0; i < count;) {
        // Where either index may start the string, the one that goes further.
        if (!known && alternatives && alternatives[i] != pixels[i]) {
            start(i, current, spare);
            known = true;
        }
        const uint32_t first = known ? current->taken[0] : pixels[i];
        if (i > 0 && !frozen) {
            filled_ |= codes.Full();
            if (codes.Full() && Stopped())
                return false;
            if (codes.Full() && !keepFullTable) {
                reset();
                known = false;
            } else if (codes.Full()) {
                frozen = true;
                windowStart = i;
                windowBits = codes.blocks.Bits();
                bestRate = 0;
            } else {
                // A cut string's successor is often in the table already:
                // its code is spent all the same, as decoders count it.
                bool found = false;
                const uint32_t key = written << 8 | first;
                const uint32_t slot = find(key, &found);
                if (!found) {
                    stamps_[slot] = generation_;
                    keys_[slot] = key;
                    codes_[slot] = uint16_t(codes.running);
                    // The string followed ahead could only have gone on
                    // through the code just written.
                    if (known && writtenLength <= current->length && current->codes[writtenLength - 1] == written)
                        known = false;
                }
                ++codes.running;
            }
        } else if (i > 0 && i - windowStart >= kWindow) {
            if (Stopped())
                return false;
            const double rate = double(codes.blocks.Bits() - windowBits) / double(i - windowStart);
            if (bestRate > 0 && rate > bestRate * kClearAbove) {
                reset();
                known = false;
                frozen = false;
            } else {
                bestRate = bestRate > 0 ? std::min(bestRate, rate) : rate;
                windowStart = i;
                windowBits = codes.blocks.Bits();
            }
        }
        if (!known)
            follow(first, i, current);
        const size_t n = current->length;
        // Cut where the string from the cut reaches furthest by more than
        // kCutGain: the longest match wins a tie.
        size_t cut = n;
        known = false;
        if (i + n < count) {
            size_t best = n + start(i + n, after, spare);
            known = true;
            for (size_t k = n - 1; k >= 1 && n - k <= depth; --k) {
                const size_t reach = k + start(i + k, none, none);
                if (reach > best + kCutGain) {
                    best = reach;
                    cut = k;
                    known = false;
                }
            }
        }
        // The index taken ends up in pixels; a near colour taken for the
        // alternative leaves the pixel's own as the alternative.
        for (size_t t = 0; t < cut; ++t) {
            const uint8_t taken = current->taken[t];
            if (taken == pixels[i + t])
                continue;
            if (alternatives && taken != alternatives[i + t])
                alternatives[i + t] = pixels[i + t];
            else if (alternatives)
                std::swap(pixels[i + t], alternatives[i + t]);
            pixels[i + t] = taken;
        }
        written = current->codes[cut - 1];
        writtenLength = cut;
        put(written);
        if (codes.blocks.Size() > limit)
            return false;
        i += cut;
        std::swap(current, after);
    }
    codes.End();
    return codes.blocks.Size() <= limit;
}

} // namespace imaging
