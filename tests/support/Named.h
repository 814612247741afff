// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

#include <stdexcept>

// A control of a page or window by its design name (members of a control
// array are "name(index)"), as a user's script would find it; a name that is
// missing fails the test.
template <typename T> T* Named(const QObject& owner, const QString& name)
{
    T* found = owner.findChild<T*>(name);
    if (!found)
        throw std::logic_error("no control named " + name.toStdString());
    return found;
}

template <typename T> T* Named(const QObject& owner, const char* name) { return Named<T>(owner, QLatin1String(name)); }
