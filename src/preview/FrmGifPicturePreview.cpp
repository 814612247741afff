// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Dialogs.h"
#include "app/FrmGif.h"
#include "lists/ListRows.h"
#include "preview/FrmPreview.h"

#include <QTreeWidget>

void FrmGif::ShowPicturePreview()
{
    if (lstPic->topLevelItemCount() < 1)
        return;
    const qint32 selected = SelectedRowPosition(lstPic);
    const qint32 position = selected > 0 ? selected : 1;
    const QString dimensions = lstPic->topLevelItem(position - 1)->text(PictureColumn::Dimensions);
    FrmPreview window(this, { PicturePath(position), FrmPreview::ParseDimensions(dimensions) });
    Dialogs::Exec(window);
}
