// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointF>
#include <QSize>
#include <QString>

#include <optional>

// Geometry and captions of the animation preview: pure, no widgets.
namespace PreviewLayout {

inline constexpr qint32 kMaxWidth = 600;
inline constexpr qint32 kMaxHeight = 300;
// Play time given to a frame whose play-time text is not a whole number:
// the same value the frame list reports for a frame it does not have.
inline constexpr qint32 kFallbackPlayTime = 500;

// The box every frame is shown in: the output size shrunk into 600 x 300,
// width first, then height; never enlarged.
QSize FitBox(qint32 width, qint32 height);

// Top-left corner that centres a box in an inner area; may end in .5.
QPointF CentreIn(QSize inner, QSize box);

// "33% Loading ..." after picture i of n; a share that rounds to 0 shows "%".
QString LoadingCaption(qint32 done, qint32 total);

// "Loop Times: 2   Play Time: 500 MS    Frame: 1".
QString PlaybackCaption(qint32 loops, qint32 playTime, qint32 frame);

// Play time a frame is shown with: a text that is not a whole number gets the
// fallback.
inline qint32 PlayTimeOrFallback(std::optional<qint32> playTime) { return playTime.value_or(kFallbackPlayTime); }

} // namespace PreviewLayout
