// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Dialogs.h"
#include "app/FrmGif.h"
#include "ui/DocumentModel.h"
#include "ui/ListRows.h"
#include "preview/FrmPreview.h"

#include <QTreeView>

void FrmGif::ShowPicturePreview()
{
    if (PictureCount() < 1)
        return;
    const qint32 selected = SelectedRowPosition(lstPic);
    const qint32 position = selected > 0 ? selected : 1;
    const PictureRow* row = Doc().Rows().Picture(position);
    FrmPreview window(this, {PicturePath(position), row ? row->size : QSize()});
    Dialogs::Exec(window);
}
