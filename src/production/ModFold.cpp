// SPDX-License-Identifier: GPL-3.0-or-later
#include "production/ModFold.h"

#include "common/FileNames.h"

#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace ModFold {
namespace {

// An absolute folder named by the environment, else empty. "/" is no home:
// a program without one must not write into the root folder.
QString AbsoluteVariable(const char* name)
{
    const QString value = FileNames::FromBytes(qgetenv(name));
    if (!value.startsWith(QLatin1Char('/')) || QDir::cleanPath(value) == QLatin1String("/"))
        return {};
    return QDir::cleanPath(value);
}

bool BelongsToUser(const QString& folder)
{
    struct stat info { };
    return ::stat(FileNames::ToBytes(folder).constData(), &info) == 0 && S_ISDIR(info.st_mode)
        && info.st_uid == ::geteuid();
}

} // namespace

void EnsureFolder(const QString& path)
{
    if (path.isEmpty())
        return;
    const QString clean = QDir::cleanPath(path);
    qsizetype at = 0;
    do {
        at = clean.indexOf(QLatin1Char('/'), at + 1);
        (void)::mkdir(FileNames::ToBytes(clean.left(at < 0 ? clean.size() : at)).constData(), 0700);
    } while (at >= 0);
}

QStringList TemporaryFolderCandidates(const QString& applicationFolder)
{
    // Set per process: two programs (or two tests) then never share a folder.
    if (const QString chosen = qEnvironmentVariable(kTemporaryFolderVariable); !chosen.isEmpty())
        return {chosen};
    QStringList out;
    const bool installed = !applicationFolder.isEmpty()
        && QFileInfo(QDir::cleanPath(applicationFolder + QStringLiteral("/../share/flipreel"))).isDir();
    if (!applicationFolder.isEmpty() && !installed && BelongsToUser(applicationFolder))
        out << QDir(applicationFolder).filePath(QStringLiteral("temp"));
    if (const QString cache = AbsoluteVariable("XDG_CACHE_HOME"); !cache.isEmpty())
        out << cache + QStringLiteral("/flipreel/temp");
    else if (const QString home = AbsoluteVariable("HOME"); !home.isEmpty())
        out << home + QStringLiteral("/.cache/flipreel/temp");
    else if (const QString runtime = AbsoluteVariable("XDG_RUNTIME_DIR"); !runtime.isEmpty())
        out << runtime + QStringLiteral("/flipreel");
    else
        out << QStringLiteral("/tmp/flipreel-%1").arg(::geteuid());
    return out;
}

} // namespace ModFold
