// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/PlayTime.h"

PlayTime PlayTime::FromText(const QString& typed)
{
    PlayTime playTime;
    playTime.text = typed.trimmed();
    bool ok = false;
    const qint32 value = playTime.text.toInt(&ok, 10);
    if (ok)
        playTime.ms = value;
    return playTime;
}
