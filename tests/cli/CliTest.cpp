// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestVideo.h"
#include "common/OutputSize.h"
#include "production/ModFold.h"
#include "support/GifAnimation.h"
#include "support/PictureBytes.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QRegularExpression>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <csignal>
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
        const QString build =
            qEnvironmentVariable("FLIPREEL_BUILD_DIR", QCoreApplication::applicationDirPath() + QStringLiteral("/.."));
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
                QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
    }
    QString Picture(const QString& name, QSize size, QColor color = Qt::darkCyan)
    {
        // The colour over a ramp, so that scaling and palettes have work to do.
        QImage image(size, QImage::Format_RGB32);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                image.setPixel(x, y,
                               qRgb((color.red() + 200 * x / size.width()) % 256, color.green(),
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
    for (const QString& line : help.out.split(u'\n'))
        EXPECT_LE(line.size(), 79) << line.toStdString();
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
    const Outcome r =
        Run({QStringLiteral("-q"), QStringLiteral("-o"), Out(), QStringLiteral("-s"), QStringLiteral("16x12"),
             QStringLiteral("-t"), QStringLiteral("125"), QStringLiteral("-l"), QStringLiteral("3"), a, text.fileName(),
             Picture(QStringLiteral("b.bmp"), {8, 8}), QStringLiteral("a.png")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    // (libpng adds lines of its own.)
    const QStringList warnings =
        r.err.split(u'\n', Qt::SkipEmptyParts).filter(QRegularExpression(QStringLiteral("^flipreel-cli: ")));
    ASSERT_EQ(warnings.size(), 1) << r.err.toStdString();
    EXPECT_TRUE(warnings[0].contains(QStringLiteral("notes.png")) && warnings[0].contains(QStringLiteral("warning")));
    // A picture named again, here by its relative path, is one more frame.
    const testing_imaging::Animation gif = testing_imaging::DecodeAnimation(Out());
    EXPECT_EQ(QSize(gif.width, gif.height), QSize(16, 12));
    EXPECT_EQ(gif.delays, (QVector<int>{12, 12, 12}));
    EXPECT_EQ(gif.loopCount, 3);
    EXPECT_LT(testing_imaging::WorstFrameDifference(
                  gif, testing_imaging::ScaledPictures({a, dir.filePath(QStringLiteral("b.bmp")), a}, {16, 12})),
              6.0);
}

TEST_F(CliTest, LowerQualityNeverGivesALargerFile)
{
    QStringList pictures;
    for (int i = 0; i < 4; ++i)
        pictures << Picture(QStringLiteral("p%1.png").arg(i), {64, 48}, QColor(40 * i, 90, 200 - 30 * i));
    qint64 previous = -1, largest = -1, smallest = -1, at25 = -1;
    for (const char* quality : {"100", "95", "60", "25", "20", "1"}) {
        const Outcome r = Run(
            QStringList{QStringLiteral("-q"), QStringLiteral("-Q"), QLatin1String(quality), QStringLiteral("-o"), Out()}
            + pictures);
        ASSERT_EQ(r.exitCode, 0) << quality << r.err.toStdString();
        const testing_imaging::Animation gif = testing_imaging::DecodeAnimation(Out());
        ASSERT_TRUE(gif.ok) << quality;
        ASSERT_EQ(gif.frames.size(), 4) << quality;
        // Lossy codes too show every frame, composited, close to its picture
        // (at -Q 1 some frames show the one before).
        const int q = std::atoi(quality);
        const QVector<QImage> expected = testing_imaging::ScaledPictures(pictures, {64, 48});
        double worst = testing_imaging::WorstFrameDifference(gif, expected);
        if (q == 1) {
            worst = 0;
            for (int k = 0; k < 4; ++k)
                worst =
                    std::max(worst,
                             std::min(testing_imaging::MeanDifference(gif.frames[k], expected[k]),
                                      testing_imaging::MeanDifference(gif.frames[k], expected[std::max(k - 1, 0)])));
        }
        // (-Q 1 shows a two-way ramp in two colours.)
        EXPECT_LT(worst, q >= 95 ? 2.0 : q >= 20 ? 12.0 : 36.0) << "-Q " << quality;
        const qint64 bytes = QFileInfo(Out()).size();
        if (previous >= 0) {
            EXPECT_LE(bytes, previous) << "-Q " << quality;
        } else {
            largest = bytes;
        }
        previous = bytes;
        smallest = bytes;
        if (q == 25)
            at25 = bytes;
    }
    EXPECT_LT(smallest, largest * 3 / 4) << "lower quality pays";
    EXPECT_LT(smallest, at25 / 2) << "the lowest steps still pay";
    // The default is the one the window uses: no -Q, the same file as -Q 95.
    ASSERT_EQ(Run(QStringList{QStringLiteral("-q"), QStringLiteral("-o"), Out()} + pictures).exitCode, 0);
    const QByteArray plain = [&] {
        QFile f(Out());
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    ASSERT_EQ(
        Run(QStringList{QStringLiteral("-q"), QStringLiteral("-Q"), QStringLiteral("95"), QStringLiteral("-o"), Out()}
            + pictures)
            .exitCode,
        0);
    QFile again(Out());
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), plain);
    for (const char* bad : {"0", "101", "high"}) {
        const Outcome r =
            Run(QStringList{QStringLiteral("-Q"), QLatin1String(bad), QStringLiteral("-o"), Out()} + pictures);
        EXPECT_EQ(r.exitCode, 2) << bad;
        EXPECT_TRUE(r.err.contains(QStringLiteral("quality"))) << r.err.toStdString();
    }
}

TEST_F(CliTest, FromQuality100ToTheDefaultAPanShrinksStepByStep)
{
    // A pan over a photograph-like texture changes every pixel of every frame.
    // Each step down from -Q 100 writes fewer bytes and shows the pictures
    // less exactly, and the step next to -Q 100 is the smallest.
    QImage texture(240, 64, QImage::Format_RGB32);
    quint32 seed = 2024;
    for (int y = 0; y < texture.height(); ++y)
        for (int x = 0; x < texture.width(); ++x) {
            seed = seed * 1103515245u + 12345u;
            const int v = 100 + int(60 * std::sin(x * 0.07 + y * 0.05) + 30 * std::sin(x * 0.023 - y * 0.11));
            texture.setPixel(x, y, qRgb(v + 40, v, v / 2 + int(seed >> 29)));
        }
    QStringList pictures;
    QVector<QImage> shots;
    for (int i = 0; i < 8; ++i) {
        shots << texture.copy(i * 6, 0, 128, 64);
        pictures << dir.filePath(QStringLiteral("pan%1.png").arg(i));
        ASSERT_TRUE(shots.back().save(pictures.back()));
    }
    qint64 bytes[101] = {};
    double error[101] = {};
    for (int q = 100; q >= 95; --q) {
        const Outcome r =
            Run(QStringList{QStringLiteral("-q"), QStringLiteral("-Q"), QString::number(q), QStringLiteral("-o"), Out()}
                + pictures);
        ASSERT_EQ(r.exitCode, 0) << q << r.err.toStdString();
        const testing_imaging::Animation gif = testing_imaging::DecodeAnimation(Out());
        ASSERT_EQ(gif.frames.size(), shots.size()) << q;
        bytes[q] = QFileInfo(Out()).size();
        for (int f = 0; f < shots.size(); ++f)
            error[q] += testing_imaging::MeanDifference(gif.frames[f], shots[f]);
    }
    for (int q = 99; q >= 95; --q) {
        EXPECT_LT(bytes[q], bytes[q + 1]) << "-Q " << q;
        EXPECT_GE(error[q], error[q + 1]) << "-Q " << q << ": " << error[q] << " against " << error[q + 1];
    }
    EXPECT_GT(error[95], error[100]);
    EXPECT_LT(error[99] - error[100], (error[95] - error[100]) / 4) << "the first step is small";
}

TEST_F(CliTest, NearTwinsMergeInTheCodesNextToExactAndPilShowsThemWithinOneLevel)
{
    // A pan over a texture of 48 colours far apart, each pixel one of them
    // or its twin one level of red up or down: 144 colours, stored exactly
    // at -Q 100 and 99, whose codes at -Q 99 may merge twins. PIL reads the
    // files back.
    QImage texture(200, 48, QImage::Format_RGB32);
    quint32 seed = 77;
    for (int y = 0; y < texture.height(); ++y)
        for (int x = 0; x < texture.width(); ++x) {
            seed = seed * 1103515245u + 12345u;
            const int base = (x / 3 + y / 4 * 7) % 48;
            const int twin = int(seed >> 30) % 3 - 1;
            texture.setPixel(x, y, qRgb(40 + base * 4 + twin, 255 - base * 5, 30 + (base % 6) * 40));
        }
    QStringList pictures;
    for (int i = 0; i < 6; ++i) {
        pictures << dir.filePath(QStringLiteral("twin%1.png").arg(i));
        ASSERT_TRUE(texture.copy(i * 9, 0, 96, 48).save(pictures.back()));
    }
    // Per -Q: the bytes, then the largest squared distance (summed over R,
    // G and B) of a pixel PIL shows from its picture's.
    const auto encode = [&](const char* quality) {
        const QString out = dir.filePath(QStringLiteral("twins%1.gif").arg(QLatin1String(quality)));
        const Outcome r = Run(
            QStringList{QStringLiteral("-q"), QStringLiteral("-Q"), QLatin1String(quality), QStringLiteral("-o"), out}
            + pictures);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        const char* const reader = R"(
import sys
from PIL import Image, ImageSequence
shown = [f.convert('RGB') for f in ImageSequence.Iterator(Image.open(sys.argv[1]))]
assert len(shown) == len(sys.argv) - 2, len(shown)
print(max(sum((p - q) ** 2 for p, q in zip(a, b)) for frame, path in zip(shown, sys.argv[2:])
          for a, b in zip(frame.getdata(), Image.open(path).convert('RGB').getdata())))
)";
        QProcess python;
        python.start(QStringLiteral("/usr/bin/python3"),
                     QStringList{QStringLiteral("-c"), QLatin1String(reader), out} + pictures);
        EXPECT_TRUE(python.waitForFinished(60000));
        EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
        return std::pair{QFileInfo(out).size(), python.readAllStandardOutput().trimmed().toInt()};
    };
    const auto [exactBytes, exactWorst] = encode("100");
    const auto [bytes, worst] = encode("99");
    EXPECT_EQ(exactWorst, 0);
    EXPECT_LT(bytes, exactBytes * 95 / 100);
    EXPECT_GT(worst, 0);
    EXPECT_LE(worst, 2);
}

TEST_F(CliTest, NearShadesOfATrailMergeAtTheDefaultWhileFarApartColoursStayExact)
{
    // Cells move over a dark background and leave a trail that fades in
    // twelve shades 14 levels of red apart, as a game of life with a mould
    // trail does; a second animation shows the same cells in four colours far
    // apart, as pixel art does. PIL reads the files back.
    const QRgb background = qRgb(30, 33, 62), cell = qRgb(255, 224, 64);
    const auto shade = [&](int age) { return qRgb(192 - 14 * age, 48 - age, 32 + 3 * age); };
    QStringList trail, art;
    for (int f = 0; f < 16; ++f) {
        QImage t(48, 32, QImage::Format_RGB32), a(48, 32, QImage::Format_RGB32);
        for (int y = 0; y < t.height(); ++y)
            for (int x = 0; x < t.width(); ++x) {
                const int age = (f - (x + 2 * y) / 3 + 64) % 16; // frames since a cell passed
                t.setPixel(x, y, age == 0 ? cell : age <= 12 ? shade(age - 1) : background);
                a.setPixel(x, y,
                           age == 0       ? cell
                               : age <= 4 ? qRgb(200, 40, 40)
                               : age <= 8 ? qRgb(40, 160, 90)
                                          : background);
            }
        trail << dir.filePath(QStringLiteral("t%1.png").arg(f));
        art << dir.filePath(QStringLiteral("a%1.png").arg(f));
        ASSERT_TRUE(t.save(trail.back()) && a.save(art.back()));
    }
    // Per file: its bytes, then the largest squared distance (summed over R,
    // G and B) of a shown pixel from its picture's.
    const auto encode = [&](const QStringList& pictures, const char* quality) {
        const QString out = dir.filePath(QStringLiteral("q%1-%2.gif").arg(QLatin1String(quality)).arg(pictures.size()));
        const Outcome r = Run(
            QStringList{QStringLiteral("-q"), QStringLiteral("-Q"), QLatin1String(quality), QStringLiteral("-o"), out}
            + pictures);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        const char* const reader = R"(
import sys
from PIL import Image, ImageSequence
gif = Image.open(sys.argv[1])
shown = [f.convert('RGB') for f in ImageSequence.Iterator(gif)]
assert len(shown) == len(sys.argv) - 2, len(shown)
worst = 0
for frame, path in zip(shown, sys.argv[2:]):
    for a, b in zip(frame.getdata(), Image.open(path).convert('RGB').getdata()):
        worst = max(worst, sum((p - q) ** 2 for p, q in zip(a, b)))
print(worst)
)";
        QProcess python;
        python.start(QStringLiteral("/usr/bin/python3"),
                     QStringList{QStringLiteral("-c"), QLatin1String(reader), out} + pictures);
        EXPECT_TRUE(python.waitForFinished(60000));
        EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
        return std::pair{QFileInfo(out).size(), python.readAllStandardOutput().trimmed().toInt()};
    };
    const auto [exactBytes, exactWorst] = encode(trail, "100");
    const auto [bytes, worst] = encode(trail, "95");
    const auto [lowBytes, lowWorst] = encode(trail, "45");
    EXPECT_EQ(exactWorst, 0);
    EXPECT_LT(bytes, exactBytes * 9 / 10);
    // A merged shade is shown in a kept neighbour, never farther than about two.
    EXPECT_GT(worst, 0);
    EXPECT_LE(worst, 2 * 2 * 200);
    EXPECT_LT(lowBytes, bytes);
    EXPECT_GE(lowWorst, worst);
    for (const char* quality : {"100", "95"})
        EXPECT_EQ(encode(art, quality).second, 0) << "-Q " << quality;
}

TEST_F(CliTest, ALongTrailAnimationShrinksAsQualityFallsAndKeepsItsTrail)
{
    // Long enough for one palette sampled from its frames: cells sweep over a
    // background and leave a trail fading in twelve shades 14 levels of red
    // apart. Down to -Q 3 the bytes fall, every shown pixel stays within 75
    // levels of one channel of its picture's (within 20 at the default), and
    // the trail keeps at least one shade of its own, apart from the cells and
    // the background. PIL reads the files back.
    const auto shade = [](int age) { return qRgb(30 + 14 * age, 33 + age, 62 - 3 * age); };
    QStringList pictures;
    for (int f = 0; f < 32; ++f) {
        QImage t(192, 176, QImage::Format_RGB32);
        for (int y = 0; y < t.height(); ++y)
            for (int x = 0; x < t.width(); ++x) {
                const int age = (f - (x / 4 + y / 6 + (x * 7 + y * 3) % 5) + 96) % 20;
                t.setPixel(x, y, age == 0 ? qRgb(255, 224, 64) : age <= 12 ? shade(age - 1) : qRgb(192, 48, 32));
            }
        pictures << dir.filePath(QStringLiteral("r%1.png").arg(f));
        ASSERT_TRUE(t.save(pictures.back()));
    }
    const char* const reader = R"(
import sys
import numpy as np
from PIL import Image, ImageSequence
shown = [np.asarray(f.convert('RGB'), np.int32) for f in ImageSequence.Iterator(Image.open(sys.argv[1]))]
assert len(shown) == len(sys.argv) - 2, len(shown)
worst, fewest = 0, 256
for frame, path in zip(shown, sys.argv[2:]):
    worst = max(worst, int(((frame - np.asarray(Image.open(path).convert('RGB'), np.int32)) ** 2).sum(-1).max()))
    fewest = min(fewest, len(np.unique(frame.reshape(-1, 3), axis=0)))
print(worst, fewest)
)";
    qint64 previous = 0;
    for (const int q : {95, 75, 50, 25, 3}) {
        const QString out = dir.filePath(QStringLiteral("ramp%1.gif").arg(q));
        const Outcome r =
            Run(QStringList{QStringLiteral("-q"), QStringLiteral("-Q"), QString::number(q), QStringLiteral("-o"), out}
                + pictures);
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        QProcess python;
        python.start(QStringLiteral("/usr/bin/python3"),
                     QStringList{QStringLiteral("-c"), QLatin1String(reader), out} + pictures);
        ASSERT_TRUE(python.waitForFinished(120000));
        ASSERT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
        const QStringList seen = QString::fromLatin1(python.readAllStandardOutput()).split(u' ');
        ASSERT_EQ(seen.size(), 2);
        const qint64 bytes = QFileInfo(out).size();
        if (previous > 0) {
            EXPECT_LE(bytes, previous) << "-Q " << q;
        }
        EXPECT_LE(seen[0].toInt(), q == 95 ? 400 : 75 * 75) << "-Q " << q;
        EXPECT_GE(seen[1].trimmed().toInt(), 3) << "-Q " << q;
        previous = bytes;
    }
    EXPECT_LT(previous, QFileInfo(dir.filePath(QStringLiteral("ramp95.gif"))).size() * 3 / 4);
}

