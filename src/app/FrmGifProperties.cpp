// SPDX-License-Identifier: GPL-3.0-or-later
// The frame properties dialog, opened for step 3: the window hands it the
// frame's values and writes back what it returns.
#include "app/FrmGif.h"

#include "settings/FramesPage.h"
#include "settings/FrmProp.h"
#include "ui/Dialogs.h"
#include "ui/DocumentModel.h"

namespace {
// The frame row at a position as the properties dialog shows it.
FrmProp::Frame FrameForProperties(const DocumentModel& document, qint32 position)
{
    const FrameRow* row = document.Rows().Frame(position);
    if (!row)
        return {};
    return {
        position, FrmGif::tr("Frame %1").arg(position), row->name, {row->playTime.text, row->transparent, row->color}};
}

void ApplyToFrame(DocumentModel& document, qint32 position, const FrmProp::Properties& properties)
{
    if (!document.Rows().Frame(position))
        return;
    document.SetPlayTime(position, PlayTime::FromText(properties.playTime));
    // Flag, tick or cross and colour together; the colour also when not transparent.
    document.SetTransparency(position, properties.transparent, properties.color);
}
} // namespace

void FrmGif::WireFrameProperties()
{
    connect(frames_, &FramesPage::PropertiesRequested, this, [this] {
        const qint32 position = SelectedFramePosition();
        FrmProp dialog(this, FrameForProperties(Doc(), position));
        connect(&dialog, &FrmProp::appliedToAllFrames, this, [this](const FrmProp::Properties& properties) {
            for (int i = 1; i <= PictureCount(); ++i)
                ApplyToFrame(Doc(), i, properties);
        });
        if (Dialogs::Exec(dialog) == QDialog::Accepted)
            ApplyToFrame(Doc(), position, dialog.Edited());
    });
}

qint32 FrmGif::SelectedFramePosition() const { return Frames().SelectedFramePosition(); }
