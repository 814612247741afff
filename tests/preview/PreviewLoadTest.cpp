// SPDX-License-Identifier: GPL-3.0-or-later
#include "PreviewFixture.h"

#include "common/OutputSize.h"
#include "imaging/ImagingLimits.h"
#include "preview/PreviewLayout.h"
#include "preview/PreviewPictures.h"
#include "support/PictureBytes.h"

#include <QBuffer>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QSemaphore>
#include <QThreadPool>

namespace {

using PreviewLoadTest = PreviewFixture;

TEST(PreviewLayoutTest, BoxFitsInto600By300WidthFirstRoundingHalvesToEven)
{
    const int cases[][4] = {{800, 600, 400, 300}, {300, 200, 300, 200},  {2000, 100, 600, 30},
                            {600, 300, 600, 300}, {1200, 401, 600, 200}, {1200, 403, 600, 202},
                            {601, 501, 360, 300}, {5, 2000, 1, 300},     {2000, 5, 600, 2}};
    for (const auto& c : cases)
        EXPECT_EQ(PreviewLayout::FitBox(c[0], c[1]), QSize(c[2], c[3])) << c[0] << " x " << c[1];
    // 400 pictures: 0.25 % and 0.5 % show as the sign alone; eight meet exact halves.
    const std::pair<std::pair<int, int>, const char*> progress[] = {
        {{1, 400}, "% Loading ..."},      {{2, 400}, "% Loading ..."}, {{3, 400}, "1% Loading ..."},
        {{400, 400}, "100% Loading ..."}, {{1, 8}, "12% Loading ..."}, {{3, 8}, "38% Loading ..."}};
    for (const auto& [share, caption] : progress)
        EXPECT_EQ(PreviewLayout::LoadingCaption(share.first, share.second), QLatin1String(caption));
}

TEST_F(PreviewLoadTest, ThreePicturesReportProgressAndPlayFromFrameOne)
{
    AddPictures(3);
    SetPlayTime(1, QStringLiteral("750"));
    form->Preview().imgcmdGo_Click();
    EXPECT_EQ(captions,
              QStringList({QStringLiteral("Loading 0% ..."), QStringLiteral("33% Loading ..."),
                           QStringLiteral("67% Loading ..."), QStringLiteral("100% Loading ..."),
                           QStringLiteral("100% Loaded."), Playing(1, 750, 1)}));
    EXPECT_FALSE(Named<QLabel>(form->Preview(), "LabLoop")->isHidden());
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Named<PreviewArea>(form->Preview(), "picPreview")->imgPreview(i).place, QRectF(124.5, 10.5, 400, 300))
            << i;
        // Kept at the size it is shown, not at its own.
        EXPECT_EQ(Named<PreviewArea>(form->Preview(), "picPreview")->imgPreview(i).picture.size(), QSize(400, 300))
            << i;
        EXPECT_EQ(PictureColor(i), ColorOf(i)) << i;
    }
    EXPECT_EQ(Visible(), 0);
    EXPECT_TRUE(Named<QTimer>(form->Preview(), "tmPlay")->isActive()
                && Named<QTimer>(form->Preview(), "tmPlay")->interval() == 750);
    EXPECT_TRUE(form->Preview().PreviewLoops() == 1 && form->Preview().PreviewFrame() == 1);

    // Drawn over the grey frame, covering its box from the half pixel on.
    SetOutput(300, 200);
    form->Preview().imgcmdGo_Click();
    EXPECT_EQ(Named<PreviewArea>(form->Preview(), "picPreview")->imgPreview(0).place, QRectF(174.5, 60.5, 300, 200));
    const QImage shot = Named<PreviewArea>(form->Preview(), "picPreview")->grab().toImage();
    EXPECT_EQ(shot.pixelColor(0, 0), QColor(192, 192, 192));
    EXPECT_EQ(shot.pixelColor(176, 62), ColorOf(0));
    EXPECT_EQ(shot.pixelColor(473, 259), ColorOf(0));
    EXPECT_NE(shot.pixelColor(173, 62), ColorOf(0));
    EXPECT_NE(shot.pixelColor(476, 262), ColorOf(0));
}

