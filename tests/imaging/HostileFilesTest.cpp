// SPDX-License-Identifier: GPL-3.0-or-later
// Corrupt, truncated and hostile files fail with a reason; none crashes the
// engine or the assembler, and none gets a huge allocation.
#include "ImagingTestSupport.h"

#include "imaging/GifAssembler.h"
#include "imaging/ImageEngine.h"
#include "imaging/ImagingLimits.h"
#include "imaging/PicSize.h"
#include "imaging/PictureCompleteness.h"
#include "imaging/PictureFile.h"
#include "imaging/PictureFormat.h"
#include "imaging/PictureReader.h"
#include "support/PictureBytes.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QtEndian>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

using namespace testing_imaging;

namespace {

// The CRC of PNG chunks.
quint32 Crc32(const QByteArray& bytes)
{
    quint32 c = 0xFFFFFFFFu;
    for (char ch : bytes) {
        c ^= uchar(ch);
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    }
    return c ^ 0xFFFFFFFFu;
}

class Hostile : public ::testing::Test {
protected:
    // The file fails to load with a reason and measures as nothing.
    void ExpectRefused(const QString& name, const QByteArray& bytes, const char* reasonPart = nullptr)
    {
        SCOPED_TRACE(name.toStdString());
        const QString path = scratch.Path(name);
        ASSERT_TRUE(WriteAll(path, bytes));
        ImageEngine engine;
        ASSERT_TRUE(engine.LoadFile(Png(QStringLiteral("before.png"))));
        EXPECT_FALSE(engine.LoadFile(path));
        EXPECT_EQ(engine.ImageWidth(), 0);
        EXPECT_EQ(engine.ImageHeight(), 0);
        EXPECT_FALSE(engine.LastError().isEmpty());
        QString why;
        EXPECT_TRUE(GetPicSize(path, &why).isEmpty());
        if (reasonPart) {
            EXPECT_TRUE(engine.LastError().contains(QLatin1String(reasonPart))) << engine.LastError().toStdString();
            EXPECT_TRUE(why.contains(QLatin1String(reasonPart))) << why.toStdString();
        }
    }
    QString Png(const QString& name)
    {
        const QString path = scratch.Path(name);
        Pattern(40, 30).save(path, "PNG");
        return path;
    }
    static QByteArray Encoded(const QImage& image, const char* format)
    {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, format);
        return bytes;
    }
    Scratch scratch;
};

TEST_F(Hostile, TruncatedFilesFail)
{
    const QImage picture = Pattern(120, 80);
    const QByteArray png = Encoded(picture, "PNG");
    const QByteArray jpg = Encoded(picture, "JPEG");
    const QByteArray bmp = Encoded(picture, "BMP");
    ASSERT_TRUE(WriteListWithMagick({picture}, scratch.Path(QStringLiteral("whole.gif")), "GIF"));
    const QByteArray gif = ReadAll(scratch.Path(QStringLiteral("whole.gif")));
    ASSERT_GT(gif.size(), 100);
    ExpectRefused(QStringLiteral("cut.png"), png.left(png.size() * 2 / 3));
    ExpectRefused(QStringLiteral("cut.jpg"), jpg.left(jpg.size() * 2 / 3), "truncated");
    ExpectRefused(QStringLiteral("cut.gif"), gif.left(gif.size() / 2));
    ExpectRefused(QStringLiteral("cut.bmp"), bmp.left(bmp.size() - 200), "truncated");
    ExpectRefused(QStringLiteral("header.jpg"), jpg.left(2));
    // An image 0 pixels high decodes no line: its cut data must still fail.
    QByteArray flat("GIF89a\x0A\0\x06\0\x80\0\0", 13);
    flat.append(QByteArray(6, '\0')).append("\x2C\0\0\0\0\x0A\0\0\0\0\x02\x05\x4C\x01", 14);
    ExpectRefused(QStringLiteral("flat.gif"), flat, "truncated");
    ExpectRefused(QStringLiteral("empty.png"), QByteArray(), "empty");
}

