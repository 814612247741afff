// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Colors.h"

#include <QtGlobal>

class FrmGif;

// The hand-drawn tab strip of the main window: five tabs with a blue outline
// and a vertical colour ramp, drawn pixel by pixel on picTab's own surface.
namespace ModTab {

// The strip's measures and state, one per window.
struct TabStrip {
    qint32 TabLeft = 10;
    qint32 TabTop = 10;
    qint32 StripWidth = 0;
    qint32 StripHeight = 0;
    qint32 TabWidth = 0;
    qint32 TabHeight = 25;
    qint32 TabCount = 5;
    qint32 CurrentTab = 0;
    ColorValue TabFillTop = 0;
    ColorValue TabFillBottom = 0;
    ColorValue TabFillSelected = 0;
    ColorValue TabLineColor = 0;
    ColorValue CaptionNormalColor = 0;
    ColorValue CaptionSelectedColor = 0;
};

void InitTabs(FrmGif& form);
void DrawTab(FrmGif& form, qint32 index, bool selected);
void FillTabGradient(FrmGif& form, qint32 x1, qint32 y1, qint32 x2, qint32 y2, ColorValue topColor,
                     ColorValue bottomColor, bool selected);

qint32 RedOf(qint64 color);
qint32 GreenOf(qint64 color);
qint32 BlueOf(qint64 color);

// The tab under a release at (x, y) of picTab, or -1 when the point is on no tab.
qint32 TabAt(const TabStrip& strip, double x, double y);

} // namespace ModTab
