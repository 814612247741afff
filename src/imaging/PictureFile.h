// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "imaging/ImagingResult.h"

#include <QByteArray>
#include <QString>

namespace imaging {

// Reads a whole picture file into memory. Anything that is not a regular file
// (a FIFO, a device, a folder) is refused before it is opened, and opening
// never blocks. The bytes are a private copy: a file cut short by another
// program while it is read gives a clean failure, never a fault.
// A failure (ErrorCode::FileError) says why, without the path.
Result ReadPictureFile(const QString& path, QByteArray* bytes);

// Only the first `headBytes` and the last `tailBytes` of a file, for a format
// whose size and completeness show at its two ends. A file no longer than
// both is read whole into `head`, and `tail` stays empty. `fileSize`, when
// given, is the length of the file.
Result ReadPictureFileEnds(const QString& path, qint64 headBytes, qint64 tailBytes, QByteArray* head, QByteArray* tail,
                           qint64* fileSize = nullptr);

// The copying half: `size` bytes from an open file. Fewer bytes than that
// (the file shrank since it was measured) is a failure.
Result ReadOpenFile(int fd, qint64 size, QByteArray* bytes);

} // namespace imaging