TEST_F(CliTest, MaxSizeNamesTheQualityItChoseOrTheSmallestSizeReached)
{
    QStringList pictures;
    for (int i = 0; i < 3; ++i)
        pictures << Picture(QStringLiteral("p%1.png").arg(i), {64, 48}, QColor(40 * i, 90, 200 - 30 * i));
    const QStringList head = {QStringLiteral("-q"), QStringLiteral("-o"), Out(), QStringLiteral("--max-size")};
    Outcome r = Run(head + QStringList{QStringLiteral("2M")} + pictures);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.trimmed(), QStringLiteral("quality 100, %1 bytes").arg(QFileInfo(Out()).size()));

    QFile(Out()).remove();
    r = Run(head + QStringList{QStringLiteral("40")} + pictures);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("no quality fits in 40 bytes: the smallest file made holds ")))
        << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(Out()));

    for (const QStringList& bad : {QStringList{QStringLiteral("half")},
                                   QStringList{QStringLiteral("500K"), QStringLiteral("-Q"), QStringLiteral("50")}}) {
        r = Run(head + bad + pictures);
        EXPECT_EQ(r.exitCode, 2) << bad.join(u' ').toStdString();
    }
}

TEST_F(CliTest, JobsZeroTakesEveryCoreAndNoCountOfJobsChangesTheFile)
{
    QStringList pictures;
    for (int i = 0; i < 6; ++i)
        pictures << Picture(QStringLiteral("j%1.png").arg(i), {500, 400}, QColor(30 * i, 200 - 20 * i, 90));
    QByteArray first;
    for (const QStringList& jobs : {QStringList{QStringLiteral("-j"), QStringLiteral("1")},
                                    QStringList{QStringLiteral("-j"), QStringLiteral("0")}, QStringList{},
                                    QStringList{QStringLiteral("-j"), QStringLiteral("3")}}) {
        QFile::remove(Out());
        const Outcome r = Run(QStringList{QStringLiteral("-q"), QStringLiteral("-o"), Out()} + jobs + pictures);
        ASSERT_EQ(r.exitCode, 0) << jobs.join(u' ').toStdString() << r.err.toStdString();
        QFile file(Out());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        if (first.isEmpty())
            first = bytes;
        EXPECT_TRUE(bytes == first) << jobs.join(u' ').toStdString();
    }
    EXPECT_EQ(testing_imaging::DecodeAnimation(Out()).frames.size(), 6);
    const Outcome refused =
        Run(QStringList{QStringLiteral("-j"), QStringLiteral("-1"), QStringLiteral("-o"), Out()} + pictures);
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("from 0 up"))) << refused.err.toStdString();
}

