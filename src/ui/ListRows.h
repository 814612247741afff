// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

class QTreeView;

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
} // namespace ListIcon

// 1-based position of the row that shows as selected, 0 when none. A current
// row the user has deselected (a click below the rows) does not count, so the
// commands act on what the user sees.
qint32 SelectedRowPosition(const QTreeView* list);
// Makes the row at a position (1-based) current and selected.
void SelectRow(QTreeView* list, qint32 position);
