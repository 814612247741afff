// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/PictureFormat.h"

#include "imaging/PictureFile.h"
#include "imaging/codecs/BmpCodec.h"
#include "imaging/codecs/GifCodec.h"
#include "imaging/codecs/HeifCodec.h"
#include "imaging/codecs/IcoCodec.h"
#include "imaging/codecs/Jpeg2000Codec.h"
#include "imaging/codecs/JpegCodec.h"
#include "imaging/codecs/MetafileCodec.h"
#include "imaging/codecs/PcxCodec.h"
#include "imaging/codecs/PhotoCdCodec.h"
#include "imaging/codecs/PngCodec.h"
#include "imaging/codecs/PnmCodec.h"
#include "imaging/codecs/PsdCodec.h"
#include "imaging/codecs/PspCodec.h"
#include "imaging/codecs/SgiCodec.h"
#include "imaging/codecs/TiffCodec.h"
#include "imaging/codecs/UtahRleCodec.h"
#include "imaging/codecs/WebpCodec.h"

#include <QFileInfo>

namespace imaging {
namespace {

FormatChoice Make(Codec codec, const char* coder, const char* name)
{
    FormatChoice c;
    c.codec = codec;
    c.coder = coder ? QByteArray(coder) : QByteArray();
    c.name = QString::fromLatin1(name);
    return c;
}

// Formats with a signature that nothing else shares: decided by content,
// whatever the extension says.
bool StrongSignature(const uchar* d, qint64 n, FormatChoice* out)
{
    if (IsJpeg(d, n)) {
        *out = Make(Codec::Jpeg, nullptr, "JPEG");
        return true;
    }
    if (IsPng(d, n)) {
        *out = Make(Codec::Png, nullptr, "PNG");
        return true;
    }
    if (IsGif(d, n)) {
        *out = Make(Codec::Gif, nullptr, "GIF");
        return true;
    }
    if (IsBmp(d, n)) {
        *out = Make(Codec::Bmp, "BMP", "BMP");
        return true;
    }
    if (IsTiff(d, n)) {
        *out = Make(Codec::Tiff, "TIFF", "TIFF");
        return true;
    }
    if (IsWebp(d, n)) {
        *out = Make(Codec::Webp, nullptr, "WebP");
        return true;
    }
    if (const Jpeg2000Kind kind = Jpeg2000Signature(d, n); kind != Jpeg2000Kind::None) {
        *out = Make(Codec::Magick, kind == Jpeg2000Kind::File ? "JP2" : "J2K", "JPEG 2000");
        return true;
    }
    if (const HeifKind kind = HeifSignature(d, n); kind != HeifKind::None) {
        *out = kind == HeifKind::Avif ? Make(Codec::Magick, "AVIF", "AVIF") : Make(Codec::Magick, "HEIC", "HEIC");
        return true;
    }
    if (IsPsd(d, n)) {
        *out = Make(Codec::Psd, "PSD", "PSD");
        return true;
    }
    if (IsPhotoCd(d, n)) {
        *out = Make(Codec::Magick, "PCD", "PCD");
        return true;
    }
    if (IsPlaceableWmf(d, n)) {
        *out = Make(Codec::Magick, "WMF", "WMF");
        return true;
    }
    if (IsEmf(d, n)) {
        *out = Make(Codec::NoDecoder, nullptr, "EMF");
        return true;
    }
    if (IsPsp(d, n)) {
        *out = Make(Codec::NoDecoder, nullptr, "PSP");
        return true;
    }
    // (Type 2, the cursor, starts like many TGA files: see ByExtension.)
    if (IsIcon(d, n)) {
        *out = Make(Codec::Ico, "ICO", "ICO");
        return true;
    }
    return false;
}

// Formats without a signature (or with a weak one) named by their extension.
bool ByExtension(const QString& suffix, FormatChoice* out)
{
    struct Entry {
        const char* ext;
        Codec codec;
        const char* coder;
        const char* name;
    };
    static const Entry table[] = {
        {"TGA", Codec::Tga, "TGA", "TGA"},         {"ICB", Codec::Tga, "TGA", "ICB"},
        {"VDA", Codec::Tga, "TGA", "VDA"},         {"VST", Codec::Tga, "TGA", "VST"},
        {"WBMP", Codec::Magick, "WBMP", "WBMP"},   {"DIB", Codec::Magick, "DIB", "DIB"},
        {"PCX", Codec::Magick, "PCX", "PCX"},      {"PBM", Codec::Pnm, "PNM", "PBM"},
        {"PGM", Codec::Pnm, "PNM", "PGM"},         {"PPM", Codec::Pnm, "PNM", "PPM"},
        {"PNM", Codec::Pnm, "PNM", "PNM"},         {"SGI", Codec::Sgi, "SGI", "SGI"},
        {"RLE", Codec::Magick, "RLE", "RLE"},      {"PCD", Codec::Magick, "PCD", "PCD"},
        {"WMF", Codec::Magick, "WMF", "WMF"},      {"CUR", Codec::Ico, "ICO", "CUR"},
        {"ICO", Codec::Ico, "ICO", "ICO"},         {"EMF", Codec::NoDecoder, nullptr, "EMF"},
        {"PSP", Codec::NoDecoder, nullptr, "PSP"}, {"PSPIMAGE", Codec::NoDecoder, nullptr, "PSP"},
    };
    const QByteArray ext = suffix.toUpper().toLatin1();
    for (const Entry& e : table) {
        if (ext == e.ext) {
            *out = Make(e.codec, e.coder, e.name);
            return true;
        }
    }
    return false;
}

// Signatures too weak to trust over an extension (a TGA may start like a PCX).
bool WeakSignature(const uchar* d, qint64 n, FormatChoice* out)
{
    if (IsSgi(d, n)) {
        *out = Make(Codec::Sgi, "SGI", "SGI");
        return true;
    }
    if (IsUtahRle(d, n)) {
        *out = Make(Codec::Magick, "RLE", "RLE");
        return true;
    }
    if (IsPcx(d, n)) {
        *out = Make(Codec::Magick, "PCX", "PCX");
        return true;
    }
    if (IsPnm(d, n)) {
        *out = Make(Codec::Pnm, "PNM", "PNM");
        return true;
    }
    if (IsStandardWmf(d, n)) {
        *out = Make(Codec::Magick, "WMF", "WMF");
        return true;
    }
    return false;
}

} // namespace

FormatChoice ChooseFormat(const uchar* data, qint64 size, const QString& path)
{
    FormatChoice choice;
    if (StrongSignature(data, size, &choice))
        return choice;
    if (ByExtension(QFileInfo(path).suffix(), &choice))
        return choice;
    if (WeakSignature(data, size, &choice))
        return choice;
    return choice; // Unknown
}

bool NamesPictureFormat(const QString& path)
{
    // Far enough for every signature (Photo CD's lies furthest in).
    constexpr qint64 kSignatureBytes = 4096;
    static_assert(kSignatureBytes >= kPhotoCdSignatureAt + 7);
    QByteArray head;
    QByteArray tail;
    if (!ReadPictureFileEnds(path, kSignatureBytes, 0, &head, &tail))
        return true; // not a file that can be read: nothing else to try either
    return ChooseFormat(reinterpret_cast<const uchar*>(head.constData()), head.size(), path).codec != Codec::Unknown;
}

} // namespace imaging
