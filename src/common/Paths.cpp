// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Paths.h"

namespace Paths {

QString JoinFolder(const QString& folder, const QString& name, QChar separator)
{
    if (folder.endsWith(separator))
        return folder + name;
    return folder + separator + name;
}

FolderAndName SplitFileText(const QString& fileText, const QString& folder, QChar separator)
{
    FolderAndName out;
    const qsizetype k = fileText.lastIndexOf(separator);
    if (k >= 0) {
        out.folder = fileText.left(k);
        out.name = fileText.mid(k + 1);
        if (out.folder.isEmpty())
            out.folder = separator; // "/a.gif": the root keeps its separator
    } else {
        out.name = fileText;
        out.folder = folder;
    }
    if (out.folder.endsWith(QLatin1Char(':')))
        out.folder += separator;
    return out;
}

} // namespace Paths
