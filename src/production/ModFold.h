// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// The folder helper of the creation run.
namespace ModFold {

// Creates the folder (and any missing parents). Every error is ignored, an
// existing folder included: the caller finds out when it writes there.
void EnsureFolder(const QString& path);

// Names the one folder for frame files when set and not empty.
inline constexpr char kTemporaryFolderVariable[] = "FLIPREEL_TEMP";

// Where a run may keep its frame files, best first: "temp" under the
// application folder, then a per-user "temp" under the cache location for an
// installed program whose folder is not writable. FLIPREEL_TEMP replaces both.
QStringList TemporaryFolderCandidates(const QString& applicationFolder);

} // namespace ModFold