TEST_F(CliTest, MaxSizeOnALongAnimationNamesADamagedPictureOnceAndWritesTheQualityItNames)
{
    QStringList pictures;
    for (int i = 0; i < 44; ++i)
        pictures << Picture(QStringLiteral("f%1.png").arg(i), {48, 36}, QColor(5 * i, 120 + 2 * i, 200 - 4 * i));
    // Frame 29 is among the sample's frames: rows of zeros in its data.
    QImage noise(48, 36, QImage::Format_RGB32);
    for (int y = 0; y < 36; ++y)
        for (int x = 0; x < 48; ++x)
            noise.setPixel(x, y, qRgb(x * 5, y * 7, (x * y) % 256));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(noise.save(&buffer, "PNG"));
    bytes.replace(bytes.size() / 2, 16, QByteArray(16, '\0'));
    pictures[28] = dir.filePath(QStringLiteral("damaged.png"));
    ASSERT_TRUE(PictureBytes::Write(pictures[28], bytes));

    const QStringList head = {QStringLiteral("-o"), Out()};
    ASSERT_EQ(Run(QStringList{QStringLiteral("-q")} + head + pictures).exitCode, 0);
    const qint64 standard = QFileInfo(Out()).size();
    const Outcome r =
        Run(QStringList{QStringLiteral("-q"), QStringLiteral("--max-size"), QString::number(standard * 6 / 10)} + head
            + pictures);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList warnings =
        r.err.split(u'\n', Qt::SkipEmptyParts).filter(QRegularExpression(QStringLiteral("^flipreel-cli: ")));
    ASSERT_EQ(warnings.size(), 1) << r.err.toStdString();
    EXPECT_TRUE(warnings[0].contains(QStringLiteral("damaged.png\": "))) << warnings[0].toStdString();
    const QRegularExpressionMatch chosen =
        QRegularExpression(QStringLiteral("^quality (\\d+), (\\d+) bytes$")).match(r.out.trimmed());
    ASSERT_TRUE(chosen.hasMatch()) << r.out.toStdString();
    EXPECT_EQ(chosen.captured(2).toLongLong(), QFileInfo(Out()).size());
    EXPECT_LE(chosen.captured(2).toLongLong(), standard * 6 / 10);
    EXPECT_EQ(testing_imaging::DecodeAnimation(Out()).frames.size(), 43);
    QFile searched(Out());
    ASSERT_TRUE(searched.open(QIODevice::ReadOnly));
    const QByteArray found = searched.readAll();
    searched.close();
    ASSERT_EQ(
        Run(QStringList{QStringLiteral("-q"), QStringLiteral("-Q"), chosen.captured(1)} + head + pictures).exitCode, 0);
    QFile plain(Out());
    ASSERT_TRUE(plain.open(QIODevice::ReadOnly));
    EXPECT_TRUE(plain.readAll() == found) << "-Q " << chosen.captured(1).toStdString();
}