TEST_F(PreviewLoadTest, RefusedSizeShowsItsMessageAndAPlayingPreviewGoesOn)
{
    AddPictures(2);
    form->Preview().imgcmdGo_Click();
    form->Preview().tmPlay_Timer();
    const std::pair<const char*, const char*> sizes[] = {{"", "600"}, {"800", ""}, {"4", "600"}, {"2001", "600"}};
    const QString expected[] = {OutputSize::EmptyMessage(), OutputSize::EmptyMessage(), OutputSize::TooSmallMessage(),
                                OutputSize::TooBigMessage()};
    for (int i = 0; i < 4; ++i) {
        messages.clear();
        Named<QLineEdit>(form->Settings(), "txtW")->setText(QLatin1String(sizes[i].first));
        Named<QLineEdit>(form->Settings(), "txtH")->setText(QLatin1String(sizes[i].second));
        form->Preview().cmdGo_Click();
        ASSERT_EQ(messages.size(), 1u) << i;
        EXPECT_EQ(messages[0].text, expected[i]);
        EXPECT_EQ(messages[0].icon, Messages::Icon::Error);
    }
    EXPECT_TRUE(Named<QTimer>(form->Preview(), "tmPlay")->isActive());
    EXPECT_EQ(Visible(), 1);
    EXPECT_EQ(captions.back(), Playing(1, 500, 2));
}

TEST_F(PreviewLoadTest, FiveThenThreePicturesShowOnlyTheThree)
{
    AddPictures(5);
    form->Preview().imgcmdGo_Click();
    for (int i = 0; i < 4; ++i)
        form->Preview().tmPlay_Timer();
    ASSERT_EQ(Visible(), 4);
    form->Preview().imgcmdStop_Click();
    RemoveLastRows(2);
    form->Preview().imgcmdGo_Click();
    for (int tick = 0; tick < 8; ++tick) {
        EXPECT_TRUE(Visible() >= 0 && Visible() < 3) << "tick " << tick << " shows " << Visible();
        form->Preview().tmPlay_Timer();
    }
}

TEST_F(PreviewLoadTest, EveryPictureDeletedDuringALoadEndsItStopped)
{
    AddPictures(3);
    form->Preview().imgcmdGo_Click();
    OnCaption(QStringLiteral("33% Loading ..."), [this] {
        for (int i = 1; i <= 3; ++i)
            ListViews::SetChecked(Named<QTreeView>(form->Pictures(), "lstPic"), i);
        form->Pictures().cmdDel_Click();
    });
    form->Preview().imgcmdGo_Click();
    ASSERT_EQ(form->PictureCount(), 0);
    EXPECT_FALSE(Named<QTimer>(form->Preview(), "tmPlay")->isActive());
    EXPECT_TRUE(Named<QLabel>(form->Preview(), "LabLoop")->isHidden())
        << Named<QLabel>(form->Preview(), "LabLoop")->text().toStdString();
    EXPECT_EQ(Visible(), -1);
    EXPECT_TRUE(
        Looks(Named<ImageControl>(form->Preview(), "imgGoDis"), Named<ImageControl>(form->Preview(), "imgStopDis")));
}

