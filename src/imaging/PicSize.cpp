// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/PicSize.h"

#include "imaging/PictureReader.h"

#include <QSize>

QString GetPicSize(const QString& path)
{
    if (path.size() < 4)
        return {};
    QSize size;
    QString ignored;
    if (!imaging::MeasurePicture(path, &size, &ignored))
        return {};
    if (size.width() < 5 && size.height() < 5)
        return {};
    return QStringLiteral("%1 x %2").arg(size.width()).arg(size.height());
}
