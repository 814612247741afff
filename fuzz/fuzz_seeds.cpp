// SPDX-License-Identifier: GPL-3.0-or-later
// Writes small valid files of every format the reader takes, so that fuzzing
// starts past every header check: the seed corpora of the fuzz targets in
// FOLDER/picture, FOLDER/gif and FOLDER/animation, and the plain files (WMF
// too) in FOLDER/files.
// Usage: fuzz_seeds FOLDER
#include "FuzzFormats.h"

#include "imaging/ImageEngine.h"
#include "imaging/ImagingRuntime.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>

#include <Magick++.h>
#include <lcms2.h>

#include <cstdio>
#include <cstring>
#include <list>

namespace {

Magick::Image Picture(int width, int height, bool alpha)
{
    std::vector<uint8_t> rgba;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            rgba.insert(rgba.end(),
                        {uint8_t(x * 20), uint8_t(y * 30), uint8_t(200 - x * y), uint8_t(alpha && x == y ? 0 : 255)});
    Magick::Image image(size_t(width), size_t(height), "RGBA", Magick::CharPixel, rgba.data());
    if (!alpha)
        image.matte(false);
    return image;
}

QByteArray Encoded(Magick::Image image, const char* coder)
{
    Magick::Blob blob;
    image.magick(coder);
    image.write(&blob);
    return QByteArray(static_cast<const char*>(blob.data()), qsizetype(blob.length()));
}

QByteArray EncodedList(std::list<Magick::Image> images, const char* coder)
{
    for (Magick::Image& image : images)
        image.magick(coder);
    Magick::Blob blob;
    Magick::writeImages(images.begin(), images.end(), &blob, true);
    return QByteArray(static_cast<const char*>(blob.data()), qsizetype(blob.length()));
}

// A Utah RLE picture: ImageMagick reads the format but cannot write it.
QByteArray UtahRle(int width, int height)
{
    QByteArray rle("\x52\xCC", 2);
    auto put16 = [&rle](int v) { rle.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF)); };
    put16(0), put16(0), put16(width), put16(height);
    rle.append("\x02\x03\x08\x00\x00\x00", 6); // flags, 3 planes of 8 bits, no colour map, background
    for (int y = 0; y < height; ++y) {
        for (int plane = 0; plane < 3; ++plane)
            rle.append(char(2))
                .append(char(plane))
                .append(char(6))
                .append(char(width - 1))
                .append(char(40 * y + plane))
                .append(char(0));
        rle.append(char(1)).append(char(1)); // next line
    }
    return rle.append(char(7));
}

// A placeable metafile, 1 x 0.5 inch, with a red rectangle: ImageMagick
// reads metafiles but cannot write them.
QByteArray Metafile()
{
    QByteArray wmf("\xD7\xCD\xC6\x9A", 4);
    auto put16 = [&wmf](int v) { wmf.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF)); };
    auto put32 = [&put16](int v) { put16(v & 0xFFFF), put16((v >> 16) & 0xFFFF); };
    put16(0), put16(0), put16(0), put16(1440), put16(720), put16(1440), put32(0);
    quint16 sum = 0;
    for (int i = 0; i < 20; i += 2)
        sum ^= quint16(uchar(wmf[i]) | uchar(wmf[i + 1]) << 8);
    put16(sum);
    // Records: size in words, function, parameters.
    const std::vector<std::vector<int>> records = {
        {5, 0x020B, 0, 0}, {5, 0x020C, 720, 1440},           {7, 0x02FC, 0, 0x00FF, 0, 0},
        {4, 0x012D, 0},    {7, 0x041B, 600, 1200, 100, 200}, {3, 0x0000}};
    int words = 9;
    for (const auto& r : records)
        words += r[0];
    put16(1), put16(9), put16(0x0300), put32(words), put16(1), put32(7), put16(0);
    for (const auto& r : records) {
        put32(r[0]);
        for (size_t k = 1; k < r.size(); ++k)
            put16(r[k]);
    }
    return wmf;
}

