// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "imaging/ImagingResult.h"
#include "imaging/PictureCompleteness.h"
#include "imaging/PictureFormat.h"

#include <QImage>
#include <QSize>

#include <optional>

namespace imaging {

// A file's start and end, for measuring a large file without reading it whole.
struct PictureEnds {
    const uchar* head = nullptr;
    qint64 headSize = 0;
    const uchar* tail = nullptr; // the file's last bytes
    qint64 tailSize = 0;
    qint64 fileSize = 0;
};

// What the picture reader asks of a format. Each format has one in its file
// under codecs/, where measuring and decoding share one header parser, so
// the size measured is the size decoded (upright, the picture that is shown).
struct PictureCodec {
    // The upright size from the file's two ends, its data proved complete. No
    // answer (or none given) sends the reader to the whole file. May be null.
    std::optional<Result> (*measureEnds)(const PictureEnds& file, const FormatChoice& format, QSize* size);
    // The same from the whole file; formats whose structure cannot prove the
    // data complete decode it.
    Result (*measure)(const uchar* d, qint64 n, const FormatChoice& format, QSize* size);
    // RGBA8888 (RGBX8888 without alpha), upright and in sRGB. `box`, when
    // given, is the size the picture will be shown at: a format that can
    // decode smaller does so, never below the box.
    Result (*decode)(const uchar* d, qint64 n, const FormatChoice& format, QSize box, QImage* image);
    // For formats whose header fixes where their data ends: whether it is all
    // there, from the header alone (`d` holds what was read). May be null.
    Completeness (*completeness)(const uchar* d, FileExtent file);
};

// The codec of a format we read; null for Codec::Unknown and Codec::NoDecoder.
const PictureCodec* CodecOf(Codec codec);

// The codecs, each defined beside its format.
extern const PictureCodec kJpegCodec;
extern const PictureCodec kPngCodec;
extern const PictureCodec kGifCodec;
extern const PictureCodec kBmpCodec;
extern const PictureCodec kIcoCodec;
extern const PictureCodec kWebpCodec;
extern const PictureCodec kTiffCodec;
extern const PictureCodec kPsdCodec;
extern const PictureCodec kPnmCodec;
extern const PictureCodec kTgaCodec;
extern const PictureCodec kSgiCodec;
extern const PictureCodec kMagickCodec;

// A measure that decodes: for formats whose data only decoding proves.
Result MeasureByDecoding(const PictureCodec& codec, const uchar* d, qint64 n, const FormatChoice& format, QSize* size);

} // namespace imaging
