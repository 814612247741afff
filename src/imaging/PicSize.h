// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The dimensions text of a picture file ("640 x 480"), or an empty text when
// the path has fewer than 4 characters, the file cannot be read, or both its
// width and height are below 5; then `reason` says why. The picture is proved
// readable (see MeasurePicture); the size is the one ImageEngine::LoadFile gives.
QString GetPicSize(const QString& path, QString* reason = nullptr);
