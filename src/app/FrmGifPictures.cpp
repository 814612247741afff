// SPDX-License-Identifier: GPL-3.0-or-later
// The window's side of step 1: what the picture page's signals do to the other
// steps, and the document as the other steps read it.
#include "app/FrmGif.h"

#include "lists/PicturesPage.h"
#include "preview/PreviewPage.h"
#include "production/ui/CreatePage.h"
#include "settings/FramesPage.h"
#include "settings/SettingsPage.h"
#include "ui/DocumentModel.h"

void FrmGif::WirePictures()
{
    connect(pictures_, &PicturesPage::ListChanging, this, [this] { Preview().StopPreview(); });
    connect(pictures_, &PicturesPage::PreviewRequested, this, [this] { ShowPicturePreview(); });
    connect(pictures_, &PicturesPage::SizeListChanged, settings_, &SettingsPage::SetSizeList);
    connect(pictures_, &PicturesPage::CountChanged, this, [this](int count) {
        Preview().SetCommandsEnabled(count > 1);
        Create().SetCommandsEnabled(count > 1);
        Frames().SetCommandsEnabled(count > 0);
    });
}

int FrmGif::PictureCount() const { return Doc().Rows().Count(); }

QString FrmGif::PicturePath(qint32 position) const { return Doc().Rows().PicturePath(position); }

std::optional<qint32> FrmGif::FramePlayTime(qint32 position) const { return Doc().Rows().FramePlayTime(position); }
