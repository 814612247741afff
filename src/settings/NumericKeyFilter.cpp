// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/NumericKeyFilter.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace ModFile {

quint16 FilterNumericKey(quint16 keyAscii)
{
    constexpr quint16 kBackspace = 8;
    if ((keyAscii >= '0' && keyAscii <= '9') || keyAscii == kBackspace)
        return keyAscii;
    return 0;
}

} // namespace ModFile

namespace {
// Keys that do something of their own and never type into the field: focus
// moves, the dialog's default and cancel buttons, deleting forward.
bool IsCommandKey(int key)
{
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Delete:
        return true;
    default:
        return false;
    }
}

// The character codes a key press types. Ctrl with a letter types the control
// character of that letter (Ctrl+V is 22), whatever text the platform attached.
QList<quint16> TypedCodes(const QKeyEvent& key)
{
    QList<quint16> codes;
    const bool control = key.modifiers() & Qt::ControlModifier;
    if (control && key.key() >= Qt::Key_A && key.key() <= Qt::Key_Z) {
        codes << static_cast<quint16>(key.key() - Qt::Key_A + 1);
        return codes;
    }
    for (QChar ch : key.text())
        codes << ch.unicode();
    return codes;
}
} // namespace

NumericKeyFilter::NumericKeyFilter(QObject* parent)
    : QObject(parent)
{
}

void NumericKeyFilter::InstallOn(QLineEdit* field) { field->installEventFilter(new NumericKeyFilter(field)); }

bool NumericKeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto& key = static_cast<const QKeyEvent&>(*event);
    if (IsCommandKey(key.key()))
        return false;
    for (quint16 code : TypedCodes(key))
        if (ModFile::FilterNumericKey(code) == 0)
            return true; // swallowed: the field never sees the character
    return false;
}
