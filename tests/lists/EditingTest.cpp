// SPDX-License-Identifier: GPL-3.0-or-later
#include "lists/ListRows.h"
#include "PictureFiles.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>

namespace {

class EditingTest : public PictureFixture {
protected:
    // A, B, C with their own play time, flag and colour: B is 200 ms,
    // transparent, RGB(1, 2, 3); A and C are 300 and 400 ms, opaque.
    void AddThree()
    {
        const std::tuple<const char*, const char*, bool, ColorValue> frames[] = {
            {"A.png", "300", false, Rgb(9, 9, 9)}, {"B.png", "200", true, Rgb(1, 2, 3)}, {"C.png", "400", false, Rgb(7, 7, 7)}};
        for (const auto& [name, ms, transparent, color] : frames) {
            MakePicture(QLatin1String(name));
            form->txtMS->setText(QLatin1String(ms));
            form->chkTrans->setChecked(transparent);
            form->picColor->SetBackColor(color);
            Add({QLatin1String(name)});
        }
    }
    void Check(int position) { form->lstPic->topLevelItem(position - 1)->setCheckState(PictureColumn::Name, Qt::Checked); }
    bool IsChecked(int position) const
    {
        return form->lstPic->topLevelItem(position - 1)->checkState(PictureColumn::Name) == Qt::Checked;
    }
    void Select(int position) { form->lstPic->setCurrentItem(position ? form->lstPic->topLevelItem(position - 1) : nullptr); }
    int Selected() const { return form->lstPic->indexOfTopLevelItem(form->lstPic->currentItem()) + 1; }
    QString FrameText(int position, int column) const { return form->lstFrame->topLevelItem(position - 1)->text(column); }
    void Click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }
};

TEST_F(EditingTest, EmptyListMessagesThroughThePictureButtons)
{
    Click(form->chkAll); // nothing to check
    for (ImageControl* button : {form->cmdDelImg, form->cmdUpImg, form->cmdDownImg, form->cmdPreviewImg})
        Click(button);
    const QStringList expected = Texts({"No files in the list view!", "No files in list to move up",
                                        "No files in list to move", "No files in the list view"});
    ASSERT_EQ(messages.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(messages[i].text, expected[i]);
        EXPECT_EQ(messages[i].icon, Messages::Icon::Information);
    }
    Click(form->cmdAddImg);
    EXPECT_EQ(openRequests.size(), 1u);
}

TEST_F(EditingTest, DeleteRemovesCheckedRowsFromTheEndInBothLists)
{
    AddThree();
    Check(1);
    Check(3);
    form->tmPlay->start(60000);
    std::vector<int> counts;
    bool inStep = true;
    QTimer ticker;
    ticker.setInterval(0);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        inStep = inStep && form->lstPic->topLevelItemCount() == form->lstFrame->topLevelItemCount();
        counts.push_back(form->PictureCount());
    });
    ticker.start();
    Click(form->cmdDelImg);
    ticker.stop();

    counts.erase(std::unique(counts.begin(), counts.end()), counts.end());
    EXPECT_EQ(counts, (std::vector<int>{3, 2})); // events ran before each removal
    EXPECT_TRUE(inStep);
    EXPECT_FALSE(form->tmPlay->isActive());
    EXPECT_EQ(Names(), Texts({"B.png"}));
    EXPECT_EQ(FrameText(1, FrameColumn::Label), QStringLiteral("Frame 1"));
    EXPECT_EQ(FrameText(1, FrameColumn::Name), QStringLiteral("B.png"));
    EXPECT_EQ(form->FramePlayTime(1), 200);
    EXPECT_EQ(form->LabTotal->text(), QStringLiteral("1"));
    EXPECT_FALSE(form->cmdGo->isEnabled());
    EXPECT_FALSE(form->cmdStop->isEnabled());
    EXPECT_FALSE(form->cmdCreateGIF->isEnabled());
    EXPECT_TRUE(form->cmdProp->isEnabled());
    EXPECT_TRUE(messages.empty());

    form->cmdDel_Click(); // nothing checked
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, QStringLiteral("No files checked in the list views!"));
    EXPECT_EQ(form->PictureCount(), 1);
}

TEST_F(EditingTest, CheckAllFollowsTheBoxOnlyWhenClicked)
{
    AddThree();
    form->chkAll->setChecked(true); // not a click: rows keep their marks
    EXPECT_FALSE(IsChecked(1));
    form->chkAll->setChecked(false);
    Click(form->chkAll);
    EXPECT_TRUE(IsChecked(1) && IsChecked(2) && IsChecked(3));
    EXPECT_FALSE(form->lstFrame->topLevelItem(0)->data(FrameColumn::Label, Qt::CheckStateRole).isValid());
    Click(form->chkAll);
    EXPECT_FALSE(IsChecked(1) || IsChecked(2) || IsChecked(3));
}

TEST_F(EditingTest, MovesCarryFramesWhileChecksAndCountStay)
{
    AddThree();
    Check(2);
    form->tmPlay->start(60000);
    form->LabTotal->setText(QStringLiteral("kept"));
    form->lstFrame->setCurrentItem(form->lstFrame->topLevelItem(2));

    Select(2);
    Click(form->cmdUpImg);
    EXPECT_EQ(Names(), Texts({"B.png", "A.png", "C.png"}));
    EXPECT_EQ(Selected(), 1);
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(FrameText(i, FrameColumn::Label), QStringLiteral("Frame %1").arg(i));
    EXPECT_EQ(FrameText(1, FrameColumn::Name), QStringLiteral("B.png"));
    EXPECT_EQ(form->FramePlayTime(1), 200);
    EXPECT_EQ(FrameText(1, FrameColumn::Transparent), QStringLiteral("Yes"));
    EXPECT_EQ(form->FrameColor(1), Rgb(1, 2, 3));
    EXPECT_EQ(form->FramePlayTime(2), 300);
    EXPECT_EQ(FrameText(2, FrameColumn::Transparent), QStringLiteral("No"));
    EXPECT_EQ(form->FrameColor(2), Rgb(9, 9, 9));
    EXPECT_TRUE(IsChecked(2));
    EXPECT_FALSE(IsChecked(1));
    EXPECT_TRUE(form->tmPlay->isActive());
    EXPECT_EQ(form->LabTotal->text(), QStringLiteral("kept"));
    EXPECT_EQ(form->lstFrame->indexOfTopLevelItem(form->lstFrame->currentItem()), 2);

    // At the edges, or with no row selected, nothing happens and nothing is said.
    form->cmdUp_Click();
    Select(3);
    form->cmdDown_Click();
    Select(0);
    form->cmdUp_Click();
    form->cmdDown_Click();
    EXPECT_EQ(Names(), Texts({"B.png", "A.png", "C.png"}));
    EXPECT_TRUE(messages.empty());

    Select(2);
    Click(form->cmdDownImg);
    EXPECT_EQ(Names(), Texts({"B.png", "C.png", "A.png"}));
    EXPECT_EQ(Selected(), 3);
    EXPECT_EQ(form->FramePlayTime(3), 300);
    EXPECT_EQ(FrameText(3, FrameColumn::Label), QStringLiteral("Frame 3"));
}

} // namespace
