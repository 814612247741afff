// SPDX-License-Identifier: GPL-3.0-or-later
#include "PictureFiles.h"
#include "settings/FrmProp.h"

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

class EditingTest : public PictureFixture {
protected:
    // A, B, C; B plays 200 ms, transparent, RGB(1, 2, 3); A and C 300 and 400 ms, opaque.
    void AddThree()
    {
        const std::tuple<const char*, const char*, bool, ColorValue> frames[] = {{"A.png", "300", false, Rgb(9, 9, 9)},
                                                                                 {"B.png", "200", true, Rgb(1, 2, 3)},
                                                                                 {"C.png", "400", false, Rgb(7, 7, 7)}};
        for (const auto& [name, ms, transparent, color] : frames) {
            MakePicture(QLatin1String(name));
            Named<QLineEdit>(form->Settings(), "txtMS")->setText(QLatin1String(ms));
            Named<QCheckBox>(form->Settings(), "chkTrans")->setChecked(transparent);
            Named<ColorBox>(form->Settings(), "picColor")->SetBackColor(color);
            Add({QLatin1String(name)});
        }
    }
    // Check marks of the picture rows, "x" for checked.
    QString Marks() const
    {
        QString out;
        for (int i = 0; i < form->PictureCount(); ++i)
            out += ListViews::IsChecked(Named<QTreeView>(form->Pictures(), "lstPic"), i + 1) ? QLatin1Char('x')
                                                                                             : QLatin1Char('.');
        return out;
    }
    void Check(int position) { ListViews::SetChecked(Named<QTreeView>(form->Pictures(), "lstPic"), position); }
    void Select(int position) { ListViews::Select(Named<QTreeView>(form->Pictures(), "lstPic"), position); }
    int Selected() const { return ListViews::Current(Named<QTreeView>(form->Pictures(), "lstPic")); }
    static void Click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }
};

TEST_F(EditingTest, EmptyListMessagesThroughThePictureButtons)
{
    Click(Named<QCheckBox>(form->Pictures(), "chkAll")); // nothing to check, nothing said
    for (ImageControl* button :
         {Named<ImageControl>(form->Pictures(), "cmdDelImg"), Named<ImageControl>(form->Pictures(), "cmdUpImg"),
          Named<ImageControl>(form->Pictures(), "cmdDownImg"), Named<ImageControl>(form->Pictures(), "cmdPreviewImg")})
        Click(button);
    QStringList texts;
    for (const Messages::Message& m : messages)
        texts << (m.icon == Messages::Icon::Information ? m.text : QStringLiteral("error icon"));
    EXPECT_EQ(texts,
              Texts({"No files in the list view!", "No files in list to move up", "No files in list to move",
                     "No files in the list view"}));
    Click(Named<ImageControl>(form->Pictures(), "cmdAddImg"));
    EXPECT_EQ(openRequests.size(), 1u);
}

TEST_F(EditingTest, DeleteRemovesCheckedRowsFromTheEndOfBothLists)
{
    AddThree();
    Check(1);
    Check(3);
    Named<QTimer>(form->Preview(), "tmPlay")->start(60000);
    QStringList seen; // both counts at each turn of the event loop
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        seen << QStringLiteral("%1/%2")
                    .arg(form->PictureCount())
                    .arg(ListViews::RowCount(Named<QTreeView>(form->Frames(), "lstFrame")));
    });
    ticker.start(0);
    Click(Named<ImageControl>(form->Pictures(), "cmdDelImg"));
    ticker.stop();
    seen.removeDuplicates();
    EXPECT_EQ(seen, Texts({"3/3", "2/2"})); // events ran before each removal, lists in step
    EXPECT_FALSE(Named<QTimer>(form->Preview(), "tmPlay")->isActive());
    EXPECT_EQ(Names(), Texts({"B.png"}));
    EXPECT_EQ(Cells(Named<QTreeView>(form->Frames(), "lstFrame"), 1).mid(0, 3), Texts({"Frame 1", "B.png", "200"}));
    EXPECT_EQ(Named<QLabel>(form->Pictures(), "LabTotal")->text(), QStringLiteral("1"));
    EXPECT_FALSE(Named<QPushButton>(form->Preview(), "cmdGo")->isEnabled()
                 || Named<QPushButton>(form->Preview(), "cmdStop")->isEnabled()
                 || Named<QPushButton>(form->Create(), "cmdCreateGIF")->isEnabled());
    EXPECT_TRUE(Named<QPushButton>(form->Frames(), "cmdProp")->isEnabled());
    EXPECT_TRUE(messages.empty());

    form->Pictures().cmdDel_Click(); // nothing checked
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, QStringLiteral("No files checked in the list views!"));
    EXPECT_EQ(form->PictureCount(), 1);
}

