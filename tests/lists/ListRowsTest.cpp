// SPDX-License-Identifier: GPL-3.0-or-later
#include "PictureFiles.h"
#include "common/Paths.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>

namespace {

using ListRowsTest = PictureFixture;

TEST(PathsTest, OneSeparatorBetweenFolderAndNameAndTheRootKeepsItsOwn)
{
    const QChar bs = QLatin1Char('\\'), sl = QLatin1Char('/');
    EXPECT_EQ(Paths::JoinFolder(QStringLiteral("C:\\"), QStringLiteral("a.gif"), bs), QStringLiteral("C:\\a.gif"));
    EXPECT_EQ(Paths::JoinFolder(QStringLiteral("D:\\Photos"), QStringLiteral("a.gif"), bs),
              QStringLiteral("D:\\Photos\\a.gif"));
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
    Named<QLineEdit>(form->Settings(), "txtMS")->setText(QStringLiteral(" 250 "));
    form->Pictures().AddPictureRow(
        {QStringLiteral("a.gif"), QStringLiteral("GIF image"), QSize(5, 5), QStringLiteral("/")});
    EXPECT_EQ(form->PicturePath(1), QStringLiteral("/a.gif"));
    EXPECT_EQ(form->PicturePath(0) + form->PicturePath(2), QString());
    EXPECT_EQ(Cells(Named<QTreeView>(form->Frames(), "lstFrame"), 1)[FrameColumn::PlayTime], QStringLiteral("250"));
    EXPECT_EQ(form->FramePlayTime(1), 250);
    EXPECT_EQ(form->FramePlayTime(0), 500);
    EXPECT_EQ(form->FramePlayTime(2), 500);
    Named<QLineEdit>(form->Settings(), "txtMS")->clear(); // an empty play-time box gives a row that fails conversion
    form->Pictures().AddPictureRow(
        {QStringLiteral("b.gif"), QStringLiteral("GIF image"), QSize(5, 5), QStringLiteral("/")});
    EXPECT_EQ(Cells(Named<QTreeView>(form->Frames(), "lstFrame"), 2)[FrameColumn::PlayTime], QString());
    EXPECT_FALSE(form->FramePlayTime(2).has_value());
}

TEST_F(ListRowsTest, FrameRowsCarryLabelFlagIconAndColour)
{
    auto addRow = [this](const char* name) {
        form->Pictures().AddPictureRow({QLatin1String(name), QString(), QSize(1, 1), QStringLiteral("/p")});
    };
    Named<ColorBox>(form->Settings(), "picColor")->SetBackColor(Rgb(10, 20, 30));
    addRow("a.png");
    Named<QCheckBox>(form->Settings(), "chkTrans")->setChecked(true);
    Named<ColorBox>(form->Settings(), "picColor")->SetBackColor(Rgb(200, 100, 50));
    addRow("b.png");
    addRow("c.png");
    const QString bar(7, QChar(0x2587));
    EXPECT_EQ(Cells(Named<QTreeView>(form->Frames(), "lstFrame"), 1), Texts({"Frame 1", "a.png", "1000", "No"}) << bar);
    EXPECT_EQ(Cells(Named<QTreeView>(form->Frames(), "lstFrame"), 3),
              Texts({"Frame 3", "c.png", "1000", "Yes"}) << bar);
    EXPECT_EQ(IconOf(1, FrameColumn::Transparent), ListIcon::Cross);
    EXPECT_EQ(IconOf(2, FrameColumn::Transparent), ListIcon::Tick);
    EXPECT_EQ(IconOf(2, FrameColumn::Label), ListIcon::Frames);
    EXPECT_EQ(form->Doc().Rows().Frame(1)->color, Rgb(10, 20, 30));
    EXPECT_EQ(form->Doc().Rows().Frame(2)->color, Rgb(200, 100, 50));

    auto totalTip = [this] {
        return Named<QTreeView>(form->Frames(), "lstFrame")
            ->model()
            ->headerData(FrameColumn::PlayTime, Qt::Horizontal, Qt::ToolTipRole)
            .toString();
    };
    EXPECT_EQ(totalTip(), QStringLiteral("Total play time: 3000 ms"));
    form->Doc().Remove(1);
    EXPECT_EQ(Cells(Named<QTreeView>(form->Frames(), "lstFrame"), 2)[FrameColumn::Label], QStringLiteral("Frame 2"));
    EXPECT_EQ(totalTip(), QStringLiteral("Total play time: 2000 ms"));
    form->Doc().SetPlayTime(1, PlayTime::FromText(QStringLiteral("x")));
    EXPECT_EQ(totalTip(), QString()) << "no total while a play time is not a number";
    EXPECT_EQ(Cells(Named<QTreeView>(form->Frames(), "lstFrame"), 2)[FrameColumn::Name], QStringLiteral("c.png"));
}

TEST_F(ListRowsTest, SwapMovesEveryFrameCellTogetherAndLeavesCheckMarks)
{
    for (const char* name : {"a.png", "b.png", "c.png"}) {
        const bool isB = name[0] == 'b';
        Named<QLineEdit>(form->Settings(), "txtMS")->setText(isB ? QStringLiteral("200") : QStringLiteral("300"));
        Named<QCheckBox>(form->Settings(), "chkTrans")->setChecked(isB);
        Named<ColorBox>(form->Settings(), "picColor")->SetBackColor(isB ? Rgb(1, 2, 3) : Rgb(4, 5, 6));
        form->Pictures().AddPictureRow({QLatin1String(name), QString(), QSize(1, 1), QStringLiteral("/p")});
    }
    ListViews::SetChecked(Named<QTreeView>(form->Pictures(), "lstPic"), 2);
    form->Doc().SwapListRows(2, 3);
    const QString bar(7, QChar(0x2587));
    EXPECT_EQ(Cells(Named<QTreeView>(form->Frames(), "lstFrame"), 2), Texts({"Frame 2", "c.png", "300", "No"}) << bar);
    EXPECT_EQ(Cells(Named<QTreeView>(form->Frames(), "lstFrame"), 3), Texts({"Frame 3", "b.png", "200", "Yes"}) << bar);
    EXPECT_EQ(IconOf(2, FrameColumn::Transparent), ListIcon::Cross);
    EXPECT_EQ(IconOf(3, FrameColumn::Transparent), ListIcon::Tick);
    EXPECT_EQ(form->Doc().Rows().Frame(2)->color, Rgb(4, 5, 6));
    EXPECT_EQ(form->Doc().Rows().Frame(3)->color, Rgb(1, 2, 3));
    EXPECT_EQ(form->PicturePath(3), QStringLiteral("/p/b.png"));
    EXPECT_TRUE(ListViews::IsChecked(Named<QTreeView>(form->Pictures(), "lstPic"), 2));
    EXPECT_FALSE(ListViews::IsChecked(Named<QTreeView>(form->Pictures(), "lstPic"), 3));

    for (auto [a, b] : {std::pair{2, 2}, {0, 1}, {3, 4}}) // no-ops
        form->Doc().SwapListRows(a, b);
    EXPECT_EQ(Names(), Texts({"a.png", "c.png", "b.png"}));
    EXPECT_EQ(Cells(Named<QTreeView>(form->Frames(), "lstFrame"), 1)[FrameColumn::Name], QStringLiteral("a.png"));
}

} // namespace

