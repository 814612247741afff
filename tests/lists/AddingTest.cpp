// SPDX-License-Identifier: GPL-3.0-or-later
#include "lists/ListRows.h"
#include "PictureFiles.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

QStringList PictureFixture::ComboItems() const
{
    QStringList out;
    for (int i = 0; i < form->cboDim->count(); ++i)
        out << form->cboDim->itemText(i);
    return out;
}

namespace {

using AddingTest = PictureFixture;

TEST_F(AddingTest, DialogIsSetUpWithTheTwentySevenFilterEntries)
{
    form->cmdAddImg_Click();
    ASSERT_EQ(openRequests.size(), 1u);
    const Dialogs::OpenRequest& request = openRequests.front();
    EXPECT_EQ(request.title, QStringLiteral("Add Graphic Files"));
    EXPECT_TRUE(request.multiSelect);
    EXPECT_TRUE(request.fileMustExist);

    const QStringList parts = request.filter.split(QLatin1Char('|'));
    ASSERT_EQ(parts.size(), 54);
    EXPECT_EQ(parts[0], QStringLiteral("Popular Images(*.bmp,*.gif,*.jpg,*.png,*.ico)"));
    EXPECT_TRUE(parts[3].contains(QStringLiteral(";*rle;")));
    EXPECT_FALSE(parts[3].contains(QStringLiteral("tif")));
    EXPECT_EQ(parts[11], QStringLiteral("*.png")); // PNG twice: entries 6 and 15
    EXPECT_EQ(parts[29], QStringLiteral("*.png"));
    EXPECT_EQ(parts[43], QStringLiteral("*.tif;*.tiff"));
    EXPECT_TRUE(request.filter.endsWith(QStringLiteral("|All Files(*.*)|*.*")));
    const QStringList nameFilters = Dialogs::ToNameFilters(request.filter);
    ASSERT_EQ(nameFilters.size(), 27);
    EXPECT_EQ(nameFilters[4], QStringLiteral("JPG/JPEG Files (*.jpg;*.jpeg) (*.jpg *.jpeg)"));
}

TEST_F(AddingTest, PickedFilesAreAddedInDialogOrderSkippingListedAndUnreadable)
{
    for (const char* name : {"c.png", "a.png", "b.bmp", "d.png"})
        MakePicture(QLatin1String(name));
    QFile text(PathOf(QStringLiteral("notes.bmp")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a picture\n");
    text.close();

    Add({QStringLiteral("c.png")}); // one full path
    Add({QStringLiteral("c.png"), QStringLiteral("a.png"), QStringLiteral("notes.bmp"), QStringLiteral("b.bmp")});

    EXPECT_EQ(Names(), Texts({"c.png", "a.png", "b.bmp"}));
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(form->LabTotal->text(), QStringLiteral("3"));
    const QTreeWidgetItem* row = form->lstPic->topLevelItem(2);
    EXPECT_EQ(row->text(PictureColumn::Name), QStringLiteral("b.bmp"));
    EXPECT_EQ(row->text(PictureColumn::Type), QStringLiteral("BMP image"));
    EXPECT_EQ(row->text(PictureColumn::Dimensions), QStringLiteral("8 x 6"));
    EXPECT_EQ(row->text(PictureColumn::Address), Folder());
    EXPECT_EQ(row->checkState(PictureColumn::Name), Qt::Unchecked);
    EXPECT_EQ(form->PicturePath(1), QDir::toNativeSeparators(PathOf(QStringLiteral("c.png"))));
    ASSERT_EQ(form->lstFrame->topLevelItemCount(), 3);
    EXPECT_EQ(form->lstFrame->topLevelItem(2)->text(FrameColumn::Label), QStringLiteral("Frame 3"));
    EXPECT_EQ(form->lstFrame->topLevelItem(1)->text(FrameColumn::Name), QStringLiteral("a.png"));

    // Names are compared exactly: the same picture through a folder spelt
    // with a trailing separator is a different entry.
    openAnswers.push_back(Pick({QStringLiteral("d.png"), QStringLiteral("a.png")}).replace(0, Folder().size(), Folder() + QDir::separator()));
    form->cmdAdd_Click();
    EXPECT_EQ(form->PictureCount(), 5);
    EXPECT_EQ(form->PicturePath(5), QDir::toNativeSeparators(PathOf(QStringLiteral("a.png"))));
}

TEST(PictureTypeTextTest, ExtensionsAreUpperCasedAndClassified)
{
    const std::pair<const char*, const char*> cases[] = {
        {"a.jpeg", "JPEG image"}, {"b.Tif", "TIF image"},  {"x.y.wbmp", "WBMP image"}, {"c.xyz", "XYZ file"},
        {"e.abcd", "ABCD file"},  {"d.abcde", ""},         {"README", "Unknown file"}, {"name.", " file"},
        {".png", "PNG image"},    {"f.rle", "RLE image"},
    };
    for (const auto& [name, type] : cases)
        EXPECT_EQ(FrmGif::PictureTypeText(QLatin1String(name)), QLatin1String(type)) << name;
}

TEST_F(AddingTest, CancelKeepsListsAndPreviewButStillRefreshes)
{
    MakePicture(QStringLiteral("a.png"));
    Add({QStringLiteral("a.png")});
    form->LabTotal->setText(QStringLiteral("stale"));
    form->cboDim->addItem(QStringLiteral("9 x 9"));
    form->tmPlay->start(60000);

    form->cmdAdd_Click(); // empty queue: cancel
    EXPECT_EQ(form->PictureCount(), 1);
    EXPECT_EQ(form->LabTotal->text(), QStringLiteral("1"));
    EXPECT_EQ(ComboItems(), QStringList{QStringLiteral("8 x 6")});
    EXPECT_TRUE(form->tmPlay->isActive()); // the preview is stopped only when files are picked
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    Add({QStringLiteral("a.png")});
    EXPECT_FALSE(form->tmPlay->isActive());
}

TEST_F(AddingTest, BatchShowsHourglassAndLetsEventsRunWithListsInStep)
{
    QStringList names;
    for (int i = 0; i < 3; ++i)
        names << QStringLiteral("p%1.png").arg(i);
    for (const QString& name : names)
        MakePicture(name);

    std::vector<int> counts;
    bool hourglass = true;
    bool inStep = true;
    QTimer ticker;
    ticker.setInterval(0);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const QCursor* cursor = QApplication::overrideCursor();
        hourglass = hourglass && cursor && cursor->shape() == Qt::WaitCursor;
        inStep = inStep && form->lstPic->topLevelItemCount() == form->lstFrame->topLevelItemCount();
        counts.push_back(form->PictureCount());
    });
    ticker.start();
    Add(names);
    ticker.stop();

    EXPECT_TRUE(hourglass);
    EXPECT_TRUE(inStep);
    // Events ran before the first file and after each one.
    EXPECT_NE(std::find(counts.begin(), counts.end(), 0), counts.end());
    EXPECT_NE(std::find(counts.begin(), counts.end(), 1), counts.end());
    EXPECT_NE(std::find(counts.begin(), counts.end(), 2), counts.end());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(AddingTest, SizesListFollowsFirstAppearanceAndFillsTheSizeFields)
{
    MakePicture(QStringLiteral("a.png"), 640, 480);
    MakePicture(QStringLiteral("b.png"), 800, 600);
    MakePicture(QStringLiteral("c.png"), 640, 480);
    form->chkCustom->setChecked(true);
    Add({QStringLiteral("a.png"), QStringLiteral("b.png"), QStringLiteral("c.png")});
    EXPECT_EQ(ComboItems(), Texts({"640 x 480", "800 x 600"}));
    EXPECT_EQ(form->cboDim->currentIndex(), 0);
    EXPECT_EQ(form->txtW->text(), QStringLiteral("640"));
    EXPECT_EQ(form->txtH->text(), QStringLiteral("480"));

    // Every rebuild selects the first entry anew, overriding typed values.
    form->txtW->setText(QStringLiteral("123"));
    form->lstPic->topLevelItem(0)->setCheckState(PictureColumn::Name, Qt::Checked);
    form->cmdDel_Click();
    EXPECT_EQ(ComboItems(), Texts({"800 x 600", "640 x 480"}));
    EXPECT_EQ(form->txtW->text(), QStringLiteral("800"));
    EXPECT_EQ(form->txtH->text(), QStringLiteral("600"));
}

TEST_F(AddingTest, ActionsFollowThePictureCount)
{
    GivePicture(form->imgGoEn, Qt::green);
    GivePicture(form->imgGoDis, Qt::gray);
    GivePicture(form->imgStopEn, Qt::red);
    GivePicture(form->imgStopDis, Qt::darkGray);
    auto shows = [](const ImageControl* button, const ImageControl* holder) {
        return button->Picture().cacheKey() == holder->Picture().cacheKey();
    };
    MakePicture(QStringLiteral("a.png"));
    MakePicture(QStringLiteral("b.png"), 20, 10);

    Add({QStringLiteral("a.png")});
    EXPECT_TRUE(form->cmdProp->isEnabled());
    EXPECT_FALSE(form->cmdGo->isEnabled());
    EXPECT_FALSE(form->cmdStop->isEnabled());
    EXPECT_FALSE(form->cmdCreateGIF->isEnabled());
    EXPECT_TRUE(shows(form->imgcmdGo, form->imgGoDis));
    EXPECT_TRUE(shows(form->imgcmdStop, form->imgStopDis));

    Add({QStringLiteral("b.png")});
    EXPECT_TRUE(form->cmdGo->isEnabled());
    EXPECT_TRUE(form->cmdStop->isEnabled());
    EXPECT_TRUE(form->cmdCreateGIF->isEnabled());
    EXPECT_TRUE(shows(form->imgcmdGo, form->imgGoEn));
    EXPECT_TRUE(shows(form->imgcmdStop, form->imgStopEn));

    // Deleting every picture: all four actions off, size fields keep their values.
    form->chkAll->setChecked(true);
    form->chkAll_Click();
    form->cmdDel_Click();
    EXPECT_EQ(form->PictureCount(), 0);
    EXPECT_EQ(form->lstFrame->topLevelItemCount(), 0);
    EXPECT_FALSE(form->cmdProp->isEnabled());
    EXPECT_FALSE(form->cmdGo->isEnabled());
    EXPECT_FALSE(form->cmdCreateGIF->isEnabled());
    EXPECT_TRUE(shows(form->imgcmdGo, form->imgGoDis));
    EXPECT_EQ(form->cboDim->count(), 0);
    EXPECT_EQ(form->txtW->text(), QStringLiteral("8"));
    EXPECT_EQ(form->txtH->text(), QStringLiteral("6"));
    EXPECT_EQ(form->LabTotal->text(), QStringLiteral("0"));
}

TEST_F(AddingTest, DroppedFilesAreAddedLikePickedOnes)
{
    MakePicture(QStringLiteral("b.png"));
    MakePicture(QStringLiteral("a.png"));
    QTemporaryDir other;
    QImage(10, 10, QImage::Format_RGB32).save(other.filePath(QStringLiteral("z.png")));
    Add({QStringLiteral("a.png")});

    QMimeData web;
    web.setUrls({QUrl(QStringLiteral("https://example.org/x.png"))});
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &web, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form->lstPic->viewport(), &enter);
    EXPECT_FALSE(enter.isAccepted());

    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(PathOf(QStringLiteral("b.png"))),
                   QUrl::fromLocalFile(other.filePath(QStringLiteral("z.png"))),
                   QUrl::fromLocalFile(PathOf(QStringLiteral("a.png")))});
    QDragEnterEvent enterFiles(QPoint(20, 20), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form->lstPic->viewport(), &enterFiles);
    EXPECT_TRUE(enterFiles.isAccepted());
    QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form->lstPic->viewport(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    QCoreApplication::processEvents();

    EXPECT_EQ(Names(), Texts({"a.png", "b.png", "z.png"}));
    EXPECT_EQ(form->lstPic->topLevelItem(2)->text(PictureColumn::Address), QDir::toNativeSeparators(other.path()));
    EXPECT_EQ(form->lstFrame->topLevelItemCount(), 3);
    EXPECT_EQ(form->LabTotal->text(), QStringLiteral("3"));
    EXPECT_EQ(ComboItems(), Texts({"8 x 6", "10 x 10"}));
    EXPECT_TRUE(form->cmdGo->isEnabled());
}

