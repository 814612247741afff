// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Colors.h"

#include <QtGlobal>

class FrmGif;

// The hand-drawn tab strip of the main window: five tabs with a blue outline
// and a vertical colour ramp, drawn pixel by pixel on picTab's own surface.
namespace ModTab {

inline qint32 TabLeft = 10;
inline qint32 TabTop = 10;
inline qint32 StripWidth = 0;
inline qint32 StripHeight = 0;
inline qint32 TabWidth = 0;
inline qint32 TabHeight = 25;
inline qint32 TabCount = 5;
inline qint32 CurrentTab = 0;
inline ColorValue TabFillTop = 0;
inline ColorValue TabFillBottom = 0;
inline ColorValue TabFillSelected = 0;
inline ColorValue TabLineColor = 0;
inline ColorValue CaptionNormalColor = 0;
inline ColorValue CaptionSelectedColor = 0;

void InitTabs(FrmGif& form);
void DrawTab(FrmGif& form, qint32 index, bool selected);
void FillTabGradient(FrmGif& form, qint32 x1, qint32 y1, qint32 x2, qint32 y2, ColorValue topColor,
                     ColorValue bottomColor, bool selected);

qint32 RedOf(qint64 color);
qint32 GreenOf(qint64 color);
qint32 BlueOf(qint64 color);

// The tab under a release at (x, y) of picTab, or -1 when the point is on no tab.
qint32 TabAt(double x, double y);

} // namespace ModTab
