// SPDX-License-Identifier: GPL-3.0-or-later
// What the user sees of the main window: captions, check boxes, colours,
// file dialog filters, and a start with any arguments.
#include "common/Twips.h"
#include "settings/FrmProp.h"
#include "support/FormFixture.h"
#include "support/ListViews.h"
#include "ui/ListRows.h"

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

namespace {

using WindowLookTest = FormFixture;

ColorValue Role(const QWidget* w, QPalette::ColorRole role) { return FromQColor(w->palette().color(role)); }

// As wide as its text, give or take the label's margin.
int Slack(const QLabel* label) { return label->width() - QFontMetrics(label->font()).horizontalAdvance(label->text()); }

TEST_F(WindowLookTest, CaptionsChangedAtRunTimeStaySizedToTheirText)
{
    for (int i = 1; i <= 11; ++i) {
        form->Pictures().AddPictureRow({QStringLiteral("p.png"), QString(), QSize(8, 8), QStringLiteral("/p")});
    }
    ListViews::SetChecked(Named<QTreeView>(form->Pictures(), "lstPic"), 1);
    form->Pictures().cmdDel_Click();
    ASSERT_EQ(Named<QLabel>(form->Pictures(), "LabTotal")->text(), QStringLiteral("10"));
    form->Preview().ShowPreviewFrame(1);
    form->Create().ShowProgress(-1);
    for (QLabel* label : {Named<QLabel>(form->Pictures(), "LabTotal"), Named<QLabel>(form->Preview(), "LabLoop"),
                          Named<QLabel>(form->Create(), "LabPercent")})
        EXPECT_TRUE(Slack(label) >= 0 && Slack(label) <= 8) << label->objectName().toStdString() << Slack(label);
    form->Create().ShowProgress(100);
    EXPECT_LE(Slack(Named<QLabel>(form->Create(), "LabPercent")), 8) << "shrinks again";
}

TEST_F(WindowLookTest, CheckBoxesKeepTheirPlacesAndTheirIndicatorAndCaptionFitInside)
{
    FrmProp prop(form.get(), {});
    const std::pair<QCheckBox*, QRect> boxes[] = {
        {Named<QCheckBox>(form->Pictures(), "chkAll"),
         QRect(Named<QTreeView>(form->Pictures(), "lstPic")->pos() + QPoint(4, 2), QSize(13, 13))},
        {Named<QCheckBox>(form->Settings(), "chkSelect"), Twips::ToPixels(2940, 2040, 4335, 195)},
        {Named<QCheckBox>(form->Settings(), "chkCustom"), Twips::ToPixels(2940, 2460, 4275, 195)},
        {Named<QCheckBox>(form->Settings(), "chkTrans"), Twips::ToPixels(2940, 3120, 1275, 255)},
        {prop.chkTrans, Twips::ToPixels(480, 2520, 1275, 255)}};
    // The step-2 captions keep their font, Verdana 9.75, in a box 13 pixels high.
    for (QCheckBox* box :
         {Named<QCheckBox>(form->Settings(), "chkSelect"), Named<QCheckBox>(form->Settings(), "chkCustom")})
        EXPECT_DOUBLE_EQ(box->font().pointSizeF(), 9.75) << box->objectName().toStdString();
    for (const auto& [box, place] : boxes) {
        const std::string name = box->objectName().toStdString() + (box == prop.chkTrans ? " (dialog)" : "");
        EXPECT_EQ(box->geometry(), place) << name;
        QStyleOptionButton option;
        option.initFrom(box);
        option.text = box->text();
        const QRect indicator = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
        const QRect room = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
        EXPECT_TRUE(box->rect().contains(indicator) && indicator.height() >= 11) << name;
        if (!box->text().isEmpty()) {
            EXPECT_TRUE(box->rect().contains(room)) << name;
            // The letters fit; a line higher than the box loses only its spacing.
            EXPECT_LE(QFontMetrics(box->font()).tightBoundingRect(box->text()).height(), room.height()) << name;
            EXPECT_LE(QFontMetrics(box->font()).horizontalAdvance(box->text()), room.width()) << name;
        }
    }
}

TEST_F(WindowLookTest, SystemWindowColoursAreTheDesktopsWindowColours)
{
    // The window colour of documents and text boxes, not the grey of buttons.
    const ColorValue window = FromQColor(QApplication::palette().color(QPalette::Base));
    ASSERT_NE(window, FromQColor(QApplication::palette().color(QPalette::Window)));
    EXPECT_EQ(form->picTab->PixelAt(350, 440), window);
    for (int i = 1; i < 5; ++i)
        EXPECT_EQ(Role(form->picTabs[static_cast<std::size_t>(i)], QPalette::Window), window) << i;
    EXPECT_EQ(Role(Named<QLabel>(form->Settings(), "Label5"), QPalette::Window), window);
    EXPECT_EQ(Named<ColorBox>(form->Settings(), "picColor")->BackColor(), window);
    EXPECT_EQ(Role(Named<QLabel>(form->Settings(), "Label2"), QPalette::WindowText),
              FromQColor(QApplication::palette().color(QPalette::Text)));
    for (QLineEdit* field :
         {Named<QLineEdit>(form->Settings(), "txtMS"), Named<QLineEdit>(form->Settings(), "txtLoop")})
        EXPECT_EQ(Role(field, QPalette::Base), window) << "enabled fields look enabled";
    EXPECT_EQ(Role(Named<QPushButton>(form->Create(), "cmdOpen"), QPalette::Button),
              FromQColor(QApplication::palette().color(QPalette::Button)));
    EXPECT_EQ(Role(Named<QCheckBox>(form->Settings(), "chkTrans"),
                   Named<QCheckBox>(form->Settings(), "chkTrans")->backgroundRole()),
              Rgb(255, 255, 255));
}

TEST_F(WindowLookTest, FileDialogsShowEachFilterDescriptionOnce)
{
    const auto shown = [](const QString& filter) {
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        Dialogs::SetFileFilters(dialog, filter);
        QStringList texts;
        if (const auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo")))
            for (int i = 0; i < combo->count(); ++i)
                texts << combo->itemText(i);
        return texts;
    };
    const QStringList picture = shown(PicturesPage::BuildPictureFilter());
    ASSERT_EQ(picture.size(), 27);
    EXPECT_EQ(picture.mid(0, 3),
              QStringList({QStringLiteral("Popular Images(*.bmp,*.gif,*.jpg,*.png,*.ico)"),
                           QStringLiteral("All Supported Image Files"), QStringLiteral("GIF Files (*.gif)")}));
    EXPECT_EQ(picture[4], QStringLiteral("JPG/JPEG Files (*.jpg;*.jpeg)"));
    EXPECT_EQ(shown(QStringLiteral("Animated GIF Files(*.gif)|*.gif")),
              QStringList{QStringLiteral("Animated GIF Files(*.gif)")});
}

TEST(WindowProgramTest, StartsNormallyWhateverArgumentsItGets)
{
    QTemporaryDir dir;
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("FLIPREEL_SCREENSHOT"), dir.filePath(QStringLiteral("shot.png"))); // so that it ends
    process.setProcessEnvironment(env);
    process.start(
        qEnvironmentVariable("FLIPREEL_BUILD_DIR", QCoreApplication::applicationDirPath() + QStringLiteral("/.."))
            + QStringLiteral("/flipreel"),
        {QStringLiteral("--anything"), QStringLiteral("--screenshot"), QStringLiteral("-x")});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    EXPECT_EQ(QImage(dir.filePath(QStringLiteral("shot.png"))).size(), QSize(723, 538));
}

} // namespace
