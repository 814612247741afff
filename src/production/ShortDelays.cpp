// SPDX-License-Identifier: GPL-3.0-or-later
#include "production/ShortDelays.h"

#include "production/CreationRules.h"

#include <QCoreApplication>

namespace ShortDelays {

bool SlowedByBrowsers(qint32 playTimeMs) { return CreationRules::FrameDelay(playTimeMs) < kShortestHonouredDelay; }

QString PlayTimeNote()
{
    return QCoreApplication::translate("ShortDelays",
                                       "Play time in milliseconds. The GIF file stores hundredths of a second, and\n"
                                       "browsers play a frame of under 15 ms (0 or 1 hundredth) as 100 ms.");
}

} // namespace ShortDelays
