// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "imaging/ImagingResult.h"

#include <QByteArray>
#include <QString>

namespace imaging {

// The entry of an icon or cursor file that is shown: the largest (then the deepest).
struct IconEntry {
    qint64 offset = 0;
    qint64 length = 0;
    bool png = false;
    QByteArray single; // a one-entry icon file holding the entry (non-PNG entries)
};

Result PickIconEntry(const uchar* d, qint64 n, IconEntry* pick);

// An icon file (type 1; a cursor, type 2, starts like many TGA files and is
// known by its name).
bool IsIcon(const uchar* d, qint64 n);

} // namespace imaging
