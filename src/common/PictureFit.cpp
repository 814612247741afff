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

// Whether the picture is wider than the box, proportionally.
bool Wider(QSize picture, QSize box)
{
    return qint64(picture.width()) * box.height() > qint64(picture.height()) * box.width();
}

} // namespace

QRect ContainPlace(QSize picture, QSize box)
{
    QSize inner = box;
    if (Wider(picture, box))
        inner.setHeight(qMin(box.height(), Scaled(picture.height(), box.width(), picture.width())));
    else
        inner.setWidth(qMin(box.width(), Scaled(picture.width(), box.height(), picture.height())));
    return {QPoint((box.width() - inner.width()) / 2, (box.height() - inner.height()) / 2), inner};
}

QRect CoverCrop(QSize picture, QSize box)
{
    QSize kept = picture;
    if (Wider(picture, box))
        kept.setWidth(qMin(picture.width(), Scaled(picture.height(), box.width(), box.height())));
    else
        kept.setHeight(qMin(picture.height(), Scaled(picture.width(), box.height(), box.width())));
    return {QPoint((picture.width() - kept.width()) / 2, (picture.height() - kept.height()) / 2), kept};
}