TEST_F(CliTest, CutAndHostileFilesAreSkippedWithTheirReason)
{
    QImage picture(30, 20, QImage::Format_RGB32);
    picture.fill(Qt::darkRed);
    const auto encoded = [&picture](const char* format) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, format);
        return bytes;
    };
    const std::pair<const char*, QByteArray> kinds[] = {
        {"pcx", PictureBytes::Pcx(picture)},
        {"ppm", encoded("PPM")},
        {"pgm", encoded("PGM")},
        {"tga", PictureBytes::Tga(picture, true)},
        {"sgi", PictureBytes::Sgi(picture)},
        {"psd", PictureBytes::Psd(picture)},
        {"ico", encoded("ICO")},
        {"bmp", PictureBytes::BmpRle8(picture)},
    };
    QStringList arguments{QStringLiteral("-q"), QStringLiteral("-o"), Out(),
                          Picture(QStringLiteral("a.png"), {30, 20})};
    for (const auto& [ext, bytes] : kinds) {
        const QString path = dir.filePath(QStringLiteral("cut.%1").arg(QLatin1String(ext)));
        ASSERT_TRUE(PictureBytes::Write(path, bytes.left(bytes.size() * 3 / 4)));
        arguments << path;
    }
    const QString fifo = dir.filePath(QStringLiteral("x.png"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    arguments << fifo << Picture(QStringLiteral("b.png"), {30, 20});

    const Outcome r = Run(arguments);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList warnings = r.err.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(warnings.size(), 9) << r.err.toStdString();
    for (const QString& warning : warnings.mid(0, 8)) {
        EXPECT_TRUE(warning.startsWith(QStringLiteral("flipreel-cli: warning: skipped \"")));
        EXPECT_TRUE(warning.contains(QStringLiteral("truncated"))) << warning.toStdString();
    }
    EXPECT_TRUE(warnings[8].endsWith(QStringLiteral("x.png\": not a regular file"))) << warnings[8].toStdString();
    EXPECT_EQ(testing_imaging::DecodeAnimation(Out()).delays.size(), 2);
}

TEST_F(CliTest, RefusedInputExitsTwoInTheCommandLinesOwnWords)
{
    const QString a = Picture(QStringLiteral("a.png"), {8, 8});
    const QString b = Picture(QStringLiteral("b.png"), {8, 8});
    auto refused = [&](QStringList arguments, const QString& message) {
        const Outcome r = Run(arguments);
        EXPECT_EQ(r.exitCode, 2) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(r.err.contains(message)) << r.err.toStdString();
        // The window's texts speak of its fields, which the command line has not.
        for (const QString& window : {OutputSize::EmptyMessage(), OutputSize::TooSmallMessage(),
                                      OutputSize::TooBigMessage(), QStringLiteral("Please enter a GIF file name")})
            EXPECT_FALSE(r.err.contains(window)) << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(Out()));
    };
    const QString o = QStringLiteral("-o"), s = QStringLiteral("-s");
    refused({a, b}, QStringLiteral("no output file: give it with -o FILE"));
    refused({o, QStringLiteral("a.gi"), a, b}, QStringLiteral("\"a.gi\" is too short: it needs at least 5 characters"));
    refused({o, Out(), a}, QStringLiteral("at least two"));
    const QString limit = QStringLiteral("is outside the limit: each side must be 5 to 2000 pixels");
    refused({o, Out(), s, QStringLiteral("4x10"), a, b}, QStringLiteral("\"4x10\" ") + limit);
    refused({o, Out(), s, QStringLiteral("3000x100"), a, b}, QStringLiteral("\"3000x100\" ") + limit);
    for (const char* notWxH : {"10x", "x10", "640", "10x10x10", "-5x10"})
        refused({o, Out(), s, QLatin1String(notWxH), a, b},
                QStringLiteral("\"%1\" is not WxH").arg(QLatin1String(notWxH)));
    refused({o, Out(), QStringLiteral("-t"), QStringLiteral("fast"), a, b}, QStringLiteral("\"fast\""));
    refused({o, Out(), QStringLiteral("-l"), QStringLiteral("-1"), a, b}, QStringLiteral("\"-1\""));
    refused({o, Out(), QStringLiteral("-l"), QStringLiteral("2"), QStringLiteral("--once"), a, b},
            QStringLiteral("--once"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("pipe.gif"))).constData(), 0644), 0);
    for (const QString& notAFile : {dir.filePath(QStringLiteral("pipe.gif")), QStringLiteral("/dev/null")})
        refused({o, notAFile, a, b}, QStringLiteral("it is not a regular file"));
    EXPECT_FALSE(QFileInfo(dir.filePath(QStringLiteral("pipe.gif"))).isFile()) << "still a FIFO";
    // A first picture larger than the size rule allows is its default size.
    refused({o, Out(), Picture(QStringLiteral("wide.png"), {2100, 6}), b},
            QStringLiteral("the first picture measures 2100 x 6 pixels, outside the limit of 5 to 2000 per side"));

    const Outcome five = Run({QStringLiteral("-q"), o, QStringLiteral("a.gif"), s, QStringLiteral("5x2000"), a, b});
    EXPECT_EQ(five.exitCode, 0) << five.err.toStdString();
    EXPECT_EQ(QImage(dir.filePath(QStringLiteral("a.gif"))).size(), QSize(5, 2000));
}

