// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/codecs/PspCodec.h"

#include <cstring>

namespace imaging {

bool IsPsp(const uchar* d, qint64 n) { return n >= 25 && std::memcmp(d, "Paint Shop Pro Image File", 25) == 0; }

} // namespace imaging