TEST_F(EditingTest, CheckAllFollowsTheBoxOnlyWhenClicked)
{
    AddThree();
    Named<QCheckBox>(form->Pictures(), "chkAll")->setChecked(true); // not a click
    EXPECT_EQ(Marks(), QStringLiteral("..."));
    Named<QCheckBox>(form->Pictures(), "chkAll")->setChecked(false);
    Click(Named<QCheckBox>(form->Pictures(), "chkAll"));
    EXPECT_EQ(Marks(), QStringLiteral("xxx"));
    EXPECT_FALSE(ListViews::Cell(Named<QTreeView>(form->Frames(), "lstFrame"), 1).data(Qt::CheckStateRole).isValid());
    Click(Named<QCheckBox>(form->Pictures(), "chkAll"));
    EXPECT_EQ(Marks(), QStringLiteral("..."));
}

TEST_F(EditingTest, MovesCarryFramesWhileChecksCountAndPreviewStay)
{
    AddThree();
    Check(2);
    Named<QTimer>(form->Preview(), "tmPlay")->start(60000);
    Named<QLabel>(form->Pictures(), "LabTotal")->setText(QStringLiteral("kept"));
    ListViews::Select(Named<QTreeView>(form->Frames(), "lstFrame"), 3);
    const QString bar(7, QChar(0x2587));

    Select(2);
    Click(Named<ImageControl>(form->Pictures(), "cmdUpImg"));
    EXPECT_EQ(Names(), Texts({"B.png", "A.png", "C.png"}));
    EXPECT_EQ(Selected(), 1);
    EXPECT_EQ(Cells(Named<QTreeView>(form->Frames(), "lstFrame"), 1), Texts({"Frame 1", "B.png", "200", "Yes"}) << bar);
    EXPECT_EQ(Cells(Named<QTreeView>(form->Frames(), "lstFrame"), 2), Texts({"Frame 2", "A.png", "300", "No"}) << bar);
    EXPECT_EQ(IconOf(1, FrameColumn::Transparent), ListIcon::Tick);
    EXPECT_EQ(form->Doc().Rows().Frame(1)->color, Rgb(1, 2, 3));
    EXPECT_EQ(form->Doc().Rows().Frame(2)->color, Rgb(9, 9, 9));
    EXPECT_EQ(Marks(), QStringLiteral(".x."));
    EXPECT_TRUE(Named<QTimer>(form->Preview(), "tmPlay")->isActive());
    EXPECT_EQ(Named<QLabel>(form->Pictures(), "LabTotal")->text(), QStringLiteral("kept"));
    EXPECT_EQ(ListViews::Current(Named<QTreeView>(form->Frames(), "lstFrame")), 3);

    // At the edges, or with no row selected, nothing happens and nothing is said.
    form->Pictures().cmdUp_Click();
    Select(3);
    form->Pictures().cmdDown_Click();
    Select(0);
    form->Pictures().cmdUp_Click();
    form->Pictures().cmdDown_Click();
    EXPECT_EQ(Names(), Texts({"B.png", "A.png", "C.png"}));
    EXPECT_TRUE(messages.empty());

    Select(2);
    Click(Named<ImageControl>(form->Pictures(), "cmdDownImg"));
    EXPECT_EQ(Names(), Texts({"B.png", "C.png", "A.png"}));
    EXPECT_EQ(Selected(), 3);
    EXPECT_EQ(Cells(Named<QTreeView>(form->Frames(), "lstFrame"), 3).mid(0, 3), Texts({"Frame 3", "A.png", "300"}));
}

