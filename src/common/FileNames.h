// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// Linux file names are bytes, not text. Qt turns bytes that are not UTF-8 into
// U+FFFD, which loses them: a picture could not be opened again and an output
// file would be written under another name. These helpers keep every byte:
// an invalid byte b becomes the lone surrogate U+DC00 + b, and back.
namespace FileNames {

// Bytes of a name (an argument, an environment value) as text, losing nothing.
QString FromBytes(const QByteArray& bytes);
// The bytes to hand to the system for a name made by FromBytes (or typed).
QByteArray ToBytes(const QString& name);

// Where a file to be written really goes: its folder, open (O_PATH, the
// caller closes it), and its name there. Symbolic links are followed as the
// kernel does with fs.protected_symlinks on, whatever that setting: a link in
// a sticky folder that others may write in (/tmp) is followed only when it is
// this user's or the folder owner's, so another user's planted link is
// refused, a dangling one included.
struct Place {
    int folder = -1;
    QByteArray name;
    int error = 0;   // errno when a folder on the way is missing or unreadable
    QString refusal; // a link refused as above
};
Place ResolvePlace(const QString& name);

// Why a file cannot be written over: it exists and is not a regular file (or
// a symbolic link to one), or it is a link refused as by ResolvePlace. Empty
// when it is fine (a missing file is fine).
QString CheckOutputTarget(const QString& name);

} // namespace FileNames
