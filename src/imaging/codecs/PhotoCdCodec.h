// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace imaging {

// Kodak Photo CD pictures, decoded by ImageMagick at their 768 x 512 base
// resolution. The signature lies at byte 2048, after the preamble.
inline constexpr qint64 kPhotoCdSignatureAt = 2048;

bool IsPhotoCd(const uchar* d, qint64 n);

} // namespace imaging
