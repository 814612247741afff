// SPDX-License-Identifier: GPL-3.0-or-later
// Handlers of the preview area that the lists call, for linking until that
// area is merged (its own definitions replace this file).
#include "app/FrmGif.h"

void FrmGif::StopPreview()
{
    if (tmPlay->isActive())
        tmPlay->stop();
}
