// SPDX-License-Identifier: GPL-3.0-or-later
// Joined animations decoded independently (giflib, browser compositing):
// every frame as its own file shows it, with its delay, in order.
#include "ImagingTestSupport.h"

#include "imaging/GifAssembler.h"
#include "imaging/animation/FrameQuantizer.h"
#include "imaging/animation/LzwEncoder.h"
#include "common/StopRequest.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <limits>

using namespace testing_imaging;

namespace {

class Assembler : public ::testing::Test {
protected:
    // Frame files of `pictures` and the animation joining them.
    bool Join(const QVector<QImage>& pictures, const QVector<int>& delays, int loop, const QString& out,
              int lzwError = 0, int lzwAheadArea = 0, bool lzwAheadAgain = false)
    {
        frames.clear();
        for (int i = 0; i < pictures.size(); ++i) {
            const QString f = SaveFrame(scratch, QStringLiteral("__frame__%1").arg(i + 1), pictures[i], &palettes);
            if (f.isEmpty())
                return false;
            frames << f;
        }
        gif.Reset();
        gif.LoopCount(loop);
        gif.LzwError(lzwError);
        gif.LzwAheadArea(lzwAheadArea);
        gif.LzwAheadAgain(lzwAheadAgain);
        gif.Version(QStringLiteral("gif89a"));
        for (int i = 0; i < frames.size(); ++i) {
            gif.AddFrame(frames[i]);
            gif.SetFrameDelay(i, delays.value(i, 10));
        }
        return gif.SaveAnimation(out);
    }
    // Every composited frame equals its frame file's picture, pixel for pixel.
    void ExpectFramesExact(const Animation& a)
    {
        ASSERT_TRUE(a.ok) << a.error.toStdString();
        ASSERT_EQ(a.frames.size(), frames.size());
        for (int i = 0; i < frames.size(); ++i) {
            const Animation single = DecodeAnimation(frames[i]);
            ASSERT_TRUE(single.ok);
            EXPECT_EQ(DifferentPixels(a.frames[i], single.frames[0]), 0) << "frame " << i;
        }
    }
    // Qt's decoder (the platform's picture loader) shows the same frames.
    static void ExpectQtAgrees(const QString& path, const Animation& a)
    {
        QImageReader reader(path, "gif");
        EXPECT_EQ(reader.imageCount(), a.frames.size());
        for (int i = 0; i < a.frames.size(); ++i) {
            const QImage q = reader.read();
            ASSERT_FALSE(q.isNull()) << i;
            EXPECT_EQ(DifferentPixels(q, a.frames[i]), 0) << "frame " << i;
        }
    }
    Scratch scratch;
    imaging::FrameQuantizer palettes; // one palette memory for the frames of a run, as the creation run has
    GifAssembler gif;
    QStringList frames;
};

// A scene with a square that moves: most pixels repeat from frame to frame.
QVector<QImage> MovingSquare(int count, int w = 64, int h = 40)
{
    QVector<QImage> out;
    for (int i = 0; i < count; ++i) {
        QImage img(w, h, QImage::Format_RGB32);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                img.setPixel(x, y, qRgb(x * 4, 100 + y, 60));
        QPainter p(&img);
        p.fillRect(4 + i * 5, 10, 9, 9, QColor(250, 250, 20));
        out << img;
    }
    return out;
}

TEST_F(Assembler, StructureLoopCountDelaysAndOrder)
{
    const QString out = scratch.Path(QStringLiteral("anim.gif"));
    ASSERT_TRUE(Join(MovingSquare(5), {12, 14, 0, 100, 10000}, 12, out)) << gif.LastError().toStdString();
    const Animation a = DecodeAnimation(out);
    ASSERT_TRUE(a.ok) << a.error.toStdString();
    EXPECT_EQ(a.version, QByteArray("GIF89a"));
    EXPECT_EQ(a.width, 64);
    EXPECT_EQ(a.height, 40);
    EXPECT_EQ(a.loopCount, 12);
    EXPECT_EQ(a.netscapeBlocks, 1);
    EXPECT_EQ(a.delays, (QVector<int>{12, 14, 0, 100, 10000}));
    ExpectFramesExact(a);

    ASSERT_TRUE(Join(MovingSquare(2), {5, 5}, 0, out));
    EXPECT_EQ(DecodeAnimation(out).loopCount, 0); // endless
    // Qt's reader agrees on the frame count.
    QImageReader reader(out, "gif");
    EXPECT_EQ(reader.imageCount(), 2);
}

TEST_F(Assembler, UnchangedPixelsAreCroppedAway)
{
    const QString out = scratch.Path(QStringLiteral("anim.gif"));
    ASSERT_TRUE(Join(MovingSquare(6), {}, 0, out));
    const Animation a = DecodeAnimation(out);
    ExpectFramesExact(a);
    ExpectQtAgrees(out, a);
    EXPECT_EQ(a.rects[0], QRect(0, 0, 64, 40));
    for (int i = 1; i < a.rects.size(); ++i) {
        // Only the old and the new square changed.
        EXPECT_LE(a.rects[i].width(), 16) << i;
        EXPECT_LE(a.rects[i].height(), 9) << i;
    }
    // Much smaller than the frames it joins.
    qint64 frameBytes = 0;
    for (const QString& f : frames)
        frameBytes += QFile(f).size();
    EXPECT_LT(QFile(out).size(), frameBytes / 2);
}

TEST_F(Assembler, ColoursNearWhatIsOnScreenStayAsShownWithinTheBound)
{
    // Four bands; each later frame lifts every channel by 3 (27 from the
    // frame before, squared over R, G, B) and moves a block. Each frame file
    // is written alone, so its colours are exactly its picture's.
    QVector<QImage> pictures;
    QStringList files;
    for (int i = 0; i < 3; ++i) {
        QImage img(64, 40, QImage::Format_RGB32);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 64; ++x) {
                const int band = 40 + 50 * (x / 16) + 3 * i;
                img.setPixel(x, y, qRgb(band, band + 10, 200 - band));
            }
        QPainter(&img).fillRect(8 + 20 * i, 20, 8, 8, QColor(250, 20, 20));
        pictures << img;
        files << SaveFrame(scratch, QStringLiteral("alone%1").arg(i), img);
    }
    const QString out = scratch.Path(QStringLiteral("anim.gif"));
    auto join = [&](int bound) {
        gif.Reset();
        gif.UnchangedError(bound);
        for (int i = 0; i < files.size(); ++i)
            gif.AddFrame(files[i]);
        return gif.SaveAnimation(out);
    };
    ASSERT_TRUE(join(48)) << gif.LastError().toStdString();
    const Animation a = DecodeAnimation(out);
    ASSERT_TRUE(a.ok) << a.error.toStdString();
    ExpectQtAgrees(out, a);
    // Frame 2 is within the bound of frame 1 but for the old and the new
    // block: only they are drawn.
    EXPECT_EQ(a.rects[1], QRect(8, 20, 28, 8));
    EXPECT_EQ(a.frames[1].pixel(0, 0), pictures[0].pixel(0, 0));
    EXPECT_EQ(a.frames[1].pixel(12, 22), pictures[1].pixel(12, 22));
    EXPECT_EQ(a.frames[1].pixel(30, 22), pictures[1].pixel(30, 22));
    // Frame 3 is 27 from frame 2 but 108 from what is still on screen of
    // frame 1: compared with the screen, it is drawn again, exactly, but for
    // where frame 2 drew its band colours (the first block's place).
    EXPECT_EQ(DifferentPixels(a.frames[2], pictures[2]), 64);
    EXPECT_EQ(a.frames[2].pixel(12, 22), pictures[1].pixel(12, 22));
    EXPECT_EQ(a.frames[2].pixel(0, 0), pictures[2].pixel(0, 0));

