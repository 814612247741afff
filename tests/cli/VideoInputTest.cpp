// SPDX-License-Identifier: GPL-3.0-or-later
// Video input against the ffmpeg program: clips made with its encoders, the
// video module's pictures compared with its own decode, and flipreel-cli on
// cut clips, files that are no videos, stops and too many frames.
#include "imaging/VideoDecoder.h"
#include "production/ModFold.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>

namespace {

QString Build()
{
    return qEnvironmentVariable("FLIPREEL_BUILD_DIR", QCoreApplication::applicationDirPath() + QStringLiteral("/.."));
}

// Arguments written as one text, split at spaces.
QStringList Words(const char* text) { return QString::fromLatin1(text).split(QLatin1Char(' ')); }

QByteArray Ffmpeg(const QStringList& arguments)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), Words("-hide_banner -loglevel error -y") + arguments);
    EXPECT_TRUE(ffmpeg.waitForFinished(60000));
    EXPECT_EQ(ffmpeg.exitCode(), 0) << ffmpeg.readAllStandardError().toStdString();
    return ffmpeg.readAllStandardOutput();
}

std::unique_ptr<imaging::VideoDecoder> Open(
    const QString& path, imaging::VideoStopCheck stop = [] { return false; })
{
    QLibrary library(Build() + QStringLiteral("/libflipreel-video"));
    const auto open = reinterpret_cast<OpenVideoDecoderFunction>(library.resolve(FLIPREEL_OPEN_VIDEO_DECODER));
    EXPECT_TRUE(open) << library.errorString().toStdString();
    auto anySize = [](qint64, qint64) { return QString(); };
    return std::unique_ptr<imaging::VideoDecoder>(open ? open(path.toLocal8Bit().constData(), anySize, stop) : nullptr);
}

// The largest difference of one channel between the module's pictures and ffmpeg's decode of the clip.
int MostDifference(const QString& clip, QSize* size = nullptr)
{
    const std::unique_ptr<imaging::VideoDecoder> decoder = Open(clip);
    EXPECT_TRUE(decoder && decoder->Opened()) << clip.toStdString();
    const QByteArray reference =
        Ffmpeg(QStringList{QStringLiteral("-i"), clip} + Words("-f rawvideo -pix_fmt rgb24 -"));
    int most = 0;
    qsizetype at = 0;
    imaging::VideoPicture picture;
    while (decoder && decoder->Next(&picture) && !picture.image.isNull()) {
        if (size)
            *size = picture.image.size();
        if (at + picture.image.sizeInBytes() / 4 * 3 > reference.size()) {
            ADD_FAILURE() << clip.toStdString() << ": more pictures than ffmpeg decodes";
            break;
        }
        for (int y = 0; y < picture.image.height(); ++y)
            for (int x = 0; x < picture.image.width(); ++x)
                for (const int channel : {qRed(picture.image.pixel(x, y)), qGreen(picture.image.pixel(x, y)),
                                          qBlue(picture.image.pixel(x, y))})
                    most = std::max(most, std::abs(channel - int(quint8(reference[at++]))));
    }
    EXPECT_EQ(at, reference.size()) << clip.toStdString() << ": pictures missing";
    return most;
}

class VideoInputTest : public ::testing::Test {
protected:
    // `frames` pictures of the test source (colour bars, a gradient, a counter).
    QString Clip(const QString& name, const QString& size, int frames, const QStringList& codec, int rate = 25)
    {
        Ffmpeg(Words("-f lavfi -i") << QStringLiteral("testsrc=size=%1:rate=%2").arg(size).arg(rate)
                                    << QStringLiteral("-frames:v") << QString::number(frames) << codec
                                    << dir.filePath(name));
        return dir.filePath(name);
    }
    QString Write(const QString& name, const QByteArray& bytes)
    {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        return file.fileName();
    }
    QString Cut(const QString& path, double share)
    {
        QFile whole(path);
        EXPECT_TRUE(whole.open(QIODevice::ReadOnly));
        const QByteArray bytes = whole.readAll();
        return Write(QStringLiteral("cut-") + QFileInfo(path).fileName(), bytes.left(qsizetype(bytes.size() * share)));
    }
    // flipreel-cli run to its end: the exit code and standard error.
    std::pair<int, QString> Run(const QStringList& arguments)
    {
        QProcess process;
        process.start(Build() + QStringLiteral("/flipreel-cli"),
                      Words("-q -o") << dir.filePath(QStringLiteral("out.gif")) << arguments);
        EXPECT_TRUE(process.waitForFinished(60000));
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardError())};
    }

    QTemporaryDir dir;
    const QStringList h264 = Words("-c:v libx264 -preset ultrafast -pix_fmt yuv420p");
    const QStringList vp9 = Words("-c:v libvpx-vp9 -deadline realtime");
};

