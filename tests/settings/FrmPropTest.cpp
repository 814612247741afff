// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/FrmProp.h"
#include "support/FormFixture.h"
#include "support/ListViews.h"
#include "ui/ListRows.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

constexpr ColorValue kRed = Rgb(255, 0, 0);
constexpr ColorValue kGreen = Rgb(0, 160, 0);
constexpr ColorValue kBlue = Rgb(0, 0, 255);

class FrmPropTest : public FormFixture {
protected:
    // Appends a frame the way adding a picture does, from the step-2 settings.
    void AddFrame(const QString& name, const QString& playTime, bool transparent, ColorValue color)
    {
        Named<QLineEdit>(form->Settings(), "txtMS")->setText(playTime);
        Named<QCheckBox>(form->Settings(), "chkTrans")->setChecked(transparent);
        Named<ColorBox>(form->Settings(), "picColor")->SetBackColor(color);
        form->Pictures().AddPictureRow({name, QStringLiteral("JPG image"), QSize(640, 480), QStringLiteral("/pics")});
    }
    void Select(int position) { ListViews::Select(Named<QTreeView>(form->Frames(), "lstFrame"), position); }
    qint64 IconKey(int position)
    {
        return ListViews::Icon(Named<QTreeView>(form->Frames(), "lstFrame"), position, FrameColumn::Transparent)
            .cacheKey();
    }
    qint64 Cross() const { return form->ImageList1[ListIcon::Cross].cacheKey(); }
    qint64 Tick() const { return form->ImageList1[ListIcon::Tick].cacheKey(); }

    // Opens the dialog through the picture button and runs `drive` on it. The
    // hidden command stays disabled here: the picture button does not ask it.
    int OpenAndDrive(const std::function<void(FrmProp&)>& drive)
    {
        int opened = 0;
        onModal = [&](QDialog& dialog) {
            ++opened;
            auto* prop = dynamic_cast<FrmProp*>(&dialog);
            EXPECT_NE(prop, nullptr);
            if (prop)
                drive(*prop);
            if (dialog.isVisible())
                dialog.reject();
            return dialog.result();
        };
        form->Frames().imgcmdProp_Click();
        return opened;
    }

    struct Snapshot {
        QStringList texts;
        qint64 icon;
        ColorValue color;
        bool operator==(const Snapshot&) const = default;
    };
    Snapshot Take(int position)
    {
        QStringList texts;
        for (int c = 0; c < 5; ++c)
            texts << ListViews::Text(Named<QTreeView>(form->Frames(), "lstFrame"), position, c);
        return {texts, IconKey(position), form->Doc().Rows().Frame(position)->color};
    }
};

TEST_F(FrmPropTest, OpensWithTheSelectedFrame)
{
    for (int i = 1; i <= 11; ++i)
        AddFrame(QStringLiteral("p%1.jpg").arg(i), QStringLiteral("100"), false, kBlue);
    AddFrame(QStringLiteral("holiday.jpg"), QStringLiteral("750"), true, kRed);
    AddFrame(QStringLiteral("last.jpg"), QStringLiteral("100"), false, kBlue);
    Select(12);

    const int opened = OpenAndDrive([&](FrmProp& prop) {
        EXPECT_EQ(prop.windowTitle(), QStringLiteral("Frame Properties..."));
        EXPECT_EQ(prop.size(), QSize(463, 340));
        EXPECT_TRUE(prop.isModal());
        EXPECT_TRUE(prop.windowFlags() & Qt::WindowCloseButtonHint);
        EXPECT_FALSE(prop.windowFlags() & Qt::WindowMinimizeButtonHint);
        EXPECT_EQ(prop.FramePosition(), 12);
        EXPECT_EQ(prop.LabNo->text(), QStringLiteral("12"));
        EXPECT_EQ(prop.LabFile->text(), QStringLiteral("holiday.jpg"));
        EXPECT_EQ(prop.txtMS->text(), QStringLiteral("750"));
        EXPECT_TRUE(prop.chkTrans->isChecked());
        EXPECT_EQ(prop.picColor->BackColor(), kRed);
        EXPECT_EQ(prop.focusWidget(), prop.OKButton);
        // Focus order: OK, Cancel, the box, the swatch, the play time, Apply.
        QWidget* w = prop.OKButton;
        for (QWidget* next : std::initializer_list<QWidget*>{prop.CancelButton, prop.chkTrans, prop.picColor,
                                                             prop.txtMS, prop.cmdApply}) {
            do
                w = w->nextInFocusChain();
            while (!(w->focusPolicy() & Qt::TabFocus));
            EXPECT_EQ(w, next) << w->objectName().toStdString();
        }
    });
    EXPECT_EQ(opened, 1);
}

