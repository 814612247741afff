// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

// Scratch files (the frames of a creation run) live in a run folder that only
// this user can enter. While the folder is registered here, its files are
// opened relative to the descriptor the run folder was made with, so that
// renaming the folder or putting another in its place changes nothing.
namespace ScratchFiles {

// `folder` (as the run hands it on in paths) stands for the open folder `fd`
// until Unregister; the descriptor stays the caller's.
void Register(const QByteArray& folder, int fd);
void Unregister(const QByteArray& folder);

// Opens `path` as a new file for writing, readable by this user only. A file
// of that name is removed first (a frame written again); a link, a folder or
// a FIFO there is never written through. -1 with errno on failure.
int OpenNew(const QByteArray& path);
// Removes the file `path` (never what a link there points to).
void Remove(const QByteArray& path);

} // namespace ScratchFiles
