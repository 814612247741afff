// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

namespace imaging {

// Scales a 32-bit picture (RGBA8888 or RGBX8888) to exactly width x height
// with a separable Lanczos-3 filter, widened by the scale factor when
// shrinking so that every source pixel contributes (area-correct). Alpha is
// premultiplied for the filtering. The filter and its support are those of
// Pillow's Image.resize(LANCZOS); the arithmetic is that of Pillow-SIMD:
// 14-bit fixed-point weights, horizontal pass first, 8-bit between the
// passes, SSE2 where available. Runs on the calling thread only: callers
// convert whole frames in parallel, and a second level of threads inside a
// frame only adds hand-overs. A null result means out of memory.
QImage ResampleLanczos(const QImage& image, int width, int height);

} // namespace imaging
