// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace SaveFolder {

// Where the save dialog starts: the program's folder when the user can write
// there (a portable copy, as the window has always done); for an installed
// program, whose folder belongs to the system, the user's Pictures folder, or
// the home folder when there is none.
QString StartFolder(const QString& programFolder);

} // namespace SaveFolder
