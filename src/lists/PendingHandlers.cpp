// SPDX-License-Identifier: GPL-3.0-or-later
// Handlers of the settings and preview areas that the lists call, for linking
// until those areas are merged (their own definitions replace this file).
#include "app/FrmGif.h"

#include <QComboBox>
#include <QLineEdit>

void FrmGif::StopPreview()
{
    if (tmPlay->isActive())
        tmPlay->stop();
}

void FrmGif::cboDim_Click()
{
    const QString text = cboDim->currentText();
    if (!text.contains(QLatin1Char('x')))
        return;
    const QStringList pieces = text.split(QLatin1Char('x'));
    txtW->setText(pieces[0].trimmed());
    txtH->setText(pieces[1].trimmed());
}

// Placeholder until frmPreview exists: opens nothing.
void FrmGif::ShowPicturePreview() {}
