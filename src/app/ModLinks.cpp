// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ModLinks.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFuture>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QtConcurrent/QtConcurrentRun>

namespace ModLinks {
namespace {
Opener& opener()
{
    static Opener o;
    return o;
}

ViewerCheck& viewerCheck()
{
    static ViewerCheck c;
    return c;
}

void Open(const QUrl& url)
{
    if (opener()) {
        opener()(url);
        return;
    }
    // As with the shell's open-document call, the outcome is not looked at.
    (void)QDesktopServices::openUrl(url);
}

bool HoldsHelp(const QString& folder)
{
    return QFileInfo(HelpFilePath(folder)).isFile()
        || QFileInfo(folder + QLatin1Char('/') + QLatin1String(kHelpPagesIndex)).isFile();
}

// The desktop's default application for the type of a .chm file, as the
// freedesktop tools report it; no tool or no answer means no viewer.
bool AskDesktopForViewer()
{
#ifdef Q_OS_WIN
    return true;
#else
    const QString type = QMimeDatabase().mimeTypeForFile(QStringLiteral("x.chm"), QMimeDatabase::MatchExtension).name();
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (tool.isEmpty() || type.isEmpty() || type == QLatin1String("application/octet-stream"))
        return false;
    QProcess query;
    query.start(tool, {QStringLiteral("query"), QStringLiteral("default"), type});
    if (!query.waitForFinished(3000)) {
        query.kill();
        query.waitForFinished();
        return false;
    }
    return query.exitCode() == 0 && !query.readAllStandardOutput().trimmed().isEmpty();
#endif
}

const QFuture<bool>& ViewerAnswer()
{
    static const QFuture<bool> answer = QtConcurrent::run(AskDesktopForViewer);
    return answer;
}
} // namespace

void OpenWebsite() { Open(QUrl(QLatin1String(kWebsiteAddress))); }

void OpenHelpFile()
{
    const QString folder = HelpFolder(QCoreApplication::applicationDirPath());
    Open(LocalFileUrl(HelpDocument(folder, HasCompiledHelpViewer())));
}

QString HelpFilePath(const QString& folder) { return folder + QLatin1Char('/') + QLatin1String(kHelpFileName); }

QString HelpDocument(const QString& folder, bool compiledHelpViewer)
{
    const QString compiled = HelpFilePath(folder);
    if (compiledHelpViewer && QFileInfo(compiled).isFile())
        return compiled;
    const QString pages = folder + QLatin1Char('/') + QLatin1String(kHelpPagesIndex);
    if (QFileInfo(pages).isFile())
        return pages;
    return compiled;
}

QString HelpFolder(const QString& programFolder)
{
    if (HoldsHelp(programFolder))
        return programFolder;
    const QString installed = QDir::cleanPath(programFolder + QStringLiteral("/../share/flipreel"));
    return HoldsHelp(installed) ? installed : programFolder;
}

QUrl LocalFileUrl(const QString& path)
{
    QUrl url;
    url.setScheme(QStringLiteral("file"));
    // An empty (not absent) authority: "file:////x" keeps the path "//x".
    url.setAuthority(QLatin1String(""));
    url.setPath(path, QUrl::DecodedMode);
    return url;
}

bool HasCompiledHelpViewer()
{
    if (viewerCheck())
        return viewerCheck()();
    const QFuture<bool>& answer = ViewerAnswer();
    return answer.isFinished() && answer.result();
}

void PrepareHelpViewerCheck()
{
    if (!viewerCheck())
        (void)ViewerAnswer();
}

void SetOpener(Opener o) { opener() = std::move(o); }
void SetViewerCheck(ViewerCheck c) { viewerCheck() = std::move(c); }

} // namespace ModLinks
