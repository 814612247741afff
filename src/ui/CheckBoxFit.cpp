// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CheckBoxFit.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QProxyStyle>
#include <QStyleOptionButton>

namespace {

// The desktop style, with the check box indicator no higher than the box.
class FittingStyle final : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        const int value = QProxyStyle::pixelMetric(metric, option, widget);
        if ((metric == PM_IndicatorWidth || metric == PM_IndicatorHeight) && widget)
            return qMin(value, widget->height());
        return value;
    }
};

QStyle* Style()
{
    // One for every box; the application deletes it at exit.
    static QStyle* style = [] {
        auto* s = new FittingStyle;
        s->setParent(qApp);
        return s;
    }();
    return style;
}

} // namespace

void FitCheckBox(QCheckBox* box)
{
    box->setStyle(Style());
    const QString caption = box->text();
    if (caption.isEmpty())
        return;
    QStyleOptionButton option;
    option.initFrom(box);
    option.text = caption;
    QFont font = box->font();
    // Shrinks by quarter points until the caption fits the contents' width.
    // A box lower than the font's line keeps the font: its letters fit, only
    // the line spacing above and below is cut, and the indicator shrinks.
    for (;;) {
        const QFontMetrics metrics(font);
        option.fontMetrics = metrics;
        const QRect room = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
        const bool fits = metrics.horizontalAdvance(caption) <= room.width();
        if (fits || font.pointSizeF() <= 6)
            break;
        font.setPointSizeF(font.pointSizeF() - 0.25);
    }
    box->setFont(font);
}