TEST_F(EditingTest, WhatLooksSelectedIsWhatCommandsActOnAndDoubleClicksWorkAnywhere)
{
    AddThree();
    EXPECT_EQ(ListViews::Cell(Named<QTreeView>(form->Pictures(), "lstPic"), 1, PictureColumn::Name)
                  .data(Qt::ToolTipRole)
                  .toString(),
              form->PicturePath(1));
    QStringList previewed;
    onModal = [&](QDialog& dialog) {
        previewed << dialog.objectName();
        dialog.reject();
        return int(QDialog::Rejected);
    };
    QWidget* area = Named<QTreeView>(form->Pictures(), "lstPic")->viewport();
    const QPoint below(area->width() / 2, area->height() - 5);
    Select(2);
    QTest::mouseClick(area, Qt::LeftButton, {}, below); // row 2 no longer shows as selected
    ASSERT_FALSE(Named<QTreeView>(form->Pictures(), "lstPic")
                     ->selectionModel()
                     ->isSelected(ListViews::Cell(Named<QTreeView>(form->Pictures(), "lstPic"), 2)));
    form->Pictures().cmdDown_Click();
    form->Pictures().cmdUp_Click();
    EXPECT_EQ(Names(), Texts({"A.png", "B.png", "C.png"}));
    QTest::mouseDClick(area, Qt::LeftButton, {}, below);
    EXPECT_EQ(previewed, QStringList{QStringLiteral("frmPreview")});
}

TEST_F(EditingTest, ADoubleClickBelowTheRowsActsOnTheRowSelectedBeforeIt)
{
    for (const auto& [name, width] : {std::pair{"A.png", 11}, {"B.png", 22}, {"C.png", 33}}) {
        MakePicture(QLatin1String(name), width, 5);
        Add({QLatin1String(name)});
    }
    QStringList shown; // the preview's caption, or the properties dialog's frame
    onModal = [&](QDialog& dialog) {
        if (auto* prop = qobject_cast<FrmProp*>(&dialog))
            shown << prop->LabNo->text() + QLatin1Char(' ') + prop->LabFile->text();
        else
            shown << dialog.windowTitle();
        dialog.reject();
        return int(QDialog::Rejected);
    };
    // A real double-click: the first press and release, then the double-click press and its release.
    auto doubleClickBelow = [](QTreeView* list) {
        QWidget* area = list->viewport();
        const QPoint below(area->width() / 2, area->height() - 5);
        QTest::mouseClick(area, Qt::LeftButton, {}, below);
        QTest::mouseDClick(area, Qt::LeftButton, {}, below);
        QTest::mouseRelease(area, Qt::LeftButton, {}, below);
    };
    Select(2);
    doubleClickBelow(Named<QTreeView>(form->Pictures(), "lstPic"));
    EXPECT_EQ(Selected(), 2);
    auto clickBelow = [](QTreeView* list) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(5, list->viewport()->height() - 5));
    };
    clickBelow(Named<QTreeView>(form->Pictures(), "lstPic"));
    doubleClickBelow(Named<QTreeView>(form->Pictures(), "lstPic")); // nothing selected before: nothing opens

    form->LabCap_Click(2);
    ListViews::Select(Named<QTreeView>(form->Frames(), "lstFrame"), 3);
    doubleClickBelow(Named<QTreeView>(form->Frames(), "lstFrame"));
    clickBelow(Named<QTreeView>(form->Frames(), "lstFrame"));
    doubleClickBelow(Named<QTreeView>(form->Frames(), "lstFrame"));
    EXPECT_EQ(shown, Texts({"Click to close preview window [ 22 x 5 ] ", "3 C.png"}));
}

TEST_F(EditingTest, SelectedFrameRowKeepsItsColourBar)
{
    AddThree(); // B's colour is RGB(1, 2, 3)
    form->LabCap_Click(2);
    ListViews::Select(Named<QTreeView>(form->Frames(), "lstFrame"), 2);
    const QImage row = Named<QTreeView>(form->Frames(), "lstFrame")
                           ->viewport()
                           ->grab(ListViews::RowRect(Named<QTreeView>(form->Frames(), "lstFrame"), 2))
                           .toImage();
    int bar = 0;
    for (int y = 0; y < row.height(); ++y)
        for (int x = 0; x < row.width(); ++x)
            bar += FromQColor(row.pixelColor(x, y)) == Rgb(1, 2, 3);
    EXPECT_GT(bar, 20);
}

} // namespace
