// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "imaging/GifCodec.h"

#include <QString>

namespace imaging {

// Writes `picture` as a single-frame GIF89a whose global table is the
// picture's palette: a frame file of a creation run. Scratch data: not
// synced, and there only when complete. On failure `reason` says why.
bool SaveFrameFile(const QString& path, const IndexedPicture& picture, QString* reason);

} // namespace imaging
