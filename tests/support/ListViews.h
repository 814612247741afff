// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractItemModel>
#include <QIcon>
#include <QStringList>
#include <QTreeView>

// The rows of a list view as the view itself reads them, through its model.
// Positions are 1-based.
namespace ListViews {

inline int RowCount(const QTreeView* list) { return list->model()->rowCount(); }

inline QModelIndex Cell(const QTreeView* list, int position, int column = 0)
{
    return list->model()->index(position - 1, column);
}

inline QString Text(const QTreeView* list, int position, int column)
{
    return Cell(list, position, column).data().toString();
}

// Texts of every cell of a row.
inline QStringList Cells(const QTreeView* list, int position)
{
    QStringList out;
    for (int c = 0; c < list->model()->columnCount(); ++c)
        out << Text(list, position, c);
    return out;
}

inline QIcon Icon(const QTreeView* list, int position, int column)
{
    return Cell(list, position, column).data(Qt::DecorationRole).value<QIcon>();
}

inline bool IsChecked(const QTreeView* list, int position)
{
    return Cell(list, position).data(Qt::CheckStateRole).toInt() == Qt::Checked;
}

// As a click on the row's check box sets it.
inline void SetChecked(QTreeView* list, int position, bool checked = true)
{
    list->model()->setData(Cell(list, position), checked ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
}

// Makes a row current and selected, as a click on it does; 0 clears the current row.
inline void Select(QTreeView* list, int position)
{
    list->setCurrentIndex(position ? Cell(list, position) : QModelIndex());
}

inline int Current(const QTreeView* list)
{
    return list->currentIndex().isValid() ? list->currentIndex().row() + 1 : 0;
}

inline QRect RowRect(const QTreeView* list, int position)
{
    const QModelIndex first = Cell(list, position, 0);
    const QModelIndex last = Cell(list, position, list->model()->columnCount() - 1);
    return list->visualRect(first) | list->visualRect(last);
}

} // namespace ListViews