    ASSERT_TRUE(join(0));
    const Animation exact = DecodeAnimation(out);
    ASSERT_TRUE(exact.ok);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(DifferentPixels(exact.frames[i], pictures[i]), 0) << i;
}

TEST_F(Assembler, ColourTablesCarryOnlyWhatTheFramesUse)
{
    // Five colours over all frames: one global table of 8 entries, no local
    // ones, and unchanged pixels still shown through a free index.
    const QColor colours[] = {Qt::black, Qt::red, Qt::green, Qt::blue, Qt::white};
    QVector<QImage> few;
    for (int i = 0; i < 6; ++i) {
        QImage img(40, 30, QImage::Format_RGB32);
        img.fill(colours[0]);
        QPainter p(&img);
        p.fillRect(2 + 5 * i, 4, 6, 6, colours[1 + i % 4]);
        p.fillRect(0, 20, 40, 10, colours[1 + (i / 2) % 4]);
        few << img;
    }
    const QString out = scratch.Path(QStringLiteral("few.gif"));
    ASSERT_TRUE(Join(few, {}, 0, out));
    const Animation a = DecodeAnimation(out);
    ExpectFramesExact(a);
    ExpectQtAgrees(out, a);
    EXPECT_EQ(a.globalTableSize, 8);
    EXPECT_EQ(a.localTables.count(true), 0);

    // Eight colours given as the frames' shared palette, every frame in all
    // of them: noise, changed in all of them at two far corners. Transparency pays for a
    // table of its own there, so without a free index in the global table
    // each frame takes one; the table grows to 16 instead.
    const std::vector<uint32_t> eight{0x000000, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
    QVector<QImage> full;
    uint32_t seed = 7;
    QImage noise(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            seed = seed * 1103515245u + 12345u;
            noise.setPixel(x, y, 0xFF000000u | eight[size_t(seed >> 16) % 8]);
        }
    for (int i = 0; i < 4; ++i) {
        QImage img = noise;
        for (int x = 0; x < 8; ++x) {
            img.setPixel(x, 0, 0xFF000000u | eight[size_t(x + i) % 8]);
            img.setPixel(63 - x, 47, 0xFF000000u | eight[size_t(x + i) % 8]);
        }
        full << img;
    }
    const QString out3 = scratch.Path(QStringLiteral("full.gif"));
    gif.Reset();
    gif.GlobalColors(eight, true);
    gif.Begin(out3);
    for (const QImage& img : full) {
        imaging::IndexedPicture frame;
        QString error;
        ASSERT_TRUE(palettes.Quantize(img, &frame, &error));
        ASSERT_TRUE(gif.Append(std::move(frame), 10));
    }
    ASSERT_TRUE(gif.Finish());
    const Animation c = DecodeAnimation(out3);
    ASSERT_EQ(c.frames.size(), full.size());
    for (int i = 0; i < full.size(); ++i)
        EXPECT_EQ(DifferentPixels(c.frames[i], full[i]), 0) << i;
    EXPECT_EQ(c.globalTableSize, 16);
    EXPECT_EQ(c.localTables.count(true), 0);

    // Gradients of unrelated colours, each quantised on its own: no frame
    // could use another's table, so each keeps a table of its own.
    QVector<QImage> apart;
    for (int k = 0; k < 3; ++k) {
        QImage img(48, 32, QImage::Format_RGB32);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 48; ++x)
                img.setPixel(x, y, qRgb(x * 5, y * 8, 40 + k * 100));
        apart << img;
    }
    const QString out2 = scratch.Path(QStringLiteral("apart.gif"));
    ASSERT_TRUE(Join(apart, {}, 0, out2));
    const Animation b = DecodeAnimation(out2);
    ExpectFramesExact(b);
    ExpectQtAgrees(out2, b);
    EXPECT_EQ(b.globalTableSize, 0);
    EXPECT_EQ(b.localTables.count(true), 3);
}

