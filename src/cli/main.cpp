// SPDX-License-Identifier: GPL-3.0-or-later
// flipreel-cli: the creation run of the window, from the command line.
#include "cli/StopSignals.h"
#include "common/FileNames.h"
#include "cli/FrameOptions.h"
#include "common/Rounding.h"
#include "common/StopRequest.h"
#include "common/Translations.h"
#include "imaging/GifAssembler.h"
#include "imaging/ImageEngine.h"
#include "imaging/PicSize.h"
#include "imaging/PictureFile.h"
#include "imaging/PictureFormat.h"
#include "production/CreationCheck.h"
#include "production/CreationRules.h"
#include "production/CreationRun.h"
#include "production/ModFold.h"
#include "production/RunFolder.h"
#include "production/SizeTarget.h"
#include "production/VideoFrames.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <unistd.h>

namespace {

// Exit statuses.
constexpr int kSuccess = 0;
constexpr int kCreationFailed = 1;
constexpr int kRefused = 2;

// The defaults of a new window: 1000 ms per frame, endless loop.
constexpr qint32 kDefaultPlayTime = 1000;

const char* const kName = "flipreel-cli";

QTextStream& Err()
{
    static QTextStream stream(stderr);
    return stream;
}

QTextStream& Out()
{
    static QTextStream stream(stdout);
    return stream;
}

int Refuse(const QString& message)
{
    Err() << kName << ": " << message << Qt::endl;
    return kRefused;
}

void Warn(const QString& message)
{
    Err() << kName << ": " << QCoreApplication::translate("FlipreelCli", "warning: %1").arg(message) << Qt::endl;
}

// Whether a file that is no readable picture may be a video: a regular file
// whose first bytes and name match none of the picture formats.
bool MaybeVideo(const QString& path)
{
    QByteArray head;
    QByteArray tail;
    QString unused;
    if (!imaging::ReadPictureFileEnds(path, 64, 0, &head, &tail, &unused))
        return false;
    return imaging::ChooseFormat(reinterpret_cast<const uchar*>(head.constData()), head.size(), path).codec
        == imaging::Codec::Unknown;
}

QString Usage()
{
    return QCoreApplication::translate(
        "FlipreelCli",
        "Usage: flipreel-cli -o OUT.gif [-s WxH] [-t MS] [-l N] [-Q N] [--every MS] [--fit MODE] [-q] PICTURE...\n"
        "Turns still pictures into one animated GIF, one frame per picture, in the given order.\n"
        "A video among them gives one frame per decoded picture.\n"
        "\n"
        "  -o, --output FILE  the GIF file to write (replaced only by a complete new file)\n"
        "  -s, --size WxH     output size, each side 5 to 2000 pixels\n"
        "                     (default: the size of the first readable picture)\n"
        "  -t, --time MS      play time of every frame in milliseconds (default: 1000,\n"
        "                     a video's frames keep their own); the file stores hundredths\n"
        "                     of a second, and browsers play under 2 hundredths as 10\n"
        "  -l, --loop N       times the animation repeats after its first play;\n"
        "                     0 repeats it endlessly (default: 0)\n"
        "      --every MS     from a video, one frame every MS milliseconds\n"
        "      --fit MODE     stretch (default), contain (fit inside, pad) or\n"
        "                     cover (fill, crop the overflow equally on both sides)\n"
        "      --background COLOUR  padding of --fit contain, #RRGGBB or a name\n"
        "                     (default: transparent)\n"
        "  -j, --jobs N       frames converted at once (default: one per processor);\n"
        "                     large pictures wait for each other's memory\n"
        "  -Q, --quality N    1 (smallest file) to 100 (truest colours) (default: 95)\n"
        "      --max-size SIZE  the best quality whose file holds at most SIZE bytes\n"
        "                     (500K, 2M: powers of 1024); fails when none does\n"
        "  -q, --quiet        no progress bar and no success message\n"
        "  -h, --help         this text\n"
        "  -v, --version      the version\n"
        "\n"
        "Pictures that cannot be read, and a picture given twice, are skipped with a warning.\n"
        "Exit status: 0 created, 1 creation failed, 2 bad usage or refused input,\n"
        "130 or 143 stopped by Ctrl+C or SIGTERM (an existing output file is kept).\n"
        "FLIPREEL_TEMP names the folder for the frame files while a run lasts.\n");
}

// A bar on standard error, redrawn when the whole percentage changes.
class ProgressBar {
public:
    explicit ProgressBar(bool shown)
        : shown_(shown)
    {
    }
    void Start()
    {
        if (shown_)
            std::fputs(QCoreApplication::translate("FlipreelCli", "Start Creating...").toLocal8Bit().constData(),
                       stderr);
    }
    void Show(double percent)
    {
        if (!shown_)
            return;
        const int whole = int(RoundHalfEven(qBound(0.0, percent, 100.0)));
        if (whole == last_)
            return;
        last_ = whole;
        constexpr int kCells = 40;
        const int filled = whole * kCells / 100;
        std::fprintf(stderr, "\r[%s%s] %3d%%", QByteArray(filled, '#').constData(),
                     QByteArray(kCells - filled, ' ').constData(), whole);
        std::fflush(stderr);
    }
    void Finish()
    {
        if (shown_)
            std::fputs("\n", stderr);
    }

private:
    bool shown_;
    int last_ = -1;
};

// Arguments as the bytes they are: a file name that is not UTF-8 still names
// its file (QCoreApplication::arguments() would turn such bytes into U+FFFD).
QStringList ExactArguments(int argc, char** argv)
{
    QStringList out;
    for (int i = 0; i < argc; ++i)
        out << FileNames::FromBytes(QByteArray(argv[i]));
    return out;
}

QString AbsolutePath(const QString& path)
{
    if (path.startsWith(u'/'))
        return QDir::cleanPath(path);
    char* here = getcwd(nullptr, 0);
    const QString folder = here ? FileNames::FromBytes(QByteArray(here)) : QDir::currentPath();
    std::free(here);
    return QDir::cleanPath(folder + u'/' + path);
}

int Stopped()
{
    Err() << kName << ": " << QCoreApplication::translate("FlipreelCli", "stopped") << Qt::endl;
    return StoppedExitStatus();
}

} // namespace