// A mistyped name refuses the whole run before anything is written; a file
// that opens but holds no picture is skipped, or with --strict fails the run.
TEST_F(CliTest, MissingInputsRefuseTheRunAndStrictFailsOnSkips)
{
    const QString a = Picture(QStringLiteral("a.png"), {8, 8});
    const QString b = Picture(QStringLiteral("b.png"), {8, 8});
    QFile old(Out());
    ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("old GIF") == 7);
    old.close();
    const auto oldKept = [&] {
        QFile file(Out());
        return file.open(QIODevice::ReadOnly) && file.readAll() == "old GIF";
    };
    const QString o = QStringLiteral("-o");

    Outcome r = Run({o, Out(), a, QStringLiteral("nosuch.png"), b});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("cannot open \"nosuch.png\""))) << r.err.toStdString();
    EXPECT_TRUE(oldKept());
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.png")));
    r = Run({o, Out(), a, QStringLiteral("folder.png"), b});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("\"folder.png\" is a folder"))) << r.err.toStdString();
    EXPECT_TRUE(oldKept());

    ASSERT_TRUE(PictureBytes::Write(dir.filePath(QStringLiteral("notes.png")), "just words"));
    r = Run({o, Out(), QStringLiteral("--strict"), a, QStringLiteral("notes.png"), b});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("skipped \"notes.png\""))) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains(QStringLiteral("warning"))) << r.err.toStdString();
    EXPECT_TRUE(oldKept());
    r = Run({QStringLiteral("-q"), o, Out(), QStringLiteral("--strict"), a, b});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(testing_imaging::DecodeAnimation(Out()).frames.size(), 2);
}

