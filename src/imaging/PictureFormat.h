// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace imaging {

// Which decoder reads a file. Chosen from the file's first bytes where the
// format has a signature, else from the extension; only the coders listed in
// PictureFormat.cpp are ever handed to ImageMagick.
enum class Codec {
    Unknown,   // not a picture format we read
    NoDecoder, // a known format without a decoder on this system (EMF, PSP)
    Jpeg,      // libjpeg-turbo, EXIF orientation applied
    Png,       // Qt
    Gif,       // giflib, first frame on its logical screen
    Bmp,       // Qt, ImageMagick for the variants Qt does not read
    Ico,       // largest entry, PNG entries through Qt, the others ImageMagick
    Webp,      // libwebp, the first frame of an animation on its canvas
    Tiff,      // ImageMagick; complete files are measured without their pixels
    Psd,       // ImageMagick, the flattened composite; the same
    Pnm,       // ImageMagick (PBM, PGM, PPM and the others); the same for binary files
    Tga,       // ImageMagick; the same
    Sgi,       // ImageMagick; the same
    Magick,    // ImageMagick with an explicit coder
};

struct FormatChoice {
    Codec codec = Codec::Unknown;
    QByteArray coder; // ImageMagick coder name for the formats it decodes (and the Bmp fallback)
    QString name;     // for messages: "PNG", "TGA", "EMF" ...
};

FormatChoice ChooseFormat(const uchar* data, qint64 size, const QString& path);

// Whether a file's first bytes or its name are those of a picture format
// (one we decode or not). A readable file that is none may be a video;
// a file that cannot be read counts as named.
bool NamesPictureFormat(const QString& path);

} // namespace imaging
