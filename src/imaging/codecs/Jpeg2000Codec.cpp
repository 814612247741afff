// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/codecs/Jpeg2000Codec.h"

#include <cstring>

namespace imaging {

Jpeg2000Kind Jpeg2000Signature(const uchar* d, qint64 n)
{
    if (n >= 12 && std::memcmp(d, "\0\0\0\x0CjP  \r\n\x87\n", 12) == 0)
        return Jpeg2000Kind::File;
    if (n >= 4 && std::memcmp(d, "\xFF\x4F\xFF\x51", 4) == 0)
        return Jpeg2000Kind::Codestream;
    return Jpeg2000Kind::None;
}

} // namespace imaging
