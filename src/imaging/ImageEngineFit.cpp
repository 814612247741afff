// SPDX-License-Identifier: GPL-3.0-or-later
// ImageEngine::Fit: the output size reached without changing proportions.
#include "imaging/ImageEngine.h"

#include <QCoreApplication>
#include <QPainter>

bool ImageEngine::Fit(int width, int height, const PictureFit& fit)
{
    if (fit.mode == PictureFit::Mode::Stretch || picture_.isNull())
        return Resize(width, height, false);
    const QSize box(width, height);
    if (fit.mode == PictureFit::Mode::Cover) {
        picture_ = picture_.copy(CoverCrop(picture_.size(), box));
        return Resize(width, height, false);
    }
    const QRect place = ContainPlace(picture_.size(), box);
    if (!Resize(place.width(), place.height(), false))
        return false;
    QImage canvas(box, QImage::Format_ARGB32);
    if (canvas.isNull()) {
        lastError_ =
            QCoreApplication::translate("ImageEngine", "not enough memory to pad to %1 x %2").arg(width).arg(height);
        return false;
    }
    canvas.fill(QColor::fromRgba(fit.background));
    QPainter painter(&canvas);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(place.topLeft(), picture_);
    painter.end();
    picture_ = std::move(canvas);
    return true;
}
