// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/codecs/PhotoCdCodec.h"

#include <cstring>

namespace imaging {

bool IsPhotoCd(const uchar* d, qint64 n)
{
    return n >= kPhotoCdSignatureAt + 7 && std::memcmp(d + kPhotoCdSignatureAt, "PCD_IPI", 7) == 0;
}

} // namespace imaging
