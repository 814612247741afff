// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/FormFixture.h"
#include "support/ListViews.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

using StartStateTest = FormFixture;

QStringList Headers(const QTreeView* list)
{
    QStringList out;
    for (int i = 0; i < list->model()->columnCount(); ++i)
        out << list->model()->headerData(i, Qt::Horizontal).toString();
    return out;
}

TEST_F(StartStateTest, WindowIsTrimmedBorderlessAndTitled)
{
    EXPECT_EQ(form->size(), QSize(723, 538));
    EXPECT_TRUE(form->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Flipreel"));
    const QImage shot = form->grab().toImage();
    // No blue strip at the right or bottom edge.
    for (int y : {0, 200, 537})
        EXPECT_NE(FromQColor(QColor(shot.pixel(722, y))), Rgb(0, 0, 255)) << y;
    for (int x : {0, 300, 722})
        EXPECT_NE(FromQColor(QColor(shot.pixel(x, 537))), Rgb(0, 0, 255)) << x;
    EXPECT_EQ(form->LTitle->text(), QStringLiteral("Flipreel 1.30"));
}

TEST_F(StartStateTest, TheTitleHasNormalWeightAndTheWindowStartsInTheMiddle)
{
    EXPECT_EQ(form->LTitle->font().weight(), QFont::Normal);
    form->ShowCentered();
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    // 723 x 538 on the offscreen 800 x 600: 38 and 31 from the edges.
    EXPECT_EQ(form->pos() - area.topLeft(),
              QPoint((area.width() - form->width()) / 2, (area.height() - form->height()) / 2));
}

TEST_F(StartStateTest, OnlyStepOneIsVisible)
{
    EXPECT_TRUE(form->picTabs[0]->isVisible());
    for (int i = 1; i < 5; ++i)
        EXPECT_FALSE(form->picTabs[static_cast<std::size_t>(i)]->isVisible()) << i;
    EXPECT_TRUE(form->LabCap[0]->font().bold());
}

TEST_F(StartStateTest, HiddenControlsAndTheirStates)
{
    for (QPushButton* b :
         {Named<QPushButton>(form->Pictures(), "cmdAdd"), Named<QPushButton>(form->Pictures(), "cmdDel"),
          Named<QPushButton>(form->Pictures(), "cmdUp"), Named<QPushButton>(form->Pictures(), "cmdDown"),
          Named<QPushButton>(form->Pictures(), "cmdPreview"), Named<QPushButton>(form->Frames(), "cmdProp"),
          Named<QPushButton>(form->Preview(), "cmdGo"), Named<QPushButton>(form->Preview(), "cmdStop"),
          Named<QPushButton>(form->Create(), "cmdCreateGIF")})
        EXPECT_TRUE(b->isHidden()) << b->objectName().toStdString();
    EXPECT_FALSE(Named<QPushButton>(form->Create(), "cmdOpen")->isHidden());
    EXPECT_FALSE(Named<QPushButton>(form->Preview(), "cmdGo")->isEnabled());
    EXPECT_FALSE(Named<QPushButton>(form->Preview(), "cmdStop")->isEnabled());
    EXPECT_FALSE(Named<QPushButton>(form->Create(), "cmdCreateGIF")->isEnabled());
    EXPECT_TRUE(Named<QPushButton>(form->Pictures(), "cmdAdd")->isEnabled());
    EXPECT_EQ(Named<QPushButton>(form->Pictures(), "cmdAdd")->text(), QStringLiteral("&Add Pictures ..."));
    EXPECT_EQ(Named<QPushButton>(form->Create(), "cmdCreateGIF")->text(), QStringLiteral("Create Animated GIF Now!"));
    EXPECT_TRUE(Named<QLabel>(form->Preview(), "LabLoop")->isHidden());
    EXPECT_TRUE(Named<PixelSurface>(form->Create(), "picPercent")->isHidden());
    EXPECT_TRUE(form->imgMin2->isHidden());
    EXPECT_TRUE(form->imgClose2->isHidden());
    EXPECT_FALSE(Named<QTimer>(form->Preview(), "tmPlay")->isActive());
    for (int i = 1; i < 4; ++i)
        EXPECT_TRUE(Named<ImageControl>(form->Create(), QStringLiteral("imgCreate(%1)").arg(i))->isHidden());
    EXPECT_FALSE(form->Create().CreateHot);
    EXPECT_FALSE(form->Dragging);
}

TEST_F(StartStateTest, SettingsHoldTheirDesignValues)
{
    EXPECT_EQ(Named<QLineEdit>(form->Settings(), "txtMS")->text(), QStringLiteral("1000"));
    EXPECT_EQ(Named<QLineEdit>(form->Settings(), "txtMS")->maxLength(), 5);
    EXPECT_EQ(Named<QLineEdit>(form->Settings(), "txtLoop")->text(), QStringLiteral("0"));
    EXPECT_EQ(Named<QLineEdit>(form->Settings(), "txtLoop")->maxLength(), 4);
    EXPECT_EQ(Named<QLineEdit>(form->Settings(), "txtW")->text(), QStringLiteral("0"));
    EXPECT_EQ(Named<QLineEdit>(form->Settings(), "txtH")->text(), QStringLiteral("0"));
    EXPECT_EQ(Named<QLineEdit>(form->Settings(), "txtW")->maxLength(), 4);
    EXPECT_FALSE(Named<QCheckBox>(form->Settings(), "chkSelect")->isChecked());
    EXPECT_FALSE(Named<QCheckBox>(form->Settings(), "chkCustom")->isChecked());
    EXPECT_FALSE(Named<QCheckBox>(form->Settings(), "chkTrans")->isChecked());
    EXPECT_EQ(Named<QComboBox>(form->Settings(), "cboDim")->count(), 0);
    EXPECT_TRUE(Named<QLineEdit>(form->Create(), "txtGIF")->text().isEmpty());
    EXPECT_TRUE(Named<QLineEdit>(form->Create(), "txtGIF")->isReadOnly());
    EXPECT_EQ(Named<QLabel>(form->Pictures(), "LabTotal")->text(), QStringLiteral("0"));
    EXPECT_EQ(ListViews::RowCount(Named<QTreeView>(form->Pictures(), "lstPic")), 0);
    EXPECT_EQ(ListViews::RowCount(Named<QTreeView>(form->Frames(), "lstFrame")), 0);
}

TEST_F(StartStateTest, ListColumns)
{
    EXPECT_EQ(Headers(Named<QTreeView>(form->Pictures(), "lstPic")),
              (QStringList{QStringLiteral("     File Name"), QStringLiteral("File Type"), QStringLiteral("Dimensions"),
                           QStringLiteral("Address")}));
    EXPECT_EQ(Headers(Named<QTreeView>(form->Frames(), "lstFrame")),
              (QStringList{QStringLiteral("Frame #"), QStringLiteral("File Name"), QStringLiteral("Play Time / ms"),
                           QStringLiteral("Transparent"), QStringLiteral("Transparent Color")}));
}

TEST_F(StartStateTest, StartUpPlacesAndPictures)
{
    EXPECT_EQ(Named<QCheckBox>(form->Pictures(), "chkAll")->pos(),
              Named<QTreeView>(form->Pictures(), "lstPic")->pos() + QPoint(4, 2));
    EXPECT_EQ(Named<ShapeOutline>(form->Pictures(), "Shape1")->geometry(),
              Named<QTreeView>(form->Pictures(), "lstPic")->geometry().adjusted(-1, -1, 1, 1));
    EXPECT_EQ(Named<ShapeOutline>(form->Frames(), "Shape2")->geometry(),
              Named<QTreeView>(form->Frames(), "lstFrame")->geometry().adjusted(-1, -1, 1, 1));
    EXPECT_EQ(Named<PreviewArea>(form->Preview(), "picPreview")->size(), QSize(649, 321));
    EXPECT_EQ(Named<ImageControl>(form->Preview(), "imgcmdGo")->Picture().cacheKey(),
              Named<ImageControl>(form->Preview(), "imgGoDis")->Picture().cacheKey());
    EXPECT_EQ(Named<ImageControl>(form->Preview(), "imgcmdStop")->Picture().cacheKey(),
              Named<ImageControl>(form->Preview(), "imgStopDis")->Picture().cacheKey());
    EXPECT_EQ(Named<ImageControl>(form->Create(), "imgCreate(0)")->Picture().cacheKey(),
              Named<ImageControl>(form->Create(), "imgCreate(1)")->Picture().cacheKey());
}

TEST_F(StartStateTest, PreviewFrameTouchesAllFourEdgesAndSurvivesPageSwitches)
{
    const PixelSurface& box = *Named<PreviewArea>(form->Preview(), "picPreview");
    const ColorValue grey = Rgb(192, 192, 192);
    for (int x : {0, 300, 648}) {
        EXPECT_EQ(box.PixelAt(x, 0), grey) << x;
        EXPECT_EQ(box.PixelAt(x, 320), grey) << x;
    }
    for (int y : {0, 160, 320}) {
        EXPECT_EQ(box.PixelAt(0, y), grey) << y;
        EXPECT_EQ(box.PixelAt(648, y), grey) << y;
    }
    EXPECT_NE(box.PixelAt(1, 1), grey);
    // On screen after the pages were switched, not only in the kept drawing.
    form->LabCap_Click(3);
    form->LabCap_Click(0);
    form->LabCap_Click(3);
    const QImage shown = Named<PreviewArea>(form->Preview(), "picPreview")->grab().toImage();
    for (const QPoint& p : {QPoint(0, 0), QPoint(648, 0), QPoint(0, 320), QPoint(648, 320), QPoint(300, 320)})
        EXPECT_EQ(FromQColor(QColor(shown.pixel(p))), grey) << p.x() << "," << p.y();
    EXPECT_NE(FromQColor(QColor(shown.pixel(1, 1))), grey);
}

} // namespace
