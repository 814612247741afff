// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/PicSize.h"

#include "common/SizeText.h"
#include "imaging/PictureReader.h"

#include <QCoreApplication>
#include <QSize>

QString GetPicSize(const QString& path, QString* reason)
{
    QString ignored;
    QString& why = reason ? *reason : ignored;
    if (path.size() < 4) {
        why = QCoreApplication::translate("PicSize", "the path is too short");
        return {};
    }
    QSize size;
    if (const imaging::Result measured = imaging::MeasurePicture(path, &size); !measured) {
        why = measured.Message();
        return {};
    }
    if (size.width() < 5 && size.height() < 5) {
        why = QCoreApplication::translate("PicSize", "the picture is too small (%1 x %2)")
                  .arg(size.width())
                  .arg(size.height());
        return {};
    }
    return SizeText(size);
}
