// SPDX-License-Identifier: GPL-3.0-or-later
#include "PictureFiles.h"
#include "support/PictureBytes.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>

namespace {

class AddingTest : public PictureFixture {
protected:
    QStringList SizesList() const
    {
        QStringList out;
        for (int i = 0; i < Named<QComboBox>(form->Settings(), "cboDim")->count(); ++i)
            out << Named<QComboBox>(form->Settings(), "cboDim")->itemText(i);
        return out;
    }
    // Properties, Go, Stop, create enabled; Go/Stop pictures enabled ("+") or greyed ("-").
    QString Actions() const
    {
        QString out;
        for (const QPushButton* b :
             {Named<QPushButton>(form->Frames(), "cmdProp"), Named<QPushButton>(form->Preview(), "cmdGo"),
              Named<QPushButton>(form->Preview(), "cmdStop"), Named<QPushButton>(form->Create(), "cmdCreateGIF")})
            out += b->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
        auto shows = [](const ImageControl* b, const ImageControl* holder) {
            return b->Picture().cacheKey() == holder->Picture().cacheKey();
        };
        out += shows(Named<ImageControl>(form->Preview(), "imgcmdGo"), Named<ImageControl>(form->Preview(), "imgGoEn"))
                && shows(Named<ImageControl>(form->Preview(), "imgcmdStop"),
                         Named<ImageControl>(form->Preview(), "imgStopEn"))
            ? QLatin1Char('+')
            : shows(Named<ImageControl>(form->Preview(), "imgcmdGo"), Named<ImageControl>(form->Preview(), "imgGoDis"))
                && shows(Named<ImageControl>(form->Preview(), "imgcmdStop"),
                         Named<ImageControl>(form->Preview(), "imgStopDis"))
            ? QLatin1Char('-')
            : QLatin1Char('?');
        return out;
    }
};

TEST_F(AddingTest, DialogOffersTheTwentySevenFilterEntries)
{
    form->Pictures().cmdAddImg_Click();
    ASSERT_EQ(openRequests.size(), 1u);
    const Dialogs::OpenRequest& request = openRequests.front();
    EXPECT_EQ(request.title, QStringLiteral("Add Graphic Files"));
    EXPECT_TRUE(request.multiSelect && request.fileMustExist);
    const QStringList parts = request.filter.split(QLatin1Char('|'));
    ASSERT_EQ(parts.size(), 54);
    EXPECT_EQ(parts[0], QStringLiteral("Popular Images(*.bmp,*.gif,*.jpg,*.png,*.ico)"));
    EXPECT_TRUE(parts[3].contains(QStringLiteral(";*rle;")) && !parts[3].contains(QStringLiteral("tif")));
    EXPECT_EQ(parts[11] + parts[29] + parts[43], QStringLiteral("*.png*.png*.tif;*.tiff"));
    EXPECT_TRUE(request.filter.endsWith(QStringLiteral("|All Files(*.*)|*.*")));
    EXPECT_EQ(Dialogs::ToNameFilters(request.filter).size(), 27);
}

TEST_F(AddingTest, PicksAreAddedInDialogOrderSkippingListedAndUnreadableSilently)
{
    for (const char* name : {"c.png", "a.png", "b.bmp", "d.png"})
        MakePicture(QLatin1String(name));
    QFile text(PathOf(QStringLiteral("notes.bmp")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly) && text.write("not a picture\n") > 0);
    text.close();
    // Its header is whole, its pixels cut short: it could never become a frame.
    QImage picture(8, 6, QImage::Format_RGB32);
    picture.fill(Qt::red);
    const QByteArray tga = PictureBytes::Tga(picture, true);
    ASSERT_TRUE(PictureBytes::Write(PathOf(QStringLiteral("cut.tga")), tga.left(tga.size() - 20)));

    Add(Texts({"c.png"})); // one full path
    Add(Texts({"c.png", "a.png", "notes.bmp", "cut.tga", "b.bmp"}));
    EXPECT_EQ(Names(), Texts({"c.png", "a.png", "b.bmp"}));
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(Named<QLabel>(form->Pictures(), "LabTotal")->text(), QStringLiteral("3"));
    EXPECT_EQ(Cells(Named<QTreeView>(form->Pictures(), "lstPic"), 3),
              Texts({"b.bmp", "BMP image", "8 x 6"}) << Folder());
    EXPECT_FALSE(ListViews::IsChecked(Named<QTreeView>(form->Pictures(), "lstPic"), 3));
    EXPECT_EQ(form->PicturePath(1), QDir::toNativeSeparators(PathOf(QStringLiteral("c.png"))));
    EXPECT_EQ(Cells(Named<QTreeView>(form->Frames(), "lstFrame"), 3).mid(0, 2), Texts({"Frame 3", "b.bmp"}));

    // Folders are compared exactly: one spelt with a trailing separator is another folder.
    openAnswers.push_back(Pick(Texts({"d.png", "a.png"})).replace(0, Folder().size(), Folder() + QDir::separator()));
    form->Pictures().cmdAdd_Click();
    EXPECT_EQ(Names(), Texts({"c.png", "a.png", "b.bmp", "d.png", "a.png"}));
}

TEST(PictureTypeTextTest, ExtensionsAreUpperCasedAndClassified)
{
    const std::pair<const char*, const char*> cases[] = {
        {"a.jpeg", "JPEG image"}, {"b.Tif", "TIF image"}, {"x.y.wbmp", "WBMP image"}, {"c.xyz", "XYZ file"},
        {"e.abcd", "ABCD file"},  {"d.abcde", ""},        {"README", "Unknown file"}, {"name.", " file"},
    };
    for (const auto& [name, type] : cases)
        EXPECT_EQ(PicturesPage::PictureTypeText(QLatin1String(name)), QLatin1String(type)) << name;
}

TEST_F(AddingTest, CancelKeepsListsAndPreviewButStillRefreshes)
{
    MakePicture(QStringLiteral("a.png"));
    Add(Texts({"a.png"}));
    Named<QLabel>(form->Pictures(), "LabTotal")->setText(QStringLiteral("stale"));
    Named<QComboBox>(form->Settings(), "cboDim")->addItem(QStringLiteral("9 x 9"));
    Named<QTimer>(form->Preview(), "tmPlay")->start(60000);
    form->Pictures().cmdAdd_Click(); // empty queue: cancel
    EXPECT_EQ(form->PictureCount(), 1);
    EXPECT_EQ(Named<QLabel>(form->Pictures(), "LabTotal")->text(), QStringLiteral("1"));
    EXPECT_EQ(SizesList(), Texts({"8 x 6"}));
    EXPECT_TRUE(Named<QTimer>(form->Preview(), "tmPlay")->isActive()); // stopped only once files are picked
    Add(Texts({"a.png"}));
    EXPECT_FALSE(Named<QTimer>(form->Preview(), "tmPlay")->isActive());
}

TEST_F(AddingTest, BatchShowsTheHourglassAndLetsEventsRunWithListsInStep)
{
    for (const char* name : {"p0.png", "p1.png", "p2.png"})
        MakePicture(QLatin1String(name));
    QStringList seen; // cursor shape, both counts, at each turn of the event loop
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const QCursor* c = QApplication::overrideCursor();
        seen << QStringLiteral("%1:%2/%3")
                    .arg(c ? c->shape() : -1)
                    .arg(form->PictureCount())
                    .arg(ListViews::RowCount(Named<QTreeView>(form->Frames(), "lstFrame")));
    });
    ticker.start(0);
    Add(Texts({"p0.png", "p1.png", "p2.png"}));
    ticker.stop();
    seen.removeDuplicates();
    const int wait = Qt::WaitCursor;
    EXPECT_EQ(seen,
              (QStringList{QStringLiteral("%1:0/0").arg(wait), QStringLiteral("%1:1/1").arg(wait),
                           QStringLiteral("%1:2/2").arg(wait), QStringLiteral("%1:3/3").arg(wait)}));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(AddingTest, SizesListKeepsFirstAppearanceAndEveryRebuildFillsTheSizeFields)
{
    MakePicture(QStringLiteral("a.png"), 640, 480);
    MakePicture(QStringLiteral("b.png"), 800, 600);
    MakePicture(QStringLiteral("c.png"), 640, 480);
    Named<QCheckBox>(form->Settings(), "chkCustom")->setChecked(true);
    Add(Texts({"a.png", "b.png", "c.png"}));
    EXPECT_EQ(SizesList(), Texts({"640 x 480", "800 x 600"}));
    EXPECT_EQ(Named<QLineEdit>(form->Settings(), "txtW")->text() + Named<QLineEdit>(form->Settings(), "txtH")->text(),
              QStringLiteral("640480"));

    Named<QLineEdit>(form->Settings(), "txtW")->setText(QStringLiteral("123"));
    ListViews::SetChecked(Named<QTreeView>(form->Pictures(), "lstPic"), 1);
    form->Pictures().cmdDel_Click();
    EXPECT_EQ(SizesList(), Texts({"800 x 600", "640 x 480"}));
    EXPECT_EQ(Named<QLineEdit>(form->Settings(), "txtW")->text() + Named<QLineEdit>(form->Settings(), "txtH")->text(),
              QStringLiteral("800600"));
}

