// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/OutputSize.h"
#include "support/GifAnimation.h"

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
        // The colour over a ramp, so that scaling and palettes have work to do.
        QImage image(size, QImage::Format_RGB32);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                image.setPixel(x, y, qRgb((color.red() + 200 * x / size.width()) % 256, color.green(),
                                          (color.blue() + 150 * y / size.height()) % 256));
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
    const QStringList pictures = {Picture(QStringLiteral("a.png"), {20, 10}),
                                  Picture(QStringLiteral("b.png"), {30, 24}, Qt::darkRed)};
    const Outcome r = Run(QStringList{QStringLiteral("-o"), Out()} + pictures);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("Animated File created successfully!\n") + Out() + u'\n');
    EXPECT_TRUE(r.err.isEmpty()) << "no progress bar when standard error is not a terminal";
    const testing_imaging::Animation gif = testing_imaging::DecodeAnimation(Out());
    EXPECT_EQ(QSize(gif.width, gif.height), QSize(20, 10));
    EXPECT_EQ(gif.delays, (QVector<int>{100, 100}));
    EXPECT_EQ(gif.loopCount, 0);
    EXPECT_LT(testing_imaging::WorstFrameDifference(gif, testing_imaging::ScaledPictures(pictures, {20, 10})), 6.0);
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
    const testing_imaging::Animation gif = testing_imaging::DecodeAnimation(Out());
    EXPECT_EQ(QSize(gif.width, gif.height), QSize(16, 12));
    EXPECT_EQ(gif.delays, (QVector<int>{12, 12}));
    EXPECT_EQ(gif.loopCount, 3);
    EXPECT_LT(testing_imaging::WorstFrameDifference(gif, testing_imaging::ScaledPictures({a, dir.filePath(QStringLiteral("b.bmp"))}, {16, 12})),
              6.0);
}

TEST_F(CliTest, LowerQualityNeverGivesALargerFile)
{
    QStringList pictures;
    for (int i = 0; i < 4; ++i)
        pictures << Picture(QStringLiteral("p%1.png").arg(i), {64, 48}, QColor(40 * i, 90, 200 - 30 * i));
    qint64 previous = -1;
    for (const char* quality : {"100", "95", "60", "20", "1"}) {
        const Outcome r = Run(QStringList{QStringLiteral("-q"), QStringLiteral("-Q"), QLatin1String(quality),
                                          QStringLiteral("-o"), Out()} + pictures);
        ASSERT_EQ(r.exitCode, 0) << quality << r.err.toStdString();
        const testing_imaging::Animation gif = testing_imaging::DecodeAnimation(Out());
        ASSERT_TRUE(gif.ok) << quality;
        ASSERT_EQ(gif.frames.size(), 4) << quality;
        const qint64 bytes = QFileInfo(Out()).size();
        if (previous >= 0) {
            EXPECT_LE(bytes, previous) << "-Q " << quality;
        }
        previous = bytes;
    }
    // The default is the one the window uses: no -Q, the same file as -Q 95.
    ASSERT_EQ(Run(QStringList{QStringLiteral("-q"), QStringLiteral("-o"), Out()} + pictures).exitCode, 0);
    const QByteArray plain = [&] { QFile f(Out()); f.open(QIODevice::ReadOnly); return f.readAll(); }();
    ASSERT_EQ(Run(QStringList{QStringLiteral("-q"), QStringLiteral("-Q"), QStringLiteral("95"), QStringLiteral("-o"), Out()}
                  + pictures).exitCode, 0);
    QFile again(Out());
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), plain);
    for (const char* bad : {"0", "101", "high"}) {
        const Outcome r = Run(QStringList{QStringLiteral("-Q"), QLatin1String(bad), QStringLiteral("-o"), Out()} + pictures);
        EXPECT_EQ(r.exitCode, 2) << bad;
        EXPECT_TRUE(r.err.contains(QStringLiteral("quality"))) << r.err.toStdString();
    }
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

} // namespace