TEST_F(AddingTest, AFullListRefusesFurtherPicturesWithAMessage)
{
    // Fill to one below the limit without touching the disk.
    for (int i = 1; i < FrmGif::kMaxPictures; ++i) {
        form->AddPictureRow(QStringLiteral("f%1.png").arg(i), QStringLiteral("PNG image"), QStringLiteral("8 x 6"),
                            QStringLiteral("/nowhere"));
        form->AddFrameRow(QStringLiteral("f%1.png").arg(i));
    }
    for (const char* name : {"a.png", "b.png", "c.png"})
        MakePicture(QLatin1String(name));
    Add({QStringLiteral("a.png"), QStringLiteral("b.png"), QStringLiteral("c.png")});
    EXPECT_EQ(form->PictureCount(), FrmGif::kMaxPictures);
    EXPECT_EQ(form->lstFrame->topLevelItemCount(), FrmGif::kMaxPictures);
    EXPECT_EQ(form->lstPic->topLevelItem(FrmGif::kMaxPictures - 1)->text(PictureColumn::Name), QStringLiteral("a.png"));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.contains(QStringLiteral("32767")));
    EXPECT_EQ(messages[0].icon, Messages::Icon::Information);
    EXPECT_EQ(form->LabTotal->text(), QStringLiteral("32767"));
}

} // namespace
