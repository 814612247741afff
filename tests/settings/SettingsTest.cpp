// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/OutputSize.h"
#include "settings/NumericKeyFilter.h"
#include "support/FormFixture.h"
#include "support/ListViews.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTest>

namespace {

constexpr ColorValue kWhite = Rgb(255, 255, 255);
constexpr ColorValue kGrey = Rgb(238, 238, 238);

class SettingsTest : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        form->LabCap_Click(1); // the settings page, so its controls take clicks
    }
    static ColorValue Back(const QWidget* w) { return FromQColor(w->palette().color(QPalette::Base)); }
    // What the field shows just inside its right edge, away from the text.
    static ColorValue ShownBack(QWidget* w)
    {
        const QImage shot = w->grab().toImage();
        return FromQColor(QColor(shot.pixel(shot.width() - 5, shot.height() / 2)));
    }
    static void TypeAtEnd(QLineEdit* field, const QString& text)
    {
        field->setFocus();
        field->end(false);
        QTest::keyClicks(field, text);
    }
};

TEST(FilterNumericKey, DigitsAndBackspacePassEverythingElseIsZero)
{
    for (quint16 code = '0'; code <= '9'; ++code)
        EXPECT_EQ(ModFile::FilterNumericKey(code), code);
    EXPECT_EQ(ModFile::FilterNumericKey(8), 8);
    // Neighbours of the digit range, control characters (Enter, Ctrl+V, DEL)
    // and digits of other scripts are all dropped.
    for (quint16 code : {quint16('/'), quint16(':'), quint16('-'), quint16(' '), quint16('a'), quint16(0), quint16(13),
                         quint16(22), quint16(127), quint16(0x0660), quint16(0xFF11)})
        EXPECT_EQ(ModFile::FilterNumericKey(code), 0) << code;
}

TEST_F(SettingsTest, NumberFieldsRefuseEveryTypedCharacterButDigitsAndBackspace)
{
    Named<QCheckBox>(form->Settings(), "chkCustom")->setChecked(true); // width and height editable
    for (QLineEdit* field : {Named<QLineEdit>(form->Settings(), "txtMS"), Named<QLineEdit>(form->Settings(), "txtLoop"),
                             Named<QLineEdit>(form->Settings(), "txtW"), Named<QLineEdit>(form->Settings(), "txtH")}) {
        SCOPED_TRACE(field->objectName().toStdString());
        field->setText(QStringLiteral("12"));
        TypeAtEnd(field, QStringLiteral("a-. +x"));
        QTest::keyClick(field, Qt::Key_Minus);
        EXPECT_EQ(field->text(), QStringLiteral("12"));
        TypeAtEnd(field, QStringLiteral("3"));
        EXPECT_EQ(field->text(), QStringLiteral("123"));
        QTest::keyClick(field, Qt::Key_Backspace);
        EXPECT_EQ(field->text(), QStringLiteral("12"));
        // Keys that type nothing still move and delete.
        QTest::keyClick(field, Qt::Key_Home);
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClick(field, '9');
        EXPECT_EQ(field->text(), QStringLiteral("92"));
        QTest::keyClick(field, Qt::Key_Right);
        QTest::keyClick(field, '0');
        EXPECT_EQ(field->text(), QStringLiteral("920"));
    }
}

TEST_F(SettingsTest, PasteShortcutIsDroppedButTheMaximumLengthHolds)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("77"));
    Named<QLineEdit>(form->Settings(), "txtLoop")->setText(QStringLiteral("1"));
    Named<QLineEdit>(form->Settings(), "txtLoop")->setFocus();
    Named<QLineEdit>(form->Settings(), "txtLoop")->end(false);
    QTest::keyClick(Named<QLineEdit>(form->Settings(), "txtLoop"), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Named<QLineEdit>(form->Settings(), "txtLoop")->text(), QStringLiteral("1"));

    Named<QLineEdit>(form->Settings(), "txtMS")->setText(QStringLiteral("99999"));
    TypeAtEnd(Named<QLineEdit>(form->Settings(), "txtMS"), QStringLiteral("1"));
    EXPECT_EQ(Named<QLineEdit>(form->Settings(), "txtMS")->text(), QStringLiteral("99999"));
    Named<QLineEdit>(form->Settings(), "txtLoop")->setText(QStringLiteral("9999"));
    TypeAtEnd(Named<QLineEdit>(form->Settings(), "txtLoop"), QStringLiteral("1"));
    EXPECT_EQ(Named<QLineEdit>(form->Settings(), "txtLoop")->text(), QStringLiteral("9999"));
}

