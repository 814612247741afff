// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Colors.h"

#include <QtGlobal>

#include <array>

class ClickLabel;
class PixelSurface;
class QWidget;

// The hand-drawn tab strip of the main window: five tabs with a blue outline
// and a vertical colour ramp, drawn pixel by pixel on picTab's own surface.
namespace ModTab {

inline constexpr int TabCount = 5;

// The strip of one window: its measures and state, the surface it is drawn on,
// the captions over the tabs and the page under each.
struct TabStrip {
    qint32 TabLeft = 10;
    qint32 TabTop = 10;
    qint32 StripWidth = 0;
    qint32 StripHeight = 0;
    qint32 TabWidth = 0;
    qint32 TabHeight = 25;
    qint32 CurrentTab = 0;
    ColorValue TabFillTop = 0;
    ColorValue TabFillBottom = 0;
    ColorValue TabFillSelected = 0;
    ColorValue TabLineColor = 0;
    ColorValue CaptionNormalColor = 0;
    ColorValue CaptionSelectedColor = 0;

    PixelSurface* Surface = nullptr;
    std::array<ClickLabel*, TabCount> Captions{};
    std::array<QWidget*, TabCount> Pages{};
};

// Measures the strip on its surface, draws it with step 1 selected, and
// places and names the captions and the pages.
void InitTabs(TabStrip& strip);
// Draws tab `index`; the selected one opens into its page, whose caption turns
// bold and red while the other pages hide.
void DrawTab(const TabStrip& strip, qint32 index, bool selected);
void FillTabGradient(const TabStrip& strip, qint32 x1, qint32 y1, qint32 x2, qint32 y2, ColorValue topColor,
                     ColorValue bottomColor, bool selected);
// The current tab drawn unselected, then `index` selected and current.
void SelectTab(TabStrip& strip, qint32 index);

qint32 RedOf(qint64 color);
qint32 GreenOf(qint64 color);
qint32 BlueOf(qint64 color);

// The tab under a release at (x, y) of picTab, or -1 when the point is on no tab.
qint32 TabAt(const TabStrip& strip, double x, double y);

} // namespace ModTab
