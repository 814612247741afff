// SPDX-License-Identifier: GPL-3.0-or-later
// Step 3: the way into the frame properties dialog.
#include "app/FrmGif.h"

#include "app/Dialogs.h"
#include "app/DoubleClickHook.h"
#include "app/Messages.h"
#include "lists/ListRows.h"
#include "settings/FrmProp.h"

#include <QPushButton>
#include <QTreeView>

void FrmGif::WireSettings()
{
    lstFrame->viewport()->installEventFilter(
        new DoubleClickHook(lstFrame->viewport(), [this] { lstFrame_DblClick(); }));
    connect(cmdProp, &QPushButton::clicked, this, [this] { cmdProp_Click(); });
    connect(imgcmdProp, &ImageControl::clicked, this, [this] { imgcmdProp_Click(); });
}

qint32 FrmGif::SelectedFramePosition() const
{
    if (PictureCount() == 0)
        return 0;
    // With rows but none selected the first frame is edited.
    const qint32 selected = SelectedRowPosition(lstFrame);
    return selected > 0 ? selected : 1;
}

void FrmGif::lstFrame_DblClick()
{
    if (PictureCount() < 1)
        return;
    FrmProp dialog(*this);
    Dialogs::Exec(dialog);
}

void FrmGif::cmdProp_Click()
{
    lstFrame_DblClick();
}

void FrmGif::imgcmdProp_Click()
{
    if (PictureCount() == 0) {
        Messages::Info(this, QStringLiteral("No files in list!"));
        return;
    }
    cmdProp_Click();
}