TEST_F(AddingTest, ActionsFollowThePictureCount)
{
    MakePicture(QStringLiteral("a.png"));
    MakePicture(QStringLiteral("b.png"), 20, 10);
    Add(Texts({"a.png"}));
    EXPECT_EQ(Actions(), QStringLiteral("1000-"));
    Add(Texts({"b.png"}));
    EXPECT_EQ(Actions(), QStringLiteral("1111+"));
    // Deleting every picture: size fields keep their last values.
    Named<QCheckBox>(form->Pictures(), "chkAll")->click();
    form->Pictures().cmdDel_Click();
    EXPECT_EQ(Actions(), QStringLiteral("0000-"));
    EXPECT_EQ(ListViews::RowCount(Named<QTreeView>(form->Frames(), "lstFrame"))
                  + Named<QComboBox>(form->Settings(), "cboDim")->count(),
              0);
    EXPECT_EQ(Named<QLineEdit>(form->Settings(), "txtW")->text() + Named<QLineEdit>(form->Settings(), "txtH")->text(),
              QStringLiteral("86"));
    EXPECT_EQ(Named<QLabel>(form->Pictures(), "LabTotal")->text(), QStringLiteral("0"));
}

TEST_F(AddingTest, DroppedFilesAreAddedLikePickedOnes)
{
    MakePicture(QStringLiteral("b.png"));
    MakePicture(QStringLiteral("a.png"));
    QTemporaryDir other;
    ASSERT_TRUE(QImage(10, 10, QImage::Format_RGB32).save(other.filePath(QStringLiteral("z.png"))));
    Add(Texts({"a.png"}));
    auto send = [this](QEvent& event) {
        QCoreApplication::sendEvent(Named<QTreeView>(form->Pictures(), "lstPic")->viewport(), &event);
        return event.isAccepted();
    };
    QMimeData web;
    web.setUrls({QUrl(QStringLiteral("https://example.org/x.png"))});
    QDragEnterEvent enterWeb(QPoint(20, 20), Qt::CopyAction, &web, Qt::LeftButton, Qt::NoModifier);
    EXPECT_FALSE(send(enterWeb));

    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(PathOf(QStringLiteral("b.png"))),
                   QUrl::fromLocalFile(other.filePath(QStringLiteral("z.png"))),
                   QUrl::fromLocalFile(PathOf(QStringLiteral("a.png")))});
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    EXPECT_TRUE(send(enter));
    QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    EXPECT_TRUE(send(drop));
    QCoreApplication::processEvents();
    EXPECT_EQ(Names(), Texts({"a.png", "b.png", "z.png"}));
    EXPECT_EQ(Cells(Named<QTreeView>(form->Pictures(), "lstPic"), 3)[PictureColumn::Address],
              QDir::toNativeSeparators(other.path()));
    EXPECT_EQ(Named<QLabel>(form->Pictures(), "LabTotal")->text() + QLatin1Char(' ')
                  + SizesList().join(QLatin1Char(',')),
              QStringLiteral("3 8 x 6,10 x 10"));
    EXPECT_EQ(Actions(), QStringLiteral("1111+"));
}

