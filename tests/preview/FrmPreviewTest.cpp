// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/SizeText.h"
#include "preview/FrmPreview.h"
#include "support/FormFixture.h"
#include "support/ListViews.h"
#include "support/PictureBytes.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QImageWriter>
#include <QLineEdit>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>

namespace {

constexpr ColorValue kWhite = Rgb(255, 255, 255);
constexpr ColorValue kFrameLine = Rgb(128, 128, 255);

QImage Solid(int w, int h, QColor color)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

// The picture is decoded on a worker thread: wait until it is shown.
void WaitForPicture(const FrmPreview& window)
{
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.Loading(); }, 20000));
}

class FrmPreviewTest : public FormFixture {
protected:
    QTemporaryDir dir;

    // A picture row; the file itself need not exist.
    void AddPicture(const QString& name, const QString& dimensions)
    {
        form->Pictures().AddPictureRow({name, QStringLiteral("picture"), ParseSizeText(dimensions), dir.path()});
    }
    QString Save(const QString& name, const QImage& image)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(image.save(path)) << path.toStdString();
        return path;
    }
    static ColorValue Shown(FrmPreview& window, int x, int y)
    {
        return FromQColor(QColor(window.grab().toImage().pixel(x, y)));
    }
};

TEST_F(FrmPreviewTest, FittedBoxPlaceAndCaption)
{
    struct Case {
        const char* dimensions;
        int w, h;
        float left, top;
        const char* caption;
    };
    const Case cases[] = {
        {"320 x 240", 320, 240, 145.0f, 85.0f, "Click to close preview window [ 320 x 240 ] "},
        {"1200 x 900", 533, 400, 38.5f, 5.0f, "Click to close preview window [ 533 x 400 ] "},
        {"1000 x 400", 600, 240, 5.0f, 85.0f, "Click to close preview window [ 600 x 240 ] "},
        {"1200 x 401", 600, 200, 5.0f, 105.0f, "Click to close preview window [ 600 x 200 ] "},
        {"600 x 400", 600, 400, 5.0f, 5.0f, "Click to close preview window [ 600 x 400 ] "},
        {"31 x 7", 31, 7, 289.5f, 201.5f, "Click to close preview window [ 31 x 7 ] "},
        // A text without two numbers leaves the missing ones at 0.
        {"640 x", 600, 0, 5.0f, 205.0f, "Click to close preview window [ 600 x 0 ] "},
        {"unknown", 0, 0, 305.0f, 205.0f, "Click to close preview window [ 0 x 0 ] "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dimensions);
        const QSize listed = ParseSizeText(QLatin1String(c.dimensions));
        FrmPreview window(nullptr, {dir.filePath(QStringLiteral("missing.png")), listed});
        WaitForPicture(window);
        EXPECT_EQ(window.ShownSize(), QSize(c.w, c.h));
        EXPECT_EQ(window.imgPreview().Width, float(c.w));
        EXPECT_EQ(window.imgPreview().Height, float(c.h));
        EXPECT_EQ(window.imgPreview().Left, c.left);
        EXPECT_EQ(window.imgPreview().Top, c.top);
        EXPECT_EQ(window.windowTitle(), QLatin1String(c.caption));
        // Neither loader read anything: the window is still framed and opens.
        EXPECT_TRUE(window.imgPreview().Picture.isNull());
        EXPECT_EQ(window.Canvas()->PixelAt(0, 0), kFrameLine);
    }
}

