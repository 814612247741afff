// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DoubleClickHook.h"

#include <QEvent>
#include <QMouseEvent>

DoubleClickHook::DoubleClickHook(QObject* parent, std::function<void()> onDoubleClick)
    : QObject(parent)
    , onDoubleClick_(std::move(onDoubleClick))
{
}

bool DoubleClickHook::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        onDoubleClick_();
    return QObject::eventFilter(watched, event);
}
