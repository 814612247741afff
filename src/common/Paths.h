// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QChar>
#include <QDir>
#include <QString>

// Folder and file-name handling of the picture list. The separator is a
// parameter so the same rules serve "C:\Pics" and "/home/pics".
namespace Paths {

inline QChar NativeSeparator() { return QDir::separator(); }

// Folder followed by name, with one separator between them: "C:\" and "a.gif"
// give "C:\a.gif", "C:\Pics" and "a.gif" give "C:\Pics\a.gif".
QString JoinFolder(const QString& folder, const QString& name, QChar separator = NativeSeparator());

struct FolderAndName {
    QString folder;
    QString name;
};

// Splits a file text at its last separator; without one the name is the whole
// text and the folder is `folder`. A drive ("C:") or the empty root of "/a.gif"
// keeps its trailing separator ("C:\", "/").
FolderAndName SplitFileText(const QString& fileText, const QString& folder, QChar separator = NativeSeparator());

} // namespace Paths
