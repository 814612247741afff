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

// Why a file cannot be written over: it exists and is not a regular file, or
// a symbolic link to one. Empty when it is fine (a missing file is fine).
QString CheckOutputTarget(const QString& name);

} // namespace FileNames