TEST_F(AddingTest, FilesPickedInTwoFoldersAreAddedFromWhereTheyAre)
{
    // b.png of the first folder is not picked; the picked one is elsewhere.
    MakePicture(QStringLiteral("a.png"));
    MakePicture(QStringLiteral("b.png"));
    QTemporaryDir other;
    ASSERT_TRUE(QImage(20, 7, QImage::Format_RGB32).save(other.filePath(QStringLiteral("b.png"))));
    ASSERT_TRUE(QImage(30, 7, QImage::Format_RGB32).save(other.filePath(QStringLiteral("c.png"))));
    openAnswers.push_back(
        Dialogs::JoinPickedFiles({PathOf(QStringLiteral("a.png")), other.filePath(QStringLiteral("b.png")),
                                  other.filePath(QStringLiteral("c.png"))}));
    form->Pictures().cmdAdd_Click();
    ASSERT_EQ(form->PictureCount(), 3);
    EXPECT_EQ(form->PicturePath(2), QDir::toNativeSeparators(other.filePath(QStringLiteral("b.png"))));
    EXPECT_EQ(form->PicturePath(3), QDir::toNativeSeparators(other.filePath(QStringLiteral("c.png"))));
    EXPECT_EQ(SizesList().join(QLatin1Char(',')), QStringLiteral("8 x 6,20 x 7,30 x 7"));
}

