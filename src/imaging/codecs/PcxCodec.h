// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace imaging {

// PCX pictures, decoded by ImageMagick. The signature (0x0A, a known version,
// run-length coding, a 128-byte header) is weak: a TGA may start alike, so a
// file named otherwise is what its name says.
bool IsPcx(const uchar* d, qint64 n);

} // namespace imaging
