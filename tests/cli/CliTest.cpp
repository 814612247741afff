// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestVideo.h"
#include "common/OutputSize.h"
#include "support/GifProbe.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

class CliTest : public ::testing::Test {
protected:
    Outcome Run(const QStringList& arguments)
    {
        // Programs sit at the top of the build folder (older layouts: under src/).
        const QString build = qEnvironmentVariable(
            "FLIPREEL_BUILD_DIR", QCoreApplication::applicationDirPath() + QStringLiteral("/.."));
        QString program = build + QStringLiteral("/flipreel-cli");
        if (!QFileInfo::exists(program))
            program = build + QStringLiteral("/src/flipreel-cli");
        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.start(program, arguments);
        EXPECT_TRUE(process.waitForFinished(60000)) << program.toStdString();
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }
    QString Picture(const QString& name, QSize size, QColor color = Qt::darkCyan)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(color);
        const QString path = dir.filePath(name);
        EXPECT_TRUE(image.save(path));
        return path;
    }
    QString Out() const { return dir.filePath(QStringLiteral("out.gif")); }

    QTemporaryDir dir;
};

TEST_F(CliTest, HelpVersionAndUnknownOptions)
{
    const Outcome version = Run({QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, QStringLiteral("flipreel-cli 1.30\n"));
    const Outcome help = Run({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: flipreel-cli -o OUT.gif"))) << help.out.toStdString();
    const Outcome unknown = Run({QStringLiteral("--speed"), QStringLiteral("3")});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("speed"))) << unknown.err.toStdString();
}

TEST_F(CliTest, DefaultsAreTheFirstPictureSizeOneSecondAndEndlessLoop)
{
    const Outcome r = Run({QStringLiteral("-o"), Out(), Picture(QStringLiteral("a.png"), {20, 10}),
                           Picture(QStringLiteral("b.png"), {30, 24})});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("Animated File created successfully!\n") + Out() + u'\n');
    EXPECT_TRUE(r.err.isEmpty()) << "no progress bar when standard error is not a terminal";
    const GifProbe gif = ProbeGif(Out());
    EXPECT_EQ(QSize(gif.width, gif.height), QSize(20, 10));
    EXPECT_EQ(gif.delays, (std::vector<int>{100, 100}));
    EXPECT_EQ(gif.loopCount, 0);
}

TEST_F(CliTest, OptionsAndSkippedPictures)
{
    QFile text(dir.filePath(QStringLiteral("notes.png")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("just words");
    text.close();
    const QString a = Picture(QStringLiteral("a.png"), {40, 30});
    const Outcome r = Run({QStringLiteral("-q"), QStringLiteral("-o"), Out(), QStringLiteral("-s"),
                           QStringLiteral("16x12"), QStringLiteral("-t"), QStringLiteral("125"),
                           QStringLiteral("-l"), QStringLiteral("3"), a, text.fileName(),
                           Picture(QStringLiteral("b.bmp"), {8, 8}), QStringLiteral("a.png")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    const QStringList warnings = r.err.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(warnings.size(), 2) << r.err.toStdString();
    EXPECT_TRUE(warnings[0].contains(QStringLiteral("notes.png")) && warnings[0].contains(QStringLiteral("warning")));
    EXPECT_TRUE(warnings[1].contains(QStringLiteral("already listed"))) << "relative path of a listed picture";
    const GifProbe gif = ProbeGif(Out());
    EXPECT_EQ(QSize(gif.width, gif.height), QSize(16, 12));
    EXPECT_EQ(gif.delays, (std::vector<int>{12, 12}));
    EXPECT_EQ(gif.loopCount, 3);
}

TEST_F(CliTest, RefusedInputExitsTwoWithTheWindowsMessages)
{
    const QString a = Picture(QStringLiteral("a.png"), {8, 8});
    const QString b = Picture(QStringLiteral("b.png"), {8, 8});
    auto refused = [&](QStringList arguments, const QString& message) {
        const Outcome r = Run(arguments);
        EXPECT_EQ(r.exitCode, 2) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(r.err.contains(message)) << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(Out()));
    };
    const QString noName = QStringLiteral("Please enter a GIF file name to create.");
    refused({a, b}, noName);
    refused({QStringLiteral("-o"), QStringLiteral("a.gi"), a, b}, noName);
    refused({QStringLiteral("-o"), Out(), a, a}, QStringLiteral("at least two"));
    refused({QStringLiteral("-o"), Out(), QStringLiteral("-s"), QStringLiteral("4x10"), a, b},
            OutputSize::TooSmallMessage());
    refused({QStringLiteral("-o"), Out(), QStringLiteral("-s"), QStringLiteral("2001x5"), a, b},
            OutputSize::TooBigMessage());
    refused({QStringLiteral("-o"), Out(), QStringLiteral("-s"), QStringLiteral("x10"), a, b},
            OutputSize::EmptyMessage());
    refused({QStringLiteral("-o"), Out(), QStringLiteral("-s"), QStringLiteral("640"), a, b},
            QStringLiteral("WxH"));
    refused({QStringLiteral("-o"), Out(), QStringLiteral("-t"), QStringLiteral("fast"), a, b},
            QStringLiteral("\"fast\""));
    refused({QStringLiteral("-o"), Out(), QStringLiteral("-l"), QStringLiteral("-1"), a, b},
            QStringLiteral("\"-1\""));
    // A first picture larger than the size rule allows is its default size.
    refused({QStringLiteral("-o"), Out(), Picture(QStringLiteral("wide.png"), {2100, 6}), b},
            OutputSize::TooBigMessage());

    const Outcome five = Run({QStringLiteral("-q"), QStringLiteral("-o"), QStringLiteral("a.gif"), a, b});
    EXPECT_EQ(five.exitCode, 0) << five.err.toStdString();
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("a.gif"))));
}

