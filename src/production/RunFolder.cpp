// SPDX-License-Identifier: GPL-3.0-or-later
#include "production/RunFolder.h"

#include "common/Processes.h"
#include "production/ModFold.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

// "run-" pid "-" and six characters of QTemporaryDir: the pid tells a later
// run whether the process that made the folder is still there.
QString RunPattern(qint64 pid) { return QStringLiteral("run-%1-XXXXXX").arg(pid); }

} // namespace

void RunFolder::RemoveAbandoned(const QString& folder)
{
    static const QRegularExpression name(QStringLiteral("^run-(\\d{1,10})-[A-Za-z0-9]{6}$"));
    const QStringList runs = QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString& run : runs) {
        const QRegularExpressionMatch match = name.match(run);
        if (match.hasMatch() && Processes::Gone(match.captured(1).toLongLong()))
            (void)QDir(QDir(folder).filePath(run)).removeRecursively();
    }
}

RunFolder::RunFolder(const QStringList& candidates)
{
    for (const QString& folder : candidates) {
        ModFold::EnsureFolder(folder);
        // A run killed outright (SIGKILL, power cut) could not clean up.
        RemoveAbandoned(folder);
        QTemporaryDir run(QDir(folder).filePath(RunPattern(QCoreApplication::applicationPid())));
        if (!run.isValid()) {
            error_ = QCoreApplication::translate("RunFolder", "cannot make a temporary folder in \"%1\": %2")
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
        error_ = QCoreApplication::translate("RunFolder", "no temporary folder is known");
}

RunFolder::~RunFolder()
{
    if (!path_.isEmpty())
        (void)QDir().rmdir(path_);
}
