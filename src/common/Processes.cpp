// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Processes.h"

#include <cerrno>
#include <signal.h>
#include <unistd.h>

namespace Processes {

bool Gone(qint64 pid) { return pid > 0 && pid != ::getpid() && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH; }

} // namespace Processes