TEST_F(CliTest, AFailedCreationExitsOneAndNamesTheFile)
{
    const QString target = dir.filePath(QStringLiteral("missing/out.gif"));
    const Outcome r = Run({QStringLiteral("-o"), target, Picture(QStringLiteral("a.png"), {8, 8}),
                           Picture(QStringLiteral("b.png"), {8, 8})});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(target)) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
}

// The centre colour of every frame of the GIF.
std::vector<QRgb> Colours(const GifProbe& gif)
{
    std::vector<QRgb> colours;
    for (const QImage& frame : gif.frames)
        colours.push_back(frame.pixel(frame.width() / 2, frame.height() / 2) & RGB_MASK);
    return colours;
}

TEST_F(CliTest, VideoFramesKeepTheirColoursAndTimesOrAreSampled)
{
    const QString video = dir.filePath(QStringLiteral("clip.mkv"));
    ASSERT_EQ(WriteTestVideo(video, {32, 24},
                             {{Qt::red, 0, 50}, {Qt::green, 50, 100}, {Qt::blue, 150, 50}, {Qt::white, 200, 50}}),
              QString());
    const QString q = QStringLiteral("-q"), o = QStringLiteral("-o");
    Outcome r = Run({q, o, Out(), video});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    GifProbe gif = ProbeGif(Out());
    EXPECT_EQ(QSize(gif.width, gif.height), QSize(32, 24));
    EXPECT_EQ(gif.delays, (std::vector<int>{5, 10, 5, 5}));
    EXPECT_EQ(Colours(gif), (std::vector<QRgb>{0xff0000, 0x00ff00, 0x0000ff, 0xffffff}));

    // The picture on show at 0, 100 and 200 ms; the blue one falls between.
    r = Run({q, o, Out(), QStringLiteral("--every"), QStringLiteral("100"), video});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    gif = ProbeGif(Out());
    EXPECT_EQ(gif.delays, (std::vector<int>{10, 10, 5}));
    EXPECT_EQ(Colours(gif), (std::vector<QRgb>{0xff0000, 0x00ff00, 0xffffff}));

    // -t overrides the timestamps; a picture after the video follows it.
    r = Run({q, o, Out(), QStringLiteral("-t"), QStringLiteral("300"), video,
             Picture(QStringLiteral("after.png"), {32, 24}, Qt::black)});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(ProbeGif(Out()).delays, (std::vector<int>{30, 30, 30, 30, 30}));
}

TEST_F(CliTest, TruncatedAndBrokenVideosGiveTheFramesThatDecodedOrAWarning)
{
    const QString video = dir.filePath(QStringLiteral("long.mkv"));
    const std::vector<QColor> cycle{Qt::red, Qt::green, Qt::blue, Qt::yellow};
    std::vector<TestVideoPicture> pictures;
    for (int i = 0; i < 24; ++i)
        pictures.push_back({cycle[std::size_t(i) % cycle.size()], 40 * i, 40});
    ASSERT_EQ(WriteTestVideo(video, {48, 32}, pictures), QString());
    QFile whole(video);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();
    auto copy = [&](const QString& name, const QByteArray& data) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
        return file.fileName();
    };
    const QString cut = copy(QStringLiteral("cut.mkv"), bytes.left(bytes.size() / 2));
    const Outcome r = Run({QStringLiteral("-q"), QStringLiteral("-o"), Out(), cut});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const GifProbe gif = ProbeGif(Out());
    ASSERT_GE(gif.frames.size(), 2u);
    EXPECT_LT(gif.frames.size(), pictures.size());
    const std::vector<QRgb> colours = Colours(gif);
    for (std::size_t i = 0; i < colours.size(); ++i)
        EXPECT_EQ(colours[i], cycle[i % cycle.size()].rgb() & RGB_MASK) << i;

    // Only the header, or bytes of no video at all: skipped with a warning, never a crash.
    const QString header = copy(QStringLiteral("header.mkv"), bytes.left(64));
    const QString noise = copy(QStringLiteral("noise.mp4"), QByteArray(4096, '\x5a'));
    const Outcome broken = Run({QStringLiteral("-o"), Out(), header, noise, video});
    EXPECT_EQ(broken.exitCode, 0) << broken.err.toStdString();
    EXPECT_TRUE(broken.err.contains(QStringLiteral("skipped \"") + header)) << broken.err.toStdString();
    EXPECT_TRUE(broken.err.contains(QStringLiteral("skipped \"") + noise)) << broken.err.toStdString();
    EXPECT_EQ(ProbeGif(Out()).frames.size(), pictures.size());
}

