// SPDX-License-Identifier: GPL-3.0-or-later
// --help prints the option table of flipreel-cli; the manual page, the README,
// the help page and the shell completions are written by hand and must name
// the same options.
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

namespace {

QString Source(const QString& relative)
{
    QFile file(QStringLiteral(FLIPREEL_SOURCE_DIR "/") + relative);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << relative.toStdString();
    return QString::fromUtf8(file.readAll());
}

// Every "-x" and "--name" in the text.
QSet<QString> Options(const QString& text, const QString& pattern = QStringLiteral("(?<![\\w-])(--?[A-Za-z][a-z-]*)"))
{
    QSet<QString> found;
    for (const QRegularExpressionMatch& match : QRegularExpression(pattern).globalMatch(text))
        found << match.captured(1);
    return found;
}

std::string Listed(const QSet<QString>& options)
{
    QStringList sorted(options.begin(), options.end());
    sorted.sort();
    return sorted.join(u' ').toStdString();
}

// The text from the first `from` to the next `to` after it.
QString Section(const QString& text, const QString& from, const QString& to)
{
    const qsizetype start = text.indexOf(from);
    EXPECT_GE(start, 0) << from.toStdString();
    const qsizetype end = text.indexOf(to, start + from.size());
    return text.mid(start, end < 0 ? -1 : end - start);
}

TEST(OptionListsTest, HelpManualReadmeHelpPageAndCompletionsNameTheSameOptions)
{
    // --help: the names column of each option line.
    QProcess program;
    // The programs sit at the top of the build folder, the tests in tests/.
    program.start(QCoreApplication::applicationDirPath() + QStringLiteral("/../flipreel-cli"),
                  {QStringLiteral("--help")});
    ASSERT_TRUE(program.waitForFinished(60000)) << program.errorString().toStdString();
    QString names;
    for (const QString& line : QString::fromUtf8(program.readAllStandardOutput()).split(u'\n'))
        if (line.startsWith(QStringLiteral("  -")) || line.startsWith(QStringLiteral("      --")))
            names += line.left(24) + u'\n';
    const QSet<QString> help = Options(names);
    ASSERT_GE(help.size(), 20) << Listed(help);

    // The manual: the tag line after each .TP of OPTIONS, with its escaped dashes.
    QString tags;
    const QStringList man = Section(Source(QStringLiteral("packaging/flipreel-cli.1")), QStringLiteral(".SH OPTIONS"),
                                    QStringLiteral(".SH "))
                                .split(u'\n');
    for (qsizetype i = 0; i + 1 < man.size(); ++i)
        if (man[i] == QLatin1String(".TP"))
            tags += QString(man[i + 1]).replace(QStringLiteral("\\-"), QStringLiteral("-")) + u'\n';
    EXPECT_EQ(Listed(Options(tags)), Listed(help)) << "flipreel-cli.1";

    // The README: the first cell of each row of the option table.
    QString cells;
    for (const QString& row :
         Section(Source(QStringLiteral("README.md")), QStringLiteral("| option |"), QStringLiteral("\n\n"))
             .split(u'\n'))
        cells += row.section(u'|', 1, 1) + u'\n';
    EXPECT_EQ(Listed(Options(cells)), Listed(help)) << "README.md";

    // The help page: the first cell of each row.
    QString firstCells;
    for (const QRegularExpressionMatch& row : QRegularExpression(QStringLiteral("<tr><td>(.*?)</td>"))
                                                  .globalMatch(Source(QStringLiteral("docs/help/command-line.html"))))
        firstCells += row.captured(1).remove(QRegularExpression(QStringLiteral("<[^>]*>"))) + u'\n';
    EXPECT_EQ(Listed(Options(firstCells)), Listed(help)) << "command-line.html";

    // Completions: every long option, and fish's short ones.
    QSet<QString> longOnly;
    for (const QString& option : help)
        if (option.startsWith(QStringLiteral("--")))
            longOnly << option;
    for (const char* file : {"packaging/completions/flipreel-cli.bash", "packaging/completions/_flipreel-cli"})
        EXPECT_EQ(Listed(Options(Source(QLatin1String(file)), QStringLiteral("(--[a-z][a-z-]*)"))), Listed(longOnly))
            << file;
    const QString fish = Source(QStringLiteral("packaging/completions/flipreel-cli.fish"));
    QSet<QString> fishOptions;
    for (const QString& name : Options(fish, QStringLiteral(" -l ([a-z-]+)")))
        fishOptions << QStringLiteral("--") + name;
    for (const QString& name : Options(fish, QStringLiteral(" -s ([A-Za-z])")))
        fishOptions << u'-' + name;
    EXPECT_EQ(Listed(fishOptions), Listed(help)) << "flipreel-cli.fish";
}

} // namespace