// Built from values alone: it shows what it is given and hands the edit out
// on "Apply to All Frames" (staying open) and through OK.
TEST_F(FrmPropTest, ShowsTheGivenFrameAndHandsBackTheEdit)
{
    const FrmProp untouched(nullptr, {});
    EXPECT_EQ(untouched.txtMS->text(), QStringLiteral("500"));
    EXPECT_TRUE(untouched.LabNo->text().isEmpty());

    FrmProp prop(nullptr,
                 {7, QStringLiteral("frame Frame7 "), QStringLiteral("x.jpg"), {QStringLiteral(" 40 "), true, kRed}});
    std::vector<FrmProp::Properties> applied;
    QObject::connect(&prop, &FrmProp::appliedToAllFrames, [&](const FrmProp::Properties& p) { applied.push_back(p); });
    prop.show();
    EXPECT_EQ(prop.LabNo->text(), QStringLiteral("frame 7"));
    EXPECT_EQ(prop.LabFile->text(), QStringLiteral("x.jpg"));
    EXPECT_EQ(prop.txtMS->text(), QStringLiteral(" 40 "));
    EXPECT_TRUE(prop.chkTrans->isChecked());
    EXPECT_EQ(prop.picColor->BackColor(), kRed);
    EXPECT_EQ(prop.Edited(), (FrmProp::Properties{QStringLiteral("40"), true, kRed}));

    QTest::mouseClick(prop.chkTrans, Qt::LeftButton);
    colorAnswers.push_back(kGreen);
    QTest::mouseClick(prop.picColor, Qt::LeftButton);
    const FrmProp::Properties edited{QStringLiteral("40"), false, kGreen};
    QTest::mouseClick(prop.cmdApply, Qt::LeftButton);
    ASSERT_EQ(applied.size(), 1u);
    EXPECT_EQ(applied[0], edited);
    EXPECT_TRUE(prop.isVisible());
    QTest::mouseClick(prop.OKButton, Qt::LeftButton);
    EXPECT_EQ(prop.result(), int(QDialog::Accepted));
    EXPECT_EQ(prop.Edited(), edited);
    EXPECT_EQ(applied.size(), 1u);
}

TEST_F(FrmPropTest, ShowsTheFrameFlagAndItsNumberWithoutTheWordFrame)
{
    AddFrame(QStringLiteral("a.jpg"), QStringLiteral("100"), false, kBlue);
    AddFrame(QStringLiteral("b.jpg"), QStringLiteral("100"), true, kBlue);
    for (const bool transparent : {false, true}) {
        Select(transparent ? 2 : 1);
        OpenAndDrive([&](FrmProp& prop) {
            EXPECT_EQ(prop.chkTrans->isChecked(), transparent);
            EXPECT_EQ(prop.LabNo->text(), transparent ? QStringLiteral("2") : QStringLiteral("1"));
        });
    }
}

