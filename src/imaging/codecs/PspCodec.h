// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace imaging {

// Paint Shop Pro pictures: known, so that they are refused as pictures
// without a decoder on this system rather than tried as videos.
bool IsPsp(const uchar* d, qint64 n);

} // namespace imaging
