// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/DoubleClickHook.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QMouseEvent>

namespace {
// The row that shows as selected, -1 when none.
int SelectedRow(const QAbstractItemView* list)
{
    const QModelIndex current = list->currentIndex();
    const QItemSelectionModel* selection = list->selectionModel();
    return current.isValid() && selection && selection->isSelected(current) ? current.row() : -1;
}
} // namespace

DoubleClickHook::DoubleClickHook(QAbstractItemView* list, std::function<void()> onDoubleClick)
    : QObject(list->viewport())
    , list_(list)
    , onDoubleClick_(std::move(onDoubleClick))
{
    list->viewport()->installEventFilter(this);
}

bool DoubleClickHook::eventFilter(QObject* watched, QEvent* event)
{
    const bool left = (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    if (left && event->type() == QEvent::MouseButtonPress)
        rowBeforePress_ = SelectedRow(list_);
    if (left && event->type() == QEvent::MouseButtonDblClick) {
        if (list_->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint()).isValid()) {
            onDoubleClick_();
        } else if (rowBeforePress_ >= 0) {
            const QModelIndex row = list_->model()->index(rowBeforePress_, 0);
            if (row.isValid()) {
                list_->setCurrentIndex(row);
                onDoubleClick_();
                // The list would take it as another press below the rows.
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}
