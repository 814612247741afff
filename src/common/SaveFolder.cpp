// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/SaveFolder.h"

#include "common/FileNames.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

namespace SaveFolder {

QString StartFolder(const QString& programFolder)
{
    if (QFileInfo(programFolder).isDir() && ::access(FileNames::ToBytes(programFolder).constData(), W_OK) == 0)
        return programFolder;
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty() && QFileInfo(pictures).isDir())
        return pictures;
    return QDir::homePath();
}

} // namespace SaveFolder
