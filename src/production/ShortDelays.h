// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

// Browsers play a GIF delay under 2 hundredths of a second as 10 hundredths,
// so a play time that rounds to 0 or 1 hundredth shows far slower than asked.
namespace ShortDelays {

inline constexpr int kShortestHonouredDelay = 2; // hundredths

// Whether the play time (ms) is stored as a delay that browsers slow down.
bool SlowedByBrowsers(qint32 playTimeMs);
// The note the window shows on its play-time fields.
QString PlayTimeNote();

} // namespace ShortDelays
