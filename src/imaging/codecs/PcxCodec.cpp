// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/codecs/PcxCodec.h"

namespace imaging {

bool IsPcx(const uchar* d, qint64 n) { return n >= 128 && d[0] == 0x0A && d[1] <= 5 && d[1] != 1 && d[2] == 1; }

} // namespace imaging
