// SPDX-License-Identifier: GPL-3.0-or-later
#include "production/RunFolder.h"

#include "production/ModFold.h"

#include <QDir>
#include <QTemporaryDir>

RunFolder::RunFolder(const QStringList& candidates)
{
    for (const QString& folder : candidates) {
        ModFold::EnsureFolder(folder);
        QTemporaryDir run(QDir(folder).filePath(QStringLiteral("run-XXXXXX")));
        if (!run.isValid()) {
            error_ = QStringLiteral("cannot make a temporary folder in \"%1\": %2")
                         .arg(QDir::toNativeSeparators(folder), run.errorString());
            continue;
        }
        // Removal is ours: only once the run has deleted its own files.
        run.setAutoRemove(false);
        path_ = run.path();
        error_.clear();
        return;
    }
    if (error_.isEmpty())
        error_ = QStringLiteral("no temporary folder is known");
}

RunFolder::~RunFolder()
{
    if (!path_.isEmpty())
        (void)QDir().rmdir(path_);
}
