// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace imaging {

// JPEG 2000, decoded by ImageMagick's OpenJPEG coder: the JP2 file format
// (signature box) or a bare codestream (SOC and SIZ markers).
enum class Jpeg2000Kind { None, File, Codestream };

Jpeg2000Kind Jpeg2000Signature(const uchar* d, qint64 n);

} // namespace imaging
