// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Twips.h"

#include "common/Rounding.h"

namespace Twips {

int ToPixels(int twips) { return static_cast<int>(RoundHalfEven(static_cast<double>(twips) / kPerPixel)); }

QPoint ToPixels(int left, int top) { return {ToPixels(left), ToPixels(top)}; }

QRect ToPixels(int left, int top, int width, int height)
{
    return {ToPixels(left), ToPixels(top), ToPixels(width), ToPixels(height)};
}

} // namespace Twips
