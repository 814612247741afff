// SPDX-License-Identifier: GPL-3.0-or-later
// The engine's current picture: loading, dropping, scaling, saving as GIF,
// and the clipboard.
#include "ImagingTestSupport.h"

#include "imaging/animation/FrameQuantizer.h"
#include "imaging/ImageEngine.h"
#include "imaging/ImagingLimits.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>

#include <gtest/gtest.h>

using namespace testing_imaging;

namespace {

class Engine : public ::testing::Test {
protected:
    QString Png(const QString& name, const QImage& image)
    {
        const QString path = scratch.Path(name);
        EXPECT_TRUE(image.save(path, "PNG"));
        return path;
    }
    // The single picture of a GIF file as Qt's own reader decodes it.
    static QImage ReadGif(const QString& path)
    {
        QImageReader reader(path, "gif");
        return reader.read();
    }
    Scratch scratch;
    ImageEngine engine;
};

TEST_F(Engine, LoadingAndDroppingThePicture)
{
    EXPECT_EQ(engine.ImageWidth(), 0);
    EXPECT_EQ(engine.ImageHeight(), 0);
    const QString path = Png(QStringLiteral("a.png"), Pattern(30, 20));
    ASSERT_TRUE(engine.LoadFile(path));
    EXPECT_EQ(engine.ImageWidth(), 30);
    EXPECT_EQ(engine.ImageHeight(), 20);
    EXPECT_TRUE(engine.LoadFile(QString()));
    EXPECT_EQ(engine.ImageWidth(), 0);
    EXPECT_TRUE(engine.Picture().isNull());
    ASSERT_TRUE(engine.LoadFile(path));
    engine.Clear();
    EXPECT_EQ(engine.ImageHeight(), 0);
}

TEST_F(Engine, FailedLoadLeavesNoPictureAndSaysWhy)
{
    ASSERT_TRUE(engine.LoadFile(Png(QStringLiteral("a.png"), Pattern(30, 20))));
    const QString missing = scratch.Path(QStringLiteral("gone.png"));
    EXPECT_FALSE(engine.LoadFile(missing));
    EXPECT_EQ(engine.ImageWidth(), 0);
    // The reason alone: whoever reports it names the file, once.
    EXPECT_EQ(engine.LastError(), QStringLiteral("the file does not exist"));
    EXPECT_FALSE(engine.LoadFile(scratch.Path(QString()))); // a folder
    EXPECT_FALSE(engine.SaveFile(scratch.Path(QStringLiteral("none.gif"))));
    EXPECT_FALSE(QFile::exists(scratch.Path(QStringLiteral("none.gif"))));
}

TEST_F(Engine, ResizeGivesExactlyTheAskedSize)
{
    ASSERT_TRUE(engine.LoadFile(Png(QStringLiteral("a.png"), Pattern(64, 48))));
    for (const QSize s : {QSize(640, 300), QSize(5, 5), QSize(64, 7), QSize(13, 48), QSize(2000, 2000)}) {
        ASSERT_TRUE(engine.Resize(s.width(), s.height(), false));
        EXPECT_EQ(engine.ImageWidth(), s.width());
        EXPECT_EQ(engine.ImageHeight(), s.height());
    }
    EXPECT_FALSE(engine.Resize(0, 10, false));
    EXPECT_FALSE(engine.Resize(10, imaging::kMaxPictureSide + 1, false));
    EXPECT_EQ(engine.ImageWidth(), 2000); // a refused resize changes nothing
    engine.Clear();
    EXPECT_FALSE(engine.Resize(10, 10, false));
}

TEST_F(Engine, ResizeFiltersLikeAnAreaCorrectLanczos)
{
    // A flat colour stays flat at any scale (weights sum to one, no ringing on flat areas).
    QImage flat(50, 40, QImage::Format_RGB32);
    flat.fill(qRgb(90, 160, 30));
    ASSERT_TRUE(engine.LoadFile(Png(QStringLiteral("flat.png"), flat)));
    ASSERT_TRUE(engine.Resize(17, 93, false));
    for (int y = 0; y < 93; y += 7)
        for (int x = 0; x < 17; x += 3) {
            ASSERT_EQ(engine.Picture().pixel(x, y), qRgb(90, 160, 30));
        }
    // Shrinking a one-pixel checkerboard averages it to grey instead of
    // picking every other pixel (which would give black or white).
    QImage checker(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            checker.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    ASSERT_TRUE(engine.LoadFile(Png(QStringLiteral("checker.png"), checker)));
    ASSERT_TRUE(engine.Resize(16, 16, false));
    for (int y = 2; y < 14; ++y)
        for (int x = 2; x < 14; ++x) {
            EXPECT_NEAR(qGray(engine.Picture().pixel(x, y)), 128, 3) << x << "," << y;
        }
}

TEST_F(Engine, ResizeDoesNotBleedTheColourOfTransparentPixels)
{
    // Opaque blue next to fully transparent pixels whose colour is red: with
    // premultiplied alpha no red reaches the result.
    QImage image(40, 40, QImage::Format_ARGB32);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            image.setPixel(x, y, x < 20 ? qRgba(0, 0, 255, 255) : qRgba(255, 0, 0, 0));
    ASSERT_TRUE(engine.LoadFile(Png(QStringLiteral("edge.png"), image)));
    ASSERT_TRUE(engine.Resize(23, 17, false));
    const QImage out = engine.Picture().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < 17; ++y) {
        for (int x = 0; x < 23; ++x) {
            const QRgb p = out.pixel(x, y);
            if (qAlpha(p) > 16) {
                EXPECT_LT(qRed(p), 8) << x << "," << y;
            }
        }
    }
    EXPECT_EQ(qAlpha(out.pixel(0, 8)), 255);
    EXPECT_EQ(qAlpha(out.pixel(22, 8)), 0);
}

TEST_F(Engine, SaveFileWritesASingleFrameGifOfThePicture)
{
    const QImage picture = Pattern(61, 37);
    ASSERT_TRUE(engine.LoadFile(Png(QStringLiteral("p.png"), picture)));
    const QString gif = scratch.Path(QStringLiteral("__frame__1.gif"));
    ASSERT_TRUE(engine.SaveFile(gif, false, 0)) << engine.LastError().toStdString();
    const Animation a = DecodeAnimation(gif);
    ASSERT_TRUE(a.ok) << a.error.toStdString();
    EXPECT_EQ(a.version, QByteArray("GIF89a"));
    EXPECT_EQ(a.width, 61);
    EXPECT_EQ(a.height, 37);
    ASSERT_EQ(a.frames.size(), 1);
    EXPECT_EQ(a.rects[0], QRect(0, 0, 61, 37));
    // Few colours: far-apart ones kept exactly, the ten or so shades of each
    // quarter's ramp (one level apart) merged into one.
    EXPECT_LT(MeanDifference(a.frames[0], picture), 2.0);
    // Qt's decoder reads the same pixels.
    EXPECT_EQ(DifferentPixels(ReadGif(gif), a.frames[0]), 0);
    // The engine reads its own file back.
    ImageEngine back;
    ASSERT_TRUE(back.LoadFile(gif));
    EXPECT_EQ(DifferentPixels(back.Picture(), a.frames[0]), 0);
}

TEST_F(Engine, SaveFileKeepsManyColoursWithin256)
{
    // A smooth gradient of ~4000 colours: at most 256 remain, close to the original.
    QImage gradient(128, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 128; ++x)
            gradient.setPixel(x, y, qRgb(x * 2, y * 4, 255 - x));
    ASSERT_TRUE(engine.LoadFile(Png(QStringLiteral("g.png"), gradient)));
    const QString gif = scratch.Path(QStringLiteral("g.gif"));
    ASSERT_TRUE(engine.SaveFile(gif));
    const Animation a = DecodeAnimation(gif);
    ASSERT_TRUE(a.ok);
    QSet<QRgb> colours;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 128; ++x)
            colours.insert(a.frames[0].pixel(x, y));
    EXPECT_LE(colours.size(), 256);
    EXPECT_GT(colours.size(), 64);
    EXPECT_LT(MeanDifference(a.frames[0], gradient), 6.0);
}

