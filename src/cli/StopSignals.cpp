// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/StopSignals.h"

#include "common/StopRequest.h"

#include <csignal>

namespace {

void OnStopSignal(int signalNumber) { StopRequest::Set(signalNumber); }
void OnHangUp(int) { StopRequest::Set(SIGTERM); }

} // namespace

void InstallStopSignals()
{
    struct sigaction action { };
    action.sa_handler = &OnStopSignal;
    sigemptyset(&action.sa_mask);
    // SA_RESETHAND: a user who presses Ctrl+C twice means it.
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // A closed terminal asks as SIGTERM does.
    action.sa_handler = &OnHangUp;
    sigaction(SIGHUP, &action, nullptr);
}

int StoppedExitStatus()
{
    const int signalNumber = StopRequest::Signal();
    return signalNumber ? 128 + signalNumber : 0;
}