namespace {

TEST_F(ListRowsTest, PicturesAndDimensionsAreListedByExactNames)
{
    const FrameRow frame{QStringLiteral("a.png"), PlayTime::FromText(QStringLiteral("100")), false, 0};
    ASSERT_TRUE(
        form->Doc().AddFrameRow({QStringLiteral("a.png"), QString(), QSize(8, 6), QStringLiteral("/p")}, frame));
    ASSERT_TRUE(
        form->Doc().AddFrameRow({QStringLiteral("a.png"), QString(), QSize(4, 4), QStringLiteral("/q")}, frame));
    EXPECT_EQ(Cells(Named<QTreeView>(form->Frames(), "lstFrame"), 2).mid(0, 2), Texts({"Frame 2", "a.png"}));
    const Document& rows = form->Doc().Rows();
    EXPECT_TRUE(rows.IsPictureListed(QStringLiteral("a.png"), QStringLiteral("/q")));
    for (const auto& [name, folder] : {std::pair{"A.png", "/p"}, {"a.png", "/p/"}, {"a.png", "/P"}})
        EXPECT_FALSE(rows.IsPictureListed(QLatin1String(name), QLatin1String(folder))) << name << " in " << folder;

    // Long names are shown whole as far as the list is wide.
    const QString camera = QStringLiteral("IMG_20240612_183455.png");
    MakePicture(camera);
    Add({camera});
    QCoreApplication::processEvents();
    for (QTreeView* list :
         {Named<QTreeView>(form->Pictures(), "lstPic"), Named<QTreeView>(form->Frames(), "lstFrame")}) {
        const int column =
            list == Named<QTreeView>(form->Pictures(), "lstPic") ? int(PictureColumn::Name) : int(FrameColumn::Name);
        EXPECT_GE(list->columnWidth(column), static_cast<QAbstractItemView*>(list)->sizeHintForColumn(column))
            << list->objectName().toStdString();
        const int last = list->model()->columnCount() - 1;
        EXPECT_LT(list->columnViewportPosition(last), list->maximumViewportSize().width() - 50);
    }

    form->Settings().SetSizeList(rows.SizeList());
    EXPECT_TRUE(form->Settings().IsDimensionListed(QStringLiteral("4 x 4")));
    for (const char* text : {"4 x 40", "4 X 4", "4x4", ""})
        EXPECT_FALSE(form->Settings().IsDimensionListed(QLatin1String(text))) << text;
}

} // namespace
