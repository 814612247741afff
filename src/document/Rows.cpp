// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/Rows.h"

#include "common/Paths.h"

QString PictureRow::Path() const { return Paths::JoinFolder(folder, name); }
