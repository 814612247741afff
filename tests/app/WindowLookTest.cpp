// SPDX-License-Identifier: GPL-3.0-or-later
// What the user sees of the main window: captions, check boxes, colours,
// file dialog filters, and a start with any arguments.
#include "common/Twips.h"
#include "lists/ListRows.h"
#include "settings/FrmProp.h"
#include "support/FormFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTreeWidget>

namespace {

using WindowLookTest = FormFixture;

ColorValue Role(QPalette::ColorRole role) { return FromQColor(QApplication::palette().color(role)); }
ColorValue Role(const QWidget* w, QPalette::ColorRole role) { return FromQColor(w->palette().color(role)); }

::testing::AssertionResult CoversText(const QLabel* label)
{
    const int needed = QFontMetrics(label->font()).horizontalAdvance(label->text());
    if (label->width() >= needed && label->width() <= needed + 8)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << label->objectName().toStdString() << " \"" << label->text().toStdString()
                                         << "\" is " << label->width() << " px wide for " << needed << " px of text";
}

TEST_F(WindowLookTest, CaptionsChangedAtRunTimeStaySizedToTheirText)
{
    for (int i = 1; i <= 11; ++i) {
        form->AddPictureRow(QStringLiteral("p%1.png").arg(i), QStringLiteral("PNG image"), QStringLiteral("8 x 8"),
                            QStringLiteral("/pics"));
        form->AddFrameRow(QStringLiteral("p%1.png").arg(i));
    }
    form->lstPic->topLevelItem(0)->setCheckState(PictureColumn::Name, Qt::Checked);
    form->cmdDel_Click();
    ASSERT_EQ(form->LabTotal->text(), QStringLiteral("10"));
    EXPECT_TRUE(CoversText(form->LabTotal));

    form->ShowPreviewFrame(1);
    EXPECT_TRUE(CoversText(form->LabLoop));

    form->ShowProgress(-1);
    ASSERT_EQ(form->LabPercent->text(), QStringLiteral("Start Creating..."));
    EXPECT_TRUE(CoversText(form->LabPercent));
    form->ShowProgress(100);
    EXPECT_TRUE(CoversText(form->LabPercent)); // shrinks again

    form->lstFrame->setCurrentItem(form->lstFrame->topLevelItem(9));
    FrmProp prop(*form);
    EXPECT_EQ(prop.LabNo->text(), QStringLiteral("10"));
    EXPECT_TRUE(CoversText(prop.LabNo));
    EXPECT_TRUE(CoversText(prop.LabFile));
}

TEST_F(WindowLookTest, CheckBoxesKeepTheirPlacesAndTheirIndicatorAndCaptionFitInside)
{
    FrmProp prop(*form);
    const QPoint header = form->lstPic->pos() + QPoint(4, 2);
    const std::pair<QCheckBox*, QRect> boxes[] = {
        {form->chkAll, QRect(header, Twips::ToPixels(0, 0, 195, 195).size())},
        {form->chkSelect, Twips::ToPixels(2940, 2040, 4335, 195)},
        {form->chkCustom, Twips::ToPixels(2940, 2460, 4275, 195)},
        {form->chkTrans, Twips::ToPixels(2940, 3120, 1275, 255)},
        {prop.chkTrans, Twips::ToPixels(480, 2520, 1275, 255)}};
    for (const auto& [box, place] : boxes) {
        const std::string name = box->objectName().toStdString() + (box == prop.chkTrans ? " (dialog)" : "");
        EXPECT_EQ(box->geometry(), place) << name;
        QStyleOptionButton option;
        option.initFrom(box);
        option.text = box->text();
        const QRect indicator = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
        EXPECT_TRUE(box->rect().contains(indicator)) << name << " indicator " << indicator.height() << " px high";
        EXPECT_GE(indicator.height(), 11) << name;
        if (box->text().isEmpty())
            continue;
        const QRect room = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
        const QFontMetrics metrics(box->font());
        EXPECT_TRUE(box->rect().contains(room)) << name;
        EXPECT_LE(metrics.height(), room.height()) << name;
        EXPECT_LE(metrics.horizontalAdvance(box->text()), room.width()) << name;
    }
}

TEST_F(WindowLookTest, SystemWindowColoursAreTheDesktopsWindowColours)
{
    // The desktop's window background is the colour of documents and text
    // boxes, not the grey of buttons and dialogs.
    const ColorValue window = Role(QPalette::Base);
    ASSERT_NE(window, Role(QPalette::Window)) << "the desktop palette cannot tell the two apart";
    EXPECT_EQ(form->picTab->BackColor(), window);
    EXPECT_EQ(form->picTab->PixelAt(350, 440), window);
    EXPECT_EQ(Role(form->picTabs[0], QPalette::Window), Rgb(255, 255, 255));
    for (int i = 1; i < 5; ++i)
        EXPECT_EQ(Role(form->picTabs[static_cast<std::size_t>(i)], QPalette::Window), window) << i;
    EXPECT_EQ(Role(form->Label5, QPalette::Window), window);
    EXPECT_TRUE(form->Label5->autoFillBackground());
    EXPECT_EQ(form->picColor->BackColor(), window);
    for (QLabel* label : {form->Label2, form->Label4, form->Label5})
        EXPECT_EQ(Role(label, QPalette::WindowText), Role(QPalette::Text)) << label->objectName().toStdString();
    // Enabled fields look enabled; the visible button keeps the button face.
    for (QLineEdit* field : {form->txtMS, form->txtLoop, form->txtGIF})
        EXPECT_EQ(Role(field, QPalette::Base), window) << field->objectName().toStdString();
    EXPECT_EQ(Role(form->cmdOpen, QPalette::Button), Role(QPalette::Button));
    EXPECT_EQ(Role(form->chkTrans, form->chkTrans->backgroundRole()), Rgb(255, 255, 255));
}

TEST_F(WindowLookTest, FileDialogsShowEachFilterDescriptionOnce)
{
    const auto shown = [](const QString& filter) {
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        Dialogs::SetFileFilters(dialog, filter);
        auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        QStringList texts;
        for (int i = 0; combo && i < combo->count(); ++i)
            texts << combo->itemText(i);
        return texts;
    };
    const QStringList picture = shown(FrmGif::BuildPictureFilter());
    ASSERT_EQ(picture.size(), 27);
    EXPECT_EQ(picture[0], QStringLiteral("Popular Images(*.bmp,*.gif,*.jpg,*.png,*.ico)"));
    EXPECT_EQ(picture[1], QStringLiteral("All Supported Image Files"));
    EXPECT_EQ(picture[2], QStringLiteral("GIF Files (*.gif)"));
    EXPECT_EQ(picture[4], QStringLiteral("JPG/JPEG Files (*.jpg;*.jpeg)"));
    EXPECT_EQ(picture[26], QStringLiteral("All Files(*.*)"));
    EXPECT_EQ(shown(QStringLiteral("Animated GIF Files(*.gif)|*.gif")),
              QStringList{QStringLiteral("Animated GIF Files(*.gif)")});
}

TEST(WindowProgramTest, StartsNormallyWhateverArgumentsItGets)
{
    QTemporaryDir dir;
    const QString build = qEnvironmentVariable("FLIPREEL_BUILD_DIR",
                                               QCoreApplication::applicationDirPath() + QStringLiteral("/.."));
    const QString shot = dir.filePath(QStringLiteral("shot.png"));
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // Only so that the window saves a picture of itself and ends.
    env.insert(QStringLiteral("FLIPREEL_SCREENSHOT"), shot);
    process.setProcessEnvironment(env);
    process.start(build + QStringLiteral("/flipreel"),
                  {QStringLiteral("--anything"), QStringLiteral("--screenshot"), QStringLiteral("-x"),
                   QStringLiteral("picture.png")});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    EXPECT_EQ(QImage(shot).size(), QSize(723, 538));
}

} // namespace
