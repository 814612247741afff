// SPDX-License-Identifier: GPL-3.0-or-later
#include "lists/ListRows.h"

#include "app/FrmGif.h"
#include "common/Paths.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTreeWidget>

namespace {
// Seven LOWER SEVEN EIGHTHS BLOCK characters: a bar in the frame's colour.
const QString kColorBar = QString(7, QChar(0x2587));

QTreeWidgetItem* RowAt(const QTreeWidget* list, qint32 position)
{
    if (position < 1 || position > list->topLevelItemCount())
        return nullptr;
    return list->topLevelItem(position - 1);
}
} // namespace

qint32 SelectedRowPosition(const QTreeWidget* list)
{
    QTreeWidgetItem* current = list->currentItem();
    return current && current->isSelected() ? list->indexOfTopLevelItem(current) + 1 : 0;
}

int FrmGif::PictureCount() const
{
    return lstPic->topLevelItemCount();
}

QString FrmGif::PicturePath(qint32 position) const
{
    const QTreeWidgetItem* row = RowAt(lstPic, position);
    if (!row)
        return {};
    return Paths::JoinFolder(row->text(PictureColumn::Address), row->text(PictureColumn::Name));
}

std::optional<qint32> FrmGif::FramePlayTime(qint32 position) const
{
    const QTreeWidgetItem* row = RowAt(lstFrame, position);
    if (!row)
        return 500;
    bool ok = false;
    const qint32 value = row->text(FrameColumn::PlayTime).trimmed().toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

void FrmGif::AddPictureRow(const QString& fileName, const QString& typeText, const QString& dimensions,
                           const QString& folder)
{
    auto* row = new QTreeWidgetItem;
    row->setText(PictureColumn::Name, fileName);
    row->setText(PictureColumn::Type, typeText);
    row->setText(PictureColumn::Dimensions, dimensions);
    row->setText(PictureColumn::Address, folder);
    // Long names and folders are cut at the column's edge.
    const QString path = Paths::JoinFolder(folder, fileName);
    for (int column = PictureColumn::Name; column <= PictureColumn::Address; ++column)
        row->setToolTip(column, path);
    row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
    row->setCheckState(PictureColumn::Name, Qt::Unchecked);
    lstPic->addTopLevelItem(row);
}

void FrmGif::AddFrameRow(const QString& fileName)
{
    const int n = lstFrame->topLevelItemCount();
    auto* row = new QTreeWidgetItem;
    row->setText(FrameColumn::Label, tr("Frame %1").arg(n + 1));
    row->setIcon(FrameColumn::Label, ImageList1[ListIcon::Frames]);
    row->setText(FrameColumn::Name, fileName);
    row->setText(FrameColumn::PlayTime, txtMS->text().trimmed());
    row->setText(FrameColumn::Color, kColorBar);
    lstFrame->addTopLevelItem(row);
    SetFrameTransparency(n + 1, chkTrans->isChecked(), picColor->BackColor());
}

void FrmGif::SetFrameTransparency(qint32 position, bool transparent, ColorValue color)
{
    QTreeWidgetItem* row = RowAt(lstFrame, position);
    if (!row)
        return;
    // Flag, icon and colour are always written together.
    row->setText(FrameColumn::Transparent, transparent ? tr("Yes") : tr("No"));
    row->setForeground(FrameColumn::Color, ToQColor(color));
    row->setIcon(FrameColumn::Transparent, ImageList1[transparent ? ListIcon::Tick : ListIcon::Cross]);
}

ColorValue FrmGif::FrameColor(qint32 position) const
{
    const QTreeWidgetItem* row = RowAt(lstFrame, position);
    return row ? FromQColor(row->foreground(FrameColumn::Color).color()) : 0;
}

void FrmGif::SwapListRows(QTreeWidget* list, qint32 a, qint32 b)
{
    QTreeWidgetItem* rowA = RowAt(list, a);
    QTreeWidgetItem* rowB = RowAt(list, b);
    if (!rowA || !rowB || a == b)
        return;
    for (int column = 0; column < list->columnCount(); ++column) {
        const QString text = rowA->text(column);
        rowA->setText(column, rowB->text(column));
        rowB->setText(column, text);
        const QString tip = rowA->toolTip(column);
        rowA->setToolTip(column, rowB->toolTip(column));
        rowB->setToolTip(column, tip);
    }
    if (list == lstFrame) {
        const QIcon icon = rowA->icon(FrameColumn::Transparent);
        rowA->setIcon(FrameColumn::Transparent, rowB->icon(FrameColumn::Transparent));
        rowB->setIcon(FrameColumn::Transparent, icon);
        const QBrush color = rowA->foreground(FrameColumn::Color);
        rowA->setForeground(FrameColumn::Color, rowB->foreground(FrameColumn::Color));
        rowB->setForeground(FrameColumn::Color, color);
    }
    // Check marks stay at their positions.
}

void FrmGif::RenumberFrames()
{
    for (int i = 0; i < lstFrame->topLevelItemCount(); ++i)
        lstFrame->topLevelItem(i)->setText(FrameColumn::Label, tr("Frame %1").arg(i + 1));
}