// -o - sends the very bytes a file would hold down a pipe, and nothing else;
// --frames reads pictures and their play times from a list or standard input.
TEST_F(CliTest, StandardOutputAndFrameLists)
{
    const QStringList pictures = {Picture(QStringLiteral("a.png"), {24, 16}),
                                  Picture(QStringLiteral("b.png"), {24, 16}, Qt::darkRed),
                                  Picture(QStringLiteral("c.png"), {24, 16}, Qt::darkGreen)};
    Outcome r = Run(QStringList{QStringLiteral("-o"), Out()} + pictures);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    r = Run(QStringList{QStringLiteral("-c"), QStringLiteral("\"$0\" -o - \"$@\" | cat > piped.gif"), Program()}
                + pictures,
            QStringLiteral("/bin/sh"));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    const auto bytes = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray piped = bytes(dir.filePath(QStringLiteral("piped.gif")));
    EXPECT_TRUE(piped.startsWith("GIF89a"));
    EXPECT_EQ(piped, bytes(Out()));

    // Lines with and without a time, an empty line and a Windows line end; a
    // picture listed twice is two frames; -t gives the lines without a time theirs.
    QProcess process;
    process.setWorkingDirectory(dir.path());
    process.start(Program(),
                  {QStringLiteral("-q"), QStringLiteral("-t"), QStringLiteral("300"), QStringLiteral("-o"), Out(),
                   QStringLiteral("--frames"), QStringLiteral("-")});
    process.write("a.png\t50\nb.png\n\n" + QFile::encodeName(pictures[0]) + "\t250\r\nc.png\n");
    process.closeWriteChannel();
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    const testing_imaging::Animation gif = testing_imaging::DecodeAnimation(Out());
    EXPECT_EQ(gif.delays, (QVector<int>{5, 30, 25, 30}));
    EXPECT_LT(testing_imaging::WorstFrameDifference(
                  gif, testing_imaging::ScaledPictures({pictures[0], pictures[1], pictures[0], pictures[2]}, {24, 16})),
              6.0);

    // A list file, after the pictures named as arguments; a bad time names its line.
    ASSERT_TRUE(PictureBytes::Write(dir.filePath(QStringLiteral("list")), "c.png\t40\nb.png\tsoon\n"));
    r = Run({QStringLiteral("-o"), Out(), QStringLiteral("--frames"), QStringLiteral("list"), pictures[0]});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("list, line 2: the play time \"soon\""))) << r.err.toStdString();
    ASSERT_TRUE(PictureBytes::Write(dir.filePath(QStringLiteral("list")), "c.png\t40\n"));
    r = Run({QStringLiteral("-q"), QStringLiteral("-o"), Out(), QStringLiteral("--frames"), QStringLiteral("list"),
             pictures[0]});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(testing_imaging::DecodeAnimation(Out()).delays, (QVector<int>{100, 4}));
}

