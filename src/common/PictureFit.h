// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QRgb>
#include <QSize>

// How a picture of another shape meets the output size.
struct PictureFit {
    enum class Mode {
        Stretch, // scaled to exactly the output size; proportions change (the window's way)
        Contain, // scaled to fit inside, centred, the rest padded
        Cover,   // scaled to fill, the overflow cropped equally on both sides
    };
    Mode mode = Mode::Stretch;
    QRgb background = 0; // padding of Contain; alpha 0 is transparent
};

// Where the scaled picture lies inside the box for Contain: the largest size
// of the picture's proportions that fits (each side rounded half to even, at
// least 1), centred (a leftover odd pixel goes right and below).
QRect ContainPlace(QSize picture, QSize box);
// The part of the picture that Cover keeps: the largest centred rectangle of
// the box's proportions.
QRect CoverCrop(QSize picture, QSize box);
