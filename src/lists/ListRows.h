// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Columns of the two list views.
namespace PictureColumn {
enum { Name = 0, Type = 1, Dimensions = 2, Address = 3 };
}
namespace FrameColumn {
enum { Label = 0, Name = 1, PlayTime = 2, Transparent = 3, Color = 4 };
}

namespace ListIcon {
// Indices into ImageList1.
enum { Cross = 0, Tick = 1, Frames = 2 };
}
