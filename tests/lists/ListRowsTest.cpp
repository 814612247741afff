// SPDX-License-Identifier: GPL-3.0-or-later
#include "PictureFiles.h"
#include "common/Paths.h"

#include <QCheckBox>
#include <QLineEdit>

namespace {

using ListRowsTest = PictureFixture;

TEST(PathsTest, OneSeparatorBetweenFolderAndNameAndTheRootKeepsItsOwn)
{
    const QChar bs = QLatin1Char('\\'), sl = QLatin1Char('/');
    EXPECT_EQ(Paths::JoinFolder(QStringLiteral("C:\\"), QStringLiteral("a.gif"), bs), QStringLiteral("C:\\a.gif"));
    EXPECT_EQ(Paths::JoinFolder(QStringLiteral("D:\\Photos"), QStringLiteral("a.gif"), bs), QStringLiteral("D:\\Photos\\a.gif"));
    EXPECT_EQ(Paths::JoinFolder(QStringLiteral("/"), QStringLiteral("a.gif"), sl), QStringLiteral("/a.gif"));
    const std::tuple<const char*, const char*, QChar, const char*, const char*> splits[] = {
        {"C:\\a.bmp", "X:\\unused", bs, "C:\\", "a.bmp"},
        {"b.bmp", "C:", bs, "C:\\", "b.bmp"},
        {"/a.gif", "", sl, "/", "a.gif"},
        {"/home/art/x.png", "/unused", sl, "/home/art", "x.png"},
    };
    for (const auto& [text, folder, sep, wantFolder, wantName] : splits) {
        const auto got = Paths::SplitFileText(QLatin1String(text), QLatin1String(folder), sep);
        EXPECT_EQ(got.folder, QLatin1String(wantFolder)) << text;
        EXPECT_EQ(got.name, QLatin1String(wantName)) << text;
    }
}

TEST_F(ListRowsTest, OutsideTheListPathsAreEmptyAndPlayTimes500)
{
    form->AddPictureRow(QStringLiteral("a.gif"), QStringLiteral("GIF image"), QStringLiteral("5 x 5"), QStringLiteral("/"));
    form->txtMS->setText(QStringLiteral(" 250 "));
    form->AddFrameRow(QStringLiteral("a.gif"));
    EXPECT_EQ(form->PicturePath(1), QStringLiteral("/a.gif"));
    EXPECT_EQ(form->PicturePath(0) + form->PicturePath(2), QString());
    EXPECT_EQ(Cells(form->lstFrame, 1)[FrameColumn::PlayTime], QStringLiteral("250"));
    EXPECT_EQ(form->FramePlayTime(1), 250);
    EXPECT_EQ(form->FramePlayTime(0), 500);
    EXPECT_EQ(form->FramePlayTime(2), 500);
    form->txtMS->clear(); // an empty play-time box gives a row that fails conversion
    form->AddFrameRow(QStringLiteral("b.gif"));
    EXPECT_FALSE(form->FramePlayTime(2).has_value());
}

TEST_F(ListRowsTest, FrameRowsCarryLabelFlagIconAndColour)
{
    form->picColor->SetBackColor(Rgb(10, 20, 30));
    form->AddFrameRow(QStringLiteral("a.png"));
    form->chkTrans->setChecked(true);
    form->picColor->SetBackColor(Rgb(200, 100, 50));
    form->AddFrameRow(QStringLiteral("b.png"));
    form->AddFrameRow(QStringLiteral("c.png"));
    const QString bar(7, QChar(0x2587));
    EXPECT_EQ(Cells(form->lstFrame, 1), Texts({"Frame 1", "a.png", "1000", "No"}) << bar);
    EXPECT_EQ(Cells(form->lstFrame, 3), Texts({"Frame 3", "c.png", "1000", "Yes"}) << bar);
    EXPECT_EQ(IconOf(1, FrameColumn::Transparent), ListIcon::Cross);
    EXPECT_EQ(IconOf(2, FrameColumn::Transparent), ListIcon::Tick);
    EXPECT_EQ(IconOf(2, FrameColumn::Label), ListIcon::Frames);
    EXPECT_EQ(form->FrameColor(1), Rgb(10, 20, 30));
    EXPECT_EQ(form->FrameColor(2), Rgb(200, 100, 50));

    delete form->lstFrame->takeTopLevelItem(0);
    form->RenumberFrames();
    EXPECT_EQ(Cells(form->lstFrame, 2)[FrameColumn::Label], QStringLiteral("Frame 2"));
}

TEST_F(ListRowsTest, SwapMovesEveryFrameCellTogetherAndLeavesCheckMarks)
{
    for (const char* name : {"a.png", "b.png", "c.png"}) {
        const bool isB = name[0] == 'b';
        form->AddPictureRow(QLatin1String(name), QString(), QString(), QStringLiteral("/p"));
        form->txtMS->setText(isB ? QStringLiteral("200") : QStringLiteral("300"));
        form->chkTrans->setChecked(isB);
        form->picColor->SetBackColor(isB ? Rgb(1, 2, 3) : Rgb(4, 5, 6));
        form->AddFrameRow(QLatin1String(name));
    }
    form->lstPic->topLevelItem(1)->setCheckState(PictureColumn::Name, Qt::Checked);
    form->SwapListRows(form->lstFrame, 2, 3);
    form->SwapListRows(form->lstPic, 2, 3);
    form->RenumberFrames();
    const QString bar(7, QChar(0x2587));
    EXPECT_EQ(Cells(form->lstFrame, 2), Texts({"Frame 2", "c.png", "300", "No"}) << bar);
    EXPECT_EQ(Cells(form->lstFrame, 3), Texts({"Frame 3", "b.png", "200", "Yes"}) << bar);
    EXPECT_EQ(IconOf(2, FrameColumn::Transparent), ListIcon::Cross);
    EXPECT_EQ(IconOf(3, FrameColumn::Transparent), ListIcon::Tick);
    EXPECT_EQ(form->FrameColor(2), Rgb(4, 5, 6));
    EXPECT_EQ(form->FrameColor(3), Rgb(1, 2, 3));
    EXPECT_EQ(form->PicturePath(3), QStringLiteral("/p/b.png"));
    EXPECT_EQ(form->lstPic->topLevelItem(1)->checkState(PictureColumn::Name), Qt::Checked);
    EXPECT_EQ(form->lstPic->topLevelItem(2)->checkState(PictureColumn::Name), Qt::Unchecked);

    for (auto [a, b] : {std::pair{2, 2}, {0, 1}, {3, 4}}) { // no-ops
        form->SwapListRows(form->lstPic, a, b);
        form->SwapListRows(form->lstFrame, a, b);
    }
    EXPECT_EQ(Names(), Texts({"a.png", "c.png", "b.png"}));
    EXPECT_EQ(Cells(form->lstFrame, 1)[FrameColumn::Name], QStringLiteral("a.png"));
}

} // namespace
