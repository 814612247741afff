// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ColorCellDelegate.h"

void ColorCellDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    // The cell's own colour is in Text once the base class has read it.
    option->palette.setBrush(QPalette::HighlightedText, option->palette.brush(QPalette::Text));
}
