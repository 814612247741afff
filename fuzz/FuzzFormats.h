// SPDX-License-Identifier: GPL-3.0-or-later
// The extensions the picture target writes its input under: the first input
// byte picks one (formats without a signature are chosen by their extension).
#pragma once

#include <iterator>

namespace fuzzing {

// WMF is left out: a few bytes can ask for a drawing of ~100 megapixels that
// takes many seconds to render, which would stall every run.
inline const char* const kExtensions[] = {"png", "jpg", "gif", "bmp", "ico",  "cur",  "tif",  "psd", "pcd",
                                          "tga", "icb", "vda", "vst", "wbmp", "dib",  "pcx",  "pbm", "pgm",
                                          "ppm", "pnm", "sgi", "rle", "webp", "heic", "avif", "jp2", "j2k"};
inline constexpr int kExtensionCount = int(std::size(kExtensions));

} // namespace fuzzing
