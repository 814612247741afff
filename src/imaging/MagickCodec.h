// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/OutputSize.h"
#include "imaging/ImagingResult.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

namespace imaging {

struct FormatChoice;
struct PictureEnds;

// ImageMagick with an explicit coder (never guessed from the data), on the
// file's bytes (never its name, which ImageMagick would interpret). Only the
// first picture of a file is read (for PSD the flattened composite), turned
// as its stored orientation says. Every Magick++ exception is caught and
// becomes the failure's message.

// Vector pictures (WMF) are rendered to fit `fit`, or at most the largest output size.
inline constexpr int kMaxVectorSide = OutputSize::kMaximum;

// RGBA8888, or RGBX8888 when the picture has no alpha channel, in sRGB: the
// file's ICC profile is applied, or `profile` when ImageMagick finds none.
Result MagickDecode(const uchar* data, qint64 size, const QByteArray& coder, QImage* image, QSize fit = {},
                    const QByteArray& profile = {});

// The size MagickDecode would give (turned upright), from the header alone:
// no pixel is decoded, so the data's completeness is not checked.
Result MagickMeasure(const uchar* data, qint64 size, const QByteArray& coder, QSize* result);

// The picture codec's entries for a format ImageMagick decodes (see
// codecs/PictureCodec.h). Where the format's codec judges completeness from
// the header, a complete file is measured without decoding and a cut one is
// refused by all three alike; other files are decoded to be measured.
std::optional<Result> MagickCodecMeasureEnds(const PictureEnds& file, const FormatChoice& format, QSize* size);
Result MagickCodecMeasure(const uchar* d, qint64 n, const FormatChoice& format, QSize* size);
Result MagickCodecDecode(const uchar* d, qint64 n, const FormatChoice& format, QSize box, QImage* image);

} // namespace imaging
