// SPDX-License-Identifier: GPL-3.0-or-later
// Step 2 (overall settings) and the way into the frame properties dialog.
#include "app/FrmGif.h"

#include "app/Dialogs.h"
#include "app/DoubleClickHook.h"
#include "app/Messages.h"
#include "lists/ListRows.h"
#include "common/OutputSize.h"
#include "settings/FrmProp.h"
#include "settings/NumericKeyFilter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTreeWidget>

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
    const QString text = cboDim->currentText();
    if (!text.contains(QLatin1Char('x'), Qt::CaseSensitive))
        return;
    const QStringList pieces = text.split(QLatin1Char('x'), Qt::KeepEmptyParts, Qt::CaseSensitive);
    txtW->setText(pieces.at(0).trimmed());
    txtH->setText(pieces.at(1).trimmed());
}

void FrmGif::picColor_Click()
{
    Dialogs::ColorRequest request;
    request.title = tr("Select a Transparent color");
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
    if (lstFrame->topLevelItemCount() == 0)
        return 0;
    // With rows but none selected the first frame is edited.
    const qint32 selected = SelectedRowPosition(lstFrame);
    return selected > 0 ? selected : 1;
}

namespace {
// The frame row at a position as the properties dialog shows it.
FrmProp::Frame FrameForProperties(const FrmGif& form, qint32 position)
{
    const QTreeWidgetItem* row = position >= 1 ? form.lstFrame->topLevelItem(position - 1) : nullptr;
    if (!row)
        return {};
    // Yes (in the user's language) in any case, with spaces around, counts as transparent.
    const bool transparent = row->text(FrameColumn::Transparent).trimmed().compare(FrmGif::tr("Yes"), Qt::CaseInsensitive) == 0;
    return { position, row->text(FrameColumn::Label), row->text(FrameColumn::Name),
        { row->text(FrameColumn::PlayTime), transparent, form.FrameColor(position) } };
}

// ApplyToFrame: the dialog's values into the frame row at a position.
void ApplyToFrame(FrmGif& form, qint32 position, const FrmProp::Properties& properties)
{
    QTreeWidgetItem* row = position >= 1 ? form.lstFrame->topLevelItem(position - 1) : nullptr;
    if (!row)
        return;
    row->setText(FrameColumn::PlayTime, properties.playTime);
    // Flag, tick or cross and colour together; the colour also when not transparent.
    form.SetFrameTransparency(position, properties.transparent, properties.color);
}
} // namespace

void FrmGif::lstFrame_DblClick()
{
    if (lstFrame->topLevelItemCount() < 1)
        return;
    const qint32 position = SelectedFramePosition();
    FrmProp dialog(this, FrameForProperties(*this, position));
    connect(&dialog, &FrmProp::appliedToAllFrames, this, [this](const FrmProp::Properties& properties) {
        for (int i = 1; i <= lstFrame->topLevelItemCount(); ++i)
            ApplyToFrame(*this, i, properties);
    });
    if (Dialogs::Exec(dialog) == QDialog::Accepted)
        ApplyToFrame(*this, position, dialog.Edited());
}

void FrmGif::cmdProp_Click()
{
    lstFrame_DblClick();
}

void FrmGif::imgcmdProp_Click()
{
    if (lstFrame->topLevelItemCount() == 0) {
        Messages::Info(this, tr("No files in list!"));
        return;
    }
    cmdProp_Click();
}