TEST_F(Engine, PixelsUnderHalfOpacityBecomeTransparent)
{
    QImage image(20, 10, QImage::Format_ARGB32);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            image.setPixel(x, y, qRgba(200, 50, 20, x < 5 ? 0 : x < 10 ? 127 : x < 15 ? 128 : 255));
    ASSERT_TRUE(engine.LoadFile(Png(QStringLiteral("a.png"), image)));
    const QString gif = scratch.Path(QStringLiteral("a.gif"));
    ASSERT_TRUE(engine.SaveFile(gif));
    const Animation a = DecodeAnimation(gif);
    ASSERT_TRUE(a.ok);
    ASSERT_TRUE(a.transparent[0]);
    for (int x = 0; x < 20; ++x) {
        const QRgb p = a.frames[0].pixel(x, 5);
        if (x < 10) {
            EXPECT_EQ(qAlpha(p), 0) << x;
        } else {
            EXPECT_EQ(qAlpha(p), 255) << x;
            EXPECT_EQ(p, qRgb(200, 50, 20)) << x; // the colour itself, not blended
        }
    }
}

TEST_F(Engine, FramesSavedInOrderKeepTheColoursOfUnchangedPixels)
{
    // Two noisy pictures that differ only in a small square.
    QImage first(80, 60, QImage::Format_RGB32);
    quint32 seed = 7;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 80; ++x) {
            seed = seed * 1664525u + 1013904223u;
            first.setPixel(x, y, qRgb(int(seed >> 24), int((seed >> 16) & 255), x * 3));
        }
    // A part of the picture moves: its colours are in the palette already.
    QImage second = first.copy();
    for (int y = 20; y < 30; ++y)
        for (int x = 30; x < 44; ++x)
            second.setPixel(x, y, first.pixel(x + 20, y + 15));
    const QString a = Png(QStringLiteral("1.png"), first), b = Png(QStringLiteral("2.png"), second);
    const QString ga = scratch.Path(QStringLiteral("1.gif")), gb = scratch.Path(QStringLiteral("2.gif"));
    const QString gc = scratch.Path(QStringLiteral("3.gif"));
    imaging::FrameQuantizer frames;
    ASSERT_TRUE(engine.LoadFile(a) && engine.SaveFile(ga, frames));
    ASSERT_TRUE(engine.LoadFile(b) && engine.SaveFile(gb, frames));
    ASSERT_TRUE(engine.LoadFile(b) && engine.SaveFile(gc, frames));
    const QImage fa = DecodeAnimation(ga).frames.value(0), fb = DecodeAnimation(gb).frames.value(0);
    ASSERT_FALSE(fa.isNull());
    ASSERT_FALSE(fb.isNull());
    int changedOutside = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 80; ++x)
            if (!(x >= 30 && x < 44 && y >= 20 && y < 30))
                changedOutside += fa.pixel(x, y) != fb.pixel(x, y);
    EXPECT_EQ(changedOutside, 0);
    EXPECT_LT(MeanDifference(fb, second), 12.0);
    // The same picture again gives the same file.
    EXPECT_EQ(ReadAll(gb), ReadAll(gc));
    // Saved alone, or after a reset, a picture gets its own palette, as a first frame does.
    const QString gd = scratch.Path(QStringLiteral("4.gif")), ge = scratch.Path(QStringLiteral("5.gif"));
    ASSERT_TRUE(engine.LoadFile(a) && engine.SaveFile(gd));
    EXPECT_EQ(ReadAll(ga), ReadAll(gd));
    frames.Reset();
    ASSERT_TRUE(engine.SaveFile(ge, frames));
    EXPECT_EQ(ReadAll(ga), ReadAll(ge));
}

