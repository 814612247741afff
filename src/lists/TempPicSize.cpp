// SPDX-License-Identifier: GPL-3.0-or-later
// Stand-in picture measuring for the lists until the imaging engine's
// measuring is merged; the window's GetPicSize then forwards to it.
#include "app/FrmGif.h"

#include <QImageReader>

QString FrmGif::GetPicSize(const QString& path)
{
    if (path.size() < 4)
        return {};
    // The header says the size; decode only for formats that cannot tell it.
    QImageReader reader(path);
    QSize size = reader.size();
    if (!size.isValid()) {
        QImageReader decoder(path);
        size = decoder.read().size();
    }
    const int w = size.width();
    const int h = size.height();
    if (w < 5 && h < 5)
        return {};
    return QStringLiteral("%1 x %2").arg(w).arg(h);
}
