// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QRect>

// Window layouts are kept in twips, the unit they were designed in.
namespace Twips {

// 96 dpi: Qt scales logical pixels on dense screens by itself.
inline constexpr int kPerPixel = 15;

// Rounds to the nearest pixel, a half going to the even neighbour.
int ToPixels(int twips);
QPoint ToPixels(int left, int top);
QRect ToPixels(int left, int top, int width, int height);

} // namespace Twips
