// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/PictureCompleteness.h"

#include "imaging/ImagingLimits.h"
#include "imaging/codecs/PictureCodec.h"

namespace imaging {

bool SaneSides(qint64 width, qint64 height)
{
    return width > 0 && height > 0 && CheckPictureSize(width, height).isEmpty();
}

Completeness CheckCompleteness(const FormatChoice& format, const uchar* d, qint64 n, qint64 fileSize)
{
    const PictureCodec* codec = CodecOf(format.codec);
    if (!codec || !codec->completeness)
        return Completeness::Unknown;
    return codec->completeness(d, FileExtent{n, fileSize});
}

} // namespace imaging
