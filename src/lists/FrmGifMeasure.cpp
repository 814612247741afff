// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FrmGif.h"

#include "imaging/PicSize.h"

QString FrmGif::GetPicSize(const QString& path)
{
    // Whatever the engine held is dropped first; measuring reads the header only.
    wp.LoadFile(QString());
    wp.Clear();
    return ::GetPicSize(path);
}