TEST_F(Hostile, CutPicturesOfEveryKindAreNotListed)
{
    const QImage picture = Pattern(40, 30);
    const std::pair<const char*, QByteArray> cases[] = {
        {"tga", PictureBytes::Tga(picture, true)}, {"sgi", PictureBytes::Sgi(picture)},
        {"pcx", PictureBytes::Pcx(picture)},       {"psd", PictureBytes::Psd(picture)},
        {"bmp", PictureBytes::BmpRle8(picture)},   {"ppm", Encoded(picture, "PPM")},
        {"pgm", Encoded(picture, "PGM")},          {"ico", Encoded(picture, "ICO")},
    };
    for (const auto& [ext, bytes] : cases) {
        const QString whole = scratch.Path(QStringLiteral("whole.%1").arg(QLatin1String(ext)));
        ASSERT_TRUE(WriteAll(whole, bytes));
        EXPECT_EQ(GetPicSize(whole), QStringLiteral("40 x 30")) << ext;
        ExpectRefused(QStringLiteral("cut.%1").arg(QLatin1String(ext)), bytes.left(bytes.size() * 3 / 4));
    }
}

TEST_F(Hostile, UncompressedFilesAreJudgedByTheirLength)
{
    // Listed without decoding: one byte short of the data the header promises
    // is refused, a whole file (trailing bytes allowed) listed.
    const QImage picture = Pattern(40, 30);
    QByteArray deep("P6\n# two bytes a sample\n40 30\n65535\n");
    deep.append(40 * 30 * 6, char(0x7F));
    const std::pair<const char*, QByteArray> cases[] = {
        {"tga", PictureBytes::Tga(picture, false)},
        {"sgi", PictureBytes::Sgi(picture)},
        {"psd", PictureBytes::Psd(picture)},
        {"ppm", Encoded(picture, "PPM")},
        {"pnm", deep},
        {"pbm", Encoded(picture, "PBM")},
        {"tif", PictureBytes::Tiff(picture, false, 7)},
        {"tiff", PictureBytes::Tiff(picture, true, 7)},
    };
    for (const auto& [ext, bytes] : cases) {
        SCOPED_TRACE(ext);
        const auto* d = reinterpret_cast<const uchar*>(bytes.constData());
        const QString whole = scratch.Path(QStringLiteral("whole.%1").arg(QLatin1String(ext)));
        const imaging::FormatChoice format = imaging::ChooseFormat(d, bytes.size(), whole);
        EXPECT_EQ(imaging::CheckCompleteness(format, d, bytes.size(), bytes.size()), imaging::Completeness::Complete);
        ASSERT_TRUE(WriteAll(whole, bytes + "trailing"));
        EXPECT_EQ(GetPicSize(whole), QStringLiteral("40 x 30"));
        const QString cut = QStringLiteral("short.%1").arg(QLatin1String(ext));
        ExpectRefused(cut, bytes.chopped(1));
        QString why;
        GetPicSize(scratch.Path(cut), &why);
        EXPECT_TRUE(why.contains(QLatin1String("truncated"))) << why.toStdString();
        // Decoding refuses it for the reason measuring gives.
        ImageEngine engine;
        EXPECT_FALSE(engine.LoadFile(scratch.Path(cut)));
        EXPECT_EQ(engine.LastError(), why);
    }
    // Large enough that only the file's start is read.
    const QByteArray large = PictureBytes::Tga(Pattern(400, 300), true);
    ASSERT_TRUE(WriteAll(scratch.Path(QStringLiteral("large.tga")), large));
    EXPECT_EQ(GetPicSize(scratch.Path(QStringLiteral("large.tga"))), QStringLiteral("400 x 300"));
    ExpectRefused(QStringLiteral("large-short.tga"), large.chopped(1), "truncated");
}

