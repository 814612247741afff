// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/SettingsPage.h"

#include "common/SizeText.h"
#include "production/ShortDelays.h"
#include "settings/NumericKeyFilter.h"
#include "ui/Dialogs.h"
#include "ui/PageControls.h"

#include <QCoreApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QSignalBlocker>

using namespace PageControls;

namespace {
constexpr ColorValue kEnabledBack = Rgb(255, 255, 255);
constexpr ColorValue kDisabledBack = Rgb(238, 238, 238);

// The size list is drawn flat in its back colour (white, or light grey while
// unavailable), as the text boxes beside it, not with the style's button face.
class DimensionList final : public QComboBox {
public:
    using QComboBox::QComboBox;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QStylePainter painter(this);
        QStyleOptionComboBox option;
        initStyleOption(&option);
        painter.fillRect(rect(), palette().color(QPalette::Base));
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        QStyleOption arrow = option;
        arrow.rect = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, this);
        painter.drawPrimitive(QStyle::PE_IndicatorArrowDown, arrow);
        painter.drawControl(QStyle::CE_ComboBoxLabel, option);
    }
};

void SetAvailable(QWidget* control, bool available)
{
    control->setEnabled(available);
    Design::SetBackColor(control, available ? kEnabledBack : kDisabledBack);
}

} // namespace

SettingsPage::SettingsPage(QWidget* parent)
    : QWidget(parent)
{
    Build();
    Wire();
}

void SettingsPage::Build()
{
    QWidget* page = this;
    Label3 = Design::Label(
        page,
        QCoreApplication::translate("FrmGif",
                                    "You may enter parameters for all frames here, and you may also "
                                    "change each frame's properties in \"Frame Properties\" tabbed window."),
        300, 240, Arial9(), kInstructionColor);
    Label3->setWordWrap(true);
    Design::Place(Label3, 300, 240, 7995, 450);

    const QFont settingFont = Design::Font(QStringLiteral("Verdana"), 9.75);
    const QFont captionFont = Design::Font(QStringLiteral("Arial"), 9.75);
    const QFont dialogFont = Design::Font(QString(), 0);

    LabX[5] = Design::Label(page, QCoreApplication::translate("FrmGif", "Play time every frame"), 300, 1080,
                            captionFont, kSettingColor);
    txtMS = NumberField(page, "txtMS", QStringLiteral("1000"), 5, 2940, 1080);
    Label2 = Design::Label(page, QCoreApplication::translate("FrmGif", "Milli Seconds ( from 100 to 30000 )"), 4020,
                           1140, dialogFont, Design::SystemWindowText());

    LabX[0] = Design::Label(page, QCoreApplication::translate("FrmGif", "Loop times when play"), 300, 1500, captionFont,
                            kSettingColor);
    txtLoop = NumberField(page, "txtLoop", QStringLiteral("0"), 4, 2940, 1500);
    Label4 = Design::Label(
        page, QCoreApplication::translate("FrmGif", "( from 0 to 9999, and 0 stands for loop infinitely )"), 4020, 1560,
        dialogFont, Design::SystemWindowText());

    LabX[1] = Design::Label(page, QCoreApplication::translate("FrmGif", "Output GIF Dimensions"), 300, 1980,
                            captionFont, kSettingColor);
    chkSelect = FlatCheckBox(page, "chkSelect",
                             QCoreApplication::translate("FrmGif", "Select from original pictures dimensions"),
                             settingFont, kSettingColor, 2940, 2040, 4335, 195);
    cboDim = new DimensionList(page);
    cboDim->setObjectName(QStringLiteral("cboDim"));
    cboDim->setEditable(false);
    Design::Place(cboDim, 7440, 1980, 2235, 315);
    chkCustom =
        FlatCheckBox(page, "chkCustom", QCoreApplication::translate("FrmGif", "Or enter your own dimensions values"),
                     settingFont, kSettingColor, 2940, 2460, 4275, 195);
    txtW = NumberField(page, "txtW", QStringLiteral("0"), 4, 7440, 2460);
    Label5 = Design::Label(page, QCoreApplication::translate("FrmGif", "X"), 8490, 2460,
                           Design::Font(QStringLiteral("Arial"), 11.25), Design::SystemWindowText());
    // The only opaque label of the pages.
    Design::SetBackColor(Label5, Design::SystemWindowBackground());
    txtH = NumberField(page, "txtH", QStringLiteral("0"), 4, 8700, 2460);

    LabX[2] = Design::Label(page, QCoreApplication::translate("FrmGif", "Transparent Color"), 300, 3120, captionFont,
                            kSettingColor);
    chkTrans = FlatCheckBox(page, "chkTrans", QCoreApplication::translate("FrmGif", "YES"),
                            Design::Font(QStringLiteral("Verdana"), 9.75, true), Rgb(255, 0, 0), 2940, 3120, 1275, 255);
    Design::SetBackColor(chkTrans, Rgb(255, 255, 255));
    LabXX = Design::Label(
        page,
        QCoreApplication::translate("FrmGif", "Double click the below rectangle to select a color as transparent:"),
        2940, 3600, settingFont, Rgb(88, 133, 199));
    LabXX->setWordWrap(true);
    Design::Place(LabXX, 2940, 3600, 4350, 480);

    // The number fields and the size list have no caption of their own to read out.
    txtMS->setAccessibleName(LabX[5]->text());
    txtLoop->setAccessibleName(LabX[0]->text());
    cboDim->setAccessibleName(QCoreApplication::translate("FrmGif", "Original pictures dimensions"));
    txtW->setAccessibleName(QCoreApplication::translate("FrmGif", "Output GIF width"));
    txtH->setAccessibleName(QCoreApplication::translate("FrmGif", "Output GIF height"));

    picColor = new ColorBox(page);
    picColor->setObjectName(QStringLiteral("picColor"));
    picColor->SetBorder(true);
    picColor->SetBackColor(Design::SystemWindowBackground());
    Design::Place(picColor, 2940, 4200, 1755, 795);

    // Every control carries its design name, the captions too.
    Label3->setObjectName(QStringLiteral("Label3"));
    Label2->setObjectName(QStringLiteral("Label2"));
    Label4->setObjectName(QStringLiteral("Label4"));
    Label5->setObjectName(QStringLiteral("Label5"));
    LabXX->setObjectName(QStringLiteral("LabXX"));
    for (std::size_t i : {0, 1, 2, 5})
        LabX[i]->setObjectName(QStringLiteral("LabX(%1)").arg(i));
}

