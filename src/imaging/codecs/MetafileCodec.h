// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace imaging {

// Windows metafiles. WMF is drawn by ImageMagick's libwmf coder at the size it
// is shown (see MagickCodec.h); EMF has no decoder on this system.

// A placeable metafile's key: a signature nothing else shares.
bool IsPlaceableWmf(const uchar* d, qint64 n);
// A standard (non-placeable) metafile header: type 1 or 2, a header of 9
// words, version 1 or 3. Weak: a file named otherwise is what its name says.
bool IsStandardWmf(const uchar* d, qint64 n);
// An enhanced metafile: record type 1 and " EMF" at byte 40.
bool IsEmf(const uchar* d, qint64 n);

} // namespace imaging
