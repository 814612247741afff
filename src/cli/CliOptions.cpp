// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliOptions.h"

#include <QCoreApplication>

namespace CliOptions {

const QList<Option>& Table()
{
    static const QList<Option> table = {
        {{QStringLiteral("o"), kOutput},
         QStringLiteral("FILE"),
         QT_TRANSLATE_NOOP("CliOptions",
                           "the GIF file to write, at least 5 characters; an existing file is replaced "
                           "only by a complete new one; - writes the GIF to standard output")},
        {{QStringLiteral("s"), kSize},
         QStringLiteral("WxH"),
         QT_TRANSLATE_NOOP("CliOptions",
                           "output size, each side 5 to 2000 pixels (default: the size of the first "
                           "picture)")},
        {{QStringLiteral("t"), kTime},
         QStringLiteral("MS"),
         QT_TRANSLATE_NOOP("CliOptions",
                           "play time of every frame in milliseconds (default: 1000; a video's frames "
                           "keep their own); the file stores hundredths of a second, and browsers play "
                           "under 2 hundredths as 10")},
        {{QStringLiteral("l"), kLoop},
         QStringLiteral("N"),
         QT_TRANSLATE_NOOP("CliOptions",
                           "times the animation repeats after its first play; 0 repeats it endlessly "
                           "(default: 0)")},
        {{kOnce}, QString(), QT_TRANSLATE_NOOP("CliOptions", "no loop block in the file: the animation plays once")},
        {{kFrames},
         QStringLiteral("FILE"),
         QT_TRANSLATE_NOOP("CliOptions",
                           "more pictures, one per line of FILE (- reads standard input), each "
                           "optionally followed by a tab and its play time in milliseconds; they "
                           "follow the pictures named as arguments")},
        {{QStringLiteral("every")},
         QStringLiteral("MS"),
         QT_TRANSLATE_NOOP("CliOptions", "from a video, one frame every MS milliseconds")},
        {{QStringLiteral("fit")},
         QStringLiteral("MODE"),
         QT_TRANSLATE_NOOP("CliOptions",
                           "stretch (default), contain (fit inside, pad) or cover (fill, crop the "
                           "overflow equally on both sides)")},
        {{QStringLiteral("background")},
         QStringLiteral("COLOUR"),
         QT_TRANSLATE_NOOP("CliOptions", "padding of --fit contain, #RRGGBB or a name (default: transparent)")},
        {{QStringLiteral("j"), kJobs},
         QStringLiteral("N"),
         QT_TRANSLATE_NOOP("CliOptions",
                           "frames converted at once; 0 (the default) takes one per processor; large "
                           "pictures wait for each other's memory; the file is the same whatever N")},
        {{QStringLiteral("Q"), kQuality},
         QStringLiteral("N"),
         QT_TRANSLATE_NOOP("CliOptions",
                           "1 (smallest file; every other frame shows the one before) to 100 (truest "
                           "colours) (default: 95); in tenths, such as 2.5, the whole one above with a "
                           "share of the frames showing the one before, more the closer to the one below; a "
                           "frame shown a fifth of a second or more always shows its own picture")},
        {{kMaxSize},
         QStringLiteral("SIZE"),
         QT_TRANSLATE_NOOP("CliOptions",
                           "the best quality whose file holds at most SIZE bytes (500K, 2M: powers of "
                           "1024), found in about the time of three encodes (a long animation is measured "
                           "on a sample of its frames first); prints the quality and size chosen, and "
                           "fails with the smallest size reached when none fits; not with -Q")},
        {{kStrict},
         QString(),
         QT_TRANSLATE_NOOP("CliOptions",
                           "a picture or video that would be skipped, or gives fewer frames than it "
                           "holds, fails the run instead")},
        {{QStringLiteral("q"), kQuiet},
         QString(),
         QT_TRANSLATE_NOOP("CliOptions", "no progress bar and no success message")},
        {{QStringLiteral("h"), kHelp}, QString(), QT_TRANSLATE_NOOP("CliOptions", "this text")},
        {{QStringLiteral("v"), kVersion}, QString(), QT_TRANSLATE_NOOP("CliOptions", "the version")},
    };
    return table;
}

void AddTo(QCommandLineParser& parser)
{
    for (const Option& option : Table())
        parser.addOption(QCommandLineOption(option.names, QString(), option.valueName));
}

namespace {

constexpr int kWidth = 79;
constexpr int kHelpColumn = 24;

// "-o, --output FILE" or "    --once".
QString Names(const Option& option)
{
    QString text = QStringLiteral("  ");
    QStringList names;
    for (const QString& name : option.names)
        names << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
    if (option.names.front().size() > 1)
        text += QStringLiteral("    ");
    text += names.join(QStringLiteral(", "));
    if (!option.valueName.isEmpty())
        text += u' ' + option.valueName;
    return text;
}

// Words of `text` in lines that end before kWidth, each starting at kHelpColumn.
QString Wrapped(const QString& first, const QString& text)
{
    QString out = first;
    int column = int(first.size());
    bool lineStarted = false;
    if (column + 2 > kHelpColumn) {
        out += u'\n';
        column = 0;
    }
    for (const QString& word : text.split(u' ', Qt::SkipEmptyParts)) {
        if (lineStarted && column + 1 + word.size() > kWidth) {
            out += u'\n';
            column = 0;
            lineStarted = false;
        }
        if (!lineStarted) {
            out += QString(kHelpColumn - column, u' ');
            column = kHelpColumn;
        } else {
            out += u' ';
            ++column;
        }
        out += word;
        column += int(word.size());
        lineStarted = true;
    }
    return out + u'\n';
}

} // namespace

QString Usage()
{
    QString text =
        QCoreApplication::translate("CliOptions",
                                    "Usage: flipreel-cli -o OUT.gif [OPTION]... PICTURE...\n"
                                    "Turns still pictures into one animated GIF, one frame per picture, in the\n"
                                    "given order. A video among them gives one frame per decoded picture, an\n"
                                    "animated GIF, APNG or WebP one per frame of the animation; a picture\n"
                                    "given twice is two frames.\n"
                                    "\n");
    for (const Option& option : Table())
        text += Wrapped(Names(option), QCoreApplication::translate("CliOptions", option.help));
    text +=
        QCoreApplication::translate("CliOptions",
                                    "\n"
                                    "A picture that does not exist or cannot be opened refuses the run; one that\n"
                                    "opens but cannot be read is skipped with a warning (a failure with --strict).\n"
                                    "Exit status: 0 created, 1 creation failed, 2 bad usage or refused input,\n"
                                    "130 or 143 stopped by Ctrl+C or SIGTERM (an existing output file is kept).\n"
                                    "FLIPREEL_TEMP names the folder for the frame files while a run lasts.\n");
    return text;
}

} // namespace CliOptions
