// SPDX-License-Identifier: GPL-3.0-or-later
// Every readable picture format, measured by GetPicSize and loaded by the
// engine: the two must agree, and show the picture upright.
#include "ImagingTestSupport.h"

#include "imaging/ImageEngine.h"
#include "imaging/PicSize.h"
#include "support/PictureBytes.h"

#include <QDir>
#include <QImageWriter>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace testing_imaging;

namespace {

// Size text and loaded size of one file, which must agree.
void ExpectSize(const QString& path, int w, int h)
{
    SCOPED_TRACE(path.toStdString());
    EXPECT_EQ(GetPicSize(path), QStringLiteral("%1 x %2").arg(w).arg(h));
    ImageEngine engine;
    ASSERT_TRUE(engine.LoadFile(path)) << engine.LastError().toStdString();
    EXPECT_EQ(engine.ImageWidth(), w);
    EXPECT_EQ(engine.ImageHeight(), h);
}

// The loaded picture looks like the pattern (lossless formats: exactly, up to `tolerance`).
void ExpectLooksLike(const QString& path, const QImage& expected, double tolerance)
{
    SCOPED_TRACE(path.toStdString());
    ImageEngine engine;
    ASSERT_TRUE(engine.LoadFile(path)) << engine.LastError().toStdString();
    EXPECT_LE(MeanDifference(engine.Picture(), expected), tolerance);
}

class PictureFormats : public ::testing::Test {
protected:
    Scratch scratch;
    const QImage pattern = Pattern(37, 23);
};

TEST_F(PictureFormats, QtWrittenFormatsMeasureAndLoadAlike)
{
    // Formats Qt writes; the engine reads them through its own decoders.
    const char* formats[] = {"png", "bmp", "jpg", "ppm", "pgm", "pbm", "tif", "ico", "wbmp"};
    for (const char* f : formats) {
        const QString path = scratch.Path(QStringLiteral("qt.%1").arg(QLatin1String(f)));
        ASSERT_TRUE(pattern.save(path, f)) << f;
        ExpectSize(path, 37, 23);
    }
    ExpectLooksLike(scratch.Path(QStringLiteral("qt.png")), pattern, 0.0);
    ExpectLooksLike(scratch.Path(QStringLiteral("qt.bmp")), pattern, 0.0);
    ExpectLooksLike(scratch.Path(QStringLiteral("qt.ppm")), pattern, 0.0);
    ExpectLooksLike(scratch.Path(QStringLiteral("qt.tif")), pattern, 0.0);
    ExpectLooksLike(scratch.Path(QStringLiteral("qt.jpg")), pattern, 12.0);
}

TEST_F(PictureFormats, MagickWrittenFormatsMeasureAndLoadAlike)
{
    struct Case {
        const char* ext;
        const char* coder;
        bool lossless;
    };
    // ImageMagick's TGA writer stores the top row first under a header that
    // says the rows start at the bottom: read as the format says, its files
    // are upside down. TGA pixels are checked against hand-laid bytes below.
    const Case cases[] = {
        {"pcx", "PCX", true},   {"sgi", "SGI", true},  {"psd", "PSD", true},  {"tga", "TGA", false},
        {"icb", "ICB", false},  {"vda", "VDA", false}, {"vst", "VST", false}, {"dib", "DIB", true},
        {"tiff", "TIFF", true}, {"ppm", "PPM", true},  {"gif", "GIF", false}, {"bmp", "BMP3", true},
    };
    for (const Case& c : cases) {
        const QString path = scratch.Path(QStringLiteral("magick.%1").arg(QLatin1String(c.ext)));
        ASSERT_TRUE(WriteWithMagick(pattern, path, c.coder)) << c.coder;
        ExpectSize(path, 37, 23);
        if (c.lossless)
            ExpectLooksLike(path, pattern, 0.0);
    }
}

TEST_F(PictureFormats, PicturesLaidOutByteByByteDecodeUpright)
{
    // Written without ImageMagick, which would share any mistake of its reader.
    const std::pair<const char*, QByteArray> cases[] = {
        {"bottom.tga", PictureBytes::Tga(pattern, true)}, {"top.tga", PictureBytes::Tga(pattern, false)},
        {"bottom.icb", PictureBytes::Tga(pattern, true)}, {"bottom.vst", PictureBytes::Tga(pattern, true)},
        {"planes.sgi", PictureBytes::Sgi(pattern)},       {"runs.pcx", PictureBytes::Pcx(pattern)},
        {"raw.psd", PictureBytes::Psd(pattern)},
    };
    for (const auto& [name, bytes] : cases) {
        const QString path = scratch.Path(QLatin1String(name));
        ASSERT_TRUE(WriteAll(path, bytes));
        ExpectSize(path, 37, 23);
        ExpectLooksLike(path, pattern, 0.0);
    }
    // Two colours, run-length coded from the bottom row up.
    const QImage halves = PictureBytes::Bands(16, 8, 3, qRgb(0, 0, 0), qRgb(255, 255, 255));
    const QString rle = scratch.Path(QStringLiteral("runs.bmp"));
    ASSERT_TRUE(WriteAll(rle, PictureBytes::BmpRle8(halves)));
    ExpectSize(rle, 16, 8);
    ExpectLooksLike(rle, halves, 0.0);
}

TEST_F(PictureFormats, WbmpAndPhotoCdSizesComeFromTheirOwnHeaders)
{
    const QString wbmp = scratch.Path(QStringLiteral("two.wbmp"));
    ASSERT_TRUE(WriteWithMagick(pattern, wbmp, "WBMP"));
    ExpectSize(wbmp, 37, 23);
    // Photo CD stores a fixed base resolution.
    const QString pcd = scratch.Path(QStringLiteral("photo.pcd"));
    ASSERT_TRUE(WriteWithMagick(Pattern(60, 40), pcd, "PCD"));
    ExpectSize(pcd, 768, 512);
}

TEST_F(PictureFormats, UtahRunLengthPictureIsRead)
{
    // Header: magic, position, size, flags (no background), 3 planes of 8 bits, no colour map.
    const int w = 6, h = 5;
    QByteArray rle("\x52\xCC", 2);
    auto put16 = [&rle](int v) {
        rle.append(char(v & 0xFF));
        rle.append(char((v >> 8) & 0xFF));
    };
    put16(0);
    put16(0);
    put16(w);
    put16(h);
    rle.append(char(0x02));
    rle.append(char(3));
    rle.append(char(8));
    rle.append(char(0));
    rle.append(char(0));
    rle.append(char(0)); // the unused background byte
    // Every line: red 200, green 100, blue = 10 * line (lines count from the bottom).
    for (int y = 0; y < h; ++y) {
        const int values[3] = {200, 100, 10 * y};
        for (int plane = 0; plane < 3; ++plane) {
            rle.append(char(2));
            rle.append(char(plane)); // set colour plane
            rle.append(char(6));
            rle.append(char(w - 1));
            rle.append(char(values[plane]));
            rle.append(char(0)); // run
        }
        rle.append(char(1));
        rle.append(char(1)); // next line
    }
    rle.append(char(7)); // end
    const QString path = scratch.Path(QStringLiteral("utah.rle"));
    ASSERT_TRUE(WriteAll(path, rle));
    ExpectSize(path, w, h);
    ImageEngine engine;
    ASSERT_TRUE(engine.LoadFile(path));
    EXPECT_EQ(engine.Picture().pixel(0, h - 1), qRgb(200, 100, 0)); // first stored line is the bottom one
    EXPECT_EQ(engine.Picture().pixel(w - 1, 0), qRgb(200, 100, 40));
}

TEST_F(PictureFormats, WindowsMetafileIsRendered)
{
    // One inch by half an inch with a filled rectangle.
    const QByteArray wmf = PlaceableWmf(1440, 720, 1440);
    const QString path = scratch.Path(QStringLiteral("drawing.wmf"));
    ASSERT_TRUE(WriteAll(path, wmf));
    const QString size = GetPicSize(path);
    ASSERT_FALSE(size.isEmpty());
    ImageEngine engine;
    ASSERT_TRUE(engine.LoadFile(path)) << engine.LastError().toStdString();
    EXPECT_EQ(size, QStringLiteral("%1 x %2").arg(engine.ImageWidth()).arg(engine.ImageHeight()));
    EXPECT_EQ(engine.ImageWidth(), 2 * engine.ImageHeight());
}

TEST_F(PictureFormats, FormatsWithoutDecoderFail)
{
    QByteArray emf(88, '\0');
    emf[0] = 1;
    emf.replace(40, 4, " EMF");
    const QString emfPath = scratch.Path(QStringLiteral("vector.emf"));
    ASSERT_TRUE(WriteAll(emfPath, emf));
    const QString pspPath = scratch.Path(QStringLiteral("layers.psp"));
    ASSERT_TRUE(WriteAll(pspPath, QByteArray("Paint Shop Pro Image File\n\x1a\0\0\0\0\0", 32)));
    for (const QString& path : {emfPath, pspPath}) {
        EXPECT_TRUE(GetPicSize(path).isEmpty());
        ImageEngine engine;
        EXPECT_FALSE(engine.LoadFile(path));
        EXPECT_TRUE(engine.LastError().contains(QLatin1String("no decoder"))) << engine.LastError().toStdString();
        EXPECT_EQ(engine.ImageWidth(), 0);
    }
}

TEST_F(PictureFormats, ContentDecidesOverAMisleadingExtension)
{
    const QString path = scratch.Path(QStringLiteral("really-a-png.bmp"));
    ASSERT_TRUE(pattern.save(path, "PNG"));
    ExpectSize(path, 37, 23);
}

TEST_F(PictureFormats, SizeRulesForShortPathsAndTinyPictures)
{
    struct Case {
        int w, h;
        const char* expected;
    };
    const Case cases[] = {{4, 4, ""},      {4, 10, "4 x 10"}, {10, 4, "10 x 4"},
                          {5, 5, "5 x 5"}, {1, 4, ""},        {5, 1, "5 x 1"}};
    for (const Case& c : cases) {
        const QString path = scratch.Path(QStringLiteral("tiny-%1x%2.png").arg(c.w).arg(c.h));
        ASSERT_TRUE(Pattern(c.w, c.h).save(path, "PNG"));
        EXPECT_EQ(GetPicSize(path), QString::fromLatin1(c.expected)) << c.w << "x" << c.h;
    }
    // A readable picture behind a path of three characters is not measured; the
    // same file behind five characters is.
    const QString old = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(scratch.Path(QString())));
    ASSERT_TRUE(pattern.save(QStringLiteral("p.g"), "PNG"));
    EXPECT_EQ(GetPicSize(QStringLiteral("p.g")), QString());
    EXPECT_EQ(GetPicSize(QStringLiteral("./p.g")), QStringLiteral("37 x 23"));
    QDir::setCurrent(old);
    EXPECT_EQ(GetPicSize(QString()), QString());
    EXPECT_EQ(GetPicSize(scratch.Path(QStringLiteral("missing.png"))), QString());
}