TEST_F(FrmPropTest, OkWritesOnlyTheSelectedRowAndCloses)
{
    AddFrame(QStringLiteral("a.jpg"), QStringLiteral("100"), true, kRed);
    AddFrame(QStringLiteral("b.jpg"), QStringLiteral("200"), true, kRed);
    AddFrame(QStringLiteral("c.jpg"), QStringLiteral("300"), true, kRed);
    Select(2);
    const Snapshot first = Take(1), third = Take(3);
    colorAnswers.push_back(kGreen);

    int result = -1;
    OpenAndDrive([&](FrmProp& prop) {
        QTest::mouseClick(prop.chkTrans, Qt::LeftButton);
        EXPECT_FALSE(prop.chkTrans->isChecked());
        QTest::mouseClick(prop.picColor, Qt::LeftButton);
        EXPECT_EQ(prop.picColor->BackColor(), kGreen);
        ASSERT_EQ(colorRequests.size(), 1u);
        EXPECT_EQ(colorRequests[0].title, QStringLiteral("Select a Transparent color"));
        EXPECT_EQ(colorRequests[0].initial, kRed);
        QTest::mouseClick(prop.OKButton, Qt::LeftButton);
        EXPECT_FALSE(prop.isVisible());
        result = prop.result();
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(ListViews::Text(Named<QTreeView>(form->Frames(), "lstFrame"), 2, FrameColumn::Transparent),
              QStringLiteral("No"));
    EXPECT_EQ(IconKey(2), Cross());
    // The colour is written although the frame is no longer transparent.
    EXPECT_EQ(form->Doc().Rows().Frame(2)->color, kGreen);
    EXPECT_EQ(ListViews::Text(Named<QTreeView>(form->Frames(), "lstFrame"), 2, FrameColumn::PlayTime),
              QStringLiteral("200"));
    EXPECT_EQ(ListViews::Text(Named<QTreeView>(form->Frames(), "lstFrame"), 2, FrameColumn::Color),
              QString(7, QChar(0x2587)));
    EXPECT_EQ(Take(1), first);
    EXPECT_EQ(Take(3), third);
}

TEST_F(FrmPropTest, CancelAndTheCloseBoxWriteNothing)
{
    AddFrame(QStringLiteral("a.jpg"), QStringLiteral("1000"), true, kRed);
    const Snapshot before = Take(1);
    colorAnswers.push_back(kGreen);
    OpenAndDrive([&](FrmProp& prop) {
        prop.txtMS->selectAll();
        QTest::keyClicks(prop.txtMS, QStringLiteral("250"));
        EXPECT_EQ(prop.txtMS->text(), QStringLiteral("250"));
        QTest::mouseClick(prop.chkTrans, Qt::LeftButton);
        QTest::mouseClick(prop.picColor, Qt::LeftButton);
        QTest::mouseClick(prop.CancelButton, Qt::LeftButton);
        EXPECT_FALSE(prop.isVisible());
    });
    EXPECT_EQ(Take(1), before);

    OpenAndDrive([&](FrmProp& prop) {
        prop.txtMS->setText(QStringLiteral("5"));
        prop.close(); // the title bar's close box
        EXPECT_FALSE(prop.isVisible());
        EXPECT_EQ(prop.result(), QDialog::Rejected);
    });
    EXPECT_EQ(Take(1), before);
}

TEST_F(FrmPropTest, ApplyToAllFramesWritesEveryRowAndStaysOpen)
{
    AddFrame(QStringLiteral("a.jpg"), QStringLiteral("100"), false, kBlue);
    AddFrame(QStringLiteral("b.jpg"), QStringLiteral("200"), true, kRed);
    AddFrame(QStringLiteral("c.jpg"), QStringLiteral("300"), false, kGreen);
    Select(1);
    colorAnswers.push_back(Rgb(1, 2, 3));
    OpenAndDrive([&](FrmProp& prop) {
        prop.txtMS->setText(QStringLiteral(" 450 ")); // pasted, spaces and all
        QTest::mouseClick(prop.chkTrans, Qt::LeftButton);
        QTest::mouseClick(prop.picColor, Qt::LeftButton);
        QTest::mouseClick(prop.cmdApply, Qt::LeftButton);
        EXPECT_TRUE(prop.isVisible());
        // A later Cancel does not undo it.
        QTest::mouseClick(prop.CancelButton, Qt::LeftButton);
    });
    const char* names[] = {"a.jpg", "b.jpg", "c.jpg"};
    for (int i = 1; i <= 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(ListViews::Text(Named<QTreeView>(form->Frames(), "lstFrame"), i, FrameColumn::Label),
                  QStringLiteral("Frame %1").arg(i));
        EXPECT_EQ(ListViews::Text(Named<QTreeView>(form->Frames(), "lstFrame"), i, FrameColumn::Name),
                  QLatin1String(names[i - 1]));
        EXPECT_EQ(ListViews::Text(Named<QTreeView>(form->Frames(), "lstFrame"), i, FrameColumn::PlayTime),
                  QStringLiteral("450"));
        EXPECT_EQ(ListViews::Text(Named<QTreeView>(form->Frames(), "lstFrame"), i, FrameColumn::Transparent),
                  QStringLiteral("Yes"));
        EXPECT_EQ(IconKey(i), Tick());
        EXPECT_EQ(form->Doc().Rows().Frame(i)->color, Rgb(1, 2, 3));
        EXPECT_EQ(form->FramePlayTime(i), 450);
    }
}

TEST_F(FrmPropTest, PlayTimeFieldDigitsBackspaceAndEmptyText)
{
    AddFrame(QStringLiteral("a.jpg"), QStringLiteral("1000"), false, kBlue);
    OpenAndDrive([&](FrmProp& prop) {
        prop.txtMS->setFocus();
        prop.txtMS->end(false);
        QTest::keyClicks(prop.txtMS, QStringLiteral("x 7"));
        EXPECT_EQ(prop.txtMS->text(), QStringLiteral("10007"));
        QTest::keyClick(prop.txtMS, '8'); // a sixth digit
        EXPECT_EQ(prop.txtMS->text(), QStringLiteral("10007"));
        for (int i = 0; i < 5; ++i)
            QTest::keyClick(prop.txtMS, Qt::Key_Backspace);
        EXPECT_TRUE(prop.txtMS->text().isEmpty());
        QTest::mouseClick(prop.OKButton, Qt::LeftButton);
    });
    // Stored as typed: an empty play time, which does not convert.
    EXPECT_TRUE(ListViews::Text(Named<QTreeView>(form->Frames(), "lstFrame"), 1, FrameColumn::PlayTime).isEmpty());
    EXPECT_FALSE(form->FramePlayTime(1).has_value());
}

TEST_F(FrmPropTest, EmptyListAndNoSelection)
{
    int opened = 0;
    onModal = [&](QDialog& dialog) {
        ++opened;
        dialog.reject();
        return int(QDialog::Rejected);
    };
    form->Frames().lstFrame_DblClick();
    form->Frames().cmdProp_Click();
    EXPECT_EQ(opened, 0);
    EXPECT_TRUE(messages.empty());
    form->Frames().imgcmdProp_Click();
    EXPECT_EQ(opened, 0);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, QStringLiteral("No files in list!"));
    EXPECT_EQ(messages[0].icon, Messages::Icon::Information);

    // Rows but none selected: the first frame is edited.
    AddFrame(QStringLiteral("a.jpg"), QStringLiteral("100"), false, kBlue);
    AddFrame(QStringLiteral("b.jpg"), QStringLiteral("200"), false, kBlue);
    ListViews::Select(Named<QTreeView>(form->Frames(), "lstFrame"), 0);
    const Snapshot second = Take(2);
    OpenAndDrive([&](FrmProp& prop) {
        EXPECT_EQ(prop.LabNo->text(), QStringLiteral("1"));
        EXPECT_EQ(prop.LabFile->text(), QStringLiteral("a.jpg"));
        prop.txtMS->setText(QStringLiteral("999"));
        QTest::mouseClick(prop.OKButton, Qt::LeftButton);
    });
    EXPECT_EQ(ListViews::Text(Named<QTreeView>(form->Frames(), "lstFrame"), 1, FrameColumn::PlayTime),
              QStringLiteral("999"));
    EXPECT_EQ(Take(2), second);
}

TEST_F(FrmPropTest, ALongNameStopsShortOfTheButtonsAndItsTooltipHasItWhole)
{
    const QString name = QStringLiteral("IMG_20240612_183455_holiday_on_the_beach_with_everyone_%1.jpg").arg(7);
    AddFrame(name, QStringLiteral("100"), false, kBlue);
    Select(1);
    OpenAndDrive([&](FrmProp& prop) {
        EXPECT_LT(prop.LabFile->geometry().right(), prop.OKButton->x());
        EXPECT_TRUE(prop.LabFile->text().startsWith(QStringLiteral("IMG_"))) << prop.LabFile->text().toStdString();
        EXPECT_TRUE(prop.LabFile->text().endsWith(QStringLiteral("7.jpg"))) << prop.LabFile->text().toStdString();
        EXPECT_EQ(prop.LabFile->toolTip(), name);
    });
}

TEST_F(FrmPropTest, DoubleClickOnAFrameRowAndTheHiddenCommandOpenIt)
{
    AddFrame(QStringLiteral("a.jpg"), QStringLiteral("100"), false, kBlue);
    AddFrame(QStringLiteral("b.jpg"), QStringLiteral("200"), true, kRed);
    form->LabCap_Click(2);
    std::vector<QString> shown;
    onModal = [&](QDialog& dialog) {
        shown.push_back(static_cast<FrmProp&>(dialog).LabFile->text());
        // Centred on the main window.
        EXPECT_LE((dialog.geometry().center() - form->geometry().center()).manhattanLength(), 2);
        dialog.reject();
        return int(QDialog::Rejected);
    };
    const QRect second = ListViews::RowRect(Named<QTreeView>(form->Frames(), "lstFrame"), 2);
    // A real double-click: a click, then the double-click press and its release.
    QTest::mouseClick(Named<QTreeView>(form->Frames(), "lstFrame")->viewport(), Qt::LeftButton, {}, second.center());
    QTest::mouseDClick(Named<QTreeView>(form->Frames(), "lstFrame")->viewport(), Qt::LeftButton, {}, second.center());
    QTest::mouseRelease(Named<QTreeView>(form->Frames(), "lstFrame")->viewport(), Qt::LeftButton, {}, second.center());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], QStringLiteral("b.jpg"));

    Select(1);
    Named<QPushButton>(form->Frames(), "cmdProp")->setEnabled(true); // as the list refresh leaves it with pictures
    Named<QPushButton>(form->Frames(), "cmdProp")->click();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1], QStringLiteral("a.jpg"));
}

TEST_F(FrmPropTest, EnterInThePlayTimeKeepsTheEdit)
{
    AddFrame(QStringLiteral("a.jpg"), QStringLiteral("100"), false, kBlue);
    Select(1);
    OpenAndDrive([&](FrmProp& prop) {
        prop.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&prop));
        EXPECT_TRUE(prop.OKButton->hasFocus());
        // The user clicks into the field, types and presses Enter.
        QTest::mouseClick(prop.txtMS, Qt::LeftButton);
        prop.txtMS->selectAll();
        QTest::keyClicks(prop.txtMS, QStringLiteral("250"));
        QTest::keyClick(prop.txtMS, Qt::Key_Return);
        EXPECT_FALSE(prop.isVisible());
        EXPECT_EQ(prop.result(), int(QDialog::Accepted));
    });
    EXPECT_EQ(ListViews::Text(Named<QTreeView>(form->Frames(), "lstFrame"), 1, FrameColumn::PlayTime),
              QStringLiteral("250"));
}

} // namespace
