// SPDX-License-Identifier: GPL-3.0-or-later
// Step 1: checking all rows, deleting the checked ones, moving the selected
// row, and opening the selected picture. Both lists change at the same
// positions so they stay in step.
#include "app/FrmGif.h"
#include "app/Messages.h"
#include "lists/DocumentModel.h"
#include "lists/ListRows.h"
#include "preview/PreviewPage.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QTreeView>

void FrmGif::chkAll_Click() { Doc().SetAllChecked(chkAll->isChecked()); }

void FrmGif::cmdDel_Click()
{
    if (PictureCount() == 0) {
        Messages::Info(this, tr("No files in the list view!"));
        return;
    }
    bool removed = false;
    const BusyScope scope(*this);
    // From the end, so the rows not yet visited keep their positions.
    for (qint32 i = PictureCount(); i >= 1; --i) {
        if (!Doc().Rows().IsChecked(i))
            continue;
        Preview().StopPreview();
        QCoreApplication::processEvents();
        if (IsClosing())
            break;
        // Another handler may have changed the list meanwhile.
        if (!Doc().Rows().IsChecked(i))
            continue;
        Doc().Remove(i);
        removed = true;
    }
    Design::SetCaption(LabTotal, QString::number(PictureCount()));
    if (removed) {
        RefreshListControls();
    } else {
        Messages::Info(this, tr("No files checked in the list views!"));
    }
}

void FrmGif::cmdUp_Click()
{
    if (PictureCount() == 0) {
        Messages::Info(this, tr("No files in list to move up"));
        return;
    }
    const qint32 s = SelectedRowPosition(lstPic);
    if (s > 1 && s <= PictureCount()) {
        Doc().Swap(s, s - 1);
        SelectRow(lstPic, s - 1);
    }
}

void FrmGif::cmdDown_Click()
{
    if (PictureCount() == 0) {
        Messages::Info(this, tr("No files in list to move"));
        return;
    }
    const qint32 s = SelectedRowPosition(lstPic);
    if (s > 0 && s < PictureCount()) {
        Doc().Swap(s, s + 1);
        SelectRow(lstPic, s + 1);
    }
}

void FrmGif::cmdPreview_Click()
{
    if (PictureCount() == 0) {
        Messages::Info(this, tr("No files in the list view"));
        return;
    }
    lstPic_DblClick();
}

void FrmGif::lstPic_DblClick()
{
    if (PictureCount() > 0)
        ShowPicturePreview();
}

void FrmGif::cmdDelImg_Click() { cmdDel_Click(); }

void FrmGif::cmdUpImg_Click() { cmdUp_Click(); }

void FrmGif::cmdDownImg_Click() { cmdDown_Click(); }

void FrmGif::cmdPreviewImg_Click() { cmdPreview_Click(); }