TEST_F(PictureFormats, ExifOrientationTurnsPhotographsUpright)
{
    // Stored 40 x 20 with a red left half; each orientation moves the red part.
    QImage stored(40, 20, QImage::Format_RGB32);
    stored.fill(qRgb(0, 0, 255));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            stored.setPixel(x, y, qRgb(255, 0, 0));
    // Where the stored top-left corner is shown, per orientation value.
    struct Case {
        int orientation;
        int w, h;
        QPoint redCorner;
        QPoint blueCorner;
    };
    const Case cases[] = {
        {1, 40, 20, {2, 2}, {37, 17}}, {3, 40, 20, {37, 17}, {2, 2}}, {6, 20, 40, {17, 2}, {2, 37}},
        {8, 20, 40, {2, 37}, {17, 2}}, {5, 20, 40, {2, 2}, {17, 37}}, {2, 40, 20, {37, 2}, {2, 17}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.orientation);
        const QString path = scratch.Path(QStringLiteral("photo-%1.jpg").arg(c.orientation));
        ASSERT_TRUE(WriteAll(path, JpegWithOrientation(stored, c.orientation)));
        ExpectSize(path, c.w, c.h);
        ImageEngine engine;
        ASSERT_TRUE(engine.LoadFile(path));
        const QRgb red = engine.Picture().pixel(c.redCorner);
        const QRgb blue = engine.Picture().pixel(c.blueCorner);
        EXPECT_GT(qRed(red), 200);
        EXPECT_LT(qBlue(red), 60);
        EXPECT_GT(qBlue(blue), 200);
        EXPECT_LT(qRed(blue), 60);
    }
}

