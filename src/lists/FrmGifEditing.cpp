// SPDX-License-Identifier: GPL-3.0-or-later
// Step 1: checking all rows, deleting the checked ones, moving the selected
// row, and opening the selected picture. Both lists change at the same
// positions so they stay in step.
#include "app/FrmGif.h"
#include "app/Messages.h"
#include "lists/ListRows.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QTreeWidget>

namespace {
bool IsChecked(const QTreeWidget* list, qint32 position)
{
    return position >= 1 && position <= list->topLevelItemCount()
        && list->topLevelItem(position - 1)->checkState(PictureColumn::Name) == Qt::Checked;
}
} // namespace

void FrmGif::chkAll_Click()
{
    const Qt::CheckState mark = chkAll->isChecked() ? Qt::Checked : Qt::Unchecked;
    for (int i = 0; i < PictureCount(); ++i)
        lstPic->topLevelItem(i)->setCheckState(PictureColumn::Name, mark);
}

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
        if (!IsChecked(lstPic, i))
            continue;
        StopPreview();
        QCoreApplication::processEvents();
        if (IsClosing())
            break;
        // Another handler may have changed the list meanwhile.
        if (!IsChecked(lstPic, i))
            continue;
        delete lstPic->takeTopLevelItem(i - 1);
        delete lstFrame->takeTopLevelItem(i - 1);
        removed = true;
    }
    Design::SetCaption(LabTotal, QString::number(PictureCount()));
    if (removed) {
        RenumberFrames();
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
        SwapListRows(lstPic, s, s - 1);
        SwapListRows(lstFrame, s, s - 1);
        RenumberFrames();
        lstPic->setCurrentItem(lstPic->topLevelItem(s - 2));
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
        SwapListRows(lstPic, s, s + 1);
        SwapListRows(lstFrame, s, s + 1);
        RenumberFrames();
        lstPic->setCurrentItem(lstPic->topLevelItem(s));
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

void FrmGif::cmdDelImg_Click()
{
    cmdDel_Click();
}

void FrmGif::cmdUpImg_Click()
{
    cmdUp_Click();
}

void FrmGif::cmdDownImg_Click()
{
    cmdDown_Click();
}

void FrmGif::cmdPreviewImg_Click()
{
    cmdPreview_Click();
}
