// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/codecs/PsdCodec.h"

#include "imaging/MagickCodec.h"
#include "imaging/codecs/PictureCodec.h"

#include <QtEndian>

#include <cstring>

namespace imaging {

bool IsPsd(const uchar* d, qint64 n) { return n >= 4 && std::memcmp(d, "8BPS", 4) == 0; }

bool PsdReadHeader(const uchar* d, qint64 n, PsdHeader* header)
{
    if (n < 26 || !IsPsd(d, n))
        return false;
    PsdHeader h;
    h.version = qFromBigEndian<quint16>(d + 4);
    h.channels = qFromBigEndian<quint16>(d + 12);
    h.height = qFromBigEndian<quint32>(d + 14);
    h.width = qFromBigEndian<quint32>(d + 18);
    h.depth = qFromBigEndian<quint16>(d + 22);
    if (h.version == 1) {
        // Colour mode data, resources, layers and masks: each carries its length.
        qint64 at = 26;
        for (int section = 0; section < 3 && h.complete; ++section) {
            if (at + 4 > n)
                h.complete = false;
            else
                at += 4 + qint64(qFromBigEndian<quint32>(d + at));
        }
        if (h.complete && at + 2 > n)
            h.complete = false;
        if (h.complete) {
            h.compositeStart = at;
            h.compression = qFromBigEndian<quint16>(d + at);
        }
    }
    *header = h;
    return true;
}

namespace {

// A raw composite fixes the file's length; run-length coded rows and large
// documents are left to the decoder.
Completeness Judge(const uchar* d, FileExtent file)
{
    PsdHeader h;
    if (!PsdReadHeader(d, file.read, &h) || h.version != 1 || h.channels < 1 || h.channels > 56
        || !SaneSides(h.width, h.height) || (h.depth != 1 && h.depth != 8 && h.depth != 16 && h.depth != 32))
        return Completeness::Unknown;
    if (!h.complete)
        return file.Short();
    if (h.compression != 0)
        return Completeness::Unknown;
    const qint64 row = h.depth == 1 ? (h.width + 7) / 8 : h.width * (h.depth / 8);
    return file.Against(h.compositeStart + 2 + h.channels * h.height * row);
}

} // namespace

const PictureCodec kPsdCodec{MagickCodecMeasureEnds, MagickCodecMeasure, MagickCodecDecode, Judge};

} // namespace imaging