TEST_F(Hostile, LargePhotosCutShortAreNotListed)
{
    // Large enough that measuring reads only their two ends.
    QImage noise(1000, 1000, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, y, random.generate() | 0xFF000000u);
    for (const char* format : {"PNG", "JPEG"}) {
        const QByteArray bytes = Encoded(noise, format);
        ASSERT_GT(bytes.size(), 400 * 1024) << format;
        const QString name = QStringLiteral("whole.%1").arg(QString::fromLatin1(format).toLower());
        ASSERT_TRUE(WriteAll(scratch.Path(name), bytes));
        EXPECT_EQ(GetPicSize(scratch.Path(name)), QStringLiteral("1000 x 1000")) << format;
        ExpectRefused(QStringLiteral("cut.%1").arg(QString::fromLatin1(format).toLower()),
                      bytes.left(bytes.size() - 1000), "truncated");
    }
}

TEST_F(Hostile, SkippedFilesSayWhy)
{
    const QString fifo = scratch.Path(QStringLiteral("x.png"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // Opening a FIFO for reading would wait for a writer forever.
    QString why;
    EXPECT_TRUE(GetPicSize(fifo, &why).isEmpty());
    EXPECT_EQ(why, QStringLiteral("not a regular file"));
    ImageEngine engine;
    EXPECT_FALSE(engine.LoadFile(fifo));
    EXPECT_EQ(engine.LastError(), QStringLiteral("not a regular file"));

    EXPECT_TRUE(GetPicSize(scratch.Path(QStringLiteral("gone.png")), &why).isEmpty());
    EXPECT_EQ(why, QStringLiteral("the file does not exist"));
    EXPECT_TRUE(GetPicSize(scratch.Path(QString()), &why).isEmpty());
    EXPECT_EQ(why, QStringLiteral("the path is a folder"));
    ASSERT_TRUE(WriteAll(scratch.Path(QStringLiteral("notes.png")), "plain text, not a picture"));
    EXPECT_TRUE(GetPicSize(scratch.Path(QStringLiteral("notes.png")), &why).isEmpty());
    EXPECT_FALSE(why.isEmpty());
}

TEST_F(Hostile, AFileWithoutReadPermissionSaysSo)
{
    const QString locked = Png(QStringLiteral("locked.png"));
    QString why;
    ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::WriteOwner));
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not apply to root";
    EXPECT_TRUE(GetPicSize(locked, &why).isEmpty());
    EXPECT_EQ(why, QStringLiteral("no permission to read the file"));
}

TEST_F(Hostile, AFileCutShortWhileReadFailsCleanly)
{
    // Another program truncates the file between measuring and reading: the
    // bytes are copied, not mapped, so this is a failure and never a fault.
    const QString path = Png(QStringLiteral("shrinking.png"));
    const qint64 size = QFileInfo(path).size();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.resize(size / 3));
    QByteArray bytes;
    const imaging::Result read = imaging::ReadOpenFile(file.handle(), size, &bytes);
    EXPECT_FALSE(read);
    EXPECT_TRUE(read.Message().contains(QLatin1String("truncated"))) << read.Message().toStdString();
    EXPECT_TRUE(bytes.isEmpty());
}

TEST_F(Hostile, MetafilesRenderAtTheSizeNeeded)
{
    // 126 bytes claiming 2160 x 1080 inches: 12 gigapixels at 72 dpi. Drawn
    // at most at the largest output size instead.
    const QByteArray wmf = PlaceableWmf(21600, 10800, 10);
    const QString path = scratch.Path(QStringLiteral("huge.wmf"));
    ASSERT_TRUE(WriteAll(path, wmf));
    EXPECT_EQ(GetPicSize(path), QStringLiteral("2000 x 1000"));
    ImageEngine engine;
    ASSERT_TRUE(engine.LoadFile(path)) << engine.LastError().toStdString();
    EXPECT_EQ(QSize(engine.ImageWidth(), engine.ImageHeight()), QSize(2000, 1000));
    QImage shown;
    ASSERT_TRUE(imaging::DecodePicture(path, &shown, QSize(300, 150)).Ok());
    EXPECT_EQ(shown.size(), QSize(300, 150));
}