// What the file says about looping, as gifsicle, a reader of its own, reads it.
TEST_F(CliTest, OnceWritesNoLoopBlock)
{
    const QStringList pictures = {Picture(QStringLiteral("a.png"), {8, 8}), Picture(QStringLiteral("b.png"), {8, 8})};
    const auto loopInfo = [&](const QStringList& option) {
        const Outcome made = Run(QStringList{QStringLiteral("-q"), QStringLiteral("-o"), Out()} + option + pictures);
        EXPECT_EQ(made.exitCode, 0) << made.err.toStdString();
        QProcess gifsicle;
        gifsicle.start(QStringLiteral("gifsicle"), {QStringLiteral("--info"), Out()});
        EXPECT_TRUE(gifsicle.waitForFinished(60000));
        EXPECT_EQ(gifsicle.exitCode(), 0);
        QStringList loops;
        for (const QString& line : QString::fromUtf8(gifsicle.readAllStandardOutput()).split(u'\n'))
            if (line.contains(QStringLiteral("loop")))
                loops << line.trimmed();
        return loops;
    };
    EXPECT_EQ(loopInfo({}), QStringList{QStringLiteral("loop forever")});
    EXPECT_EQ(loopInfo({QStringLiteral("-l"), QStringLiteral("3")}), QStringList{QStringLiteral("loop count 3")});
    EXPECT_EQ(loopInfo({QStringLiteral("--once")}), QStringList());
    EXPECT_EQ(testing_imaging::DecodeAnimation(Out()).frames.size(), 2);
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

TEST_F(CliTest, NamesThatAreNotUtf8AreReadAndWrittenAsTheirBytes)
{
    // The bytes reach the program through the shell: QProcess would re-encode them.
    const QByteArray odd = QFile::encodeName(dir.path()) + "/\xFF\xFE.png";
    ASSERT_EQ(::rename(QFile::encodeName(Picture(QStringLiteral("a.png"), {8, 8})).constData(), odd.constData()), 0);
    Picture(QStringLiteral("b.png"), {8, 8});
    const Outcome r = Run({QStringLiteral("-c"),
                           QStringLiteral("exec \"$0\" -o \"$(printf 'out\\377.gif')\" "
                                          "\"$(printf '\\377\\376.png')\" b.png"),
                           Program()},
                          QStringLiteral("/bin/sh"));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    const QByteArray out = QFile::encodeName(dir.path()) + "/out\xFF.gif";
    ASSERT_EQ(::rename(out.constData(), QFile::encodeName(Out()).constData()), 0) << "written under its own name";
    EXPECT_EQ(testing_imaging::DecodeAnimation(Out()).frames.size(), 2);
    ::unlink(odd.constData()); // QTemporaryDir cannot remove it by name
}

// Ctrl+C and SIGTERM during the run: the frame files and the run folder go,
// an existing output stays as it was, the status tells which signal came.
TEST_F(CliTest, ASignalMidRunCleansUpAndKeepsTheOldOutput)
{
    // Forty frames of noise take seconds to convert: the signal comes once the
    // first frame file exists, long before the last.
    QImage noise(600, 600, QImage::Format_RGB32);
    quint32 seed = 1;
    for (int i = 0; i < 600 * 600; ++i)
        noise.setPixel(i % 600, i / 600, seed = seed * 1664525u + 1013904223u);
    QStringList arguments = {QStringLiteral("-j1"), QStringLiteral("-s500x500"), QStringLiteral("-o"), Out()};
    for (int i = 0; i < 40; ++i) {
        arguments << dir.filePath(QStringLiteral("p%1.bmp").arg(i));
        ASSERT_TRUE(i ? QFile::copy(arguments[4], arguments.last()) : noise.save(arguments.last()));
    }
    const QDir temp(ModFold::TemporaryFolderCandidates(QString()).value(0));
    QFile old(Out());
    ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("old GIF") == 7);
    old.close();

    for (const int signalNumber : {SIGINT, SIGTERM}) {
        QProcess process;
        process.start(Program(), arguments);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                const QStringList runs = temp.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
                return !runs.isEmpty() && QFileInfo::exists(temp.filePath(runs[0] + QStringLiteral("/__frame__1.gif")));
            },
            60000));
        ASSERT_EQ(::kill(pid_t(process.processId()), signalNumber), 0);
        ASSERT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 128 + signalNumber);
        EXPECT_TRUE(temp.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
        ASSERT_TRUE(old.open(QIODevice::ReadOnly));
        EXPECT_EQ(old.readAll(), QByteArray("old GIF")) << signalNumber;
        old.close();
        EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral(".*")}, QDir::Files | QDir::Hidden), QStringList());
    }
}

// The centre colour of every frame of the GIF.
std::vector<QRgb> Colours(const testing_imaging::Animation& gif)
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
    testing_imaging::Animation gif = testing_imaging::DecodeAnimation(Out());
    EXPECT_EQ(QSize(gif.width, gif.height), QSize(32, 24));
    EXPECT_EQ(gif.delays, (QVector<int>{5, 10, 5, 5}));
    EXPECT_EQ(Colours(gif), (std::vector<QRgb>{0xff0000, 0x00ff00, 0x0000ff, 0xffffff}));

    // The picture on show at 0, 100 and 200 ms; the blue one falls between.
    r = Run({q, o, Out(), QStringLiteral("--every"), QStringLiteral("100"), video});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    gif = testing_imaging::DecodeAnimation(Out());
    EXPECT_EQ(gif.delays, (QVector<int>{10, 10, 5}));
    EXPECT_EQ(Colours(gif), (std::vector<QRgb>{0xff0000, 0x00ff00, 0xffffff}));

    // -t overrides the timestamps; a picture after the video follows it.
    r = Run({q, o, Out(), QStringLiteral("-t"), QStringLiteral("300"), video,
             Picture(QStringLiteral("after.png"), {32, 24}, Qt::black)});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(testing_imaging::DecodeAnimation(Out()).delays, (QVector<int>{30, 30, 30, 30, 30}));
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
    const testing_imaging::Animation gif = testing_imaging::DecodeAnimation(Out());
    ASSERT_GE(gif.frames.size(), 2);
    EXPECT_LT(std::size_t(gif.frames.size()), pictures.size());
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
    EXPECT_EQ(std::size_t(testing_imaging::DecodeAnimation(Out()).frames.size()), pictures.size());
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
                                          QStringLiteral("20x20")}
                              + fit + QStringList{wide, square});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        const testing_imaging::Animation gif = testing_imaging::DecodeAnimation(Out());
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

