// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace Processes {

// True when no process with this id exists (any more). This process and ids
// that cannot be checked count as running, so nothing of theirs is removed.
bool Gone(qint64 pid);

} // namespace Processes