TEST_F(SettingsTest, CheckBoxesCoupleAndSetTheSizeControls)
{
    // Start-up: both unchecked, everything off and grey.
    for (QWidget* w : {static_cast<QWidget*>(Named<QComboBox>(form->Settings(), "cboDim")),
                       static_cast<QWidget*>(Named<QLineEdit>(form->Settings(), "txtW")),
                       static_cast<QWidget*>(Named<QLineEdit>(form->Settings(), "txtH"))}) {
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
        EXPECT_EQ(Back(w), kGrey) << w->objectName().toStdString();
    }
    EXPECT_EQ(ShownBack(Named<QLineEdit>(form->Settings(), "txtW")), kGrey);
    // The size list's face, beside its text, flat in the same colours.
    auto face = [this] {
        return FromQColor(QColor(Named<QComboBox>(form->Settings(), "cboDim")->grab().toImage().pixel(3, 3)));
    };
    EXPECT_EQ(face(), kGrey);

    QTest::mouseClick(Named<QCheckBox>(form->Settings(), "chkSelect"), Qt::LeftButton);
    EXPECT_TRUE(Named<QCheckBox>(form->Settings(), "chkSelect")->isChecked());
    EXPECT_TRUE(Named<QComboBox>(form->Settings(), "cboDim")->isEnabled());
    EXPECT_EQ(Back(Named<QComboBox>(form->Settings(), "cboDim")), kWhite);
    EXPECT_EQ(face(), kWhite);
    EXPECT_FALSE(Named<QLineEdit>(form->Settings(), "txtW")->isEnabled());

    Named<QLineEdit>(form->Settings(), "txtW")->setText(QStringLiteral("640"));
    QTest::mouseClick(Named<QCheckBox>(form->Settings(), "chkCustom"), Qt::LeftButton);
    EXPECT_TRUE(Named<QCheckBox>(form->Settings(), "chkCustom")->isChecked());
    EXPECT_FALSE(Named<QCheckBox>(form->Settings(), "chkSelect")->isChecked());
    EXPECT_FALSE(Named<QComboBox>(form->Settings(), "cboDim")->isEnabled());
    EXPECT_EQ(Back(Named<QComboBox>(form->Settings(), "cboDim")), kGrey);
    for (QLineEdit* field : {Named<QLineEdit>(form->Settings(), "txtW"), Named<QLineEdit>(form->Settings(), "txtH")}) {
        EXPECT_TRUE(field->isEnabled());
        EXPECT_EQ(Back(field), kWhite);
        EXPECT_EQ(ShownBack(field), kWhite);
    }

    // Unchecking leaves the other box alone: both off, the sizes kept.
    QTest::mouseClick(Named<QCheckBox>(form->Settings(), "chkCustom"), Qt::LeftButton);
    EXPECT_FALSE(Named<QCheckBox>(form->Settings(), "chkCustom")->isChecked());
    EXPECT_FALSE(Named<QCheckBox>(form->Settings(), "chkSelect")->isChecked());
    EXPECT_FALSE(Named<QLineEdit>(form->Settings(), "txtW")->isEnabled());
    EXPECT_FALSE(Named<QComboBox>(form->Settings(), "cboDim")->isEnabled());
    EXPECT_EQ(ShownBack(Named<QLineEdit>(form->Settings(), "txtH")), kGrey);
    EXPECT_EQ(Named<QLineEdit>(form->Settings(), "txtW")->text(), QStringLiteral("640"));
    EXPECT_EQ(Named<QLineEdit>(form->Settings(), "txtH")->text(), QStringLiteral("0"));
}

TEST_F(SettingsTest, ChoosingADimensionsEntrySplitsItAtLowerCaseX)
{
    Named<QComboBox>(form->Settings(), "cboDim")
        ->addItems({QStringLiteral("640 x 480"), QStringLiteral("320 x 240"), QStringLiteral("800 X 600"),
                    QStringLiteral("no size")});
    Named<QCheckBox>(form->Settings(), "chkSelect")->setChecked(true);
    Named<QComboBox>(form->Settings(), "cboDim")->setCurrentIndex(0);
    Named<QComboBox>(form->Settings(), "cboDim")->setFocus();

    QTest::keyClick(Named<QComboBox>(form->Settings(), "cboDim"), Qt::Key_Down); // the user picks the second entry
    EXPECT_EQ(Named<QComboBox>(form->Settings(), "cboDim")->currentText(), QStringLiteral("320 x 240"));
    EXPECT_EQ(Named<QLineEdit>(form->Settings(), "txtW")->text(), QStringLiteral("320"));
    EXPECT_EQ(Named<QLineEdit>(form->Settings(), "txtH")->text(), QStringLiteral("240"));

    // An upper-case X and a text without x change nothing.
    QTest::keyClick(Named<QComboBox>(form->Settings(), "cboDim"), Qt::Key_Down);
    QTest::keyClick(Named<QComboBox>(form->Settings(), "cboDim"), Qt::Key_Down);
    EXPECT_EQ(Named<QComboBox>(form->Settings(), "cboDim")->currentText(), QStringLiteral("no size"));
    EXPECT_EQ(Named<QLineEdit>(form->Settings(), "txtW")->text(), QStringLiteral("320"));
    EXPECT_EQ(Named<QLineEdit>(form->Settings(), "txtH")->text(), QStringLiteral("240"));

    // The list refresh selects the first entry and runs the handler itself,
    // whichever box is checked.
    Named<QCheckBox>(form->Settings(), "chkCustom")->setChecked(true);
    Named<QComboBox>(form->Settings(), "cboDim")->setCurrentIndex(0);
    form->Settings().cboDim_Click();
    EXPECT_EQ(Named<QLineEdit>(form->Settings(), "txtW")->text(), QStringLiteral("640"));
    EXPECT_EQ(Named<QLineEdit>(form->Settings(), "txtH")->text(), QStringLiteral("480"));
}

