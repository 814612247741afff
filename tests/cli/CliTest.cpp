// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/OutputSize.h"
#include "production/ModFold.h"
#include "support/GifProbe.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

class CliTest : public ::testing::Test {
protected:
    static QString Program()
    {
        // Programs sit at the top of the build folder (older layouts: under src/).
        const QString build = qEnvironmentVariable(
            "FLIPREEL_BUILD_DIR", QCoreApplication::applicationDirPath() + QStringLiteral("/.."));
        QString program = build + QStringLiteral("/flipreel-cli");
        if (!QFileInfo::exists(program))
            program = build + QStringLiteral("/src/flipreel-cli");
        return program;
    }
    Outcome Run(const QStringList& arguments, const QString& program = Program())
    {
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

TEST_F(CliTest, AFifoOrADeviceIsNeverReplaced)
{
    const QString fifo = dir.filePath(QStringLiteral("pipe.gif"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    const QString a = Picture(QStringLiteral("a.png"), {8, 8});
    const QString b = Picture(QStringLiteral("b.png"), {8, 8});
    for (const QString& target : {fifo, QStringLiteral("/dev/null")}) {
        const Outcome r = Run({QStringLiteral("-o"), target, a, b});
        EXPECT_EQ(r.exitCode, 2) << target.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("it is not a regular file"))) << r.err.toStdString();
    }
    struct stat info {};
    ASSERT_EQ(::stat("/dev/null", &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
    EXPECT_TRUE(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());
}

TEST_F(CliTest, NamesThatAreNotUtf8AreReadAndWrittenAsTheirBytes)
{
    // The bytes reach the program through the shell: QProcess would re-encode them.
    const QByteArray odd = QFile::encodeName(dir.path()) + "/\xFF\xFE.png";
    ASSERT_EQ(::rename(QFile::encodeName(Picture(QStringLiteral("a.png"), {8, 8})).constData(), odd.constData()), 0);
    Picture(QStringLiteral("b.png"), {8, 8});
    const Outcome r = Run({QStringLiteral("-c"), QStringLiteral("exec \"$0\" -o \"$(printf 'out\\377.gif')\" "
                                                                "\"$(printf '\\377\\376.png')\" b.png"),
                           Program()},
                          QStringLiteral("/bin/sh"));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    const QByteArray out = QFile::encodeName(dir.path()) + "/out\xFF.gif";
    const int fd = ::open(out.constData(), O_RDONLY);
    ASSERT_GE(fd, 0) << "written under its own name";
    char header[6] = {};
    EXPECT_EQ(::read(fd, header, 6), 6);
    ::close(fd);
    EXPECT_EQ(QByteArray(header, 6), QByteArray("GIF89a"));
    ::unlink(out.constData()); // QTemporaryDir cannot remove these by name
    ::unlink(odd.constData());
}

// Ctrl+C and SIGTERM during the run: the frame files and the run folder go,
// an existing output stays as it was, the status tells which signal came.
TEST_F(CliTest, ASignalMidRunCleansUpAndKeepsTheOldOutput)
{
    // Noise that takes a while to scale and quantize, so the run is still
    // converting when the signal comes once its first frame file exists.
    QImage noise(600, 600, QImage::Format_RGB32);
    quint32 seed = 1;
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, y, seed = seed * 1664525u + 1013904223u);
    ASSERT_TRUE(noise.save(dir.filePath(QStringLiteral("p0.bmp"))));
    QStringList arguments = {QStringLiteral("-j"), QStringLiteral("1"), QStringLiteral("-s"), QStringLiteral("500x500"),
                             QStringLiteral("-o"), Out(), dir.filePath(QStringLiteral("p0.bmp"))};
    for (int i = 1; i < 40; ++i) {
        const QString copy = dir.filePath(QStringLiteral("p%1.bmp").arg(i));
        ASSERT_TRUE(QFile::copy(dir.filePath(QStringLiteral("p0.bmp")), copy));
        arguments << copy;
    }
    const QString temp = ModFold::TemporaryFolderCandidates(QString()).value(0);
    QFile old(Out());
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old GIF");
    old.close();

    for (const int signalNumber : {SIGINT, SIGTERM}) {
        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.start(Program(), arguments);
        ASSERT_TRUE(process.waitForStarted());
        auto frameWritten = [&] {
            for (const QString& run : QDir(temp).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
                if (QFileInfo::exists(QDir(temp).filePath(run + QStringLiteral("/__frame__1.gif"))))
                    return true;
            return false;
        };
        ASSERT_TRUE(QTest::qWaitFor(frameWritten, 60000));
        ASSERT_EQ(::kill(pid_t(process.processId()), signalNumber), 0);
        ASSERT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 128 + signalNumber);
        EXPECT_TRUE(QString::fromUtf8(process.readAllStandardError()).contains(QStringLiteral("stopped")));
        EXPECT_TRUE(QDir(temp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
        QFile kept(Out());
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), QByteArray("old GIF")) << signalNumber;
        EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral(".*.part")}, QDir::Files | QDir::Hidden).size(), 0);
    }
}

} // namespace
