// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/PictureFit.h"

#include "common/Rounding.h"

#include <QtGlobal>

namespace {

// side * numerator / denominator in double precision, rounded, at least 1.
int Scaled(int side, int numerator, int denominator)
{
    return int(qMax<std::int64_t>(1, RoundHalfEven(double(side) * numerator / denominator)));
}

// The largest rectangle of shape's proportions inside area, centred in it.
QRect CentredFit(QSize shape, QSize area)
{
    QSize inner = area;
    if (qint64(shape.width()) * area.height() > qint64(shape.height()) * area.width())
        inner.setHeight(qMin(area.height(), Scaled(shape.height(), area.width(), shape.width())));
    else
        inner.setWidth(qMin(area.width(), Scaled(shape.width(), area.height(), shape.height())));
    return {QPoint((area.width() - inner.width()) / 2, (area.height() - inner.height()) / 2), inner};
}

} // namespace

QRect ContainPlace(QSize picture, QSize box) { return CentredFit(picture, box); }

QRect CoverCrop(QSize picture, QSize box) { return CentredFit(box, picture); }
