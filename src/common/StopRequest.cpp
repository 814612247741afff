// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/StopRequest.h"

#include <atomic>

namespace StopRequest {
namespace {
std::atomic<int> requested{0};
static_assert(std::atomic<int>::is_always_lock_free, "set from a signal handler");
} // namespace

void Set(int signalNumber) { requested.store(signalNumber); }
int Signal() { return requested.load(); }
void Clear() { requested.store(0); }

} // namespace StopRequest
