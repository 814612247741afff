// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ListRows.h"

#include <QItemSelectionModel>
#include <QTreeView>

qint32 SelectedRowPosition(const QTreeView* list)
{
    const QModelIndex current = list->currentIndex();
    const QItemSelectionModel* selection = list->selectionModel();
    return current.isValid() && selection && selection->isSelected(current) ? current.row() + 1 : 0;
}

void SelectRow(QTreeView* list, qint32 position)
{
    const QModelIndex row = list->model()->index(position - 1, 0);
    if (row.isValid())
        list->setCurrentIndex(row);
}