// PNG chunks, for what ImageMagick does not write: APNG, eXIf.
quint32 Crc32(const QByteArray& bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : bytes) {
        crc ^= uchar(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray Be32(quint32 v)
{
    return QByteArray(1, char(v >> 24)).append(char(v >> 16)).append(char(v >> 8)).append(char(v));
}

QByteArray Chunk(const char* type, const QByteArray& data)
{
    const QByteArray body = QByteArray(type, 4) + data;
    return Be32(quint32(data.size())) + body + Be32(Crc32(body));
}

// The chunks of a PNG file, type and data, in order.
std::vector<std::pair<QByteArray, QByteArray>> Chunks(const QByteArray& png)
{
    std::vector<std::pair<QByteArray, QByteArray>> chunks;
    for (qsizetype at = 8; at + 12 <= png.size();) {
        const qsizetype length = qsizetype(quint32(uchar(png[at])) << 24 | quint32(uchar(png[at + 1])) << 16
                                           | quint32(uchar(png[at + 2])) << 8 | uchar(png[at + 3]));
        chunks.emplace_back(png.mid(at + 4, 4), png.mid(at + 8, length));
        at += 12 + length;
    }
    return chunks;
}

QByteArray FrameControl(quint32 sequence, int width, int height, int x, int y, int dispose, int blend)
{
    return Be32(sequence) + Be32(quint32(width)) + Be32(quint32(height)) + Be32(quint32(x)) + Be32(quint32(y))
        + QByteArray("\x00\x64\x00\x64", 4) /* 100/100 s */ + QByteArray(1, char(dispose)) + QByteArray(1, char(blend));
}

// Two frames: the whole canvas, then a smaller one blended over it.
QByteArray Apng(const Magick::Image& first, const Magick::Image& second)
{
    const auto a = Chunks(Encoded(first, "PNG32")), b = Chunks(Encoded(second, "PNG32"));
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    png += Chunk("IHDR", a.front().second) + Chunk("acTL", Be32(2) + Be32(0));
    png += Chunk("fcTL", FrameControl(0, int(first.columns()), int(first.rows()), 0, 0, 1, 0));
    for (const auto& [type, data] : a)
        if (type == "IDAT")
            png += Chunk("IDAT", data);
    png += Chunk("fcTL", FrameControl(1, int(second.columns()), int(second.rows()), 2, 1, 0, 1));
    quint32 sequence = 2;
    for (const auto& [type, data] : b)
        if (type == "IDAT")
            png += Chunk("fdAT", Be32(sequence++) + data);
    return png + Chunk("IEND", {});
}

// An sRGB profile, as LittleCMS writes it.
QByteArray IccProfile()
{
    cmsHPROFILE profile = cmsCreate_sRGBProfile();
    cmsUInt32Number size = 0;
    QByteArray bytes;
    if (profile && cmsSaveProfileToMem(profile, nullptr, &size)) {
        bytes.resize(qsizetype(size));
        if (!cmsSaveProfileToMem(profile, bytes.data(), &size))
            bytes.clear();
    }
    if (profile)
        cmsCloseProfile(profile);
    return bytes;
}

// A PNG with an iCCP profile and an eXIf orientation (turned a quarter).
QByteArray PngWithProfileAndExif(const Magick::Image& image, const QByteArray& icc)
{
    const QByteArray exif =
        QByteArray("MM\x00\x2a\x00\x00\x00\x08\x00\x01\x01\x12\x00\x03\x00\x00\x00\x01\x00\x06\x00\x00"
                   "\x00\x00\x00\x00",
                   26);
    const QByteArray compressed = qCompress(icc).mid(4); // a zlib stream after Qt's length
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    for (const auto& [type, data] : Chunks(Encoded(image, "PNG32"))) {
        if (type == "IDAT" && !png.contains("eXIf"))
            png += Chunk("iCCP", QByteArray("sRGB\0\0", 6) + compressed) + Chunk("eXIf", exif);
        if (type != "iCCP" && type != "sRGB" && type != "gAMA" && type != "cHRM")
            png += Chunk(type.constData(), data);
    }
    return png;
}

int Failures = 0;

void Write(const QString& folder, const QString& name, const QByteArray& bytes)
{
    QDir().mkpath(folder);
    QFile file(QDir(folder).filePath(name));
    if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "fuzz_seeds: cannot write %s\n", qPrintable(file.fileName()));
        ++Failures;
    }
}

QString Root;

// A picture seed (the extension's index, then the file), and the plain file.
void WritePicture(const char* extension, const QByteArray& bytes, const char* variant = "")
{
    const QString name = QStringLiteral("%1%2").arg(QLatin1String(extension), QLatin1String(variant));
    Write(QDir(Root).filePath(QStringLiteral("files")), name + QStringLiteral(".") + QLatin1String(extension), bytes);
    if (std::strcmp(extension, "wmf") == 0)
        return;
    for (int i = 0; i < fuzzing::kExtensionCount; ++i)
        if (std::strcmp(fuzzing::kExtensions[i], extension) == 0)
            return Write(QDir(Root).filePath(QStringLiteral("picture")), name + QStringLiteral(".seed"),
                         QByteArray(1, char(i)) + bytes);
    std::fprintf(stderr, "fuzz_seeds: no extension %s\n", extension);
    ++Failures;
}

