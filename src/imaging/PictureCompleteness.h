// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "imaging/PictureFormat.h"

#include <QtGlobal>

namespace imaging {

// Whether a file holds all the data its header promises, judged from the
// header's numbers alone (no pixel is decoded).
enum class Completeness {
    Complete,  // every byte the decoder will read is there
    Truncated, // the file ends before its data does
    Unknown,   // compressed or unusual: only decoding can tell
};

// How much of a file a header is judged on: its first `read` bytes of `size`.
struct FileExtent {
    qint64 read = 0;
    qint64 size = 0;
    // A header running past what was read is cut short only when the whole file was read.
    Completeness Short() const { return read < size ? Completeness::Unknown : Completeness::Truncated; }
    // Data that ends at `end`.
    Completeness Against(qint64 end) const { return end <= size ? Completeness::Complete : Completeness::Truncated; }
    bool Whole() const { return read == size; }
};

// Sides that a header may claim and be judged on; larger (or none) are left to
// the decoder, which gives the size reason.
bool SaneSides(qint64 width, qint64 height);

// The judgement of the format's codec (Unknown for a format without one).
// `d` holds the file's first `n` bytes of `fileSize`.
Completeness CheckCompleteness(const FormatChoice& format, const uchar* d, qint64 n, qint64 fileSize);

} // namespace imaging
