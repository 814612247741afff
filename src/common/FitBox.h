// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>

// Shrinks a picture size to fit a box, width first, then height, keeping the
// aspect ratio; a size inside the box is kept, nothing is enlarged.
//  1. If w > maxW: h becomes h * maxW / w (rounded, a half to even), w becomes maxW.
//  2. Then, if h > maxH: w becomes w * maxH / h (rounded likewise), h becomes maxH.
// The products are 32-bit; a product that does not fit leaves that value as it
// was (the step is skipped) and the next one runs.
QSize FitInto(int w, int h, int maxW, int maxH);