TEST_F(CliTest, AnimatedPicturesGiveTheirFramesWithTheirOwnDelays)
{
    // PIL writes each animation, the middle frame as the changed part only.
    const char* const writer = R"(
import sys
from PIL import Image
frames = [Image.new('RGB', (32, 24), c) for c in ((255, 0, 0), (255, 0, 0), (0, 0, 255))]
frames[1].paste((0, 255, 0), (0, 0, 16, 24))
for path in sys.argv[1:]:
    frames[0].save(path, save_all=True, append_images=frames[1:], duration=[100, 250, 400], loop=0, lossless=True)
)";
    const QStringList animations{dir.filePath(QStringLiteral("a.gif")), dir.filePath(QStringLiteral("a.apng")),
                                 dir.filePath(QStringLiteral("a.webp"))};
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 QStringList{QStringLiteral("-c"), QLatin1String(writer)} + animations);
    ASSERT_TRUE(python.waitForFinished(60000));
    ASSERT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    for (const QString& animation : animations) {
        SCOPED_TRACE(animation.toStdString());
        const Outcome r = Run({QStringLiteral("-q"), QStringLiteral("-o"), Out(), animation});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        const testing_imaging::Animation gif = testing_imaging::DecodeAnimation(Out());
        ASSERT_EQ(gif.delays, (QVector<int>{10, 25, 40}));
        const QPoint left(4, 12), right(28, 12);
        std::vector<QRgb> seen;
        for (const QImage& frame : gif.frames)
            seen.insert(seen.end(), {frame.pixel(left) & RGB_MASK, frame.pixel(right) & RGB_MASK});
        EXPECT_EQ(seen, (std::vector<QRgb>{0xff0000, 0xff0000, 0x00ff00, 0xff0000, 0x0000ff, 0x0000ff}));
    }
    // A GIF cut in its last frame gives the frames before, and says so.
    QFile whole(animations[0]);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray gif = whole.readAll();
    const QString cut = dir.filePath(QStringLiteral("cut.gif"));
    ASSERT_TRUE(PictureBytes::Write(cut, gif.left(gif.size() - 6)));
    const Outcome r = Run({QStringLiteral("-q"), QStringLiteral("-o"), Out(), cut});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("frames decoded before, which are used: 2\n"))) << r.err.toStdString();
    EXPECT_EQ(testing_imaging::DecodeAnimation(Out()).delays, (QVector<int>{10, 25}));
}

TEST_F(CliTest, PicturesDamagedInTheMiddleAreSkippedWithTheirReason)
{
    const QString good = Picture(QStringLiteral("good.png"), {40, 32});
    QImage noise(40, 32, QImage::Format_RGB32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 40; ++x)
            noise.setPixel(x, y, qRgb(x * 6, y * 8, (x * y) % 256));
    QStringList arguments{QStringLiteral("-q"), QStringLiteral("-o"), Out(), good};
    for (const char* format : {"jpg", "png"}) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, format);
        writer.setProgressiveScanWrite(true);
        ASSERT_TRUE(writer.write(noise));
        // The header and the end stay intact; damage between them: a JPEG
        // scan header in the middle names nine components, a PNG's rows are zeros.
        if (bytes.startsWith("\xFF\xD8")) {
            QList<qsizetype> scans;
            for (qsizetype at = bytes.indexOf("\xFF\xDA"); at >= 0; at = bytes.indexOf("\xFF\xDA", at + 2))
                scans << at;
            ASSERT_GE(scans.size(), 3);
            bytes[scans[scans.size() / 2] + 4] = 9;
        } else {
            bytes.replace(bytes.size() / 2, 16, QByteArray(16, '\0'));
        }
        const QString path = dir.filePath(QStringLiteral("damaged.%1").arg(QLatin1String(format)));
        ASSERT_TRUE(PictureBytes::Write(path, bytes));
        arguments << path;
    }
    arguments << Picture(QStringLiteral("last.png"), {40, 32});
    const Outcome r = Run(arguments);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    // libpng writes lines of its own, from another thread: they may run into ours.
    QStringList warnings;
    for (const QRegularExpressionMatch& m :
         QRegularExpression(QStringLiteral("flipreel-cli: [^\n]*")).globalMatch(r.err))
        warnings << m.captured();
    ASSERT_EQ(warnings.size(), 2) << r.err.toStdString();
    EXPECT_TRUE(warnings[0].startsWith(QStringLiteral("flipreel-cli: warning: skipped \"")
                                       + dir.filePath(QStringLiteral("damaged.jpg")) + QStringLiteral("\": ")));
    EXPECT_TRUE(warnings[1].contains(QStringLiteral("damaged.png\": "))) << warnings[1].toStdString();
    EXPECT_EQ(testing_imaging::DecodeAnimation(Out()).delays.size(), 2);

    // On one worker as on many; a damaged first picture gives no size: the
    // first readable one does.
    const QString small = Picture(QStringLiteral("small.png"), {20, 10});
    const QString damaged = arguments[5];
    const Outcome first = Run({QStringLiteral("-q"), QStringLiteral("-j"), QStringLiteral("1"), QStringLiteral("-o"),
                               Out(), damaged, small, good, arguments[4]});
    ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
    EXPECT_EQ(first.err.count(QStringLiteral("warning: skipped")), 2) << first.err.toStdString();
    const testing_imaging::Animation animation = testing_imaging::DecodeAnimation(Out());
    EXPECT_EQ(animation.frames.size(), 2);
    EXPECT_EQ(animation.frames.value(0).size(), QSize(20, 10));

    // --strict fails on it and keeps the old file; so does a run left with one picture.
    ASSERT_TRUE(PictureBytes::Write(Out(), "old GIF"));
    const Outcome strict = Run({QStringLiteral("--strict"), QStringLiteral("-o"), Out(), good, damaged, small});
    EXPECT_EQ(strict.exitCode, 1);
    EXPECT_TRUE(strict.err.contains(QStringLiteral("damaged.png\": "))) << strict.err.toStdString();
    EXPECT_TRUE(strict.err.contains(QStringLiteral("(--strict)"))) << strict.err.toStdString();
    const Outcome one = Run({QStringLiteral("-o"), Out(), good, damaged});
    EXPECT_EQ(one.exitCode, 2);
    EXPECT_TRUE(one.err.contains(QStringLiteral("at least two readable pictures are needed (readable: 1)")))
        << one.err.toStdString();
    QFile kept(Out());
    EXPECT_TRUE(kept.open(QIODevice::ReadOnly) && kept.readAll() == "old GIF");
}
