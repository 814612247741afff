// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/codecs/UtahRleCodec.h"

#include <QtEndian>

namespace imaging {

bool IsUtahRle(const uchar* d, qint64 n) { return n >= 2 && qFromLittleEndian<quint16>(d) == 0xCC52; }

} // namespace imaging
