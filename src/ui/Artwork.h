// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

// The program's own pictures, drawn as SVG under resources/art/ and rendered
// once each at the exact pixel size the window design gives them.
namespace Artwork {

struct Entry {
    const char* name; // resources/art/<name>.svg
    int width;
    int height;
};

// Every picture the program uses, with its size in pixels.
const std::initializer_list<Entry>& Catalogue();
QSize SizeOf(const QString& name);

// Renders resources/art/<name>.svg at its catalogue size (cached).
QPixmap Picture(const QString& name);
QImage PictureImage(const QString& name);

QIcon WindowIcon();
// 32 x 32 pointing hand, hot spot (12, 5).
QCursor HandCursor();

} // namespace Artwork
