// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QtGlobal>

class QLineEdit;

namespace ModFile {

// A typed character code passes when it is a digit or Backspace; any other
// character comes back as 0, which discards it.
quint16 FilterNumericKey(quint16 keyAscii);

} // namespace ModFile

// Runs every character typed into a number field through FilterNumericKey.
// Keys that type no character (arrows, Home, Delete, Tab) are not characters
// and pass; text pasted through the context menu is not typed and passes too.
class NumericKeyFilter final : public QObject {
    Q_OBJECT
public:
    explicit NumericKeyFilter(QObject* parent = nullptr);

    // Installs a filter owned by the field.
    static void InstallOn(QLineEdit* field);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