TEST_F(Hostile, HeadersClaimingHugePicturesAreRefusedBeforeDecoding)
{
    // PNG: a valid IHDR (with its CRC) for 100000 x 100000 and nothing else.
    QByteArray png("\x89PNG\r\n\x1A\n", 8);
    QByteArray ihdr("IHDR", 4);
    const uchar fields[13] = {0, 1, 0x86, 0xA0, 0, 1, 0x86, 0xA0, 8, 2, 0, 0, 0};
    ihdr.append(reinterpret_cast<const char*>(fields), 13);
    const quint32 crc = Crc32(ihdr);
    const char length[4] = {0, 0, 0, 13};
    png.append(length, 4);
    png.append(ihdr);
    const uchar crcBytes[4] = {uchar(crc >> 24), uchar(crc >> 16), uchar(crc >> 8), uchar(crc)};
    png.append(reinterpret_cast<const char*>(crcBytes), 4);
    ExpectRefused(QStringLiteral("bomb.png"), png, "limit");

    // BMP: 100000 x 100000 at 24 bits in a 54-byte file.
    QByteArray bmp(54, '\0');
    bmp[0] = 'B';
    bmp[1] = 'M';
    qToLittleEndian<quint32>(54, bmp.data() + 10);
    qToLittleEndian<quint32>(40, bmp.data() + 14);
    qToLittleEndian<qint32>(100000, bmp.data() + 18);
    qToLittleEndian<qint32>(100000, bmp.data() + 22);
    qToLittleEndian<quint16>(1, bmp.data() + 26);
    qToLittleEndian<quint16>(24, bmp.data() + 28);
    ExpectRefused(QStringLiteral("bomb.bmp"), bmp, "limit");

    // GIF: a 65535 x 65535 screen and image.
    QByteArray gif("GIF89a\xFF\xFF\xFF\xFF\x80\x00\x00", 13);
    gif.append(QByteArray(6, '\0'));
    gif.append("\x2C\0\0\0\0\xFF\xFF\xFF\xFF\0\x08\x02\x4C\x01\0\x3B", 16);
    ExpectRefused(QStringLiteral("bomb.gif"), gif, "limit");

    // JPEG: a real file whose frame header is patched to 60000 x 60000.
    QByteArray jpg = Encoded(Pattern(16, 16), "JPEG");
    const int sof = jpg.indexOf(QByteArray("\xFF\xC0", 2));
    ASSERT_GT(sof, 0);
    qToBigEndian<quint16>(60000, jpg.data() + sof + 5);
    qToBigEndian<quint16>(60000, jpg.data() + sof + 7);
    ExpectRefused(QStringLiteral("bomb.jpg"), jpg, "limit");

    // Within the side limit but above the pixel count: 16000 x 16000.
    qToBigEndian<quint16>(16000, jpg.data() + sof + 5);
    qToBigEndian<quint16>(16000, jpg.data() + sof + 7);
    ExpectRefused(QStringLiteral("wide.jpg"), jpg, "megapixels");

    // WBMP: a width whose continuation bytes run past 2^64.
    ExpectRefused(QStringLiteral("bomb.wbmp"), QByteArray::fromBase64("AADx8fHx8fHx8fEMAQAA8A=="), "limit");

    // TIFF through ImageMagick: a picture saved small, its size patched.
    const QString tif = scratch.Path(QStringLiteral("small.tif"));
    ASSERT_TRUE(WriteWithMagick(Pattern(8, 8), tif, "TIFF"));
    QByteArray tiff = ReadAll(tif);
    const quint32 ifd = qFromLittleEndian<quint32>(tiff.constData() + 4);
    const int entries = qFromLittleEndian<quint16>(tiff.constData() + ifd);
    for (int i = 0; i < entries; ++i) {
        char* e = tiff.data() + ifd + 2 + 12 * i;
        const quint16 tag = qFromLittleEndian<quint16>(e);
        const quint16 type = qFromLittleEndian<quint16>(e + 2);
        if (tag == 256 || tag == 257) {
            if (type == 3)
                qToLittleEndian<quint16>(50000, e + 8);
            else
                qToLittleEndian<quint32>(50000, e + 8);
        }
    }
    ExpectRefused(QStringLiteral("bomb.tif"), tiff, "limit");
}