void SettingsPage::Wire()
{
    for (QLineEdit* field : {txtMS, txtLoop, txtW, txtH})
        NumericKeyFilter::InstallOn(field);
    // A box's click runs whenever its value changes, also when the other
    // box's handler clears it.
    connect(chkSelect, &QCheckBox::toggled, this, [this] { chkSelect_Click(); });
    connect(chkCustom, &QCheckBox::toggled, this, [this] { chkCustom_Click(); });
    connect(cboDim, &QComboBox::activated, this, [this] { cboDim_Click(); });
    connect(picColor, &ColorBox::clicked, this, [this] { picColor_Click(); });

    txtMS->setToolTip(ShortDelays::PlayTimeNote());
}

void SettingsPage::chkSelect_Click()
{
    if (chkSelect->isChecked())
        chkCustom->setChecked(false);
    UpdateDimensionControls();
}

void SettingsPage::chkCustom_Click()
{
    if (chkCustom->isChecked())
        chkSelect->setChecked(false);
    UpdateDimensionControls();
}

void SettingsPage::UpdateDimensionControls()
{
    SetAvailable(cboDim, chkSelect->isChecked());
    SetAvailable(txtW, chkCustom->isChecked());
    SetAvailable(txtH, chkCustom->isChecked());
}

void SettingsPage::cboDim_Click()
{
    const std::optional<SizeTexts> halves = SplitSizeText(cboDim->currentText());
    if (!halves)
        return;
    txtW->setText(halves->width);
    txtH->setText(halves->height);
}

void SettingsPage::picColor_Click()
{
    Dialogs::ColorRequest request;
    request.title = QCoreApplication::translate("FrmGif", "Select a Transparent color");
    request.initial = picColor->BackColor();
    if (const std::optional<ColorValue> picked = Dialogs::PickColor(window(), request))
        picColor->SetBackColor(*picked);
}

void SettingsPage::SetSizeList(const QList<QSize>& sizes)
{
    {
        // The selection below runs cboDim_Click exactly once, as a user's
        // choice would, whatever the box reports while it is rebuilt.
        const QSignalBlocker quiet(cboDim);
        cboDim->clear();
        for (const QSize& size : sizes)
            if (!IsDimensionListed(SizeText(size)))
                cboDim->addItem(SizeText(size));
        if (cboDim->count() > 0)
            cboDim->setCurrentIndex(0);
    }
    if (cboDim->count() > 0)
        cboDim_Click();
}

bool SettingsPage::IsDimensionListed(const QString& dimensions) const
{
    return cboDim->findText(dimensions, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0;
}

FrameRow SettingsPage::DefaultFrameRow(const QString& fileName) const
{
    return {fileName, PlayTime::FromText(txtMS->text()), chkTrans->isChecked(), picColor->BackColor()};
}

QString SettingsPage::WidthText() const { return txtW->text(); }

QString SettingsPage::HeightText() const { return txtH->text(); }

QString SettingsPage::LoopText() const { return txtLoop->text(); }

void SettingsPage::TrimLoopText() { txtLoop->setText(txtLoop->text().trimmed()); }
