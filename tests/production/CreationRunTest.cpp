// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/SizeText.h"
#include "imaging/GifAssembler.h"
#include "imaging/ImageEngine.h"
#include "imaging/Quantizer.h"
#include "imaging/animation/AnimationWriter.h"
#include "imaging/animation/SampledPalette.h"
#include "production/CreationRules.h"
#include "production/CreationRun.h"
#include "production/FrameBudget.h"
#include "production/ModFold.h"
#include "production/RunFolder.h"
#include "production/SizeTarget.h"
#include "support/FullDisk.h"
#include "support/GifAnimation.h"
#include "support/PictureBytes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include <sys/wait.h>
#include <unistd.h>

namespace {

QString MakePicture(const QString& folder, const QString& name, QSize size, QColor color)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    // A dark corner so that frames differ in more than colour.
    for (int y = 0; y < size.height() / 2; ++y)
        for (int x = 0; x < size.width() / 2; ++x)
            image.setPixel(x, y, qRgb(10, 10, 10));
    const QString path = QDir(folder).filePath(name);
    EXPECT_TRUE(image.save(path));
    return path;
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList FrameFiles(const QString& folder)
{
    return QDir(folder).entryList({QStringLiteral("__frame__*")}, QDir::Files, QDir::Name);
}

TEST(CreationRules, DelaysArePlayTimeTenthsRoundedHalfToEven)
{
    const std::pair<qint32, int> table[] = {{125, 12},   {135, 14},      {5, 0},         {15, 2},
                                            {1000, 100}, {99999, 10000}, {655354, 65535}};
    for (const auto& [ms, delay] : table)
        EXPECT_EQ(CreationRules::FrameDelay(ms), delay) << ms;
}

TEST(CreationRules, TextsThatAreNotUsableNumbersAreRefused)
{
    EXPECT_EQ(CreationRules::PlayTimeFromText(QStringLiteral(" 250 ")), 250);
    EXPECT_EQ(CreationRules::PlayTimeFromText(QStringLiteral("655354")), 655354);
    for (const char* bad : {"", "abc", "-1", "12a", "655355"})
        EXPECT_FALSE(CreationRules::PlayTimeFromText(QLatin1String(bad))) << bad;

    EXPECT_EQ(CreationRules::LoopCountFromText(QString()), 0);
    EXPECT_EQ(CreationRules::LoopCountFromText(QStringLiteral("12")), 12);
    EXPECT_EQ(CreationRules::LoopCountFromText(QStringLiteral("32767")), 32767);
    for (const char* bad : {"32768", "-1", "1 2", "x"})
        EXPECT_FALSE(CreationRules::LoopCountFromText(QLatin1String(bad))) << bad;

    const auto sides = SplitSizeText(QStringLiteral("640 x 480"));
    ASSERT_TRUE(sides);
    EXPECT_EQ(sides->width, QStringLiteral("640"));
    EXPECT_EQ(sides->height, QStringLiteral("480"));
    EXPECT_FALSE(SplitSizeText(QStringLiteral("640X480"))) << "x is lower-case only";
    EXPECT_EQ(SplitSizeText(QStringLiteral("64x")).value().height, QString());
}

TEST(ModFold, EnsureFolderCreatesAndIgnoresEveryError)
{
    QTemporaryDir root;
    const QString nested = root.filePath(QStringLiteral("a/b"));
    ModFold::EnsureFolder(nested);
    EXPECT_TRUE(QDir(nested).exists());
    ModFold::EnsureFolder(nested); // already there
    QFile file(root.filePath(QStringLiteral("plain")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ModFold::EnsureFolder(root.filePath(QStringLiteral("plain/sub"))); // under a file: ignored
    EXPECT_FALSE(QDir(root.filePath(QStringLiteral("plain/sub"))).exists());
}

TEST(RunFolder, EachRunGetsItsOwnFolderAndFallsBackWhenTheFirstCannotBeUsed)
{
    QTemporaryDir root;
    const QString blocked = root.filePath(QStringLiteral("blocked"));
    QFile file(blocked); // a file where the first folder would be
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QString second = root.filePath(QStringLiteral("second"));
    QString kept;
    {
        RunFolder a({blocked, second});
        RunFolder b({blocked, second});
        ASSERT_TRUE(a.IsValid() && b.IsValid());
        EXPECT_TRUE(a.Path().startsWith(second));
        EXPECT_NE(a.Path(), b.Path());
        // A file left in a run folder is never deleted with it.
        QFile left(QDir(b.Path()).filePath(QStringLiteral("keep.gif")));
        ASSERT_TRUE(left.open(QIODevice::WriteOnly));
        kept = b.Path();
    }
    EXPECT_EQ(QDir(second).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{QFileInfo(kept).fileName()});
    EXPECT_TRUE(QFile::exists(QDir(kept).filePath(QStringLiteral("keep.gif"))));
    EXPECT_FALSE(RunFolder({blocked}).IsValid());
}

// Frames of more colours than a palette holds (few enough to be quick to
// count), with too many pixels for one
// palette of the whole animation: each frame's palette depends on the frames
// converted before it.
QVector<CreationFrame> Gradients(const QString& folder, int count, QSize size)
{
    QVector<CreationFrame> frames;
    for (int i = 0; i < count; ++i) {
        QImage image(size, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, qRgb((x + 3 * i) & 0xF8, (2 * y + i) & 0xF8, (x * y / 64 + 5 * i) & 0xF8));
        for (int y = size.height() / 3; y < size.height() / 2; ++y)
            for (int x = 10 + 9 * i; x < std::min(40 + 9 * i, size.width()); ++x)
                image.setPixel(x, y, qRgb(250, 250, 40));
        const QString path = QDir(folder).filePath(QStringLiteral("g%1.png").arg(i));
        EXPECT_TRUE(image.save(path));
        frames.push_back({path, 100});
    }
    return frames;
}

struct Gradient : ::testing::Test {
    CreationSettings Settings(int count, QSize size)
    {
        CreationSettings s;
        s.frames = Gradients(pictures.path(), count, size);
        s.width = size.width();
        s.height = size.height();
        s.outputPath = pictures.filePath(QStringLiteral("out.gif"));
        s.tempFolder = temp.path();
        return s;
    }
    // The file one run of `s` at `quality` writes.
    static QByteArray Encoded(const CreationSettings& s, double quality)
    {
        CreationSettings one = s;
        one.quality = quality;
        one.outputPath = s.outputPath + QStringLiteral(".alone.gif");
        ImageEngine engine;
        GifAssembler assembler;
        CreationRun run(engine, assembler, one);
        EXPECT_TRUE(run.Run(0, {}).Ok());
        return ReadAll(one.outputPath);
    }
    QTemporaryDir pictures;
    QTemporaryDir temp;
};

TEST_F(Gradient, TheSameFramesGiveTheSameBytesOnAnyNumberOfWorkers)
{
    // Just over the pixels of one palette for the whole animation.
    CreationSettings s = Settings(18, {256, 240});
    QByteArray first;
    for (int threads : {1, 3}) {
        s.threads = threads;
        ImageEngine engine;
        GifAssembler assembler;
        CreationRun run(engine, assembler, s);
        ASSERT_TRUE(run.Run(0, {}).Ok());
        const QByteArray bytes = ReadAll(s.outputPath);
        ASSERT_FALSE(bytes.isEmpty());
        if (first.isEmpty())
            first = bytes;
        EXPECT_TRUE(bytes == first) << threads << " workers: " << bytes.size() << " bytes, alone " << first.size();
    }
}

TEST_F(Gradient, FramesAreJoinedAsTheyAreConvertedTheBarCountingBothHalves)
{
    // Over the pixels of one palette for the whole animation.
    CreationSettings s = Settings(18, {256, 240});
    s.threads = 1;
    std::vector<double> progress;
    bool lastConvertedAtFirstProgress = true;
    {
        ImageEngine engine;
        GifAssembler assembler;
        CreationRun run(engine, assembler, s);
        ASSERT_TRUE(run.Run(0,
                            [&](double p) {
                                if (progress.empty())
                                    lastConvertedAtFirstProgress =
                                        QFile::exists(CreationRun::FrameFile(temp.path(), 18));
                                progress.push_back(p);
                                return true;
                            })
                        .Ok());
    }
    // One bar over the whole work, half of it the frames converted, which
    // run ahead of the frames written: the first is written before the last
    // is converted, and the bar is ahead of the frames written, never back.
    EXPECT_FALSE(lastConvertedAtFirstProgress);
    ASSERT_EQ(progress.size(), 18u);
    EXPECT_GT(progress.front(), 100.0 / 18.0);
    for (size_t i = 0; i < progress.size(); ++i) {
        EXPECT_GE(progress[i], 100.0 * double(i + 1) / 18.0) << i;
        if (i > 0) {
            EXPECT_GT(progress[i], progress[i - 1]) << i;
        }
    }
    EXPECT_DOUBLE_EQ(progress.back(), 100.0);
    const QByteArray joined = ReadAll(s.outputPath);

    // The loop count changed between converting and joining (the window reads
    // its field again): the frames are joined once more, from their files,
    // into the same bytes.
    s.loopCount = 5;
    {
        ImageEngine engine;
        GifAssembler assembler;
        CreationRun run(engine, assembler, s);
        ASSERT_TRUE(run.ConvertFrames({}).Ok());
        ASSERT_TRUE(run.Assemble(0).Ok());
    }
    EXPECT_TRUE(ReadAll(s.outputPath) == joined);

    // A stop from the bar while frames are being joined leaves nothing.
    ASSERT_TRUE(QFile::remove(s.outputPath));
    s.threads = 2;
    ImageEngine engine;
    GifAssembler assembler;
    CreationRun run(engine, assembler, s);
    int calls = 0;
    EXPECT_EQ(run.Run(0, [&](double) { return ++calls < 3; }).status, CreationResult::Status::Cancelled);
    EXPECT_EQ(calls, 3);
    EXPECT_TRUE(QDir(pictures.path()).entryList({QStringLiteral("*.gif")}, QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_TRUE(FrameFiles(temp.path()).isEmpty());
}

TEST(SizeTarget, SizesAreReadAsUsersWriteThem)
{
    EXPECT_EQ(ByteSizeFromText(QStringLiteral("500K")), 500 * 1024);
    EXPECT_EQ(ByteSizeFromText(QStringLiteral(" 2m ")), 2 * 1024 * 1024);
    EXPECT_EQ(ByteSizeFromText(QStringLiteral("1.5MB")), 1536 * 1024);
    EXPECT_EQ(ByteSizeFromText(QStringLiteral("350000")), 350000);
    for (const char* bad : {"", "K", "0", "-5K", "abc", "2X", "0.1"})
        EXPECT_EQ(ByteSizeFromText(QLatin1String(bad)), 0) << bad;
}

TEST_F(Gradient, TheBestQualityThatFitsIsWrittenAndNothingWhenNoneFits)
{
    CreationSettings s = Settings(8, {96, 80});
    {
        ImageEngine engine;
        GifAssembler assembler;
        CreationRun run(engine, assembler, s);
        ASSERT_TRUE(run.Run(0, {}).Ok());
    }
    const qint64 standard = QFileInfo(s.outputPath).size();
    ASSERT_GT(standard, 0);

    const qint64 target = standard * 7 / 10;
    SizeTargetResult r = CreateWithinSize(s, 0, target, {});
    ASSERT_TRUE(r.result.Ok()) << r.result.message.toStdString();
    ASSERT_TRUE(r.fits);
    EXPECT_LT(r.quality, 95);
    EXPECT_LE(r.encodes, 3);
    EXPECT_LE(r.bytes, target);
    EXPECT_EQ(QFileInfo(s.outputPath).size(), r.bytes);
    EXPECT_TRUE(testing_imaging::DecodeAnimation(s.outputPath).ok);

    r = CreateWithinSize(s, 0, standard * 10, {});
    ASSERT_TRUE(r.fits);
    EXPECT_EQ(r.quality, 100);

    QFile previous(s.outputPath);
    ASSERT_TRUE(previous.open(QIODevice::WriteOnly));
    previous.write("previous GIF");
    previous.close();
    r = CreateWithinSize(s, 0, 100, {});
    ASSERT_TRUE(r.result.Ok());
    EXPECT_FALSE(r.fits);
    EXPECT_GT(r.bytes, 100);
    EXPECT_LT(r.bytes, standard);
    EXPECT_EQ(ReadAll(s.outputPath), QByteArray("previous GIF"));
    EXPECT_TRUE(QDir(temp.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(Gradient, AShortAnimationLandsCloseUnderTheTargetOrNoBetterQualityFits)
{
    CreationSettings s = Settings(8, {96, 80});
    const auto sizeAt = [&s](double quality) { return Encoded(s, quality).size(); };
    const qint64 standard = sizeAt(0);
    ASSERT_GT(standard, 0);
    for (const int percent : {75, 50}) {
        const qint64 target = standard * percent / 100;
        const SizeTargetResult r = CreateWithinSize(s, 0, target, {});
        ASSERT_TRUE(r.result.Ok()) << r.result.message.toStdString();
        ASSERT_TRUE(r.fits) << percent;
        EXPECT_EQ(r.samples, 0) << percent;
        EXPECT_LE(r.encodes, 3) << percent;
        EXPECT_LE(r.bytes, target) << percent;
        EXPECT_TRUE(ReadAll(s.outputPath) == Encoded(s, r.quality)) << percent;
        if (r.bytes < target * 9 / 10) {
            EXPECT_GT(sizeAt(std::floor(r.quality) + 1), target)
                << percent << "%: quality " << r.quality << ", " << r.bytes;
        }
    }
}

// Larger pictures, whose size hardly falls (and even rises) from -Q 95 into
// the eighties, then falls ever faster: a guess read from two sizes just
// over the target must not take that top for the whole curve and fall to
// the lowest qualities.
TEST_F(Gradient, AShortAnimationFlatAtTheTopLandsCloseUnderTheTargetOrNoBetterQualityFits)
{
    CreationSettings s = Settings(12, {160, 120});
    const auto sizeAt = [&s](double quality) { return Encoded(s, quality).size(); };
    const qint64 standard = sizeAt(0);
    ASSERT_GT(standard, 0);
    for (const int percent : {89, 86, 23}) {
        const qint64 target = standard * percent / 100;
        const SizeTargetResult r = CreateWithinSize(s, 0, target, {});
        ASSERT_TRUE(r.result.Ok()) << r.result.message.toStdString();
        ASSERT_TRUE(r.fits) << percent;
        EXPECT_LE(r.encodes, 3) << percent;
        EXPECT_LE(r.bytes, target) << percent;
        if (r.bytes < target * 9 / 10) {
            EXPECT_GT(sizeAt(std::floor(r.quality) + 1), target)
                << percent << "%: quality " << r.quality << ", " << r.bytes;
        }
    }
}

TEST_F(Gradient, ALongAnimationIsSizedFromASampleWithinThreeEncodesAndTheBarNeverGoesBack)
{
    CreationSettings s = Settings(48, {64, 48});
    s.threads = 2;
    const auto sizeAt = [&s](double quality) { return Encoded(s, quality); };
    const qint64 standard = sizeAt(0).size();
    ASSERT_GT(standard, 0);
    for (const int percent : {75, 50}) {
        const qint64 target = standard * percent / 100;
        std::vector<double> bar;
        const SizeTargetResult r = CreateWithinSize(s, 0, target, [&bar](double p) {
            bar.push_back(p);
            return true;
        });
        ASSERT_TRUE(r.result.Ok()) << r.result.message.toStdString();
        ASSERT_TRUE(r.fits) << percent;
        EXPECT_GT(r.samples, 0) << percent;
        EXPECT_LE(r.work, 3.0) << percent;
        EXPECT_LE(r.bytes, target) << percent;
        // The file is the one that quality gives; it is close under the
        // target, or the next quality does not fit (sizes jump there).
        EXPECT_TRUE(ReadAll(s.outputPath) == sizeAt(r.quality)) << percent;
        if (r.bytes < target * 8 / 10 && r.quality < 100) {
            EXPECT_GT(sizeAt(std::floor(r.quality) + 1).size(), target) << percent << "%: quality " << r.quality;
        }
        EXPECT_EQ(testing_imaging::DecodeAnimation(s.outputPath).frames.size(), 48);
        ASSERT_FALSE(bar.empty());
        EXPECT_TRUE(std::is_sorted(bar.begin(), bar.end())) << percent;
        EXPECT_GE(bar.front(), 0.0);
        EXPECT_LE(bar.back(), 100.0);
    }
    // Nothing fits: the smallest size reached is that of the lowest quality.
    const SizeTargetResult none = CreateWithinSize(s, 0, 200, {});
    ASSERT_TRUE(none.result.Ok());
    EXPECT_FALSE(none.fits);
    EXPECT_EQ(none.bytes, sizeAt(1).size());
}

// Where the size jumps between two whole qualities (three colours to two), a
// target in the jump is met in tenths between them, a file that quality
// gives again; -Q 1 holds frames of -Q 2's colours, showing the one before.
TEST_F(Gradient, ATargetWhereTheSizeJumpsBetweenTwoQualitiesIsMetInTenthsBetweenThem)
{
    CreationSettings s = Settings(48, {64, 48});
    const qint64 at1 = Encoded(s, 1).size(), at2 = Encoded(s, 2).size(), at3 = Encoded(s, 3).size();
    ASSERT_LT(at2 * 100, at3 * 87) << at2 << " " << at3;
    const qint64 target = at3 * 97 / 100;
    const SizeTargetResult r = CreateWithinSize(s, 0, target, {});
    ASSERT_TRUE(r.result.Ok()) << r.result.message.toStdString();
    ASSERT_TRUE(r.fits);
    EXPECT_GT(r.quality, 2);
    EXPECT_LT(r.quality, 3);
    EXPECT_LE(r.bytes, target);
    EXPECT_GT(r.bytes, at2);
    EXPECT_LE(r.work, 3.0);
    EXPECT_TRUE(ReadAll(s.outputPath) == Encoded(s, r.quality)) << r.quality;

    EXPECT_LT(at1, at2);
    Encoded(s, 1);
    const testing_imaging::Animation lowest =
        testing_imaging::DecodeAnimation(s.outputPath + QStringLiteral(".alone.gif"));
    ASSERT_EQ(lowest.frames.size(), 48);
    int held = 0;
    for (int k = 1; k < 48; ++k) {
        const int changed = testing_imaging::DifferentPixels(lowest.frames[k], lowest.frames[k - 1]);
        EXPECT_EQ(changed == 0, imaging::HeldFrame(k, imaging::SettingsForQuality(1).holdShare)) << k;
        held += changed == 0 ? 1 : 0;
    }
    EXPECT_GT(held, 0);

    // Slides, shown a fifth of a second each, show every picture at -Q 1.
    for (CreationFrame& frame : s.frames)
        frame.playTime = 200;
    Encoded(s, 1);
    const testing_imaging::Animation slides =
        testing_imaging::DecodeAnimation(s.outputPath + QStringLiteral(".alone.gif"));
    ASSERT_EQ(slides.frames.size(), 48);
    for (int k = 1; k < 48; ++k)
        EXPECT_GT(testing_imaging::DifferentPixels(slides.frames[k], slides.frames[k - 1]), 0) << k;
}

// -Q 1 holds every other frame of colours much like -Q 2's (which holds a
// few itself): a target between their sizes, well over -Q 1's, is met in
// tenths between them from at most three encodes of every frame (the
// gradient's tenths under -Q 2 fall unevenly), the file close under it.
TEST_F(Gradient, ATargetBetweenTheTwoLowestQualitiesIsMetInTenthsFromTwoOrThreeEncodes)
{
    CreationSettings s = Settings(48, {64, 48});
    const qint64 at2 = Encoded(s, 2).size();
    for (const int percent : {98, 97}) {
        const qint64 target = at2 * percent / 100;
        ASSERT_LT(Encoded(s, 1).size() * 10, target * 9) << percent;
        const SizeTargetResult r = CreateWithinSize(s, 0, target, {});
        ASSERT_TRUE(r.result.Ok()) << r.result.message.toStdString();
        ASSERT_TRUE(r.fits) << percent;
        EXPECT_GT(r.quality, 1) << percent;
        EXPECT_LT(r.quality, 2) << percent;
        EXPECT_LE(r.bytes, target) << percent;
        EXPECT_GT(r.bytes, Encoded(s, 1).size()) << percent;
        EXPECT_LE(r.encodes, 3) << percent;
        const QByteArray written = ReadAll(s.outputPath);
        EXPECT_TRUE(written == Encoded(s, r.quality)) << percent;
        // The same search and file on any number of workers.
        CreationSettings three = s;
        three.threads = 3;
        const SizeTargetResult again = CreateWithinSize(three, 0, target, {});
        EXPECT_EQ(again.quality, r.quality) << percent;
        EXPECT_TRUE(ReadAll(s.outputPath) == written) << percent;
    }
}

TEST_F(Gradient, APictureChangedAfterTheSampleWasReadIsReadAgain)
{
    // The sample's pictures stand in for their frames' files: the last
    // picture, rewritten once the sample is read, shows as it is now.
    const QSize size(256, 176);
    CreationSettings s = Settings(24, size);
    const auto sampled = int(imaging::SampledPalette::SampleFrames(24, size).size());
    ASSERT_EQ(sampled, 24) << "every frame is in the sample, the last one too";
    QImage now(size, QImage::Format_RGB32);
    now.fill(qRgb(20, 60, 220));
    for (const int threads : {1, 2}) {
        s.threads = threads;
        int asked = 0;
        // Asked before each picture of the sample and once after them.
        s.stopRequested = [&] {
            if (++asked == sampled + 1) {
                EXPECT_TRUE(now.save(s.frames.last().path));
            }
            return false;
        };
        ImageEngine engine;
        GifAssembler assembler;
        CreationRun run(engine, assembler, s);
        ASSERT_TRUE(run.Run(0, {}).Ok());
        EXPECT_GT(asked, sampled + 1);
        const testing_imaging::Animation out = testing_imaging::DecodeAnimation(s.outputPath);
        ASSERT_EQ(out.frames.size(), 24) << out.error.toStdString();
        EXPECT_LT(testing_imaging::MeanDifference(out.frames.last(), now), 2.0) << threads;
        EXPECT_GT(testing_imaging::MeanDifference(out.frames.first(), now), 40.0) << threads;
    }
}

// Every case runs on the caller's engine alone and on two workers: what the
// caller sees must not differ.
class CreationRunTest : public ::testing::TestWithParam<int> {
protected:
    CreationSettings Settings(const QVector<CreationFrame>& frames, int w, int h)
    {
        CreationSettings s;
        s.frames = frames;
        s.width = w;
        s.height = h;
        s.outputPath = pictures.filePath(QStringLiteral("out.gif"));
        s.tempFolder = temp.path();
        s.threads = GetParam();
        return s;
    }
    QTemporaryDir pictures;
    QTemporaryDir temp;
    ImageEngine engine;
    GifAssembler assembler;
};

TEST_P(CreationRunTest, WritesEveryFrameWithItsDelayLoopAndSizeThenRemovesItsFrameFiles)
{
    const QString dir = pictures.path();
    QVector<CreationFrame> frames = {{MakePicture(dir, QStringLiteral("a.png"), {40, 30}, Qt::red), 125},
                                     {MakePicture(dir, QStringLiteral("b.png"), {40, 20}, Qt::green), 135},
                                     {MakePicture(dir, QStringLiteral("c.bmp"), {64, 64}, Qt::blue), 1000},
                                     {MakePicture(dir, QStringLiteral("d.png"), {40, 20}, Qt::white), 99999}};
    // Left by an earlier, longer run: neither used nor deleted.
    for (int i : {5, 6}) {
        QFile old(CreationRun::FrameFile(temp.path(), i));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("older run");
    }
    std::vector<double> progress;
    std::vector<QThread*> threads;
    CreationRun run(engine, assembler, Settings(frames, 40, 20));
    const CreationResult result = run.Run(3, [&](double percent) {
        progress.push_back(percent);
        threads.push_back(QThread::currentThread());
        // Frames ahead may already be written by the workers; the second
        // half of the bar is the joining, once every frame file is there.
        EXPECT_GE(FrameFiles(temp.path()).size(), std::min<size_t>(progress.size(), 4) + 2);
        return true;
    });
    ASSERT_TRUE(result.Ok()) << result.message.toStdString();
    EXPECT_EQ(progress, (std::vector<double>{12.5, 25, 37.5, 50, 62.5, 75, 87.5, 100}));
    for (QThread* t : threads)
        EXPECT_EQ(t, QThread::currentThread());

    const testing_imaging::Animation gif =
        testing_imaging::DecodeAnimation(pictures.filePath(QStringLiteral("out.gif")));
    ASSERT_TRUE(gif.ok) << gif.error.toStdString();
    EXPECT_EQ(gif.width, 40);
    EXPECT_EQ(gif.height, 20);
    EXPECT_EQ(gif.delays, (QVector<int>{12, 14, 100, 10000}));
    EXPECT_EQ(gif.loopCount, 3);
    // Frame order survives the workers, and each frame shows its own picture
    // scaled, as a browser composites it.
    QStringList paths;
    for (const CreationFrame& f : frames)
        paths << f.path;
    EXPECT_LT(testing_imaging::WorstFrameDifference(gif, testing_imaging::ScaledPictures(paths, {40, 20})), 6.0);
    EXPECT_EQ(FrameFiles(temp.path()),
              (QStringList{QStringLiteral("__frame__5.gif"), QStringLiteral("__frame__6.gif")}));
    EXPECT_EQ(ReadAll(CreationRun::FrameFile(temp.path(), 5)), QByteArray("older run"));
}

TEST_P(CreationRunTest, FramesSharingTheirColoursShareOneTableAFrameApartKeepsItsOwn)
{
    // A ramp of thousands of colours with a square moving over it, then a
    // picture in colours of its own: each frame holds more than 256 colours.
    QStringList paths;
    QVector<CreationFrame> frames;
    for (int f = 0; f < 5; ++f) {
        QImage image(64, 64, QImage::Format_RGB32);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                const bool square = x >= 10 * f && x < 10 * f + 12 && y >= 20 && y < 32;
                image.setPixel(x, y,
                               f == 4       ? qRgb((x * 37 + y * 91) & 255, (x * 113 ^ y * 59) & 255, (x * y * 7) & 255)
                                   : square ? qRgb(250, 240, 20)
                                            : qRgb(x * 4, y * 4, 100 + x + y));
            }
        paths << pictures.filePath(QStringLiteral("s%1.png").arg(f));
        ASSERT_TRUE(image.save(paths.back()));
        frames.push_back({paths.back(), 100});
    }
    CreationRun run(engine, assembler, Settings(frames, 64, 64));
    const CreationResult result = run.Run(0, {});
    ASSERT_TRUE(result.Ok()) << result.message.toStdString();
    const testing_imaging::Animation gif =
        testing_imaging::DecodeAnimation(pictures.filePath(QStringLiteral("out.gif")));
    ASSERT_TRUE(gif.ok) << gif.error.toStdString();
    EXPECT_GT(gif.globalTableSize, 0);
    EXPECT_EQ(gif.localTables, (QVector<bool>{false, false, false, false, true}));
    const QVector<QImage> expected = testing_imaging::ScaledPictures(paths, {64, 64});
    ASSERT_EQ(gif.frames.size(), 5);
    for (int f = 0; f < 5; ++f)
        EXPECT_LT(testing_imaging::MeanDifference(gif.frames[f], expected[f]), f == 4 ? 12.0 : 4.0) << f;
}

TEST_P(CreationRunTest, ALongAnimationSharingItsColoursTakesOneTableOneChangingThemKeepsTablesOfItsOwn)
{
    // 60 frames of 240 x 180, more than are looked at before the first is
    // written. Sharing: 220 colours in all, each frame 150 of them in a
    // pattern of its own, each a few the frame before lacked, so that no
    // frame's own palette lasts; then frames each in hues of their own.
    for (const bool sharing : {true, false}) {
        QStringList paths;
        QVector<CreationFrame> frames;
        for (int f = 0; f < 60; ++f) {
            QImage image(240, 180, QImage::Format_RGB32);
            for (int y = 0; y < 180; ++y)
                for (int x = 0; x < 240; ++x) {
                    const int k = f + (x * 7 + y * 13 + f * 3) % 150;
                    image.setPixel(x, y,
                                   sharing ? qRgb(k, 255 - k, k * 7 & 255)
                                           : QColor::fromHsv((f * 67 + x / 8) % 360, 60 + y, 255 - x / 2).rgb());
                }
            paths << pictures.filePath(QStringLiteral("%1-%2.png").arg(sharing).arg(f));
            ASSERT_TRUE(image.save(paths.back()));
            frames.push_back({paths.back(), 40});
        }
        CreationSettings settings = Settings(frames, 240, 180);
        settings.outputPath = pictures.filePath(QStringLiteral("out%1.gif").arg(sharing));
        CreationRun run(engine, assembler, settings);
        const CreationResult result = run.Run(0, {});
        ASSERT_TRUE(result.Ok()) << result.message.toStdString();
        const testing_imaging::Animation gif = testing_imaging::DecodeAnimation(settings.outputPath);
        ASSERT_TRUE(gif.ok) << gif.error.toStdString();
        const auto own = std::count(gif.localTables.begin(), gif.localTables.end(), true);
        if (sharing) {
            EXPECT_GE(gif.globalTableSize, 220);
            EXPECT_EQ(own, 0);
        } else {
            EXPECT_GE(own, 50);
        }
        EXPECT_LT(testing_imaging::WorstFrameDifference(gif, testing_imaging::ScaledPictures(paths, {240, 180})),
                  sharing ? 0.5 : 3.0)
            << sharing;
        if (!sharing)
            continue;
        // Three workers write the same bytes.
        settings.threads = 3;
        settings.outputPath += QStringLiteral(".3");
        CreationRun three(engine, assembler, settings);
        ASSERT_TRUE(three.Run(0, {}).Ok());
        EXPECT_EQ(ReadAll(settings.outputPath), ReadAll(pictures.filePath(QStringLiteral("out%1.gif").arg(sharing))));
        // ... and so does the window's way: every frame converted, then joined.
        settings.outputPath += QStringLiteral(".window");
        CreationRun window(engine, assembler, settings);
        ASSERT_TRUE(window.ConvertFrames({}).Ok());
        ASSERT_TRUE(window.Assemble(0).Ok());
        EXPECT_EQ(ReadAll(settings.outputPath), ReadAll(pictures.filePath(QStringLiteral("out%1.gif").arg(sharing))));
    }
}

TEST_P(CreationRunTest, ALongAnimationOfManyShadesOfFewColoursIsMergedAtTheDefaultAndExactAtQuality100)
{
    // 250 colours within 4 levels of three: like a terminal's anti-aliased
    // text, worth merging at the default, as each frame's own palette would.
    QVector<CreationFrame> frames;
    for (int f = 0; f < 30; ++f) {
        QImage image(240, 180, QImage::Format_RGB32);
        for (int y = 0; y < 180; ++y)
            for (int x = 0; x < 240; ++x) {
                const int k = (x * 7 + y * 13 + f * 5) % 250, v = k / 3;
                const int base[3][3] = {{40, 40, 200}, {230, 230, 230}, {20, 20, 20}};
                const int* b = base[k % 3];
                image.setPixel(x, y, qRgb(b[0] + v % 5, b[1] + v / 5 % 5, b[2] + v / 25 % 5));
            }
        frames.push_back({pictures.filePath(QStringLiteral("shades%1.png").arg(f)), 40});
        ASSERT_TRUE(image.save(frames.back().path));
    }
    for (const int quality : {0, 100}) {
        CreationSettings settings = Settings(frames, 240, 180);
        settings.quality = quality;
        settings.outputPath = pictures.filePath(QStringLiteral("shades-q%1.gif").arg(quality));
        CreationRun run(engine, assembler, settings);
        ASSERT_TRUE(run.Run(0, {}).Ok());
        const testing_imaging::Animation gif = testing_imaging::DecodeAnimation(settings.outputPath);
        ASSERT_TRUE(gif.ok) << gif.error.toStdString();
        QSet<QRgb> shown;
        for (int y = 0; y < 180; ++y)
            for (int x = 0; x < 240; ++x)
                shown.insert(gif.frames.back().pixel(x, y));
        if (quality == 0) {
            EXPECT_LT(shown.size(), 100);
        } else {
            EXPECT_EQ(shown.size(), 250);
        }
    }
}

TEST_P(CreationRunTest, ProgressOfThreeFramesIsNotRounded)
{
    const QString dir = pictures.path();
    QVector<CreationFrame> frames;
    for (const char* name : {"a.png", "b.png", "c.png"})
        frames.push_back({MakePicture(dir, QLatin1String(name), {8, 8}, Qt::gray), 100});
    std::vector<double> progress;
    CreationRun run(engine, assembler, Settings(frames, 8, 8));
    ASSERT_TRUE(run.Run(0,
                        [&](double p) {
                            progress.push_back(p);
                            return true;
                        })
                    .Ok());
    ASSERT_EQ(progress.size(), 6u);
    for (size_t i = 0; i < progress.size(); ++i)
        EXPECT_DOUBLE_EQ(progress[i], 100.0 * double(i + 1) / 6.0) << i;
    EXPECT_EQ(testing_imaging::DecodeAnimation(pictures.filePath(QStringLiteral("out.gif"))).loopCount, 0)
        << "0 loops endlessly";
}

TEST_P(CreationRunTest, ATgaStoredFromTheBottomUpIsUpright)
{
    const QImage redOnTop = PictureBytes::Bands(20, 20, 10, qRgb(255, 0, 0), qRgb(0, 0, 255));
    const QString tga = pictures.filePath(QStringLiteral("bottom.tga"));
    ASSERT_TRUE(PictureBytes::Write(tga, PictureBytes::Tga(redOnTop, true)));
    CreationRun run(
        engine, assembler,
        Settings({{tga, 100}, {MakePicture(pictures.path(), QStringLiteral("b.png"), {20, 20}, Qt::green), 100}}, 20,
                 20));
    const CreationResult result = run.Run(0, [](double) { return true; });
    ASSERT_TRUE(result.Ok()) << result.message.toStdString();
    const testing_imaging::Animation gif =
        testing_imaging::DecodeAnimation(pictures.filePath(QStringLiteral("out.gif")));
    ASSERT_EQ(gif.frames.size(), 2);
    EXPECT_EQ(QColor(gif.frames[0].pixel(10, 2)), QColor(Qt::red));
    EXPECT_EQ(QColor(gif.frames[0].pixel(10, 17)), QColor(Qt::blue));
}

TEST_P(CreationRunTest, AFailingFrameNamesItselfAndLeavesNoFramesAndTheOldOutput)
{
    const QString dir = pictures.path();
    const QString out = pictures.filePath(QStringLiteral("out.gif"));
    QFile existing(out);
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("previous GIF");
    existing.close();
    QFile broken(QDir(dir).filePath(QStringLiteral("broken.png")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture at all");
    broken.close();

    const QString gone = QDir(dir).filePath(QStringLiteral("gone.png"));
    for (const QString& bad : {gone, broken.fileName()}) {
        QVector<CreationFrame> frames = {{MakePicture(dir, QStringLiteral("a.png"), {8, 8}, Qt::red), 100},
                                         {bad, 100},
                                         {MakePicture(dir, QStringLiteral("c.png"), {8, 8}, Qt::blue), 100}};
        int calls = 0;
        CreationRun run(engine, assembler, Settings(frames, 8, 8));
        const CreationResult result = run.Run(0, [&](double) { return ++calls > 0; });
        EXPECT_EQ(result.status, CreationResult::Status::Failed);
        EXPECT_TRUE(result.message.startsWith(QStringLiteral("Frame 2:"))) << result.message.toStdString();
        EXPECT_EQ(result.message.count(bad), 1) << result.message.toStdString();
        EXPECT_EQ(calls, 1) << "no progress after the failing frame";
        EXPECT_TRUE(FrameFiles(temp.path()).isEmpty());
        EXPECT_EQ(ReadAll(out), QByteArray("previous GIF"));
    }
}

TEST_P(CreationRunTest, AnUnwritableOutputIsNamedAndNoFramesStay)
{
    const QString dir = pictures.path();
    QVector<CreationFrame> frames = {{MakePicture(dir, QStringLiteral("a.png"), {8, 8}, Qt::red), 100},
                                     {MakePicture(dir, QStringLiteral("b.png"), {8, 8}, Qt::blue), 100}};
    CreationSettings s = Settings(frames, 8, 8);
    s.outputPath = pictures.filePath(QStringLiteral("no-such-folder/out.gif"));
    CreationRun run(engine, assembler, s);
    const CreationResult result = run.Run(0, {});
    EXPECT_EQ(result.status, CreationResult::Status::Failed);
    EXPECT_TRUE(result.message.contains(s.outputPath)) << result.message.toStdString();
    EXPECT_TRUE(FrameFiles(temp.path()).isEmpty());
}

TEST_P(CreationRunTest, AFullDiskFailsWithItsReasonAndKeepsTheOldFile)
{
    const QString dir = pictures.path();
    const QString out = pictures.filePath(QStringLiteral("out.gif"));
    QVector<CreationFrame> frames = {{MakePicture(dir, QStringLiteral("a.png"), {8, 8}, Qt::red), 100},
                                     {MakePicture(dir, QStringLiteral("b.png"), {8, 8}, Qt::blue), 100}};
    // The output's folder full, then the temporary folder full.
    for (const QByteArray& full : {QByteArray("out.gif"), QByteArray("__frame__")}) {
        QFile existing(out);
        ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
        existing.write("previous GIF");
        existing.close();
        FullDisk disk(full);
        CreationRun run(engine, assembler, Settings(frames, 8, 8));
        const CreationResult result = run.Run(0, {});
        EXPECT_EQ(result.status, CreationResult::Status::Failed) << full.constData();
        EXPECT_TRUE(result.message.endsWith(QStringLiteral(": No space left on device.")))
            << result.message.toStdString();
        EXPECT_EQ(ReadAll(out), QByteArray("previous GIF"));
        EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden).size(), 3) << "no file beside the output";
        EXPECT_TRUE(QDir(temp.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    }
}

TEST_P(CreationRunTest, StoppingFromProgressEndsTheRunWithoutOutputOrFrames)
{
    const QString dir = pictures.path();
    QVector<CreationFrame> frames;
    for (const char* name : {"a.png", "b.png", "c.png", "d.png", "e.png"})
        frames.push_back({MakePicture(dir, QLatin1String(name), {8, 8}, Qt::gray), 100});
    int calls = 0;
    {
        CreationRun run(engine, assembler, Settings(frames, 8, 8));
        const CreationResult result = run.ConvertFrames([&](double) { return ++calls < 2; });
        EXPECT_EQ(result.status, CreationResult::Status::Cancelled);
        EXPECT_EQ(calls, 2);
    } // going out of scope removes what was written
    EXPECT_TRUE(FrameFiles(temp.path()).isEmpty());
    EXPECT_FALSE(QFile::exists(pictures.filePath(QStringLiteral("out.gif"))));
}

TEST_P(CreationRunTest, AStopWhileJoiningEndsTheRunAtOnceKeepingTheOldOutput)
{
    const QString dir = pictures.path();
    QVector<CreationFrame> frames;
    for (const char* name : {"a.png", "b.png", "c.png", "d.png", "e.png"})
        frames.push_back({MakePicture(dir, QLatin1String(name), {8, 8}, Qt::gray), 100});
    const QString out = pictures.filePath(QStringLiteral("out.gif"));
    // Asked once before each frame is joined (1..5): every frame is read once.
    for (const int stopAt : {2, 4}) {
        QFile existing(out);
        ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
        existing.write("previous GIF");
        existing.close();
        CreationSettings s = Settings(frames, 8, 8);
        int asked = 0;
        s.stopRequested = [&] { return ++asked == stopAt; };
        CreationRun run(engine, assembler, s);
        const CreationResult result = run.Run(0, {});
        EXPECT_EQ(result.status, CreationResult::Status::Cancelled) << stopAt;
        EXPECT_EQ(asked, stopAt) << "nothing more is done once stopped";
        EXPECT_EQ(ReadAll(out), QByteArray("previous GIF"));
        EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden).size(), 6) << "no part file beside the output";
        EXPECT_TRUE(FrameFiles(temp.path()).isEmpty());
    }
}

TEST_P(CreationRunTest, LargePicturesWaitForMemoryAndStillComeOutInOrder)
{
    const QString dir = pictures.path();
    QVector<CreationFrame> frames;
    const QColor colors[] = {Qt::red, Qt::green, Qt::blue, Qt::white};
    for (int i = 0; i < 4; ++i)
        frames.push_back({MakePicture(dir, QStringLiteral("%1.png").arg(i), {64, 48}, colors[i]), 100});
    CreationSettings s = Settings(frames, 32, 24);
    s.memoryBudget = FrameBudget::FrameEstimate({64, 48}, {32, 24}) * 3 / 2; // one frame at a time
    CreationRun run(engine, assembler, s);
    ASSERT_TRUE(run.Run(0, {}).Ok());
    EXPECT_EQ(run.PeakFramesInFlight(), 1);
    const testing_imaging::Animation gif = testing_imaging::DecodeAnimation(s.outputPath);
    ASSERT_TRUE(gif.ok);
    ASSERT_EQ(gif.frames.size(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(QColor(gif.frames[i].pixel(30, 22)), colors[i]) << i;

    // By default two pictures of 100 megapixels never decode at once; one does.
    const qint64 huge = FrameBudget::FrameEstimate({10000, 10000}, {2000, 2000});
    EXPECT_LE(huge, FrameBudget::kDefaultBytes);
    EXPECT_GT(2 * huge, FrameBudget::kDefaultBytes);
}

INSTANTIATE_TEST_SUITE_P(Workers, CreationRunTest, ::testing::Values(1, 2),
                         [](const auto& info) { return info.param == 1 ? "InOrder" : "TwoWorkers"; });

} // namespace
