// SPDX-License-Identifier: GPL-3.0-or-later
// Step 2 (overall settings) and the way into the frame properties dialog.
#include "app/FrmGif.h"

#include "app/Dialogs.h"
#include "app/DoubleClickHook.h"
#include "app/Messages.h"
#include "lists/ListRows.h"
#include "common/OutputSize.h"
#include "production/CreationRules.h"
#include "settings/FrmProp.h"
#include "settings/NumericKeyFilter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTreeView>

namespace {
constexpr ColorValue kEnabledBack = Rgb(255, 255, 255);
constexpr ColorValue kDisabledBack = Rgb(238, 238, 238);

void SetAvailable(QWidget* control, bool available)
{
    control->setEnabled(available);
    Design::SetBackColor(control, available ? kEnabledBack : kDisabledBack);
}

} // namespace

void FrmGif::WireSettings()
{
    for (QLineEdit* field : { txtMS, txtLoop, txtW, txtH })
        NumericKeyFilter::InstallOn(field);
    // A box's click runs whenever its value changes, also when the other
    // box's handler clears it.
    connect(chkSelect, &QCheckBox::toggled, this, [this] { chkSelect_Click(); });
    connect(chkCustom, &QCheckBox::toggled, this, [this] { chkCustom_Click(); });
    connect(cboDim, &QComboBox::activated, this, [this] { cboDim_Click(); });
    connect(picColor, &ColorBox::clicked, this, [this] { picColor_Click(); });

    lstFrame->viewport()->installEventFilter(
        new DoubleClickHook(lstFrame->viewport(), [this] { lstFrame_DblClick(); }));
    connect(cmdProp, &QPushButton::clicked, this, [this] { cmdProp_Click(); });
    connect(imgcmdProp, &ImageControl::clicked, this, [this] { imgcmdProp_Click(); });
}

void FrmGif::chkSelect_Click()
{
    if (chkSelect->isChecked())
        chkCustom->setChecked(false);
    UpdateDimensionControls();
}

void FrmGif::chkCustom_Click()
{
    if (chkCustom->isChecked())
        chkSelect->setChecked(false);
    UpdateDimensionControls();
}

void FrmGif::UpdateDimensionControls()
{
    SetAvailable(cboDim, chkSelect->isChecked());
    SetAvailable(txtW, chkCustom->isChecked());
    SetAvailable(txtH, chkCustom->isChecked());
}

void FrmGif::cboDim_Click()
{
    const std::optional<CreationRules::SizeTexts> halves = CreationRules::SplitSizeText(cboDim->currentText());
    if (!halves)
        return;
    txtW->setText(halves->width);
    txtH->setText(halves->height);
}

void FrmGif::picColor_Click()
{
    Dialogs::ColorRequest request;
    request.title = QStringLiteral("Select a Transparent color");
    request.initial = picColor->BackColor();
    if (const std::optional<ColorValue> picked = Dialogs::PickColor(this, request))
        picColor->SetBackColor(*picked);
}

std::optional<QSize> FrmGif::CheckOutputSize()
{
    const OutputSize::Verdict verdict = OutputSize::Check(txtW->text(), txtH->text());
    if (!verdict.ok) {
        Messages::Error(this, verdict.message);
        return std::nullopt;
    }
    return QSize(verdict.width, verdict.height);
}

qint32 FrmGif::SelectedFramePosition() const
{
    if (PictureCount() == 0)
        return 0;
    // With rows but none selected the first frame is edited.
    const qint32 selected = SelectedRowPosition(lstFrame);
    return selected > 0 ? selected : 1;
}

void FrmGif::lstFrame_DblClick()
{
    if (PictureCount() < 1)
        return;
    FrmProp dialog(*this);
    Dialogs::Exec(dialog);
}

void FrmGif::cmdProp_Click()
{
    lstFrame_DblClick();
}

void FrmGif::imgcmdProp_Click()
{
    if (PictureCount() == 0) {
        Messages::Info(this, QStringLiteral("No files in list!"));
        return;
    }
    cmdProp_Click();
}