TEST_F(VideoInputTest, OddPortraitAndTurnedClipsMatchFfmpegToTheLastColumn)
{
    for (const QString& size : {QStringLiteral("360x640"), QStringLiteral("300x200"), QStringLiteral("426x240"),
                                QStringLiteral("202x150"), QStringLiteral("1080x1920"), QStringLiteral("854x480"),
                                QStringLiteral("201x151"), QStringLiteral("333x97")}) {
        const bool odd = size.back().digitValue() % 2;
        QSize decoded;
        EXPECT_LE(MostDifference(
                      Clip(size + (odd ? QStringLiteral(".webm") : QStringLiteral(".mp4")), size, 3, odd ? vp9 : h264),
                      &decoded),
                  2)
            << size.toStdString();
        EXPECT_EQ(QStringLiteral("%1x%2").arg(decoded.width()).arg(decoded.height()), size);
    }
    // A phone's portrait clip: pictures stored sideways, the stream saying how to turn them.
    const QString clip = dir.filePath(QStringLiteral("300x200.mp4"));
    for (const int degrees : {90, 180, 270}) {
        const QString turned = dir.filePath(QStringLiteral("turned%1.mp4").arg(degrees));
        Ffmpeg(QStringList{QStringLiteral("-i"), clip} << Words("-c copy -metadata:s:v")
                                                       << QStringLiteral("rotate=%1").arg(degrees) << turned);
        QSize size;
        EXPECT_LE(MostDifference(turned, &size), 2) << degrees;
        EXPECT_EQ(size, degrees == 180 ? QSize(300, 200) : QSize(200, 300)) << degrees;
    }
}

TEST_F(VideoInputTest, ColoursFollowTheStreamsMatrixAndRange)
{
    const QRgb colours[] = {qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(0, 0, 255),   qRgb(255, 255, 0),
                            qRgb(0, 255, 255), qRgb(255, 0, 255), qRgb(200, 40, 90), qRgb(30, 180, 60)};
    QImage blocks(128, 64, QImage::Format_RGB32);
    for (int i = 0; i < 8; ++i)
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                blocks.setPixel(i % 4 * 32 + x, i / 4 * 32 + y, colours[i]);
    ASSERT_TRUE(blocks.save(dir.filePath(QStringLiteral("blocks.png"))));
    for (const QString& kind : {QStringLiteral("bt709 tv bt709"), QStringLiteral("bt2020 pc bt2020nc"),
                                QStringLiteral("bt601 pc smpte170m")}) {
        const QStringList k = kind.split(QLatin1Char(' '));
        const QString clip = dir.filePath(k[2] + QStringLiteral(".mp4"));
        Ffmpeg(QStringList{QStringLiteral("-i"), dir.filePath(QStringLiteral("blocks.png")), QStringLiteral("-vf"),
                           QStringLiteral("scale=out_color_matrix=%1:out_range=%2").arg(k[0], k[1])}
               << QStringLiteral("-colorspace") << k[2] << QStringLiteral("-color_range") << k[1] << h264 << clip);
        EXPECT_LE(MostDifference(clip), 2) << kind.toStdString();
        // The middle of each block is still the colour it was made of.
        imaging::VideoPicture picture;
        ASSERT_TRUE(Open(clip)->Next(&picture));
        ASSERT_FALSE(picture.image.isNull());
        for (int i = 0; i < 8; ++i) {
            const QRgb got = picture.image.pixel(i % 4 * 32 + 16, i / 4 * 32 + 16);
            EXPECT_LE(std::abs(qRed(got) - qRed(colours[i])) + std::abs(qGreen(got) - qGreen(colours[i]))
                          + std::abs(qBlue(got) - qBlue(colours[i])),
                      6)
                << kind.toStdString() << ", block " << i;
        }
    }
}

TEST_F(VideoInputTest, CutVideosWarnWithTheNameAndTheFramesThatDecoded)
{
    for (const QString& whole :
         {Clip(QStringLiteral("a.mp4"), QStringLiteral("160x120"), 50, h264 + Words("-movflags +faststart")),
          Clip(QStringLiteral("b.webm"), QStringLiteral("160x120"), 50, vp9)}) {
        EXPECT_EQ(Run({whole}), std::make_pair(0, QString()));
        const QString cut = Cut(whole, 0.5);
        const auto [exit, err] = Run({cut});
        EXPECT_EQ(exit, 0) << err.toStdString();
        EXPECT_TRUE(err.contains(
            QStringLiteral(
                "warning: \"%1\": the file ends before the video does; frames decoded before, which are used: ")
                .arg(cut)))
            << err.toStdString();
    }
}

