// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ModLinks.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>

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
} // namespace

void OpenWebsite()
{
    Open(QUrl(QLatin1String(kWebsiteAddress)));
}

void OpenHelpFile()
{
    const QString folder = QCoreApplication::applicationDirPath();
    Open(LocalFileUrl(HelpDocument(folder, HasCompiledHelpViewer())));
}

QString HelpFilePath(const QString& folder)
{
    return folder + QLatin1Char('/') + QLatin1String(kHelpFileName);
}

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
#ifdef Q_OS_WIN
    return true;
#else
    // The desktop's default application for the type of a .chm file, as the
    // freedesktop tools report it; no tool or no answer means no viewer.
    const QString type
        = QMimeDatabase().mimeTypeForFile(QStringLiteral("x.chm"), QMimeDatabase::MatchExtension).name();
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (tool.isEmpty() || type.isEmpty() || type == QLatin1String("application/octet-stream"))
        return false;
    QProcess query;
    query.start(tool, { QStringLiteral("query"), QStringLiteral("default"), type });
    if (!query.waitForFinished(3000)) {
        query.kill();
        query.waitForFinished();
        return false;
    }
    return query.exitCode() == 0 && !query.readAllStandardOutput().trimmed().isEmpty();
#endif
}

void SetOpener(Opener o)
{
    opener() = std::move(o);
}
void SetViewerCheck(ViewerCheck c)
{
    viewerCheck() = std::move(c);
}

} // namespace ModLinks
