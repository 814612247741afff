// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>

// Every option of flipreel-cli, once: the parser takes them from here and
// --help prints them from here, so the two never disagree. The manual page,
// the README, the help page and the shell completions list the same options;
// a test compares them with --help.
namespace CliOptions {

struct Option {
    QStringList names; // short name first where there is one: {"o", "output"}
    QString valueName; // "FILE"; empty for a switch
    const char* help;  // English, one paragraph; translated when printed
};

// Names used by the code that reads the options.
inline const QString kOutput = QStringLiteral("output");
inline const QString kSize = QStringLiteral("size");
inline const QString kTime = QStringLiteral("time");
inline const QString kLoop = QStringLiteral("loop");
inline const QString kOnce = QStringLiteral("once");
inline const QString kFrames = QStringLiteral("frames");
inline const QString kStrict = QStringLiteral("strict");
inline const QString kJobs = QStringLiteral("jobs");
inline const QString kQuality = QStringLiteral("quality");
inline const QString kMaxSize = QStringLiteral("max-size");
inline const QString kQuiet = QStringLiteral("quiet");
inline const QString kHelp = QStringLiteral("help");
inline const QString kVersion = QStringLiteral("version");

// In the order --help lists them.
const QList<Option>& Table();

// A parser that knows every option of the table.
void AddTo(QCommandLineParser& parser);

// The text of --help: synopsis, options (wrapped to 79 columns), notes.
QString Usage();

} // namespace CliOptions
