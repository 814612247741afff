// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ModTab.h"

#include "app/FrmGif.h"
#include "common/Rounding.h"
#include "ui/Controls.h"

#include <QCoreApplication>
#include <QLabel>

#include <cmath>

namespace ModTab {
namespace {
const char* const kCaptions[TabCount] = {
    QT_TRANSLATE_NOOP("ModTab", "1. Add Pictures"), QT_TRANSLATE_NOOP("ModTab", "2. Overall Settings"),
    QT_TRANSLATE_NOOP("ModTab", "3. Frame Properties"), QT_TRANSLATE_NOOP("ModTab", "4. Preview GIF"),
    QT_TRANSLATE_NOOP("ModTab", "5. Create GIF Now!")};
}

qint32 RedOf(qint64 color) { return static_cast<qint32>(color % 256); }
qint32 GreenOf(qint64 color) { return static_cast<qint32>((color / 256) % 256); }
qint32 BlueOf(qint64 color) { return static_cast<qint32>(color / 65536); }

void InitTabs(TabStrip& t)
{
    PixelSurface& surface = *t.Surface;
    t.TabLeft = 10;
    t.TabTop = 10;
    t.StripWidth = static_cast<qint32>(RoundHalfEven(surface.ScaleWidth() - 2.0 * 10));
    t.StripHeight = static_cast<qint32>(RoundHalfEven(surface.ScaleHeight() - 2.0 * 10));
    t.TabWidth = static_cast<qint32>(RoundHalfEven(t.StripWidth / static_cast<double>(TabCount)));
    t.TabHeight = 25;

    t.TabFillTop = Rgb(245, 248, 252);
    t.TabFillBottom = Rgb(222, 231, 245);
    t.TabFillSelected = Rgb(255, 255, 255);
    t.TabLineColor = Rgb(0, 0, 255);
    t.CaptionNormalColor = Design::TextColor(t.Captions[0]);
    t.CaptionSelectedColor = Rgb(192, 0, 0);
    surface.SetDrawColor(t.TabLineColor);

    t.CurrentTab = 0;

    for (qint32 i = 1; i < TabCount; ++i)
        DrawTab(t, i, false);

    // The page frame; the tabs' base lines close its top.
    const qint32 right = t.TabLeft + TabCount * t.TabWidth;
    const qint32 bottom = t.TabTop + t.StripHeight;
    surface.Line(t.TabLeft, t.TabTop + t.TabHeight, t.TabLeft, bottom);
    surface.Line(t.TabLeft, bottom, right + 1, bottom);
    surface.Line(right, t.TabTop + t.TabHeight, right, bottom);

    for (int i = 0; i < TabCount; ++i)
        t.Captions[static_cast<std::size_t>(i)]->setText(QCoreApplication::translate("ModTab", kCaptions[i]));

    const QFont captionFont = t.Captions[0]->font();
    for (int i = 0; i < TabCount; ++i) {
        QWidget* page = t.Pages[static_cast<std::size_t>(i)];
        page->setGeometry(static_cast<int>(1.5 * t.TabLeft), static_cast<int>(1.5 * t.TabTop + t.TabHeight),
                          t.StripWidth - t.TabLeft, t.StripHeight - t.TabTop - t.TabHeight);

        QLabel* caption = t.Captions[static_cast<std::size_t>(i)];
        QFont font = caption->font();
        font.setFamilies(captionFont.families());
        font.setPointSizeF(captionFont.pointSizeF());
        font.setBold(false);
        caption->setFont(font);
        caption->adjustSize();
        // Positions are single precision; a half pixel falls to the left/top.
        const double left = t.TabLeft + i * t.TabWidth + (t.TabWidth - caption->width()) / 2.0;
        const double top = t.TabTop + (t.TabHeight - t.Captions[0]->height()) / 2.0;
        caption->move(static_cast<int>(std::floor(left)), static_cast<int>(std::floor(top)));
        caption->raise();
    }

    DrawTab(t, t.CurrentTab, true);
}

void DrawTab(const TabStrip& t, qint32 index, bool selected)
{
    PixelSurface& surface = *t.Surface;
    const qint32 x1 = t.TabLeft + index * t.TabWidth;
    const qint32 x2 = x1 + t.TabWidth;
    const qint32 y1 = t.TabTop;
    const qint32 y2 = t.TabTop + t.TabHeight;

    surface.Line(x1 + 2, y1, x2 - 1, y1);
    surface.Line(x1, y1 + 2, x1, y2);
    surface.Line(x2, y1 + 2, x2, y2);
    surface.PSet(x1 + 1, y1 + 1);
    surface.PSet(x2 - 1, y1 + 1);
    surface.Line(x1, y2, x2 + 1, y2);

    if (selected)
        FillTabGradient(t, x1, y1, x2, y2, t.TabFillSelected, t.TabFillSelected, true);
    else
        FillTabGradient(t, x1, y1, x2, y2, t.TabFillTop, t.TabFillBottom, false);

    for (qint32 i = 0; i < TabCount; ++i) {
        const bool current = i == index;
        t.Pages[static_cast<std::size_t>(i)]->setVisible(current);
        QLabel* caption = t.Captions[static_cast<std::size_t>(i)];
        QFont font = caption->font();
        font.setBold(current);
        caption->setFont(font);
        // A caption that turns bold grows to the right from its left edge.
        caption->adjustSize();
        Design::SetTextColor(caption, current ? t.CaptionSelectedColor : t.CaptionNormalColor);
    }
}

void FillTabGradient(const TabStrip& t, qint32 x1, qint32 y1, qint32 x2, qint32 y2, ColorValue topColor,
                     ColorValue bottomColor, bool selected)
{
    PixelSurface& surface = *t.Surface;
    const qint32 h = y2 - y1;
    const qint32 rows = h - 1 + (selected ? 1 : 0);
    const qint32 r1 = RedOf(topColor), g1 = GreenOf(topColor), b1 = BlueOf(topColor);
    const qint32 r2 = RedOf(bottomColor), g2 = GreenOf(bottomColor), b2 = BlueOf(bottomColor);
    auto ramp = [h](qint32 from, qint32 to, qint32 row) {
        return static_cast<int>(RoundHalfEven(from + static_cast<double>(to - from) / (h + 1) * row));
    };
    for (qint32 i = 1; i <= rows; ++i) {
        const ColorValue color = Rgb(ramp(r1, r2, i), ramp(g1, g2, i), ramp(b1, b2, i));
        if (i == 1)
            surface.Line(x1 + 2, y1 + 1, x2 - 1, y1 + 1, color);
        else
            surface.Line(x1 + 1, y1 + i, x2, y1 + i, color);
    }
}

qint32 TabAt(const TabStrip& t, double x, double y)
{
    if (!(t.TabTop < y && y < t.TabTop + t.TabHeight - 2))
        return -1;
    if (!(t.TabLeft < x && x < t.TabLeft + TabCount * t.TabWidth))
        return -1;
    return static_cast<qint32>((x - t.TabLeft) / t.TabWidth);
}

void SelectTab(TabStrip& t, qint32 index)
{
    DrawTab(t, t.CurrentTab, false);
    DrawTab(t, index, true);
    t.CurrentTab = index;
}

} // namespace ModTab

void FrmGif::LabCap_Click(int index) { ModTab::SelectTab(Tabs(), index); }

void FrmGif::picTab_MouseUp(Qt::MouseButton, QPointF pos)
{
    const qint32 k = ModTab::TabAt(Tabs(), pos.x(), pos.y());
    if (k >= 0)
        ModTab::SelectTab(Tabs(), k);
}