TEST_F(Assembler, IdenticalFramesStayFramesOfTheirOwn)
{
    const QVector<QImage> still = {Pattern(30, 20), Pattern(30, 20), Pattern(30, 20), Pattern(20, 30).scaled(30, 20)};
    const QString out = scratch.Path(QStringLiteral("still.gif"));
    ASSERT_TRUE(Join(still, {10, 20, 30, 40}, 0, out));
    const Animation a = DecodeAnimation(out);
    ExpectFramesExact(a);
    EXPECT_EQ(a.delays, (QVector<int>{10, 20, 30, 40}));
    EXPECT_EQ(a.rects[1].size(), QSize(1, 1));
    EXPECT_EQ(a.rects[2].size(), QSize(1, 1));
}

TEST_F(Assembler, TransparentAreasNeverShowThePreviousFrame)
{
    // Opaque, then a hole where the first was opaque, then opaque again, then
    // a different hole, then fully transparent, then the first again.
    auto withHole = [](QRect hole, QColor fill) {
        QImage img(40, 30, QImage::Format_ARGB32);
        img.fill(fill);
        for (int y = hole.top(); y <= hole.bottom(); ++y)
            for (int x = hole.left(); x <= hole.right(); ++x)
                img.setPixel(x, y, 0);
        return img;
    };
    QImage clear(40, 30, QImage::Format_ARGB32);
    clear.fill(0);
    const QVector<QImage> pictures = {
        withHole(QRect(), QColor(200, 30, 30)),
        withHole(QRect(5, 5, 10, 8), QColor(200, 30, 30)),
        withHole(QRect(), QColor(30, 200, 30)),
        withHole(QRect(20, 10, 15, 15), QColor(30, 200, 30)),
        clear,
        withHole(QRect(0, 0, 40, 3), QColor(200, 30, 30)),
        withHole(QRect(), QColor(200, 30, 30)),
    };
    const QString out = scratch.Path(QStringLiteral("holes.gif"));
    ASSERT_TRUE(Join(pictures, {}, 0, out)) << gif.LastError().toStdString();
    const Animation a = DecodeAnimation(out);
    ExpectFramesExact(a);
    ExpectQtAgrees(out, a);
    // The frames really have holes (the test would be empty otherwise).
    EXPECT_EQ(qAlpha(a.frames[1].pixel(7, 7)), 0);
    EXPECT_EQ(qAlpha(a.frames[4].pixel(20, 20)), 0);
    EXPECT_EQ(qAlpha(a.frames[5].pixel(20, 20)), 255);
}

TEST_F(Assembler, CompressingOnSeveralThreadsWritesTheSameBytes)
{
    // Frames large enough to be compressed on other threads, with holes that
    // make the disposal of the frame before depend on the frame after.
    QVector<QImage> pictures = MovingSquare(9, 160, 120);
    for (int i = 2; i < pictures.size(); i += 3) {
        pictures[i] = pictures[i].convertToFormat(QImage::Format_ARGB32);
        QPainter p(&pictures[i]);
        p.setCompositionMode(QPainter::CompositionMode_Clear);
        p.fillRect(10 * i, 20, 30, 40, Qt::transparent);
    }
    const QString one = scratch.Path(QStringLiteral("one.gif"));
    const QString three = scratch.Path(QStringLiteral("three.gif"));
    gif.Threads(1);
    ASSERT_TRUE(Join(pictures, {}, 0, one)) << gif.LastError().toStdString();
    gif.Threads(3);
    palettes.Reset(); // the same frame files again
    ASSERT_TRUE(Join(pictures, {}, 0, three)) << gif.LastError().toStdString();
    QFile a(one), b(three);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll(), b.readAll());
    const Animation decoded = DecodeAnimation(three);
    ExpectFramesExact(decoded);
    EXPECT_EQ(qAlpha(decoded.frames[2].pixel(30, 30)), 0);
}

TEST_F(Assembler, FullPalettesWithoutAFreeIndexStayExact)
{
    // Noise in 256 colours everywhere: no palette index is free for
    // "unchanged", and every frame changes everywhere but in one band.
    QVector<QImage> pictures;
    quint32 seed = 1;
    for (int i = 0; i < 3; ++i) {
        QImage img(48, 48, QImage::Format_RGB32);
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 48; ++x) {
                seed = seed * 1103515245u + 12345u;
                img.setPixel(x, y,
                             y < 8 ? qRgb(x * 5, 0, 0)
                                   : qRgb(int(seed >> 24), int((seed >> 14) & 255), int((seed >> 4) & 255)));
            }
        pictures << img;
    }
    const QString out = scratch.Path(QStringLiteral("noise.gif"));
    ASSERT_TRUE(Join(pictures, {}, 0, out));
    const Animation a = DecodeAnimation(out);
    ExpectFramesExact(a);
    ExpectQtAgrees(out, a);
}

