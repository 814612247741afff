// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// The folder helper of the creation run.
namespace ModFold {

// Creates the folder (and any missing parents, open to this user only). Every
// error is ignored, an existing folder included: the caller finds out when it
// writes there.
void EnsureFolder(const QString& path);

// Names the one folder for frame files when set and not empty.
inline constexpr char kTemporaryFolderVariable[] = "FLIPREEL_TEMP";

// Where a run may keep its frame files, best first. "temp" beside the program
// only for a build tree or an unpacked copy that belongs to the user running
// it; an installed program (its data in ../share/flipreel) never writes beside
// itself. Then the user's own folders: "flipreel/temp" in XDG_CACHE_HOME or
// ~/.cache, else "flipreel" in XDG_RUNTIME_DIR, else "flipreel-UID" in /tmp.
// FLIPREEL_TEMP replaces them all.
QStringList TemporaryFolderCandidates(const QString& applicationFolder);

} // namespace ModFold
