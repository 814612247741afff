// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace imaging {

// Utah run-length coded pictures (.rle), decoded by ImageMagick; their magic
// number 0xCC52 is a weak signature.
bool IsUtahRle(const uchar* d, qint64 n);

} // namespace imaging
