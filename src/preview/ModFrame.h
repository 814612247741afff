// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

// Playback counters of the animation preview; they live for the whole run.
namespace ModFrame {

// The pass on show, from 1; every Go starts it again at 1.
inline qint32 PreviewLoops = 0;
// The frame on show (1-based, as the frame list counts).
inline qint32 PreviewFrame = 0;

} // namespace ModFrame
