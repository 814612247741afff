// SPDX-License-Identifier: GPL-3.0-or-later
// Step 1: checking all rows, deleting the checked ones, moving the selected
// row, and opening the selected picture. Both lists change at the same
// positions so they stay in step.
#include "lists/PicturesPage.h"

#include "ui/BusyHost.h"
#include "ui/DocumentModel.h"
#include "ui/ListRows.h"
#include "ui/Messages.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QTreeView>

void PicturesPage::chkAll_Click() { document_.SetAllChecked(chkAll->isChecked()); }

void PicturesPage::cmdDel_Click()
{
    if (Count() == 0) {
        Messages::Info(window(), QCoreApplication::translate("FrmGif", "No files in the list view!"));
        return;
    }
    bool removed = false;
    const BusyHost::Scope scope(window_);
    // From the end, so the rows not yet visited keep their positions.
    for (qint32 i = Count(); i >= 1; --i) {
        if (!document_.Rows().IsChecked(i))
            continue;
        Q_EMIT ListChanging();
        QCoreApplication::processEvents();
        if (window_.IsClosing())
            break;
        // Another handler may have changed the list meanwhile.
        if (!document_.Rows().IsChecked(i))
            continue;
        document_.Remove(i);
        removed = true;
    }
    ShowCount();
    if (removed) {
        document_.RenumberFrames();
        RefreshListControls();
    } else {
        Messages::Info(window(), QCoreApplication::translate("FrmGif", "No files checked in the list views!"));
    }
}

void PicturesPage::cmdUp_Click()
{
    if (Count() == 0) {
        Messages::Info(window(), QCoreApplication::translate("FrmGif", "No files in list to move up"));
        return;
    }
    const qint32 s = SelectedRowPosition(lstPic);
    if (s > 1 && s <= Count()) {
        document_.SwapListRows(s, s - 1);
        document_.RenumberFrames();
        SelectRow(lstPic, s - 1);
    }
}

void PicturesPage::cmdDown_Click()
{
    if (Count() == 0) {
        Messages::Info(window(), QCoreApplication::translate("FrmGif", "No files in list to move"));
        return;
    }
    const qint32 s = SelectedRowPosition(lstPic);
    if (s > 0 && s < Count()) {
        document_.SwapListRows(s, s + 1);
        document_.RenumberFrames();
        SelectRow(lstPic, s + 1);
    }
}

void PicturesPage::cmdPreview_Click()
{
    if (Count() == 0) {
        Messages::Info(window(), QCoreApplication::translate("FrmGif", "No files in the list view"));
        return;
    }
    lstPic_DblClick();
}

void PicturesPage::lstPic_DblClick()
{
    if (Count() > 0)
        Q_EMIT PreviewRequested();
}

void PicturesPage::cmdDelImg_Click() { cmdDel_Click(); }

void PicturesPage::cmdUpImg_Click() { cmdUp_Click(); }

void PicturesPage::cmdDownImg_Click() { cmdDown_Click(); }

void PicturesPage::cmdPreviewImg_Click() { cmdPreview_Click(); }
