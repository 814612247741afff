// SPDX-License-Identifier: GPL-3.0-or-later
// The frame properties dialog, opened for step 3.
#include "app/FrmGif.h"

#include "app/Dialogs.h"
#include "settings/FramesPage.h"
#include "settings/FrmProp.h"

void FrmGif::WireFrameProperties()
{
    connect(frames_, &FramesPage::PropertiesRequested, this, [this] {
        FrmProp dialog(*this);
        Dialogs::Exec(dialog);
    });
}

qint32 FrmGif::SelectedFramePosition() const
{
    return Frames().SelectedFramePosition();
}
