// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/codecs/PnmCodec.h"

#include "imaging/MagickCodec.h"
#include "imaging/codecs/PictureCodec.h"

#include <cctype>

namespace imaging {
namespace {

// The next decimal number after white space and comments; -1 when there is none.
qint64 Number(const uchar* d, qint64 n, qint64* at)
{
    while (*at < n && (std::isspace(d[*at]) || d[*at] == '#')) {
        if (d[*at] == '#')
            while (*at < n && d[*at] != '\n' && d[*at] != '\r')
                ++*at;
        else
            ++*at;
    }
    qint64 value = -1;
    while (*at < n && std::isdigit(d[*at]) && value < (qint64(1) << 32))
        value = (value < 0 ? 0 : value * 10) + (d[(*at)++] - '0');
    return value;
}

Completeness Judge(const uchar* d, FileExtent file)
{
    PnmHeader header;
    if (!PnmReadHeader(d, file.read, &header))
        return Completeness::Unknown;
    if (!header.complete)
        return file.Short();
    return file.Against(header.dataStart + header.RowBytes() * header.height);
}

} // namespace

bool IsPnm(const uchar* d, qint64 n)
{
    return n >= 3 && d[0] == 'P' && d[1] >= '1' && d[1] <= '7'
        && (d[2] == ' ' || d[2] == '\n' || d[2] == '\r' || d[2] == '\t');
}

qint64 PnmHeader::RowBytes() const
{
    const qint64 sample = maxval > 255 ? 2 : 1;
    return kind == '4' ? (width + 7) / 8 : width * (kind == '6' ? 3 : 1) * sample;
}

bool PnmReadHeader(const uchar* d, qint64 n, PnmHeader* header)
{
    if (n < 3 || d[0] != 'P' || d[1] < '4' || d[1] > '6')
        return false;
    PnmHeader h;
    h.kind = char(d[1]);
    qint64 at = 2;
    h.width = Number(d, n, &at);
    h.height = Number(d, n, &at);
    h.maxval = h.kind == '4' ? 1 : Number(d, n, &at);
    // Exactly one white space character separates the header from the data.
    if (at >= n) {
        h.complete = false;
        *header = h;
        return true;
    }
    if (!SaneSides(h.width, h.height) || h.maxval < 1 || h.maxval > 65535 || !std::isspace(d[at]))
        return false;
    h.dataStart = at + 1;
    *header = h;
    return true;
}

const PictureCodec kPnmCodec{MagickCodecMeasureEnds, MagickCodecMeasure, MagickCodecDecode, Judge};

} // namespace imaging