TEST_F(PictureFormats, TiffOrientationTagIsApplied)
{
    const QString path = scratch.Path(QStringLiteral("turned.tif"));
    QImageWriter writer(path, "tiff");
    writer.setTransformation(QImageIOHandler::TransformationRotate90);
    ASSERT_TRUE(writer.write(pattern));
    // Qt stores the picture as given and records the turn; shown turned.
    ExpectSize(path, 23, 37);
}

TEST_F(PictureFormats, FilesWithSeveralPicturesGiveTheirFirstOrLargest)
{
    const QVector<QImage> pages = {Pattern(20, 10), Pattern(40, 30), Pattern(8, 8)};
    const QString tiff = scratch.Path(QStringLiteral("pages.tif"));
    ASSERT_TRUE(WriteListWithMagick(pages, tiff, "TIFF"));
    ExpectSize(tiff, 20, 10);
    ExpectLooksLike(tiff, pages[0], 0.0);

    const QString gif = scratch.Path(QStringLiteral("moving.gif"));
    ASSERT_TRUE(WriteListWithMagick({Pattern(25, 15), Pattern(25, 15).mirrored()}, gif, "GIF"));
    ExpectSize(gif, 25, 15);

    // An icon's largest image, whatever its position; the PNG-compressed
    // 256 x 256 entry of a modern icon included.
    const QString ico = scratch.Path(QStringLiteral("app.ico"));
    ASSERT_TRUE(WriteListWithMagick({Pattern(16, 16), Pattern(48, 48, true), Pattern(32, 32)}, ico, "ICO"));
    ExpectSize(ico, 48, 48);
    const QString big = scratch.Path(QStringLiteral("big.ico"));
    ASSERT_TRUE(WriteListWithMagick({Pattern(16, 16), Pattern(256, 256)}, big, "ICO"));
    ExpectSize(big, 256, 256);

    // Layered PSD: the flattened composite, not a layer.
    const QString psd = scratch.Path(QStringLiteral("layers.psd"));
    ASSERT_TRUE(WriteListWithMagick({Pattern(30, 20), Pattern(10, 10), Pattern(12, 6)}, psd, "PSD"));
    ExpectSize(psd, 30, 20);
}

TEST_F(PictureFormats, TransparencySurvivesDecoding)
{
    const QImage alpha = Pattern(12, 9, true);
    const QString png = scratch.Path(QStringLiteral("alpha.png"));
    ASSERT_TRUE(alpha.save(png, "PNG"));
    const QString tga = scratch.Path(QStringLiteral("alpha.tga"));
    ASSERT_TRUE(WriteAll(tga, PictureBytes::Tga(alpha, true)));
    for (const QString& path : {png, tga}) {
        SCOPED_TRACE(path.toStdString());
        ImageEngine engine;
        ASSERT_TRUE(engine.LoadFile(path));
        EXPECT_EQ(DifferentPixels(engine.Picture(), alpha), 0);
    }
}

} // namespace