TEST_F(Assembler, NearColoursStayAsShownWhereEveryIndexIsTaken)
{
    // All 256 greys in both frames, so no index is free for "unchanged"; the
    // second frame's top rows are one grey lighter than the first's. Written
    // in the greys on screen, which its table has, they need not be drawn.
    // Frames stored exactly, as -Q 100 stores them.
    QVector<QImage> pictures;
    QStringList files;
    imaging::FrameQuantizer exact;
    exact.Settings() = imaging::SettingsForQuality(100);
    for (int i = 0; i < 2; ++i) {
        QImage img(16, 20, QImage::Format_RGB32);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 16; ++x) {
                const int g = y < 4 ? 7 * x + 40 * y + i : ((y - 4) * 16 + x + 128 * i) % 256;
                img.setPixel(x, y, qRgb(g, g, g));
            }
        pictures << img;
        files << SaveFrame(scratch, QStringLiteral("greys%1").arg(i), img, &exact);
    }
    const QString out = scratch.Path(QStringLiteral("greys.gif"));
    gif.Reset();
    gif.UnchangedError(3);
    for (const QString& f : files)
        gif.AddFrame(f);
    ASSERT_TRUE(gif.SaveAnimation(out)) << gif.LastError().toStdString();
    const Animation a = DecodeAnimation(out);
    ASSERT_TRUE(a.ok) << a.error.toStdString();
    ExpectQtAgrees(out, a);
    EXPECT_EQ(DifferentPixels(a.frames[0], pictures[0]), 0);
    EXPECT_EQ(a.rects[1], QRect(0, 4, 16, 16));
    EXPECT_EQ(DifferentPixels(a.frames[1].copy(0, 0, 16, 4), pictures[0].copy(0, 0, 16, 4)), 0);
    EXPECT_EQ(DifferentPixels(a.frames[1].copy(0, 4, 16, 16), pictures[1].copy(0, 4, 16, 16)), 0);
}

TEST_F(Assembler, LossyCodesKeepEveryPixelWithinTheBoundAndTransparencyExact)
{
    // A ramp with a moving square and a fixed hole: many close colours for
    // the codes to merge, across frames that build on each other.
    QVector<QImage> pictures;
    for (QImage img : MovingSquare(4)) {
        img = img.convertToFormat(QImage::Format_ARGB32);
        QPainter p(&img);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.fillRect(40, 2, 12, 6, Qt::transparent);
        pictures << img;
    }
    constexpr int kBound = 40;
    palettes.Settings().maxQuality = 100; // the ramp's close colours each an entry of their own
    const QString exact = scratch.Path(QStringLiteral("exact.gif"));
    const QString lossy = scratch.Path(QStringLiteral("lossy.gif"));
    ASSERT_TRUE(Join(pictures, {}, 0, exact));
    palettes.Reset();
    ASSERT_TRUE(Join(pictures, {}, 0, lossy, kBound));
    EXPECT_LT(QFileInfo(lossy).size(), QFileInfo(exact).size());
    const Animation a = DecodeAnimation(lossy);
    ASSERT_TRUE(a.ok) << a.error.toStdString();
    ASSERT_EQ(a.frames.size(), frames.size());
    for (int i = 0; i < frames.size(); ++i) {
        const QImage want = DecodeAnimation(frames[i]).frames.value(0);
        ASSERT_EQ(want.size(), a.frames[i].size());
        int worst = 0;
        for (int y = 0; y < want.height(); ++y)
            for (int x = 0; x < want.width(); ++x) {
                const QRgb w = want.pixel(x, y), g = a.frames[i].pixel(x, y);
                ASSERT_EQ(qAlpha(g), qAlpha(w)) << "frame " << i << " at " << x << "," << y;
                const int dr = qRed(g) - qRed(w), dg = qGreen(g) - qGreen(w), db = qBlue(g) - qBlue(w);
                worst = std::max(worst, qAlpha(w) ? dr * dr + dg * dg + db * db : 0);
            }
        EXPECT_LE(worst, kBound) << "frame " << i;
    }
}

TEST_F(Assembler, LargeNoisyFramesRoundTripThroughFullCodeTables)
{
    // Enough distinct pixels that the compression table fills and restarts
    // many times, in every frame; a moving band keeps part of each frame unchanged.
    QVector<QImage> pictures;
    quint32 seed = 99;
    QImage noise(220, 160, QImage::Format_RGB32);
    for (int y = 0; y < 160; ++y)
        for (int x = 0; x < 220; ++x) {
            seed = seed * 1664525u + 1013904223u;
            noise.setPixel(x, y, qRgb(int(seed >> 24), int((seed >> 16) & 255), int((seed >> 8) & 255)));
        }
    for (int i = 0; i < 4; ++i) {
        QImage img = noise.copy();
        QPainter p(&img);
        p.fillRect(0, 30 + i * 25, 220, 20, QColor(255, 255, 255));
        pictures << img;
    }
    const QString out = scratch.Path(QStringLiteral("noise.gif"));
    ASSERT_TRUE(Join(pictures, {}, 0, out));
    const Animation a = DecodeAnimation(out);
    ExpectFramesExact(a);
    ExpectQtAgrees(out, a);
}

