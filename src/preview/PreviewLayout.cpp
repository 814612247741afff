// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/PreviewLayout.h"

#include "common/FitBox.h"
#include "common/Rounding.h"

#include <QCoreApplication>

namespace PreviewLayout {

QSize FitBox(qint32 width, qint32 height) { return FitInto(width, height, kMaxWidth, kMaxHeight); }

QPointF CentreIn(QSize inner, QSize box)
{
    // Single precision, as the frame elements keep their places.
    const float left = static_cast<float>(inner.width() - box.width()) / 2.0f;
    const float top = static_cast<float>(inner.height() - box.height()) / 2.0f;
    return {left, top};
}

QString LoadingCaption(qint32 done, qint32 total)
{
    // Digit placeholders only: no leading zero, so 0 % is the percent sign alone.
    // An exact half (12.5 % of eight) goes to the even neighbour.
    const double percent = total > 0 ? double(done) * 100.0 / double(total) : 0.0;
    const std::int64_t whole = RoundHalfEven(percent);
    const QString digits = whole == 0 ? QString() : QString::number(whole);
    return QCoreApplication::translate("PreviewLayout", "%1% Loading ...").arg(digits);
}

QString PlaybackCaption(qint32 loops, qint32 playTime, qint32 frame)
{
    return QCoreApplication::translate("PreviewLayout", "Loop Times: %1   Play Time: %2 MS    Frame: %3")
        .arg(loops)
        .arg(playTime)
        .arg(frame);
}

} // namespace PreviewLayout