TEST_F(AddingTest, AFullListRefusesFurtherPicturesWithOneMessage)
{
    for (int i = 1; i < PicturesPage::kMaxPictures; ++i) { // up to one below the limit, without files
        form->Pictures().AddPictureRow({QStringLiteral("f%1").arg(i), QString(), QSize(8, 6), QStringLiteral("/x")});
    }
    for (const char* name : {"a.png", "b.png", "c.png"})
        MakePicture(QLatin1String(name));
    Add(Texts({"a.png", "b.png", "c.png"}));
    EXPECT_EQ(ListViews::RowCount(Named<QTreeView>(form->Frames(), "lstFrame")), PicturesPage::kMaxPictures);
    EXPECT_EQ(Names().last(), QStringLiteral("a.png"));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.contains(QStringLiteral("32767")));
    EXPECT_EQ(messages[0].icon, Messages::Icon::Information);
}

TEST_F(AddingTest, ClosingTheWindowStopsABatchAfterTheCurrentFile)
{
    for (const char* name : {"a.png", "b.png", "c.png", "d.png"})
        MakePicture(QLatin1String(name));
    openAnswers.push_back(Pick(Texts({"a.png", "b.png", "c.png", "d.png"})));
    // The close arrives while the batch lets events run before its first file.
    QTimer::singleShot(0, form.get(), [this] { form->close(); });
    Named<QPushButton>(form->Pictures(), "cmdAdd")->click();
    EXPECT_EQ(form->PictureCount(), 1);
    EXPECT_EQ(ListViews::RowCount(Named<QTreeView>(form->Frames(), "lstFrame")), 1);
    QTRY_VERIFY_WITH_TIMEOUT(!form->isVisible(), 2000);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

} // namespace