TEST_F(CliTest, FitContainPadsAndCoverCropsCentred)
{
    // A 40 x 20 picture, left half red, right half blue, into 20 x 20.
    QImage halves(40, 20, QImage::Format_RGB32);
    halves.fill(Qt::red);
    for (int y = 0; y < 20; ++y)
        for (int x = 20; x < 40; ++x)
            halves.setPixel(x, y, qRgb(0, 0, 255));
    const QString wide = dir.filePath(QStringLiteral("wide.png"));
    ASSERT_TRUE(halves.save(wide));
    const QString square = Picture(QStringLiteral("square.png"), {20, 20}, Qt::green);
    auto first = [&](const QStringList& fit) {
        const Outcome r = Run(QStringList{QStringLiteral("-q"), QStringLiteral("-o"), Out(), QStringLiteral("-s"),
                                          QStringLiteral("20x20")} + fit + QStringList{wide, square});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        const GifProbe gif = ProbeGif(Out());
        return gif.frames.empty() ? QImage() : gif.frames.front();
    };
    // contain: 20 x 10 in the middle, magenta above and below.
    QImage frame = first({QStringLiteral("--fit"), QStringLiteral("contain"), QStringLiteral("--background"),
                          QStringLiteral("#ff00ff")});
    ASSERT_EQ(frame.size(), QSize(20, 20));
    EXPECT_EQ(frame.pixel(10, 2) & RGB_MASK, 0xff00ffu);
    EXPECT_EQ(frame.pixel(10, 17) & RGB_MASK, 0xff00ffu);
    EXPECT_EQ(frame.pixel(2, 10) & RGB_MASK, 0xff0000u);
    EXPECT_EQ(frame.pixel(17, 10) & RGB_MASK, 0x0000ffu);
    // cover: the middle 20 x 20, half red, half blue, full height.
    frame = first({QStringLiteral("--fit"), QStringLiteral("cover")});
    ASSERT_EQ(frame.size(), QSize(20, 20));
    EXPECT_EQ(frame.pixel(2, 1) & RGB_MASK, 0xff0000u);
    EXPECT_EQ(frame.pixel(17, 18) & RGB_MASK, 0x0000ffu);
    // stretch (the default): the whole picture squeezed, no padding.
    frame = first({});
    EXPECT_EQ(frame.pixel(2, 1) & RGB_MASK, 0xff0000u);
    EXPECT_EQ(frame.pixel(17, 18) & RGB_MASK, 0x0000ffu);

    for (const QStringList& bad : {QStringList{QStringLiteral("--fit"), QStringLiteral("zoom")},
                                   QStringList{QStringLiteral("--background"), QStringLiteral("nocolour")},
                                   QStringList{QStringLiteral("--every"), QStringLiteral("0")},
                                   QStringList{QStringLiteral("-s"), QStringLiteral("10x10x10")}}) {
        const Outcome r = Run(QStringList{QStringLiteral("-o"), Out()} + bad + QStringList{wide, square});
        EXPECT_EQ(r.exitCode, 2) << bad.join(u' ').toStdString();
        EXPECT_TRUE(r.err.contains(bad[1])) << r.err.toStdString();
    }
}

TEST_F(CliTest, PlayTimesUnderTwoHundredthsAreWarnedAbout)
{
    const QString a = Picture(QStringLiteral("a.png"), {8, 8});
    const QString b = Picture(QStringLiteral("b.png"), {8, 8});
    for (const auto& [ms, warned] : {std::pair{QStringLiteral("14"), true}, std::pair{QStringLiteral("0"), true},
                                     std::pair{QStringLiteral("15"), false}}) {
        const Outcome r = Run({QStringLiteral("-q"), QStringLiteral("-o"), Out(), QStringLiteral("-t"), ms, a, b});
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_EQ(r.err.contains(QStringLiteral("browsers")), warned) << ms.toStdString() << r.err.toStdString();
    }
}

} // namespace