TEST(LzwEncoder, AStopIsHonouredWithinOneEncoding)
{
    // Noise fills the code table every few thousand pixels: that is where a
    // stop, of the writer or of the process, ends the encoding.
    std::vector<uint8_t> pixels(220 * 160);
    quint32 seed = 7;
    for (uint8_t& p : pixels) {
        seed = seed * 1664525u + 1013904223u;
        p = uint8_t(seed >> 24);
    }
    imaging::LzwEncoder lzw;
    QByteArray blocks;
    std::atomic<bool> stop{false};
    lzw.StopOn(&stop);
    std::vector<uint8_t> work = pixels;
    ASSERT_TRUE(lzw.Encode(work.data(), work.size(), 8, &blocks));
    EXPECT_TRUE(lzw.TableFilled());
    stop = true;
    EXPECT_FALSE(lzw.Encode(work.data(), work.size(), 8, &blocks));
    stop = false;
    StopRequest::Set(2);
    EXPECT_FALSE(lzw.Encode(work.data(), work.size(), 8, &blocks));
    StopRequest::Clear();
    EXPECT_TRUE(lzw.Encode(work.data(), work.size(), 8, &blocks));
}

// The colours of OneImageGif's tables of more than four.
QRgb Shade(int index) { return qRgb(index * 16, 255 - index * 16, 64); }

// A one-image GIF of LZW blocks over four colours (or 2^bits shades), for
// giflib to decode.
QByteArray OneImageGif(int w, int h, const QByteArray& blocks, int bits = 2)
{
    QByteArray gif("GIF89a");
    auto le16 = [&gif](int v) { gif.append(char(v & 0xFF)).append(char(v >> 8)); };
    le16(w);
    le16(h);
    gif.append(char(0xF0 | (bits - 1))).append(char(0)).append(char(0));
    if (bits == 2)
        gif.append(QByteArray::fromHex("ff000000ff00000040000000")); // red, green, dark blue, black
    for (int c = 0; bits > 2 && c < 1 << bits; ++c)
        gif.append(char(qRed(Shade(c)))).append(char(qGreen(Shade(c)))).append(char(qBlue(Shade(c))));
    gif.append(char(0x2C));
    le16(0);
    le16(0);
    le16(w);
    le16(h);
    gif.append(char(0)).append(char(bits)).append(blocks).append(char(0)).append(char(0x3B));
    return gif;
}

TEST(LzwEncoder, PixelsWithTwoIndicesTakeTheOneThatCompressesAndDecodeAsWritten)
{
    // Left: noise in red, green and blue that fills the code table; right:
    // green with scattered pixels that may be black (3) or green (1).
    const int w = 240, h = 240;
    std::vector<uint8_t> pixels(size_t(w * h)), alternatives(size_t(w * h));
    quint32 seed = 5;
    for (size_t i = 0; i < pixels.size(); ++i) {
        seed = seed * 1664525u + 1013904223u;
        const bool right = int(i % size_t(w)) >= w / 2;
        pixels[i] = right ? ((seed >> 28) < 5 ? 3 : 1) : uint8_t((seed >> 24) % 3);
        alternatives[i] = pixels[i] == 3 ? 1 : pixels[i];
    }
    imaging::LzwEncoder lzw;
    QByteArray fixed;
    std::vector<uint8_t> work = pixels;
    ASSERT_TRUE(lzw.Encode(work.data(), work.size(), 2, &fixed));
    Scratch scratch;
    for (int round = 0; round < 3; ++round) {
        const bool keep = round == 1;
        const uint32_t palette[4] = {0xFF0000, 0x00FF00, 0x000040, 0};
        lzw.Lossy(palette, 4, -1, round == 2 ? 64 * 64 : 0); // dark blue and black may stand in for each other
        std::vector<uint8_t> written = pixels, other = alternatives;
        QByteArray blocks;
        ASSERT_TRUE(lzw.Encode(written.data(), written.size(), 2, &blocks, std::numeric_limits<qsizetype>::max(), keep,
                               other.data()));
        EXPECT_TRUE(lzw.TableFilled());
        if (round < 2) {
            EXPECT_LT(blocks.size(), fixed.size() * 8 / 10) << round;
        }
        const QString path = scratch.Path(QStringLiteral("free%1.gif").arg(round));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(OneImageGif(w, h, blocks));
        f.close();
        const Animation a = DecodeAnimation(path);
        ASSERT_TRUE(a.ok) << a.error.toStdString();
        const QImage& shown = a.frames[0];
        int wrong = 0;
        for (int i = 0; i < w * h; ++i) {
            const QRgb c = shown.pixel(i % w, i / w) & 0xFFFFFF;
            const int index = c == 0xFF0000 ? 0 : c == 0x00FF00 ? 1 : c == 0x000040 ? 2 : 3;
            const auto dark = [](int v) { return v >= 2; };
            const bool allowed = index == pixels[size_t(i)] || index == alternatives[size_t(i)]
                || (round == 2 && dark(index) && (dark(pixels[size_t(i)]) || dark(alternatives[size_t(i)])));
            wrong += index != written[size_t(i)] || !allowed;
        }
        EXPECT_EQ(wrong, 0) << round;
    }
}