TEST_F(VideoInputTest, PlaylistsAndTextAreNoVideosAndAStopEndsAVideoAtOnce)
{
    // A live playlist that lists itself would be reloaded for ever.
    const QStringList noVideos{
        Write(QStringLiteral("clip.mp4"),
              QByteArrayLiteral("#EXTM3U\n#EXT-X-TARGETDURATION:1\n#EXTINF:1,\nclip.mp4\n")),
        Write(QStringLiteral("notes.txt"), QByteArrayLiteral("Plain words, no pictures.\n")),
        Write(QStringLiteral("drawing.svg"), QByteArrayLiteral("<svg xmlns='http://www.w3.org/2000/svg'"))};
    // Decoded to its end (many seconds) it would warn that it is cut.
    const QString video = Cut(Clip(QStringLiteral("long.mkv"), QStringLiteral("320x240"), 1500, h264), 0.95);
    const QDir temp(ModFold::TemporaryFolderCandidates(QString()).value(0));
    for (const int signalNumber : {SIGINT, SIGHUP}) {
        QProcess process;
        process.start(Build() + QStringLiteral("/flipreel-cli"),
                      QStringList{QStringLiteral("-o"), dir.filePath(QStringLiteral("out.gif"))} + noVideos << video);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                const QStringList runs = temp.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
                return !runs.isEmpty() && QFileInfo::exists(temp.filePath(runs[0] + QStringLiteral("/__video__3.png")));
            },
            30000));
        ASSERT_EQ(::kill(pid_t(process.processId()), signalNumber), 0);
        ASSERT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 128 + (signalNumber == SIGHUP ? SIGTERM : SIGINT));
        const QString err = QString::fromUtf8(process.readAllStandardError());
        for (const QString& skipped : noVideos)
            EXPECT_TRUE(err.contains(QStringLiteral("skipped \"%1\"").arg(skipped))) << err.toStdString();
        EXPECT_FALSE(err.contains(QStringLiteral("frames decoded before"))) << err.toStdString();
        EXPECT_TRUE(temp.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
    }
    // A stop asked while opening ends the open.
    const std::unique_ptr<imaging::VideoDecoder> stopped = Open(video, [] { return true; });
    const imaging::Result opened = stopped->Opened();
    EXPECT_FALSE(opened);
    EXPECT_EQ(opened.Message(), QStringLiteral("stopped"));
}

TEST_F(VideoInputTest, FrameFilesThatWouldNotFitAreRefusedAfterTheFirst)
{
    const QString video = Clip(QStringLiteral("v.mkv"), QStringLiteral("320x240"), 200, h264);
    const QString small = dir.filePath(QStringLiteral("small"));
    ASSERT_TRUE(QDir().mkpath(small));
    // A temporary folder of 1 MB; the frame files take several.
    QProcess process;
    process.start(
        QStringLiteral("unshare"),
        Words("-m sh -c") << QStringLiteral("mount -t tmpfs -o size=1m tmpfs \"$0\" || exit 77; %1=\"$0\" exec \"$@\"")
                                 .arg(QLatin1String(ModFold::kTemporaryFolderVariable))
                          << small << Build() + QStringLiteral("/flipreel-cli") << QStringLiteral("-o")
                          << dir.filePath(QStringLiteral("out.gif")) << video);
    ASSERT_TRUE(process.waitForFinished(60000));
    if (process.exitCode() == 77 || process.exitStatus() != QProcess::NormalExit)
        GTEST_SKIP() << "no mount namespace with a small tmpfs here (needs root)";
    const QString err = QString::fromUtf8(process.readAllStandardError());
    EXPECT_EQ(process.exitCode(), 1) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("the frames of \"%1\" need about ").arg(video))) << err.toStdString();
}

TEST_F(VideoInputTest, MoreThan32767FramesAreRefusedBeforeTheyAreWritten)
{
    const QString many = Clip(QStringLiteral("many.mp4"), QStringLiteral("16x16"), 40000, h264, 1000);
    const auto [exit, err] = Run({many});
    EXPECT_EQ(exit, 2);
    EXPECT_TRUE(err.contains(QStringLiteral("\"%1\" gives more than 32767 frames in all").arg(many)))
        << err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("out.gif"))));
    // Sampled, the same clip is well within the limit.
    EXPECT_EQ(Run(Words("--every 1000") << many).first, 0);
}

} // namespace
