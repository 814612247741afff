// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Ctrl+C (SIGINT), SIGTERM and SIGHUP (a closed terminal, taken as SIGTERM)
// ask the run to stop instead of killing the program, so that it can remove
// its frame files and leave the output as it was. A second signal of the same
// kind kills at once.
void InstallStopSignals();

// The exit status of a run stopped by a signal: 128 + its number (130, 143; 143 after SIGHUP);
// 0 when no signal came.
int StoppedExitStatus();
