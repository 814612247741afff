// SPDX-License-Identifier: GPL-3.0-or-later
#include "production/ModFold.h"

#include <QDir>
#include <QStandardPaths>

namespace ModFold {

void EnsureFolder(const QString& path)
{
    if (path.isEmpty())
        return;
    (void)QDir().mkpath(path);
}

QStringList TemporaryFolderCandidates(const QString& applicationFolder)
{
    QStringList out;
    // Set per process: two programs (or two tests) then never share a folder.
    if (const QString chosen = qEnvironmentVariable(kTemporaryFolderVariable); !chosen.isEmpty())
        return {chosen};
    if (!applicationFolder.isEmpty())
        out << QDir(applicationFolder).filePath(QStringLiteral("temp"));
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (!cache.isEmpty())
        out << QDir(cache).filePath(QStringLiteral("temp"));
    return out;
}

} // namespace ModFold
