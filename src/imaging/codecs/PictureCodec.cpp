// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/codecs/PictureCodec.h"

namespace imaging {

const PictureCodec* CodecOf(Codec codec)
{
    switch (codec) {
    case Codec::Jpeg:
        return &kJpegCodec;
    case Codec::Png:
        return &kPngCodec;
    case Codec::Gif:
        return &kGifCodec;
    case Codec::Bmp:
        return &kBmpCodec;
    case Codec::Ico:
        return &kIcoCodec;
    case Codec::Webp:
        return &kWebpCodec;
    case Codec::Tiff:
        return &kTiffCodec;
    case Codec::Psd:
        return &kPsdCodec;
    case Codec::Pnm:
        return &kPnmCodec;
    case Codec::Tga:
        return &kTgaCodec;
    case Codec::Sgi:
        return &kSgiCodec;
    case Codec::Magick:
        return &kMagickCodec;
    case Codec::Unknown:
    case Codec::NoDecoder:
        break;
    }
    return nullptr;
}

Result MeasureByDecoding(const PictureCodec& codec, const uchar* d, qint64 n, const FormatChoice& format, QSize* size)
{
    QImage decoded;
    Result decodedResult = codec.decode(d, n, format, {}, &decoded);
    if (decodedResult)
        *size = decoded.size();
    return decodedResult;
}

} // namespace imaging
