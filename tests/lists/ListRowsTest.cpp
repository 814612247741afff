// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Paths.h"
#include "lists/ListRows.h"
#include "support/FormFixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPixmap>
#include <QTreeWidget>

namespace {

using ListRowsTest = FormFixture;

// The frame list's icons, told apart by their cache keys whatever the artwork.
const std::array<QIcon, 3>& DistinctIcons(FrmGif& form)
{
    int i = 0;
    for (QIcon& icon : form.ImageList1) {
        QPixmap p(16, 16);
        p.fill(QColor::fromHsv(120 * i++, 255, 255));
        icon = QIcon(p);
    }
    return form.ImageList1;
}

TEST(PathsTest, JoinAndSplitKeepOneSeparatorAndTheRoot)
{
    const QChar bs = QLatin1Char('\\');
    EXPECT_EQ(Paths::JoinFolder(QStringLiteral("C:\\"), QStringLiteral("a.gif"), bs), QStringLiteral("C:\\a.gif"));
    EXPECT_EQ(Paths::JoinFolder(QStringLiteral("D:\\Photos"), QStringLiteral("a.gif"), bs),
              QStringLiteral("D:\\Photos\\a.gif"));
    EXPECT_EQ(Paths::JoinFolder(QStringLiteral("/"), QStringLiteral("a.gif"), QLatin1Char('/')),
              QStringLiteral("/a.gif"));

    auto split = Paths::SplitFileText(QStringLiteral("C:\\a.bmp"), QStringLiteral("X:\\unused"), bs);
    EXPECT_EQ(split.folder, QStringLiteral("C:\\"));
    EXPECT_EQ(split.name, QStringLiteral("a.bmp"));
    split = Paths::SplitFileText(QStringLiteral("b.bmp"), QStringLiteral("C:"), bs);
    EXPECT_EQ(split.folder, QStringLiteral("C:\\"));
    EXPECT_EQ(split.name, QStringLiteral("b.bmp"));
    split = Paths::SplitFileText(QStringLiteral("/a.gif"), QString(), QLatin1Char('/'));
    EXPECT_EQ(split.folder, QStringLiteral("/"));
    EXPECT_EQ(split.name, QStringLiteral("a.gif"));
    split = Paths::SplitFileText(QStringLiteral("/home/art/x.png"), QStringLiteral("/elsewhere"), QLatin1Char('/'));
    EXPECT_EQ(split.folder, QStringLiteral("/home/art"));
    EXPECT_EQ(split.name, QStringLiteral("x.png"));
}

TEST_F(ListRowsTest, PathsAndPlayTimesOutsideTheListAreEmptyAnd500)
{
    form->AddPictureRow(QStringLiteral("a.gif"), QStringLiteral("GIF image"), QStringLiteral("5 x 5"),
                        QStringLiteral("/"));
    form->txtMS->setText(QStringLiteral(" 250 "));
    form->AddFrameRow(QStringLiteral("a.gif"));
    EXPECT_EQ(form->PicturePath(1), QStringLiteral("/a.gif"));
    EXPECT_EQ(form->PicturePath(0), QString());
    EXPECT_EQ(form->PicturePath(2), QString());
    EXPECT_EQ(form->lstFrame->topLevelItem(0)->text(FrameColumn::PlayTime), QStringLiteral("250"));
    EXPECT_EQ(form->FramePlayTime(1), 250);
    EXPECT_EQ(form->FramePlayTime(0), 500);
    EXPECT_EQ(form->FramePlayTime(2), 500);

    form->txtMS->clear(); // an empty play-time box gives a row that fails conversion
    form->AddFrameRow(QStringLiteral("b.gif"));
    EXPECT_FALSE(form->FramePlayTime(2).has_value());
}

TEST_F(ListRowsTest, FrameRowsCarryLabelFlagIconAndColour)
{
    const auto& icons = DistinctIcons(*form);
    form->chkTrans->setChecked(false);
    form->picColor->SetBackColor(Rgb(10, 20, 30));
    form->AddFrameRow(QStringLiteral("a.png"));
    form->chkTrans->setChecked(true);
    form->picColor->SetBackColor(Rgb(200, 100, 50));
    form->AddFrameRow(QStringLiteral("b.png"));
    form->AddFrameRow(QStringLiteral("c.png"));

    const QTreeWidgetItem* no = form->lstFrame->topLevelItem(0);
    const QTreeWidgetItem* yes = form->lstFrame->topLevelItem(1);
    EXPECT_EQ(no->text(FrameColumn::Transparent), QStringLiteral("No"));
    EXPECT_EQ(no->icon(FrameColumn::Transparent).cacheKey(), icons[ListIcon::Cross].cacheKey());
    EXPECT_EQ(yes->text(FrameColumn::Transparent), QStringLiteral("Yes"));
    EXPECT_EQ(yes->icon(FrameColumn::Transparent).cacheKey(), icons[ListIcon::Tick].cacheKey());
    EXPECT_EQ(yes->icon(FrameColumn::Label).cacheKey(), icons[ListIcon::Frames].cacheKey());
    EXPECT_EQ(yes->text(FrameColumn::Color), QString(7, QChar(0x2587)));
    EXPECT_EQ(form->FrameColor(1), Rgb(10, 20, 30));
    EXPECT_EQ(form->FrameColor(2), Rgb(200, 100, 50));
    EXPECT_EQ(form->lstFrame->topLevelItem(2)->text(FrameColumn::Label), QStringLiteral("Frame 3"));

    delete form->lstFrame->takeTopLevelItem(0);
    form->RenumberFrames();
    EXPECT_EQ(form->lstFrame->topLevelItem(0)->text(FrameColumn::Label), QStringLiteral("Frame 1"));
    EXPECT_EQ(form->lstFrame->topLevelItem(1)->text(FrameColumn::Label), QStringLiteral("Frame 2"));
}

TEST_F(ListRowsTest, SwapMovesFrameCellsTogetherAndLeavesCheckMarks)
{
    const auto& icons = DistinctIcons(*form);
    for (const char* name : {"a.png", "b.png", "c.png"}) {
        form->AddPictureRow(QLatin1String(name), QStringLiteral("PNG image"), QStringLiteral("8 x 8"),
                            QStringLiteral("/p"));
        const bool isB = QLatin1String(name) == QLatin1String("b.png");
        form->txtMS->setText(isB ? QStringLiteral("200") : QStringLiteral("300"));
        form->chkTrans->setChecked(isB);
        form->picColor->SetBackColor(isB ? Rgb(1, 2, 3) : Rgb(4, 5, 6));
        form->AddFrameRow(QLatin1String(name));
    }
    form->lstPic->topLevelItem(1)->setCheckState(PictureColumn::Name, Qt::Checked);

    form->SwapListRows(form->lstFrame, 2, 3);
    form->SwapListRows(form->lstPic, 2, 3);
    form->RenumberFrames();
    const QTreeWidgetItem* row3 = form->lstFrame->topLevelItem(2);
    EXPECT_EQ(row3->text(FrameColumn::Name), QStringLiteral("b.png"));
    EXPECT_EQ(form->FramePlayTime(3), 200);
    EXPECT_EQ(row3->text(FrameColumn::Transparent), QStringLiteral("Yes"));
    EXPECT_EQ(row3->icon(FrameColumn::Transparent).cacheKey(), icons[ListIcon::Tick].cacheKey());
    EXPECT_EQ(form->FrameColor(3), Rgb(1, 2, 3));
    EXPECT_EQ(form->FrameColor(2), Rgb(4, 5, 6));
    EXPECT_EQ(form->lstFrame->topLevelItem(1)->icon(FrameColumn::Transparent).cacheKey(),
              icons[ListIcon::Cross].cacheKey());
    EXPECT_EQ(form->lstFrame->topLevelItem(1)->text(FrameColumn::Label), QStringLiteral("Frame 2"));
    EXPECT_EQ(form->PicturePath(3), QStringLiteral("/p/b.png"));
    EXPECT_EQ(form->lstPic->topLevelItem(1)->checkState(PictureColumn::Name), Qt::Checked);
    EXPECT_EQ(form->lstPic->topLevelItem(2)->checkState(PictureColumn::Name), Qt::Unchecked);

    // Positions equal or out of range change nothing.
    for (auto [a, b] : {std::pair{2, 2}, {0, 1}, {3, 4}}) {
        form->SwapListRows(form->lstPic, a, b);
        form->SwapListRows(form->lstFrame, a, b);
    }
    EXPECT_EQ(form->PicturePath(1), QStringLiteral("/p/a.png"));
    EXPECT_EQ(form->PicturePath(2), QStringLiteral("/p/c.png"));
    EXPECT_EQ(form->PicturePath(3), QStringLiteral("/p/b.png"));
    EXPECT_EQ(form->lstFrame->topLevelItem(1)->text(FrameColumn::Name), QStringLiteral("c.png"));
}

} // namespace
