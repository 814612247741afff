// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

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

bool PickIconEntry(const uchar* d, qint64 n, IconEntry* pick, QString* error);

} // namespace imaging
