// SPDX-License-Identifier: GPL-3.0-or-later
// flipreel-cli: the creation run of the window, from the command line.
#include "cli/CliInputs.h"
#include "cli/CliOptions.h"
#include "cli/FrameOptions.h"
#include "cli/StopSignals.h"
#include "common/FileNames.h"
#include "common/Rounding.h"
#include "common/StopRequest.h"
#include "common/Translations.h"
#include "imaging/GifAssembler.h"
#include "imaging/ImageEngine.h"
#include "imaging/PictureReader.h"
#include "imaging/codecs/Animation.h"
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
#include <QFile>
#include <QHash>
#include <QScopeGuard>
#include <QSet>
#include <QTextStream>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
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
    // Ends the bar's line for a message; the bar is drawn again below it.
    void Break()
    {
        if (shown_) {
            std::fputs("\n", stderr);
            last_ = -1;
        }
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

// The finished GIF, written into the run folder, goes to standard output.
bool CopyToStandardOutput(const QString& path, QString* error)
{
    QFile file;
    const int fd = ::open(FileNames::ToBytes(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    QByteArray chunk;
    while (!(chunk = file.read(1 << 16)).isEmpty()) {
        for (qsizetype done = 0; done < chunk.size();) {
            const ssize_t written = ::write(STDOUT_FILENO, chunk.constData() + done, size_t(chunk.size() - done));
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0) {
                *error = QString::fromLocal8Bit(std::strerror(errno));
                return false;
            }
            done += written;
        }
    }
    return file.error() == QFileDevice::NoError;
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

    using namespace CliOptions;
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    CliOptions::AddTo(parser);
    if (!parser.parse(ExactArguments(argc, argv))) {
        Err() << kName << ": " << parser.errorText() << '\n'
              << QCoreApplication::translate("FlipreelCli", "Try 'flipreel-cli --help'.") << Qt::endl;
        return kRefused;
    }
    if (parser.isSet(kHelp)) {
        Out() << CliOptions::Usage() << Qt::flush;
        return kSuccess;
    }
    if (parser.isSet(kVersion)) {
        Out() << kName << ' ' << QCoreApplication::applicationVersion() << Qt::endl;
        return kSuccess;
    }

    // Values that need no picture first, so a typing slip is reported at once.
    const QString outputName = parser.value(kOutput);
    if (const QString refused = CliInputs::OutputRefusal(parser.isSet(kOutput), outputName); !refused.isEmpty())
        return Refuse(refused);
    const bool toStandardOutput = outputName == QLatin1String("-");
    // A reader that goes away early is a failed write, so the run folder is
    // still removed, rather than a death by SIGPIPE.
    if (toStandardOutput)
        std::signal(SIGPIPE, SIG_IGN);
    std::optional<CliInputs::Size> givenSize;
    if (parser.isSet(kSize)) {
        QString refused;
        givenSize = CliInputs::SizeFromOption(parser.value(kSize), &refused);
        if (!givenSize)
            return Refuse(refused);
    }
    qint32 playTime = kDefaultPlayTime;
    if (parser.isSet(kTime)) {
        const std::optional<qint32> value = CreationRules::PlayTimeFromText(parser.value(kTime));
        if (!value)
            return Refuse(QCoreApplication::translate(
                              "FlipreelCli", "the play time \"%1\" is not a whole number of milliseconds from 0 to %2")
                              .arg(parser.value(kTime))
                              .arg(CreationRules::kMaximumPlayTime));
        playTime = *value;
    }
    if (parser.isSet(kLoop) && !CreationRules::LoopCountFromText(parser.value(kLoop).trimmed()))
        return Refuse(
            QCoreApplication::translate("FlipreelCli", "the loop count \"%1\" is not a whole number from 0 to %2")
                .arg(parser.value(kLoop))
                .arg(CreationRules::kMaximumLoopCount));
    if (parser.isSet(kLoop) && parser.isSet(kOnce))
        return Refuse(
            QCoreApplication::translate("FlipreelCli", "--once and --loop contradict each other: give one of them"));
    int threads = 0;
    if (parser.isSet(kJobs)) {
        bool ok = false;
        threads = parser.value(kJobs).toInt(&ok);
        if (!ok || threads < 0)
            return Refuse(
                QCoreApplication::translate("FlipreelCli", "the number of jobs \"%1\" is not a whole number from 0 up")
                    .arg(parser.value(kJobs)));
    }

    double qualityLevel = 0;
    if (parser.isSet(kQuality)) {
        bool ok = false;
        const double tenths = parser.value(kQuality).toDouble(&ok) * 10;
        if (!ok || !(tenths >= 10 && tenths <= 1000) || std::abs(tenths - std::round(tenths)) > 1e-6)
            return Refuse(QCoreApplication::translate("FlipreelCli",
                                                      "the quality \"%1\" is not a number from 1 to 100 in "
                                                      "tenths (such as 95 or 2.5)")
                              .arg(parser.value(kQuality)));
        qualityLevel = std::round(tenths) / 10;
    }

    const qint64 maxBytes = parser.isSet(kMaxSize) ? ByteSizeFromText(parser.value(kMaxSize)) : 0;
    if (parser.isSet(kMaxSize) && (maxBytes == 0 || parser.isSet(kQuality)))
        return Refuse(maxBytes == 0 ? QCoreApplication::translate("FlipreelCli",
                                                                  "the size \"%1\" is not a number of "
                                                                  "bytes (such as 500K or 2M)")
                                          .arg(parser.value(kMaxSize))
                                    : QCoreApplication::translate("FlipreelCli",
                                                                  "--max-size chooses the quality: "
                                                                  "it cannot be given with -Q"));

    QString refusal;
    const std::optional<FrameOptions::Values> shape = FrameOptions::Read(parser, &refusal);
    if (!shape)
        return Refuse(refusal);

    // Every named input must at least open: a mistyped name refuses the run
    // before anything is made, rather than giving a GIF without that frame.
    QVector<CliInputs::Input> inputs;
    for (const QString& argument : parser.positionalArguments())
        inputs.push_back({argument, CliInputs::AbsolutePath(argument), std::nullopt});
    for (const QString& list : parser.values(kFrames))
        if (!CliInputs::ReadList(list, &inputs, &refusal))
            return Refuse(refusal);
    for (const CliInputs::Input& input : inputs)
        if (const QString refused = CliInputs::OpenRefusal(input); !refused.isEmpty())
            return Refuse(refused);

    // A picture that opens but cannot be read is skipped with a warning, or
    // fails the run with --strict. Each naming of a picture is a frame of its
    // own: a script that repeats one means it. A file that is no picture may
    // be a video: its pictures go to frame files in the run folder, made when
    // the first video needs it.
    const bool strict = parser.isSet(kStrict);
    const auto skipped = [strict](const QString& message) {
        if (!strict) {
            Warn(message);
            return false;
        }
        Err() << kName << ": " << QCoreApplication::translate("FlipreelCli", "%1 (--strict)").arg(message) << Qt::endl;
        return true;
    };
    std::optional<RunFolder> folder;
    std::optional<VideoFrames> videos;
    QVector<CreationFrame> frames;
    QStringList dimensions;
    struct Still {
        qsizetype frame;      // in `frames`
        qsizetype dimensions; // in `dimensions`
        QString named;
    };
    QVector<Still> stills;
    for (const CliInputs::Input& input : inputs) {
        if (StopRequest::Requested())
            return Stopped();
        const qint32 inputTime = input.playTime.value_or(playTime);
        QString why;
        const QString dims = GetPicSize(input.path, &why);
        // An animated GIF, APNG or WebP gives its frames, as a video does.
        const bool animated = !dims.isEmpty() && imaging::IsAnimatedPicture(input.path);
        if (!dims.isEmpty() && !animated) {
            stills.push_back({frames.size(), dimensions.size(), input.named});
            dimensions << dims;
            frames.push_back({input.path, inputTime});
            continue;
        }
        // A picture that cannot be read is skipped for its reason; only a
        // file of no picture format is tried as a video.
        if (!animated && imaging::NamesPictureFormat(input.path)) {
            if (skipped(QCoreApplication::translate("FlipreelCli", "skipped \"%1\": %2").arg(input.named, why)))
                return kCreationFailed;
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
        const VideoFrames::Outcome video = animated ? videos->AddAnimation(input.path, shape->everyMs, &frames)
                                                    : videos->Add(input.path, shape->everyMs, &frames);
        if (StopRequest::Requested())
            return Stopped();
        if (video.refusal == VideoFrames::Refusal::TooManyFrames)
            return Refuse(video.error);
        if (video.refusal != VideoFrames::Refusal::None) {
            Err() << kName << ": " << video.error << Qt::endl;
            return kCreationFailed;
        }
        if (video.added == 0) {
            if (skipped(QCoreApplication::translate("FlipreelCli", "skipped \"%1\": %2")
                            .arg(input.named, video.video ? video.error : why)))
                return kCreationFailed;
            continue;
        }
        if (!video.error.isEmpty()
            && skipped(QCoreApplication::translate(
                           "FlipreelCli", "\"%1\": %2; frames decoded before, which are used: %n", nullptr, video.added)
                           .arg(input.named, video.error)))
            return kCreationFailed;
        if (parser.isSet(kTime) || input.playTime)
            for (qsizetype i = before; i < frames.size(); ++i)
                frames[i].playTime = inputTime;
        dimensions << video.dimensions;
    }
    if (frames.size() > VideoFrames::kMaximumFrames)
        return Refuse(
            QCoreApplication::translate("FlipreelCli", "at most %1 frames can be made into an animation (%2 given)")
                .arg(VideoFrames::kMaximumFrames)
                .arg(frames.size()));
    // Measuring proves a picture's structure; damage inside its data shows
    // when the run decodes it, which then leaves the frame out. The size
    // comes from the first picture, so a first picture that is damaged is
    // found now, by itself.
    while (!givenSize && !stills.isEmpty() && stills.front().frame == 0) {
        const imaging::Result check = imaging::CheckPictureData(frames.front().path);
        if (check)
            break;
        if (skipped(QCoreApplication::translate("FlipreelCli", "skipped \"%1\": %2")
                        .arg(stills.front().named, check.Message())))
            return kCreationFailed;
        frames.removeFirst();
        dimensions.removeFirst();
        stills.removeFirst();
        for (Still& still : stills) {
            --still.frame;
            --still.dimensions;
        }
    }
    QHash<qsizetype, QString> stillNames; // by frame (from 0)
    for (const Still& still : std::as_const(stills))
        stillNames.insert(still.frame, still.named);
    if (frames.size() < 2)
        return Refuse(QCoreApplication::translate(
            "FlipreelCli", "at least two readable pictures are needed (readable: %n)", nullptr, int(frames.size())));

    // The size of the first picture unless one is given.
    const std::optional<CliInputs::Size> outputSize =
        givenSize ? givenSize : CliInputs::SizeOfFirstPicture(dimensions.front(), &refusal);
    if (!outputSize)
        return Refuse(refusal);

    if (!folder)
        folder.emplace(ModFold::TemporaryFolderCandidates(QCoreApplication::applicationDirPath()));
    if (!folder->IsValid()) {
        Err() << kName << ": " << folder->Error() << Qt::endl;
        return kCreationFailed;
    }
    // Standard output takes the GIF once it is complete, from the run folder.
    const QString outputPath = toStandardOutput ? folder->Path() + QStringLiteral("/standard-output.gif") : outputName;
    const auto removeStandardOutputFile = qScopeGuard([&] {
        if (toStandardOutput)
            ::unlink(FileNames::ToBytes(outputPath).constData());
    });

    CreationRequest request;
    request.outputPath = outputPath;
    request.widthText = QString::number(outputSize->width);
    request.heightText = QString::number(outputSize->height);
    request.loopText = parser.value(kLoop);
    request.frames.reserve(frames.size());
    for (const CreationFrame& frame : frames)
        request.frames.push_back({frame.path, frame.playTime, QString::number(frame.playTime)});
    CreationCheck check = CheckCreation(request);
    if (!check.Ok())
        return Refuse(check.message);
    for (const QString& warning : FrameOptions::ShortDelayWarnings(check.settings.frames))
        Warn(warning);

    CreationSettings settings = std::move(check.settings);
    settings.fit = shape->fit;
    settings.tempFolder = folder->Path();
    settings.threads = threads;
    settings.quality = qualityLevel;
    settings.stopRequested = [] { return StopRequest::Requested(); };
    ImageEngine engine;
    GifAssembler assembler;
    ProgressBar bar(!parser.isSet(kQuiet) && isatty(STDERR_FILENO));
    bar.Start();
    // A damaged picture is skipped with its reason (once, however many runs
    // --max-size makes), while two frames are left.
    QSet<int> skippedFrames;
    bool failedOnSkip = false;
    bool tooFew = false;
    settings.skipUnreadable = [&](int frame, const QString& path, const QString& reason) {
        if (skippedFrames.contains(frame))
            return true;
        bar.Break();
        if (skipped(QCoreApplication::translate("FlipreelCli", "skipped \"%1\": %2")
                        .arg(stillNames.value(frame - 1, path), reason))) {
            failedOnSkip = true;
            return false;
        }
        if (frames.size() - skippedFrames.size() - 1 < 2) {
            tooFew = true;
            return false;
        }
        skippedFrames.insert(frame);
        return true;
    };
    const qint16 loopCount = parser.isSet(kOnce) ? qint16(GifAssembler::kPlayOnce) : check.loopCount;
    const auto showProgress = [&bar](double percent) {
        bar.Show(percent);
        return !StopRequest::Requested();
    };
    SizeTargetResult target;
    if (maxBytes > 0)
        target = CreateWithinSize(settings, loopCount, maxBytes, showProgress);
    CreationRun run(engine, assembler, std::move(settings));
    const CreationResult result = maxBytes > 0 ? target.result : run.Run(loopCount, showProgress);
    if (result.Ok())
        bar.Show(100);
    bar.Finish();
    if (!result.Ok() && StopRequest::Requested())
        return Stopped();
    if (!result.Ok() && failedOnSkip)
        return kCreationFailed;
    if (!result.Ok() && tooFew) {
        const int readable = int(frames.size() - skippedFrames.size()) - 1;
        return Refuse(QCoreApplication::translate(
            "FlipreelCli", "at least two readable pictures are needed (readable: %n)", nullptr, readable));
    }
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
    if (maxBytes > 0) {
        // Standard output may be the GIF itself: the choice goes with the messages then.
        const QString chosen = QCoreApplication::translate("FlipreelCli", "quality %1, %2 bytes")
                                   .arg(QString::number(target.quality, 'g', 4))
                                   .arg(target.bytes);
        if (toStandardOutput)
            Err() << kName << ": " << chosen << Qt::endl;
        else
            Out() << chosen << '\n' << Qt::flush;
    }
    if (toStandardOutput) {
        QString error;
        if (!CopyToStandardOutput(outputPath, &error)) {
            Err() << kName << ": "
                  << QCoreApplication::translate("FlipreelCli", "writing to standard output: %1").arg(error)
                  << Qt::endl;
            return kCreationFailed;
        }
        return kSuccess;
    }
    if (!parser.isSet(kQuiet)) {
        Out() << QCoreApplication::translate("FlipreelCli", "Animated File created successfully!") << '\n' << Qt::flush;
        // The name as the bytes it has on disk.
        std::puts(FileNames::ToBytes(request.outputPath).constData());
    }
    return kSuccess;
}