TEST_F(Hostile, RandomBytesFailOrDecodeWithinTheLimits)
{
    QRandomGenerator random(12345);
    const char* names[] = {"noise.bmp", "noise.png", "noise.jpg", "noise.gif", "noise.psd", "noise.pcx", "noise.ico",
                           "noise.tif", "noise.sgi", "noise.wmf", "noise.pcd", "noise.rle", "noise.xyz"};
    for (const char* name : names) {
        for (int round = 0; round < 4; ++round) {
            QByteArray bytes(64 + int(random.bounded(4000)), '\0');
            for (char& c : bytes)
                c = char(random.bounded(256));
            // Keep the signature of formats that have one, so that their decoder runs.
            const QString n = QString::fromLatin1(name);
            if (n.endsWith(QLatin1String(".bmp")))
                bytes.replace(0, 2, "BM");
            if (n.endsWith(QLatin1String(".png")))
                bytes.replace(0, 8, QByteArray("\x89PNG\r\n\x1A\n", 8));
            if (n.endsWith(QLatin1String(".jpg")))
                bytes.replace(0, 3, QByteArray("\xFF\xD8\xFF", 3));
            if (n.endsWith(QLatin1String(".gif")))
                bytes.replace(0, 6, "GIF89a");
            if (n.endsWith(QLatin1String(".psd")))
                bytes.replace(0, 4, "8BPS");
            if (n.endsWith(QLatin1String(".tif")))
                bytes.replace(0, 4, QByteArray("II*\0", 4));
            const QString path = scratch.Path(n);
            ASSERT_TRUE(WriteAll(path, bytes));
            ImageEngine engine;
            if (engine.LoadFile(path)) {
                // Some formats accept almost anything (a PCX header is mostly numbers).
                EXPECT_LE(engine.ImageWidth(), imaging::kMaxPictureSide);
                EXPECT_LE(qint64(engine.ImageWidth()) * engine.ImageHeight(), imaging::kMaxPicturePixels);
                EXPECT_TRUE(engine.SaveFile(scratch.Path(QStringLiteral("out.gif"))));
            } else {
                EXPECT_FALSE(engine.LastError().isEmpty()) << name;
                EXPECT_EQ(engine.ImageWidth(), 0);
            }
            // What is listed can be loaded, at the listed size.
            const QString size = GetPicSize(path);
            if (!size.isEmpty()) {
                ImageEngine again;
                ASSERT_TRUE(again.LoadFile(path)) << name << ": " << again.LastError().toStdString();
                EXPECT_EQ(size, QStringLiteral("%1 x %2").arg(again.ImageWidth()).arg(again.ImageHeight()));
            }
        }
    }
}

TEST_F(Hostile, TheAssemblerRefusesCorruptFrames)
{
    const QString good = SaveFrame(scratch, QStringLiteral("good"), Pattern(20, 20));
    QByteArray bytes = ReadAll(good);
    const QString cut = scratch.Path(QStringLiteral("cut.gif"));
    ASSERT_TRUE(WriteAll(cut, bytes.left(bytes.size() - 30)));
    const QString junk = scratch.Path(QStringLiteral("junk.gif"));
    ASSERT_TRUE(WriteAll(junk, QByteArray(500, 'x')));
    for (const QString& bad : {cut, junk}) {
        GifAssembler gif;
        gif.Reset();
        gif.AddFrame(good);
        gif.AddFrame(bad);
        const QString out = scratch.Path(QStringLiteral("out.gif"));
        EXPECT_FALSE(gif.SaveAnimation(out));
        EXPECT_TRUE(gif.LastError().contains(QFileInfo(bad).fileName())) << gif.LastError().toStdString();
        EXPECT_FALSE(QFile::exists(out));
    }
}

} // namespace
