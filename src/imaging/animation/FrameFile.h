// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "imaging/GifCodec.h"

#include <QString>

namespace imaging {

// A creation run's frame file: a single-frame GIF89a whose global table is
// the picture's palette.

// Writes `picture` as a frame file. Scratch data: not synced, and there only
// when complete. On failure `reason` says why.
bool SaveFrameFile(const QString& path, const IndexedPicture& picture, QString* reason);

// `picture` as its frame file holds it, the same as LoadFrameFile gives
// back: the colour table padded to a power of two (at least two entries)
// with black, every entry opaque but the transparent one, which is 0. A
// frame just written is handed on so without reading its file again.
IndexedPicture AsFrameFileHolds(IndexedPicture picture);

// Reads frame `number` (from 1, for the message) from its file, in one read.
// On failure `error` names the frame, the file and the reason.
bool LoadFrameFile(const QString& path, int number, IndexedPicture* picture, QString* error);

} // namespace imaging
