// SPDX-License-Identifier: GPL-3.0-or-later
// The window's side of step 1: what the picture page's signals do to the other
// steps, and the document as the other steps read it.
#include "app/FrmGif.h"

#include "lists/DocumentModel.h"
#include "lists/PicturesPage.h"
#include "settings/FramesPage.h"
#include "settings/SettingsPage.h"

#include <QPushButton>

void FrmGif::WirePictures()
{
    lstPic = pictures_->lstPic;
    connect(pictures_, &PicturesPage::ListChanging, this, [this] { StopPreview(); });
    connect(pictures_, &PicturesPage::EngineReleaseRequested, this, [this] {
        wp.LoadFile(QString());
        wp.Clear();
    });
    connect(pictures_, &PicturesPage::PreviewRequested, this, [this] { ShowPicturePreview(); });
    connect(pictures_, &PicturesPage::SizeListChanged, settings_, &SettingsPage::SetSizeList);
    connect(pictures_, &PicturesPage::CountChanged, this, [this](int count) {
        const bool canPlay = count > 1;
        cmdGo->setEnabled(canPlay);
        cmdCreateGIF->setEnabled(canPlay);
        cmdStop->setEnabled(canPlay);
        Frames().SetCommandsEnabled(count > 0);
        imgcmdGo->TakePictureOf(canPlay ? *imgGoEn : *imgGoDis);
        imgcmdStop->TakePictureOf(canPlay ? *imgStopEn : *imgStopDis);
    });
}

int FrmGif::PictureCount() const { return Doc().Rows().Count(); }

QString FrmGif::PicturePath(qint32 position) const { return Doc().Rows().PicturePath(position); }

std::optional<qint32> FrmGif::FramePlayTime(qint32 position) const
{
    const FrameRow* row = Doc().Rows().Frame(position);
    if (!row)
        return 500;
    return row->playTime.ms;
}
