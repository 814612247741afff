// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Colors.h"
#include "document/PlayTime.h"

#include <QSize>
#include <QString>

// One picture of the document as the picture list shows it.
struct PictureRow {
    QString name; // without its folder
    QString typeText;
    QSize size;
    QString folder; // keeps a trailing separator only at a root ("C:\", "/")

    QString Path() const;
};

// The same picture as the frame list shows it. The label "Frame n" is its
// position and is not stored.
struct FrameRow {
    QString name;
    PlayTime playTime;
    bool transparent = false;
    ColorValue color = 0;
};