TEST_F(Engine, APartInNewColoursGetsTheColoursItNeeds)
{
    // The second picture adds a red square to a blue-green one: the earlier
    // palette has no red, so keeping it would turn the square brown or grey.
    QImage first(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            first.setPixel(x, y, qRgb(0, 80 + x, 120 + y * 2));
    QImage second = first.copy();
    for (int y = 10; y < 30; ++y)
        for (int x = 20; x < 40; ++x)
            second.setPixel(x, y, qRgb(250, 10, 10));
    const QString a = Png(QStringLiteral("1.png"), first), b = Png(QStringLiteral("2.png"), second);
    const QString gb = scratch.Path(QStringLiteral("2.gif"));
    imaging::FrameQuantizer frames;
    ASSERT_TRUE(engine.LoadFile(a) && engine.SaveFile(scratch.Path(QStringLiteral("1.gif")), frames));
    ASSERT_TRUE(engine.LoadFile(b) && engine.SaveFile(gb, frames));
    const QImage shown = DecodeAnimation(gb).frames.value(0);
    ASSERT_FALSE(shown.isNull());
    for (int y = 12; y < 28; y += 3)
        for (int x = 22; x < 38; x += 3) {
            const QRgb p = shown.pixel(x, y);
            EXPECT_GT(qRed(p), 235) << x << "," << y;
            EXPECT_LT(qGreen(p), 25) << x << "," << y;
        }
    EXPECT_LT(MeanDifference(shown, second), 4.0);
}

TEST_F(Engine, SaveFileToAMissingFolderFails)
{
    ASSERT_TRUE(engine.LoadFile(Png(QStringLiteral("a.png"), Pattern(10, 10))));
    const QString path = scratch.Path(QStringLiteral("no/such/folder/x.gif"));
    EXPECT_FALSE(engine.SaveFile(path));
    EXPECT_TRUE(engine.LastError().contains(QLatin1String("x.gif")));
}

TEST_F(Engine, CopyToClipboardPutsThePictureThere)
{
    ASSERT_TRUE(engine.LoadFile(Png(QStringLiteral("a.png"), Pattern(33, 21))));
    ASSERT_TRUE(engine.CopyToClipboard());
    const QImage back = QGuiApplication::clipboard()->image();
    EXPECT_EQ(back.size(), QSize(33, 21));
    EXPECT_EQ(DifferentPixels(back, Pattern(33, 21)), 0);
    engine.Clear();
    EXPECT_FALSE(engine.CopyToClipboard());
}

} // namespace
