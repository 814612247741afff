// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Dialogs.h"
#include "app/FrmGif.h"
#include "preview/FrmPreview.h"

#include <QTreeWidget>

void FrmGif::ShowPicturePreview()
{
    if (lstPic->topLevelItemCount() < 1)
        return;
    QTreeWidgetItem* current = lstPic->currentItem();
    const qint32 position = current ? lstPic->indexOfTopLevelItem(current) + 1 : 1;
    FrmPreview window(*this, position);
    Dialogs::Exec(window);
}
