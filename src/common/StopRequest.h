// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A process-wide request to stop, set from a signal handler (Ctrl+C, SIGTERM)
// and polled by long work. Writing an output file fails once it is set, so an
// existing file is never replaced by a run that was asked to stop.
namespace StopRequest {

// Async-signal-safe.
void Set(int signalNumber);
// The signal that asked to stop, 0 when none did.
int Signal();
inline bool Requested() { return Signal() != 0; }
// Forgets a request (tests).
void Clear();

} // namespace StopRequest