// A frame as the creation run writes it.
QByteArray EngineFrame(const QString& folder)
{
    const QString png = QDir(folder).filePath(QStringLiteral("engine.png"));
    const QString gif = QDir(folder).filePath(QStringLiteral("engine.gif"));
    QImage image(10, 6, QImage::Format_RGBA8888);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x)
            image.setPixel(x, y, qRgba(x * 25, y * 40, 128, x == 2 * y ? 0 : 255));
    ImageEngine engine;
    QByteArray bytes;
    if (image.save(png, "PNG") && engine.LoadFile(png) && engine.SaveFile(gif)) {
        QFile file(gif);
        if (file.open(QIODevice::ReadOnly))
            bytes = file.readAll();
    }
    QFile::remove(png);
    QFile::remove(gif);
    return bytes;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds FOLDER\n");
        return 2;
    }
    imaging::EnsureImagingRuntime();
    Root = QFile::decodeName(argv[1]);
    const QString gifs = QDir(Root).filePath(QStringLiteral("gif"));
    try {
        const Magick::Image rgb = Picture(12, 8, false), rgba = Picture(12, 8, true);
        const QByteArray tga = Encoded(rgba, "TGA"), ico = Encoded(rgba, "ICO");
        WritePicture("png", Encoded(rgba, "PNG"));
        WritePicture("jpg", Encoded(rgb, "JPEG"));
        WritePicture("gif", Encoded(rgba, "GIF"));
        WritePicture("bmp", Encoded(rgb, "BMP3"));
        WritePicture("bmp", Encoded(rgba, "BMP"), "-alpha");
        WritePicture("ico", ico);
        WritePicture("ico", EncodedList({Picture(16, 16, true), Picture(32, 32, true)}, "ICO"), "-two");
        WritePicture("cur", ico);
        WritePicture("tif", Encoded(rgba, "TIFF"));
        WritePicture("psd", EncodedList({rgba, Picture(6, 4, true)}, "PSD"));
        WritePicture("pcd", Encoded(rgb, "PCD"));
        for (const char* extension : {"tga", "icb", "vda", "vst"})
            WritePicture(extension, tga);
        WritePicture("wbmp", Encoded(rgb, "WBMP"));
        WritePicture("dib", Encoded(rgb, "DIB"));
        WritePicture("pcx", Encoded(rgb, "PCX"));
        WritePicture("pbm", Encoded(rgb, "PBM"));
        WritePicture("pgm", Encoded(rgb, "PGM"));
        WritePicture("ppm", Encoded(rgb, "PPM"));
        WritePicture("pnm", Encoded(rgb, "PAM"));
        WritePicture("sgi", Encoded(rgba, "SGI"));
        WritePicture("rle", UtahRle(6, 5));
        WritePicture("wmf", Metafile());
        WritePicture("webp", Encoded(rgba, "WEBP"));
        // The animation target's seeds: the extension's index (gif, png, webp), then the file.
        const QString animations = QDir(Root).filePath(QStringLiteral("animation"));
        const QByteArray animatedGif = EncodedList({Picture(12, 8, true), Picture(12, 8, false)}, "GIF");
        const QByteArray apng = Apng(Picture(12, 8, true), Picture(7, 5, false));
        const QByteArray animatedWebp = EncodedList({Picture(12, 8, true), Picture(12, 8, false)}, "WEBP");
        WritePicture("gif", animatedGif, "-animated");
        WritePicture("png", apng, "-apng");
        WritePicture("webp", animatedWebp, "-animated");
        Write(animations, QStringLiteral("gif.seed"), QByteArray(1, '\0') + animatedGif);
        Write(animations, QStringLiteral("apng.seed"), QByteArray(1, '\1') + apng);
        Write(animations, QStringLiteral("webp.seed"), QByteArray(1, '\2') + animatedWebp);
        WritePicture("heic", Encoded(rgb, "HEIC"));
        WritePicture("avif", Encoded(rgb, "AVIF"));
        WritePicture("jp2", Encoded(rgb, "JP2"));
        WritePicture("j2k", Encoded(rgb, "J2K"));
        const QByteArray icc = IccProfile();
        WritePicture("png", PngWithProfileAndExif(rgba, icc), "-iccp-exif");
        Magick::Image profiled = rgb;
        profiled.profile("ICC", Magick::Blob(icc.constData(), size_t(icc.size())));
        WritePicture("jpg", Encoded(profiled, "JPEG"), "-icc");

        Write(gifs, QStringLiteral("frame.gif"), EngineFrame(Root));
        Write(gifs, QStringLiteral("magick.gif"), Encoded(rgba, "GIF"));
        Write(gifs, QStringLiteral("old.gif"), Encoded(rgb, "GIF87"));
        Magick::Image interlaced = rgb;
        interlaced.interlaceType(Magick::LineInterlace);
        Write(gifs, QStringLiteral("interlaced.gif"), Encoded(interlaced, "GIF"));
        std::list<Magick::Image> frames = {Picture(12, 8, true), Picture(7, 5, false)};
        frames.back().page(Magick::Geometry(7, 5, 3, 2));
        Write(gifs, QStringLiteral("animation.gif"), EncodedList(frames, "GIF"));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "fuzz_seeds: %s\n", e.what());
        return 1;
    }
    return Failures == 0 ? 0 : 1;
}
