// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QUrl>

#include <functional>

// The two launchers behind the "Website" and "Help" links. Both hand a
// document to the desktop and ignore whether it could be opened.
namespace ModLinks {

// The product's home page, opened by "Website".
inline constexpr const char* kWebsiteAddress = "https://flipreel.org/";
// The compiled help file in the application folder.
inline constexpr const char* kHelpFileName = "flipreel.chm";
// The same pages as plain HTML, for desktops that cannot show compiled help.
inline constexpr const char* kHelpPagesIndex = "help/index.html";

void OpenWebsite();
void OpenHelpFile();

// The folder followed directly by "/flipreel.chm", with no check for a
// separator already there: the root folder "/" gives "//flipreel.chm".
QString HelpFilePath(const QString& folder);
// The document a help click opens, given what the folder holds and whether
// the desktop has a viewer for compiled help: the compiled file where it can
// be shown, else the HTML pages when they are there, else the compiled file's
// path anyway, which the desktop then reports or ignores.
QString HelpDocument(const QString& folder, bool compiledHelpViewer);
// Where the help lies for a program in programFolder: that folder when it holds
// the help (a build), else "../share/flipreel" beside it when that does (an
// installed program), else the program folder.
QString HelpFolder(const QString& programFolder);
// A file address that keeps a path as it is written, also one that starts with
// two separators (QUrl::fromLocalFile would read those as a host name).
QUrl LocalFileUrl(const QString& path);

// Whether the desktop has an application for compiled help files. The desktop
// is asked once, off the calling thread (its tools can take seconds); until it
// has answered, the answer is no, so a click never waits.
bool HasCompiledHelpViewer();
// Starts that question early, so the first help click has the answer.
void PrepareHelpViewerCheck();

// Tests see what would be opened instead of starting anything. Empty
// functions restore the desktop's opener and viewer check.
using Opener = std::function<void(const QUrl&)>;
using ViewerCheck = std::function<bool()>;
void SetOpener(Opener opener);
void SetViewerCheck(ViewerCheck check);

} // namespace ModLinks