TEST(LzwEncoder, ParsingAheadWritesFewerBytesThatDecodeToTheSamePixels)
{
    // A pan over a texture: each row is a stretch of one long row of 16
    // colours, from a random place, so strings recur at every alignment.
    // Colour 3 may be written as 2 in every third row.
    const int w = 320, h = 240;
    quint32 seed = 11;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    std::vector<uint8_t> texture(4000);
    for (uint8_t& t : texture)
        t = uint8_t((next() >> 16) % 16u);
    std::vector<uint8_t> pixels(size_t(w * h)), alternatives(size_t(w * h));
    for (int y = 0; y < h; ++y) {
        const size_t from = (next() >> 8) % 3600u;
        for (int x = 0; x < w; ++x) {
            const size_t i = size_t(y * w + x);
            pixels[i] = texture[from + size_t(x)];
            alternatives[i] = pixels[i] == 3 && y % 3 == 0 ? 2 : pixels[i];
        }
    }
    Scratch scratch;
    imaging::LzwEncoder lzw;
    for (const bool keep : {false, true}) {
        for (const bool withAlternatives : {false, true}) {
            std::vector<uint8_t> greedy = pixels, greedyOther = alternatives;
            QByteArray longest;
            lzw.Lookahead(0);
            ASSERT_TRUE(lzw.Encode(greedy.data(), greedy.size(), 4, &longest, std::numeric_limits<qsizetype>::max(),
                                   keep, withAlternatives ? greedyOther.data() : nullptr));
            std::vector<uint8_t> written = pixels, other = alternatives;
            QByteArray ahead;
            lzw.Lookahead(2);
            ASSERT_TRUE(lzw.Encode(written.data(), written.size(), 4, &ahead, std::numeric_limits<qsizetype>::max(),
                                   keep, withAlternatives ? other.data() : nullptr));
            EXPECT_TRUE(lzw.TableFilled());
            EXPECT_LT(ahead.size(), longest.size()) << keep << withAlternatives;
            const QString path = scratch.Path(QStringLiteral("ahead%1%2.gif").arg(keep).arg(withAlternatives));
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(OneImageGif(w, h, ahead, 4));
            f.close();
            const Animation a = DecodeAnimation(path);
            ASSERT_TRUE(a.ok) << a.error.toStdString();
            int wrong = 0;
            for (int i = 0; i < w * h; ++i) {
                const uint8_t index = written[size_t(i)];
                const bool taken = index == pixels[size_t(i)] || (withAlternatives && index == alternatives[size_t(i)]);
                wrong += a.frames[0].pixel(i % w, i / w) != Shade(index) || !taken;
            }
            EXPECT_EQ(wrong, 0) << keep << withAlternatives;
        }
    }
}

