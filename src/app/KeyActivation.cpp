// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/KeyActivation.h"

#include <QKeyEvent>
#include <QMetaObject>
#include <QWidget>

KeyActivation::KeyActivation(QObject* parent)
    : QObject(parent)
{
}

void KeyActivation::Attach(QWidget* control, const QString& accessibleName)
{
    control->setFocusPolicy(Qt::TabFocus);
    control->setAccessibleName(accessibleName);
    control->installEventFilter(this);
}

bool KeyActivation::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & ~Qt::KeypadModifier)
        return false;
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        QMetaObject::invokeMethod(watched, "clicked", Qt::DirectConnection);
        return true;
    default:
        return false;
    }
}