TEST_F(FrmPreviewTest, WindowFramePictureAndBackground)
{
    const QString path = Save(QStringLiteral("big.png"), Solid(1200, 900, Qt::red));
    FrmPreview window(nullptr, {path, QSize(1200, 900)});
    WaitForPicture(window);
    EXPECT_EQ(window.size(), QSize(610, 410));
    EXPECT_TRUE(window.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(window.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());

    const PixelSurface& surface = *window.Canvas();
    for (int x : {0, 300, 609}) {
        EXPECT_EQ(surface.PixelAt(x, 0), kFrameLine) << x;
        EXPECT_EQ(surface.PixelAt(x, 409), kFrameLine) << x;
    }
    for (int y : {0, 200, 409}) {
        EXPECT_EQ(surface.PixelAt(0, y), kFrameLine) << y;
        EXPECT_EQ(surface.PixelAt(609, y), kFrameLine) << y;
    }
    EXPECT_EQ(surface.PixelAt(1, 1), kWhite);

    // The picture fills 38.5 .. 571.5 x 5 .. 405 and nothing else.
    EXPECT_EQ(window.imgPreview().Picture.size(), QSize(533, 400));
    EXPECT_EQ(Shown(window, 305, 205), Rgb(255, 0, 0));
    EXPECT_EQ(Shown(window, 40, 7), Rgb(255, 0, 0));
    EXPECT_EQ(Shown(window, 570, 403), Rgb(255, 0, 0));
    EXPECT_EQ(Shown(window, 20, 205), kWhite);
    EXPECT_EQ(Shown(window, 590, 205), kWhite);
    EXPECT_EQ(Shown(window, 0, 205), kFrameLine);
}

TEST_F(FrmPreviewTest, PicturesAreShownUpright)
{
    // Left half red, right half blue, stored with a quarter turn to the right.
    QImage picture = Solid(40, 20, Qt::red);
    for (int y = 0; y < 20; ++y)
        for (int x = 20; x < 40; ++x)
            picture.setPixel(x, y, qRgb(0, 0, 255));
    QImageWriter writer(dir.filePath(QStringLiteral("turned.tif")));
    if (!writer.supportsOption(QImageIOHandler::ImageTransformation))
        GTEST_SKIP() << "no TIFF writer that records an orientation";
    writer.setTransformation(QImageIOHandler::TransformationRotate90);
    ASSERT_TRUE(writer.write(picture));
    // A TGA stored from the bottom row up, as most writers store it.
    const QImage redTop = PictureBytes::Bands(30, 20, 10, qRgb(255, 0, 0), qRgb(0, 0, 255));
    ASSERT_TRUE(PictureBytes::Write(dir.filePath(QStringLiteral("bottom.tga")), PictureBytes::Tga(redTop, true)));

    for (const FrmPreview::Picture& picture :
         {FrmPreview::Picture{dir.filePath(QStringLiteral("turned.tif")), QSize(20, 40)},
          FrmPreview::Picture{dir.filePath(QStringLiteral("bottom.tga")), QSize(30, 20)}}) {
        FrmPreview window(nullptr, picture);
        WaitForPicture(window);
        const QImage& shown = window.imgPreview().Picture;
        ASSERT_EQ(shown.size(), window.ShownSize());
        // Upright, the red half is on top.
        EXPECT_EQ(FromQColor(QColor(shown.pixel(10, 3))), Rgb(255, 0, 0)) << picture.path.toStdString();
        EXPECT_EQ(FromQColor(QColor(shown.pixel(10, shown.height() - 3))), Rgb(0, 0, 255))
            << picture.path.toStdString();
    }
}

TEST_F(FrmPreviewTest, ClosedWindowsLeaveNoDecodeQueued)
{
    // One worker, kept busy while ten windows open and close.
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
    const QString path = Save(QStringLiteral("p.png"), Solid(64, 48, Qt::red));
    {
        std::vector<std::unique_ptr<FrmPreview>> windows;
        for (int i = 0; i < 10; ++i)
            windows.push_back(std::make_unique<FrmPreview>(nullptr, FrmPreview::Picture{path, QSize(64, 48)}));
        EXPECT_EQ(FrmPreview::LiveDecodes(), 10);
    }
    EXPECT_EQ(FrmPreview::LiveDecodes(), 0);
    hold.release();
    pool->waitForDone();
    pool->setMaxThreadCount(threads);
    // A window opened afterwards still gets its picture.
    FrmPreview window(nullptr, {path, QSize(64, 48)});
    WaitForPicture(window);
    pool->waitForDone();
    EXPECT_EQ(FrmPreview::LiveDecodes(), 0);
    EXPECT_EQ(window.imgPreview().Picture.pixel(10, 10), QColor(Qt::red).rgb());
}

TEST_F(FrmPreviewTest, AnyLeftClickClosesIt)
{
    const FrmPreview::Picture picture{Save(QStringLiteral("a.png"), Solid(320, 240, Qt::green)), QSize(320, 240)};
    for (const QPoint at : {QPoint(305, 205), QPoint(20, 20), QPoint(0, 0)}) {
        SCOPED_TRACE(at.x());
        FrmPreview window(nullptr, picture);
        window.show();
        QWidget* surface = window.Canvas();
        // A right click, or a release without its press, is no click.
        QTest::mouseClick(surface, Qt::RightButton, {}, at);
        QTest::mouseRelease(surface, Qt::LeftButton, {}, at);
        EXPECT_TRUE(window.isVisible());
        QTest::mouseClick(surface, Qt::LeftButton, {}, at);
        EXPECT_FALSE(window.isVisible());
    }
    FrmPreview window(nullptr, picture);
    window.show();
    window.close(); // the close box
    EXPECT_FALSE(window.isVisible());
}

TEST_F(FrmPreviewTest, OpensForTheSelectedRowOrTheFirst)
{
    std::vector<QString> captions;
    onModal = [&](QDialog& dialog) {
        captions.push_back(dialog.windowTitle());
        EXPECT_LE((dialog.geometry().center() - form->geometry().center()).manhattanLength(), 2);
        dialog.reject();
        return int(QDialog::Rejected);
    };
    form->ShowPicturePreview();
    EXPECT_TRUE(captions.empty()); // nothing to show

    AddPicture(QStringLiteral("a.png"), QStringLiteral("100 x 50"));
    AddPicture(QStringLiteral("b.png"), QStringLiteral("1200 x 900"));
    form->ShowPicturePreview();
    ListViews::Select(Named<QTreeView>(form->Pictures(), "lstPic"), 2);
    form->ShowPicturePreview();
    form->ShowPicturePreview();
    ASSERT_EQ(captions.size(), 3u);
    EXPECT_EQ(captions[0], QStringLiteral("Click to close preview window [ 100 x 50 ] "));
    EXPECT_EQ(captions[1], QStringLiteral("Click to close preview window [ 533 x 400 ] "));
    // Each opening starts again from the plain caption.
    EXPECT_EQ(captions[2], captions[1]);
}

TEST_F(FrmPreviewTest, PicturesQtCannotReadAreShownAndTheClipboardIsLeftAlone)
{
    const QString path = dir.filePath(QStringLiteral("engine-only.sgi"));
    ASSERT_TRUE(PictureBytes::Write(path, PictureBytes::Sgi(Solid(30, 20, Qt::blue))));
    ASSERT_TRUE(QImageReader(path).read().isNull()) << "the platform loader should not read it";

    QGuiApplication::clipboard()->setText(QStringLiteral("the user's copy"));
    FrmPreview window(nullptr, {path, QSize(30, 20)});
    WaitForPicture(window);
    const QImage& shown = window.imgPreview().Picture;
    ASSERT_EQ(shown.size(), QSize(30, 20));
    EXPECT_EQ(FromQColor(QColor(shown.pixel(15, 10))), Rgb(0, 0, 255));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("the user's copy"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Click to close preview window [ 30 x 20 ] "));
}

TEST_F(FrmPreviewTest, AddedPicturesOpenOnADoubleClickOfTheirRow)
{
    // Through the real adding path: measured by the engine, listed, refreshed.
    const QString png = Save(QStringLiteral("wide.png"), Solid(1000, 400, Qt::red));
    const QString sgi = dir.filePath(QStringLiteral("small.sgi"));
    ASSERT_TRUE(PictureBytes::Write(sgi, PictureBytes::Sgi(Solid(64, 48, Qt::blue))));
    form->Pictures().AddPictureFile(png, dir.path());
    form->Pictures().AddPictureFile(sgi, dir.path());
    form->Pictures().RefreshListControls();
    ASSERT_EQ(form->PictureCount(), 2);
    // The refresh picked the first size for the output fields.
    EXPECT_EQ(Named<QLineEdit>(form->Settings(), "txtW")->text(), QStringLiteral("1000"));
    EXPECT_EQ(Named<QLineEdit>(form->Settings(), "txtH")->text(), QStringLiteral("400"));

    std::vector<std::pair<QString, QSize>> opened;
    onModal = [&](QDialog& dialog) {
        auto& window = static_cast<FrmPreview&>(dialog);
        WaitForPicture(window);
        opened.emplace_back(window.windowTitle(), window.imgPreview().Picture.size());
        window.reject();
        return window.result();
    };
    QWidget* viewport = Named<QTreeView>(form->Pictures(), "lstPic")->viewport();
    for (int row : {1, 0}) {
        const QPoint at = ListViews::RowRect(Named<QTreeView>(form->Pictures(), "lstPic"), row + 1).center();
        QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
    }
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0].first, QStringLiteral("Click to close preview window [ 64 x 48 ] "));
    EXPECT_EQ(opened[0].second, QSize(64, 48));
    EXPECT_EQ(opened[1].first, QStringLiteral("Click to close preview window [ 600 x 240 ] "));
    EXPECT_EQ(opened[1].second, QSize(600, 240));
}

} // namespace