TEST(LzwEncoder, LossyCodesParsedAheadDecodeToThePixelsWrittenBack)
{
    // Rows of a texture of 16 shades, each pixel one shade off now and then;
    // neighbouring shades may stand in for each other, and 5 may be written
    // as 4 in every other row.
    const int w = 256, h = 160;
    quint32 seed = 21;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    std::vector<uint8_t> texture(1200);
    for (uint8_t& t : texture)
        t = uint8_t((next() >> 16) % 16u);
    std::vector<uint8_t> pixels(size_t(w * h)), alternatives(size_t(w * h));
    for (int y = 0; y < h; ++y) {
        const size_t from = (next() >> 8) % 900u;
        for (int x = 0; x < w; ++x) {
            const size_t i = size_t(y * w + x);
            const int off = (next() >> 28) == 0 ? 1 : 0;
            pixels[i] = uint8_t(std::min(texture[from + size_t(x)] + off, 15));
            alternatives[i] = pixels[i] == 5 && y % 2 ? 4 : pixels[i];
        }
    }
    uint32_t palette[16];
    for (int c = 0; c < 16; ++c)
        palette[c] = Shade(c) & 0xFFFFFF;
    imaging::LzwEncoder lzw;
    lzw.Lookahead(2);
    std::vector<uint8_t> exactPixels = pixels, exactOther = alternatives;
    QByteArray exact;
    ASSERT_TRUE(lzw.Encode(exactPixels.data(), exactPixels.size(), 4, &exact, std::numeric_limits<qsizetype>::max(),
                           false, exactOther.data()));
    lzw.Lossy(palette, 16, -1, 2 * 16 * 16); // one shade apart
    std::vector<uint8_t> written = pixels, other = alternatives;
    QByteArray lossy;
    ASSERT_TRUE(lzw.Encode(written.data(), written.size(), 4, &lossy, std::numeric_limits<qsizetype>::max(), false,
                           other.data()));
    EXPECT_LT(lossy.size(), exact.size() * 9 / 10);
    Scratch scratch;
    const QString path = scratch.Path(QStringLiteral("lossyahead.gif"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(OneImageGif(w, h, lossy, 4));
    f.close();
    const Animation a = DecodeAnimation(path);
    ASSERT_TRUE(a.ok) << a.error.toStdString();
    int wrong = 0, replaced = 0;
    for (int i = 0; i < w * h; ++i) {
        const int index = written[size_t(i)];
        const bool near = std::abs(index - pixels[size_t(i)]) <= 1 || std::abs(index - alternatives[size_t(i)]) <= 1;
        wrong += a.frames[0].pixel(i % w, i / w) != Shade(index) || !near;
        replaced += index != pixels[size_t(i)] && index != alternatives[size_t(i)];
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(replaced, 0);
}

TEST_F(Assembler, FramesParsedAheadAreSmallerAndExact)
{
    // A pan over a texture of 16 colours in every other row; the rows between
    // stay, to be written transparent or in the colour on screen.
    quint32 seed = 3;
    QRgb texture[640];
    for (QRgb& t : texture) {
        seed = seed * 1664525u + 1013904223u;
        t = qRgb(int(seed >> 28) * 16, 255 - int(seed >> 28) * 16, 64);
    }
    QVector<QImage> pictures;
    for (int i = 0; i < 4; ++i) {
        QImage img(200, 120, QImage::Format_RGB32);
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 200; ++x)
                img.setPixel(x, y, texture[(x * 3 + y * 11 + (y % 2 ? 0 : i * 7)) % 640]);
        pictures << img;
    }
    const QString greedy = scratch.Path(QStringLiteral("greedy.gif"));
    const QString ahead = scratch.Path(QStringLiteral("ahead.gif"));
    const QString again = scratch.Path(QStringLiteral("again.gif"));
    ASSERT_TRUE(Join(pictures, {}, 0, greedy));
    ASSERT_TRUE(Join(pictures, {}, 0, ahead, 0, 200 * 120));
    ASSERT_TRUE(Join(pictures, {}, 0, again, 0, 200 * 120, true));
    EXPECT_LT(QFile(ahead).size(), QFile(greedy).size());
    EXPECT_LE(QFile(again).size(), QFile(ahead).size());
    for (const QString& path : {ahead, again}) {
        const Animation a = DecodeAnimation(path);
        ExpectFramesExact(a);
        ExpectQtAgrees(path, a);
    }
}

// Whether each pixel of frame `frame` of the GIF at `path` is written
// transparent (giflib's raw indices, before compositing).
QVector<bool> WrittenTransparent(const QString& path, int frame)
{
    QVector<bool> out;
    int error = 0;
    GifFileType* gif = DGifOpenFileName(QFile::encodeName(path).constData(), &error);
    if (!gif)
        return out;
    if (DGifSlurp(gif) == GIF_OK && frame < gif->ImageCount) {
        GraphicsControlBlock gcb;
        gcb.TransparentColor = NO_TRANSPARENT_COLOR;
        DGifSavedExtensionToGCB(gif, frame, &gcb);
        const SavedImage& s = gif->SavedImages[frame];
        for (int i = 0; i < s.ImageDesc.Width * s.ImageDesc.Height; ++i)
            out << (s.RasterBits[i] == gcb.TransparentColor);
    }
    DGifCloseFile(gif, &error);
    return out;
}

TEST_F(Assembler, UnchangedStretchesDecodeAlikeEitherWay)
{
    // Rows of gray above rows of stripes in four colours, each row starting
    // and ending in blue; then every row starts in a stripe's colour and ends
    // in gray (changed pixels in every colour: none of them becomes the
    // transparent index). Unchanged between them: stretches of one colour
    // above, of several below, each running across a row end.
    const int w = 48, h = 10;
    const auto stripe = [](int x) { return qRgb(20 + (x / 3) % 4 * 60, 200 - (x / 3) % 4 * 40, 90); };
    const QRgb gray = qRgb(128, 128, 128), blue = qRgb(20, 20, 250);
    QImage before(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            before.setPixel(x, y, y < h / 2 ? gray : stripe(x));
    QImage after = before.copy();
    for (int y = 0; y < h; ++y) {
        before.setPixel(0, y, blue);
        before.setPixel(w - 1, y, blue);
        after.setPixel(0, y, stripe(y * 3));
        after.setPixel(w - 1, y, gray);
    }
    for (const int ahead : {0, w * h}) {
        const QString out = scratch.Path(QStringLiteral("stretches%1.gif").arg(ahead));
        ASSERT_TRUE(Join({before, after, before}, {}, 0, out, 0, ahead)) << gif.LastError().toStdString();
        const Animation a = DecodeAnimation(out);
        ExpectFramesExact(a);
        ExpectQtAgrees(out, a);
        ASSERT_EQ(a.rects[1], QRect(0, 0, w, h));
        const QVector<bool> transparent = WrittenTransparent(out, 1);
        ASSERT_EQ(transparent.size(), w * h);
        EXPECT_GT(transparent.count(true), w * h / 4) << ahead;
    }
}

TEST_F(Assembler, QtShowsFramesWithHolesAsBrowsersDo)
{
    QImage full(30, 20, QImage::Format_ARGB32);
    full.fill(QColor(20, 90, 200));
    QImage holed = full.copy();
    for (int y = 4; y < 12; ++y)
        for (int x = 6; x < 20; ++x)
            holed.setPixel(x, y, 0);
    const QString out = scratch.Path(QStringLiteral("holes.gif"));
    ASSERT_TRUE(Join({full, holed, full, holed}, {}, 0, out));
    const Animation a = DecodeAnimation(out);
    ExpectFramesExact(a);
    ExpectQtAgrees(out, a);
}

TEST_F(Assembler, AddFrameOnlyRecordsThePath)
{
    const QVector<QImage> pictures = MovingSquare(2);
    const QString f1 = SaveFrame(scratch, QStringLiteral("a"), pictures[0]);
    const QString f2 = SaveFrame(scratch, QStringLiteral("b"), pictures[1]);
    gif.Reset();
    ASSERT_TRUE(gif.AddFrame(f1));
    ASSERT_TRUE(gif.AddFrame(f2));
    // Replaced after AddFrame: the animation holds the file as it is at saving.
    const QString replacement = SaveFrame(scratch, QStringLiteral("c"), Pattern(64, 40));
    ASSERT_TRUE(QFile::remove(f2));
    ASSERT_TRUE(QFile::rename(replacement, f2));
    const QString out = scratch.Path(QStringLiteral("late.gif"));
    ASSERT_TRUE(gif.SaveAnimation(out));
    const Animation a = DecodeAnimation(out);
    ASSERT_EQ(a.frames.size(), 2);
    EXPECT_EQ(DifferentPixels(a.frames[1], DecodeAnimation(f2).frames[0]), 0);
}

TEST_F(Assembler, ResetStartsAnEmptyAnimation)
{
    const QString out = scratch.Path(QStringLiteral("a.gif"));
    ASSERT_TRUE(Join(MovingSquare(3), {}, 5, out));
    gif.Reset();
    EXPECT_FALSE(gif.SaveAnimation(scratch.Path(QStringLiteral("empty.gif"))));
    EXPECT_FALSE(QFile::exists(scratch.Path(QStringLiteral("empty.gif"))));
    EXPECT_FALSE(gif.SetFrameDelay(0, 10));
    ASSERT_TRUE(gif.AddFrame(frames[0]));
    EXPECT_TRUE(gif.SetFrameDelay(0, 7));
    EXPECT_FALSE(gif.SetFrameDelay(1, 7));
    EXPECT_FALSE(gif.SetFrameDelay(-1, 7));
    ASSERT_TRUE(gif.SaveAnimation(out));
    const Animation a = DecodeAnimation(out);
    EXPECT_EQ(a.frames.size(), 1);
    EXPECT_EQ(a.loopCount, 0); // the earlier loop count is gone
    EXPECT_EQ(a.delays, QVector<int>{7});
}

TEST_F(Assembler, AFailurePartWayLeavesTheTargetUntouched)
{
    const QString out = scratch.Path(QStringLiteral("keep.gif"));
    ASSERT_TRUE(WriteAll(out, QByteArray("an earlier animation")));
    const QVector<QImage> pictures = MovingSquare(4);
    for (int i = 0; i < 4; ++i)
        frames << SaveFrame(scratch, QStringLiteral("__frame__%1").arg(i + 1), pictures[i]);
    ASSERT_TRUE(QFile::remove(frames[2]));
    const QStringList before = scratch.Entries();
    gif.Reset();
    for (int i = 0; i < 4; ++i) {
        gif.AddFrame(frames[i]);
        gif.SetFrameDelay(i, 10);
    }
    EXPECT_FALSE(gif.SaveAnimation(out));
    EXPECT_TRUE(gif.LastError().contains(QLatin1String("__frame__3.gif"))) << gif.LastError().toStdString();
    EXPECT_TRUE(gif.LastError().contains(QLatin1String("keep.gif")));
    EXPECT_EQ(ReadAll(out), QByteArray("an earlier animation"));
    EXPECT_EQ(scratch.Entries(), before); // no temporary file left

    // A frame that is not a GIF: the same.
    ASSERT_TRUE(WriteAll(frames[2], QByteArray("GIF89a\x10\x00\x10\x00 truncated", 20)));
    const QStringList again = scratch.Entries();
    EXPECT_FALSE(gif.SaveAnimation(out));
    EXPECT_EQ(ReadAll(out), QByteArray("an earlier animation"));
    EXPECT_EQ(scratch.Entries(), again);
}

TEST_F(Assembler, AnUnwritableTargetFailsWithItsName)
{
    const QVector<QImage> pictures = MovingSquare(2);
    gif.Reset();
    gif.AddFrame(SaveFrame(scratch, QStringLiteral("a"), pictures[0]));
    gif.AddFrame(SaveFrame(scratch, QStringLiteral("b"), pictures[1]));
    const QString inMissingFolder = scratch.Path(QStringLiteral("missing/out.gif"));
    EXPECT_FALSE(gif.SaveAnimation(inMissingFolder));
    EXPECT_TRUE(gif.LastError().contains(QLatin1String("out.gif")));
    // The target is a folder.
    EXPECT_FALSE(gif.SaveAnimation(scratch.Path(QString())));
    EXPECT_FALSE(gif.SaveAnimation(QString()));
}

TEST_F(Assembler, FramesOfAnotherSizeAreFittedToTheScreen)
{
    // Frames of one run all have one size; a stray one is placed at the top left.
    const QString out = scratch.Path(QStringLiteral("mixed.gif"));
    const QString a = SaveFrame(scratch, QStringLiteral("a"), Pattern(30, 20));
    const QString b = SaveFrame(scratch, QStringLiteral("b"), Pattern(10, 40));
    gif.Reset();
    gif.AddFrame(a);
    gif.AddFrame(b);
    ASSERT_TRUE(gif.SaveAnimation(out));
    const Animation anim = DecodeAnimation(out);
    ASSERT_TRUE(anim.ok);
    EXPECT_EQ(anim.width, 30);
    EXPECT_EQ(anim.height, 20);
    const QImage second = DecodeAnimation(b).frames[0];
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x) {
            ASSERT_EQ(anim.frames[1].pixel(x, y), x < 10 ? second.pixel(x, y) : 0u) << x << "," << y;
        }
}

} // namespace
