// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FrmGif.h"
#include "lists/PicturesPage.h"
#include "preview/FrmPreview.h"
#include "ui/Dialogs.h"
#include "ui/DocumentModel.h"

void FrmGif::ShowPicturePreview()
{
    if (PictureCount() < 1)
        return;
    const qint32 selected = Pictures().SelectedPicturePosition();
    const qint32 position = selected > 0 ? selected : 1;
    const PictureRow* row = Doc().Rows().Picture(position);
    FrmPreview window(this, {PicturePath(position), row ? row->size : QSize()});
    Dialogs::Exec(window);
}