TEST_F(SettingsTest, OutputSizeRuleInItsOrder)
{
    struct Case {
        const char* w;
        const char* h;
        QString message; // empty: passes
    };
    const Case cases[] = {
        {"5", "5", {}},
        {"2000", "2000", {}},
        {"5", "2000", {}},
        {"4", "100", OutputSize::TooSmallMessage()},
        {"100", "4", OutputSize::TooSmallMessage()},
        {"2001", "100", OutputSize::TooBigMessage()},
        {"100", "2001", OutputSize::TooBigMessage()},
        {"4", "2001", OutputSize::TooSmallMessage()}, // too small is checked first
        {"", "100", OutputSize::EmptyMessage()},
        {"3000", "", OutputSize::EmptyMessage()}, // empty wins over out of range
        {"0", "", OutputSize::EmptyMessage()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.w) + " x " + c.h);
        Named<QLineEdit>(form->Settings(), "txtW")->setText(QLatin1String(c.w));
        Named<QLineEdit>(form->Settings(), "txtH")->setText(QLatin1String(c.h));
        // What the preview and the creation run check the page's texts with.
        const OutputSize::Verdict size = OutputSize::Check(form->Settings().WidthText(), form->Settings().HeightText());
        if (c.message.isEmpty()) {
            ASSERT_TRUE(size.ok);
            EXPECT_EQ(QSize(size.width, size.height),
                      QSize(QString::fromLatin1(c.w).toInt(), QString::fromLatin1(c.h).toInt()));
        } else {
            EXPECT_FALSE(size.ok);
            EXPECT_EQ(size.message, c.message);
        }
    }
    EXPECT_EQ(
        OutputSize::EmptyMessage(),
        QStringLiteral("Please enter correct dimenions value including width and height in overall settings window"));
    EXPECT_EQ(OutputSize::TooSmallMessage(), QStringLiteral("The width or height value is too small, please reset it"));
    EXPECT_EQ(OutputSize::TooBigMessage(), QStringLiteral("The width or height value is too big, please reset it"));
}

TEST_F(SettingsTest, SwatchClickPicksTheTransparentColourOfNewFrames)
{
    const ColorValue before = Named<ColorBox>(form->Settings(), "picColor")->BackColor();
    colorAnswers.push_back(std::nullopt); // cancelled
    QTest::mouseClick(Named<ColorBox>(form->Settings(), "picColor"), Qt::LeftButton);
    ASSERT_EQ(colorRequests.size(), 1u);
    EXPECT_EQ(colorRequests[0].title, QStringLiteral("Select a Transparent color"));
    EXPECT_EQ(colorRequests[0].initial, before);
    EXPECT_EQ(Named<ColorBox>(form->Settings(), "picColor")->BackColor(), before);

    colorAnswers.push_back(Rgb(10, 200, 30));
    QTest::mouseClick(Named<ColorBox>(form->Settings(), "picColor"), Qt::LeftButton);
    EXPECT_EQ(Named<ColorBox>(form->Settings(), "picColor")->BackColor(), Rgb(10, 200, 30));
    // The next dialog starts from the colour now shown.
    colorAnswers.push_back(std::nullopt);
    QTest::mouseClick(Named<ColorBox>(form->Settings(), "picColor"), Qt::LeftButton);
    ASSERT_EQ(colorRequests.size(), 3u);
    EXPECT_EQ(colorRequests[2].initial, Rgb(10, 200, 30));

    form->Pictures().AddPictureRow(
        {QStringLiteral("a.png"), QStringLiteral("PNG image"), QSize(10, 10), QStringLiteral("/tmp")});
    EXPECT_EQ(form->Doc().Rows().Frame(1)->color, Rgb(10, 200, 30));
}

} // namespace
