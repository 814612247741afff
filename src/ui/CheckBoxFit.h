// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QCheckBox;

// Makes a check box's indicator and caption fit inside its design place,
// which is often lower than the desktop style's box and the caption's line:
// the indicator shrinks to the box's height, and the font only where the
// caption would be wider than the room left.
// The box keeps its place; call it after placing the box and giving it its
// caption and font.
void FitCheckBox(QCheckBox* box);