TEST_F(PreviewLoadTest, UnreadablePictureKeepsWhatItsElementHeld)
{
    AddPictures(2);
    form->Preview().imgcmdGo_Click();
    QFile broken(dir.filePath(QStringLiteral("p1.png")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
    broken.write("not a picture");
    broken.close();
    Add(dir.filePath(QStringLiteral("missing.png")));
    SetOutput(1200, 403);
    captions.clear();
    form->Preview().imgcmdGo_Click();
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(captions.back(), Playing(1, 500, 1));
    EXPECT_EQ(Named<PreviewArea>(form->Preview(), "picPreview")->imgPreview(2).place, QRectF(24.5, 59.5, 600, 202));
    EXPECT_EQ(PictureColor(1), ColorOf(1));
    EXPECT_TRUE(Named<PreviewArea>(form->Preview(), "picPreview")->imgPreview(2).picture.isNull());
}

TEST_F(PreviewLoadTest, StoredOrientationIsHonoured)
{
    // Stored 200 x 100, left half red, tagged "turn a quarter clockwise":
    // upright it is 100 x 200 with red on top.
    QImage stored(200, 100, QImage::Format_RGB32);
    stored.fill(Qt::blue);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            stored.setPixelColor(x, y, Qt::red);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(stored.save(&buffer, "JPEG", 95));
    // APP1 "Exif", big-endian, one entry: orientation (0x0112) = 6.
    static const char exif[] = "\xFF\xE1\x00\x22"
                               "Exif\0\0"
                               "MM\x00\x2A\x00\x00\x00\x08"
                               "\x00\x01"
                               "\x01\x12\x00\x03\x00\x00\x00\x01\x00\x06\x00\x00"
                               "\x00\x00\x00\x00";
    jpeg.insert(2, QByteArray(exif, sizeof exif - 1));
    QFile file(dir.filePath(QStringLiteral("turned.jpg")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(jpeg);
    file.close();
    Add(file.fileName());
    Add(file.fileName());
    // A TGA stored from the bottom row up (the format's default), red on top.
    const QImage tga = PictureBytes::Bands(100, 200, 100, qRgb(255, 0, 0), qRgb(0, 0, 255));
    ASSERT_TRUE(PictureBytes::Write(dir.filePath(QStringLiteral("bottom.tga")), PictureBytes::Tga(tga, true)));
    Add(dir.filePath(QStringLiteral("bottom.tga")));
    SetOutput(100, 200);
    form->Preview().imgcmdGo_Click();
    for (int element : {0, 1}) {
        const QImage& upright = Named<PreviewArea>(form->Preview(), "picPreview")->imgPreview(element).picture;
        ASSERT_EQ(upright.size(), QSize(100, 200));
        EXPECT_GT(upright.pixelColor(50, 20).red(), 200) << element;
        EXPECT_GT(upright.pixelColor(50, 180).blue(), 200) << element;
    }
}

TEST_F(PreviewLoadTest, NoPathAroundTheSizeLimits)
{
    // Qt's own reader would show this; the engine refuses it, and so does the preview.
    AddPictures(1);
    QImage wide(imaging::kMaxPictureSide + 1, 2, QImage::Format_RGB32);
    wide.fill(Qt::red);
    ASSERT_TRUE(wide.save(dir.filePath(QStringLiteral("wide.png"))));
    Add(dir.filePath(QStringLiteral("wide.png")));
    form->Preview().imgcmdGo_Click();
    EXPECT_EQ(PictureColor(0), ColorOf(0));
    EXPECT_TRUE(Named<PreviewArea>(form->Preview(), "picPreview")->imgPreview(1).picture.isNull());
}

TEST(PreviewPrefetchTest, DroppedWorkIsNeverStarted)
{
    // One worker, kept busy until the load has ended.
    QThreadPool* pool = QThreadPool::globalInstance();
    const int threads = pool->maxThreadCount();
    pool->setMaxThreadCount(1);
    QSemaphore hold;
    QSemaphore running;
    pool->start([&] {
        running.release();
        hold.acquire();
    });
    running.acquire();
    {
        PreviewPrefetch prefetch(QSize(40, 30), 3);
        for (qint32 i = 1; i <= 3; ++i)
            prefetch.Queue(i, QStringLiteral("/nonexistent/p%1.png").arg(i));
        prefetch.Drop();
        hold.release();
        pool->waitForDone();
        EXPECT_EQ(prefetch.DecodesStarted(), 0);
    }
    pool->setMaxThreadCount(threads);
}

TEST_F(PreviewLoadTest, PictureOnlyTheEngineReadsIsShownAndTheClipboardKept)
{
    // A 2 x 2 red PCX picture (no Qt reader): three 8-bit planes, each row run-length coded.
    QByteArray pcx(128, '\0');
    const char header[] = {0x0A, 5, 1, 8, 0, 0, 0, 0, 1, 0, 1, 0, 72, 0, 72, 0};
    pcx.replace(0, qsizetype(sizeof header), QByteArray(header, sizeof header));
    pcx[65] = 3; // planes
    pcx[66] = 2; // bytes per plane row
    pcx[68] = 1;
    for (int row = 0; row < 2; ++row)
        pcx.append("\xC2\xFF\xC2\x00\xC2\x00", 6);
    QFile file(dir.filePath(QStringLiteral("red.pcx")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(pcx);
    file.close();
    ASSERT_TRUE(QImageReader(file.fileName()).read().isNull());
    Add(file.fileName());
    Add(file.fileName());
    QGuiApplication::clipboard()->setText(QStringLiteral("the user's text"));
    form->Preview().imgcmdGo_Click();
    EXPECT_EQ(Named<PreviewArea>(form->Preview(), "picPreview")->imgPreview(1).picture.size(), QSize(400, 300));
    EXPECT_EQ(PictureColor(1), QColor(Qt::red));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("the user's text"));
    EXPECT_EQ(Visible(), 0);
}

} // namespace