int main(int argc, char** argv)
{
    InstallStopSignals();
    QCoreApplication app(argc, argv);
    // The per-user temporary folder lives under this name.
    QCoreApplication::setApplicationName(QStringLiteral("flipreel"));
    QCoreApplication::setApplicationVersion(QStringLiteral(FLIPREEL_VERSION));
    Translations::Install();

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")}, QString(), QStringLiteral("FILE"));
    const QCommandLineOption size({QStringLiteral("s"), QStringLiteral("size")}, QString(), QStringLiteral("WxH"));
    const QCommandLineOption time({QStringLiteral("t"), QStringLiteral("time")}, QString(), QStringLiteral("MS"));
    const QCommandLineOption loop({QStringLiteral("l"), QStringLiteral("loop")}, QString(), QStringLiteral("N"));
    const QCommandLineOption jobs({QStringLiteral("j"), QStringLiteral("jobs")}, QString(), QStringLiteral("N"));
    const QCommandLineOption quality({QStringLiteral("Q"), QStringLiteral("quality")}, QString(), QStringLiteral("N"));
    const QCommandLineOption maxSize(QStringLiteral("max-size"), QString(), QStringLiteral("SIZE"));
    const QCommandLineOption quiet(QStringList{QStringLiteral("q"), QStringLiteral("quiet")});
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOptions({output, size, time, loop, jobs, quality, maxSize, quiet, help, version});
    parser.addOptions(FrameOptions::Options());
    if (!parser.parse(ExactArguments(argc, argv))) {
        Err() << kName << ": " << parser.errorText() << '\n'
              << QCoreApplication::translate("FlipreelCli", "Try 'flipreel-cli --help'.") << Qt::endl;
        return kRefused;
    }
    if (parser.isSet(help)) {
        Out() << Usage() << Qt::flush;
        return kSuccess;
    }
    if (parser.isSet(version)) {
        Out() << kName << ' ' << QCoreApplication::applicationVersion() << Qt::endl;
        return kSuccess;
    }

    // Values that need no picture first, so a typing slip is reported at once.
    qint32 playTime = kDefaultPlayTime;
    if (parser.isSet(time)) {
        const std::optional<qint32> value = CreationRules::PlayTimeFromText(parser.value(time));
        if (!value)
            return Refuse(QCoreApplication::translate(
                              "FlipreelCli", "the play time \"%1\" is not a whole number of milliseconds from 0 to %2")
                              .arg(parser.value(time))
                              .arg(CreationRules::kMaximumPlayTime));
        playTime = *value;
    }
    if (parser.isSet(loop) && !CreationRules::LoopCountFromText(parser.value(loop).trimmed()))
        return Refuse(
            QCoreApplication::translate("FlipreelCli", "the loop count \"%1\" is not a whole number from 0 to %2")
                .arg(parser.value(loop))
                .arg(CreationRules::kMaximumLoopCount));
    int threads = 0;
    if (parser.isSet(jobs)) {
        bool ok = false;
        threads = parser.value(jobs).toInt(&ok);
        if (!ok || threads < 1)
            return Refuse(
                QCoreApplication::translate("FlipreelCli", "the number of jobs \"%1\" is not a whole number from 1 up")
                    .arg(parser.value(jobs)));
    }

    int qualityLevel = 0;
    if (parser.isSet(quality)) {
        bool ok = false;
        qualityLevel = parser.value(quality).toInt(&ok);
        if (!ok || qualityLevel < 1 || qualityLevel > 100)
            return Refuse(
                QCoreApplication::translate("FlipreelCli", "the quality \"%1\" is not a whole number from 1 to 100")
                    .arg(parser.value(quality)));
    }

    const qint64 maxBytes = parser.isSet(maxSize) ? ByteSizeFromText(parser.value(maxSize)) : 0;
    if (parser.isSet(maxSize) && (maxBytes == 0 || parser.isSet(quality)))
        return Refuse(maxBytes == 0 ? QCoreApplication::translate("FlipreelCli",
                                                                  "the size \"%1\" is not a number of "
                                                                  "bytes (such as 500K or 2M)")
                                          .arg(parser.value(maxSize))
                                    : QCoreApplication::translate("FlipreelCli",
                                                                  "--max-size chooses the quality: "
                                                                  "it cannot be given with -Q"));

    QString refusal;
    const std::optional<FrameOptions::Values> shape = FrameOptions::Read(parser, &refusal);
    if (!shape)
        return Refuse(refusal);

    // Pictures as the window adds them: unreadable ones and repeats are skipped.
    // A file that is no picture may be a video: its pictures go to frame files
    // in the run folder, made when the first video needs it.
    std::optional<RunFolder> folder;
    std::optional<VideoFrames> videos;
    QVector<CreationFrame> frames;
    QStringList listed;
    QStringList dimensions;
    for (const QString& argument : parser.positionalArguments()) {
        if (StopRequest::Requested())
            return Stopped();
        const QString path = AbsolutePath(argument);
        QString why;
        const QString dims = GetPicSize(path, &why);
        if (listed.contains(path)) {
            Warn(QCoreApplication::translate("FlipreelCli", "skipped \"%1\": already listed").arg(argument));
            continue;
        }
        if (!dims.isEmpty()) {
            listed << path;
            dimensions << dims;
            frames.push_back({path, playTime});
            continue;
        }
        // A picture that cannot be read is skipped for its reason; only a
        // file of no picture format is tried as a video.
        if (!MaybeVideo(path)) {
            Warn(QCoreApplication::translate("FlipreelCli", "skipped \"%1\": %2").arg(argument, why));
            continue;
        }
        if (!videos) {
            folder.emplace(ModFold::TemporaryFolderCandidates(QCoreApplication::applicationDirPath()));
            if (!folder->IsValid()) {
                Err() << kName << ": " << folder->Error() << Qt::endl;
                return kCreationFailed;
            }
            videos.emplace(folder->Path());
        }
        const qsizetype before = frames.size();
        const VideoFrames::Outcome video = videos->Add(path, shape->everyMs, &frames);
        if (video.added == 0) {
            Warn(QCoreApplication::translate("FlipreelCli", "skipped \"%1\": %2")
                     .arg(argument, video.video ? video.error : why));
            continue;
        }
        if (!video.error.isEmpty())
            Warn(QCoreApplication::translate("FlipreelCli", "\"%1\": %2; the %3 frames before are used")
                     .arg(argument, video.error)
                     .arg(video.added));
        if (parser.isSet(time))
            for (qsizetype i = before; i < frames.size(); ++i)
                frames[i].playTime = playTime;
        listed << path;
        dimensions << video.dimensions;
    }
    if (frames.size() < 2)
        return Refuse(QCoreApplication::translate("FlipreelCli", "at least two readable pictures are needed (%1 given)")
                          .arg(frames.size()));

    // The size of the first picture unless one is given.
    const QString sizeText = parser.isSet(size) ? parser.value(size) : dimensions.front();
    const std::optional<CreationRules::SizeTexts> sides = CreationRules::SplitSizeText(sizeText);
    if (!sides || !FrameOptions::SizeTextHasOneX(sizeText))
        return Refuse(
            QCoreApplication::translate("FlipreelCli", "the size \"%1\" is not of the form WxH").arg(sizeText));
    CreationRequest request;
    request.outputPath = parser.value(output);
    request.widthText = sides->width;
    request.heightText = sides->height;
    request.loopText = parser.value(loop);
    request.frames.reserve(frames.size());
    for (const CreationFrame& frame : frames)
        request.frames.push_back({frame.path, frame.playTime, QString::number(frame.playTime)});
    CreationCheck check = CheckCreation(request);
    if (!check.Ok())
        return Refuse(check.message);

    if (!folder)
        folder.emplace(ModFold::TemporaryFolderCandidates(QCoreApplication::applicationDirPath()));
    if (!folder->IsValid()) {
        Err() << kName << ": " << folder->Error() << Qt::endl;
        return kCreationFailed;
    }
    for (const QString& warning : FrameOptions::ShortDelayWarnings(check.settings.frames))
        Warn(warning);

    CreationSettings settings = std::move(check.settings);
    settings.fit = shape->fit;
    settings.tempFolder = folder->Path();
    settings.threads = threads;
    settings.quality = qualityLevel;

    ImageEngine engine;
    GifAssembler assembler;
    ProgressBar bar(!parser.isSet(quiet) && isatty(STDERR_FILENO));
    bar.Start();
    const auto showProgress = [&bar](double percent) {
        bar.Show(percent);
        return !StopRequest::Requested();
    };
    SizeTargetResult target;
    if (maxBytes > 0)
        target = CreateWithinSize(settings, check.loopCount, maxBytes, showProgress);
    CreationRun run(engine, assembler, std::move(settings));
    const CreationResult result = maxBytes > 0 ? target.result : run.Run(check.loopCount, showProgress);
    if (result.Ok())
        bar.Show(100);
    bar.Finish();
    if (!result.Ok() && StopRequest::Requested())
        return Stopped();
    if (!result.Ok()) {
        Err() << kName << ": " << result.message << Qt::endl;
        return kCreationFailed;
    }
    if (maxBytes > 0 && !target.fits) {
        Err() << kName << ": "
              << QCoreApplication::translate("FlipreelCli",
                                             "no quality fits in %1 bytes: the smallest file made holds %2")
                     .arg(maxBytes)
                     .arg(target.bytes)
              << Qt::endl;
        return kCreationFailed;
    }
    if (maxBytes > 0)
        Out()
            << QCoreApplication::translate("FlipreelCli", "quality %1, %2 bytes").arg(target.quality).arg(target.bytes)
            << '\n'
            << Qt::flush;
    if (!parser.isSet(quiet)) {
        Out() << QCoreApplication::translate("FlipreelCli", "Animated File created successfully!") << '\n' << Qt::flush;
        // The name as the bytes it has on disk.
        std::puts(FileNames::ToBytes(request.outputPath).constData());
    }
    return kSuccess;
}
