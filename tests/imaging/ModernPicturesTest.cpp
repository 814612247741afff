// SPDX-License-Identifier: GPL-3.0-or-later
// Every format the program reads, written by other programs (PIL, libheif's
// encoder, ffmpeg): measured as it decodes, upright, in sRGB.
#include "ImagingTestSupport.h"

#include "imaging/ImageEngine.h"
#include "imaging/PicSize.h"
#include "imaging/PictureReader.h"
#include "imaging/codecs/Animation.h"

#include <QColorSpace>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTransform>
#include <QtEndian>

#include <gtest/gtest.h>
#include <lcms2.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

using namespace testing_imaging;

namespace {

// Runs a tool and says what went wrong when it fails.
::testing::AssertionResult Tool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return ::testing::AssertionFailure()
            << program.toStdString() << " failed: " << process.readAllStandardError().toStdString();
    return ::testing::AssertionSuccess();
}

// PIL saves the picture in `format` with an EXIF orientation (a TIFF tag for TIFF).
const char* const kPilWriter = R"(
import struct, sys
from PIL import Image
src, dst, fmt, orientation = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
im = Image.open(src).convert('RGB')
options = {}
if orientation != 1:
    if fmt == 'TIFF':
        options['tiffinfo'] = {274: orientation}
    else:
        exif = Image.Exif()
        exif[0x0112] = orientation
        options['exif'] = exif.tobytes()
if fmt in ('JPEG', 'WEBP'):
    options['quality'] = 95
if fmt == 'JPEG2000' and dst.endswith('.j2k'):
    options['no_jp2'] = True
if fmt == 'PGM':
    im, fmt = im.convert('L'), 'PPM'
if fmt == 'PBM':
    im, fmt = im.convert('1', dither=Image.Dither.NONE), 'PPM'
if fmt == 'TGA_RLE':
    fmt, options['compression'] = 'TGA', 'tga_rle'
# Two formats PIL does not write, simple enough to write here: WBMP (one bit
# a pixel, 1 white) and an uncompressed PSD (planar channels).
if fmt == 'WBMP':
    bits = im.convert('1', dither=Image.Dither.NONE)
    rows = b''.join(bytes(sum((bits.getpixel((x + k, y)) > 0) << (7 - k) for k in range(8) if x + k < im.width)
                          for x in range(0, im.width, 8)) for y in range(im.height))
    open(dst, 'wb').write(bytes([0, 0, im.width, im.height]) + rows)
    sys.exit()
if fmt == 'PSD':
    header = b'8BPS' + struct.pack('>H6xHIIHH', 1, 3, im.height, im.width, 8, 3) + bytes(12) + bytes(2)
    open(dst, 'wb').write(header + b''.join(band.tobytes() for band in im.split()))
    sys.exit()
# PIL writes SGI files uncompressed only: rows coded here in runs of a byte
# (three and more) and copies, bottom row first, with their offset tables.
if fmt == 'SGI_RLE':
    def packets(row):
        out, i = b'', 0
        while i < len(row):
            run = 1
            while i + run < len(row) and run < 127 and row[i + run] == row[i]:
                run += 1
            if run > 2:
                out, i = out + bytes([run, row[i]]), i + run
                continue
            j = i
            while j < len(row) and j - i < 127 and not (j + 2 < len(row) and row[j] == row[j + 1] == row[j + 2]):
                j += 1
            out, i = out + bytes([0x80 | (j - i)]) + row[i:j], j
        return out + b'\0'
    w, h = im.size
    rows = [packets(band.tobytes()[y * w:(y + 1) * w]) for band in im.split() for y in reversed(range(h))]
    starts = [512 + 8 * len(rows) + sum(map(len, rows[:i])) for i in range(len(rows))]
    header = struct.pack('>HBBHHHHII4x80sI', 474, 1, 1, 3, w, h, 3, 0, 255, b'', 0).ljust(512, b'\0')
    tables = struct.pack('>%dI' % len(rows), *starts) + struct.pack('>%dI' % len(rows), *map(len, rows))
    open(dst, 'wb').write(header + tables + b''.join(rows))
    sys.exit()
cursor = fmt == 'CUR'
if fmt in ('ICO', 'CUR'):
    # (PIL's BMP entries lack the padding of their mask rows.)
    fmt, options['sizes'] = 'ICO', [im.size]
im.save(dst, fmt, **options)
if cursor:
    with open(dst, 'r+b') as f:
        f.seek(2)
        f.write(b'\x02')
)";

// Adds a transform property of one byte to the primary picture of a HEIF file
// written by heif-enc, moving the file offsets behind it: irot (anticlockwise
// quarter turns) or imir (0 exchanges top and bottom, 1 left and right).
const char* const kHeifTransform = R"(
import struct, sys
src, dst, prop, value = sys.argv[1], sys.argv[2], sys.argv[3].encode(), int(sys.argv[4])
d = open(src, 'rb').read()
def children(b, start, end):
    out, at = [], start
    while at < end:
        size, kind = struct.unpack('>I4s', b[at:at + 8])
        out.append((kind, bytes(b[at:at + size])))
        at += size
    return out
def box(kind, body):
    return struct.pack('>I4s', 8 + len(body), kind) + body
top = children(d, 0, len(d))
meta_at = sum(len(b) for _, b in top[:[k for k, _ in top].index(b'meta')])
meta = dict(top)[b'meta']
parts = children(meta, 12, len(meta))
primary = struct.unpack('>H', dict(parts)[b'pitm'][12:14])[0]
grown = 0
for i, (kind, b) in enumerate(parts):
    if kind != b'iprp':
        continue
    props = dict(children(b, 8, len(b)))
    ipco = props[b'ipco']
    index = len(children(ipco, 8, len(ipco))) + 1
    ipco = box(b'ipco', ipco[8:] + box(prop, bytes([value])))
    ipma = bytearray(props[b'ipma'])
    wide = ipma[11] & 1
    at = 16
    for _ in range(struct.unpack('>I', ipma[12:16])[0]):
        n = ipma[at + 2]
        end = at + 3 + n * (2 if wide else 1)
        if struct.unpack('>H', ipma[at:at + 2])[0] == primary:
            ipma[at + 2] = n + 1
            ipma[end:end] = struct.pack('>H', 0x8000 | index) if wide else bytes([0x80 | index])
            break
        at = end
    ipma[0:4] = struct.pack('>I', len(ipma))
    parts[i] = (kind, box(b'iprp', ipco + bytes(ipma)))
    grown = len(parts[i][1]) - len(b)
for i, (kind, b) in enumerate(parts):
    if kind != b'iloc':
        continue
    b = bytearray(b)
    version, osz, lsz, bsz = b[8], b[12] >> 4, b[12] & 15, b[13] >> 4
    isz = b[13] & 15 if version else 0
    num = lambda at, n: int.from_bytes(b[at:at + n], 'big')
    wide = 4 if version == 2 else 2
    count, at = num(14, wide), 14 + wide
    for _ in range(count):
        at += wide
        method = num(at, 2) & 15 if version else 0
        at += 4 if version else 2
        base = at
        at += bsz
        extents = num(at, 2)
        at += 2
        for _ in range(extents):
            at += isz
            if method == 0 and bsz == 0:
                b[at:at + osz] = (num(at, osz) + grown).to_bytes(osz, 'big')
            at += osz + lsz
        if method == 0 and bsz:
            b[base:base + bsz] = (num(base, bsz) + grown).to_bytes(bsz, 'big')
    parts[i] = (kind, bytes(b))
body = meta[8:12] + b''.join(b for _, b in parts)
open(dst, 'wb').write(d[:meta_at] + box(b'meta', body) + d[meta_at + len(meta):])
)";

QString Python() { return QStringLiteral("/usr/bin/python3"); }

// The stored picture that orientation `o` turns into `upright`.
QImage Stored(const QImage& upright, int o)
{
    switch (o) {
    case 2:
        return upright.mirrored(true, false);
    case 4:
        return upright.mirrored(false, true);
    case 3:
        return upright.transformed(QTransform().rotate(180));
    case 6:
        return upright.transformed(QTransform().rotate(-90));
    case 8:
        return upright.transformed(QTransform().rotate(90));
    default:
        return upright;
    }
}

TEST(ModernPictures, EveryFormatMeasuresAsItDecodesUpright)
{
    Scratch scratch;
    struct Case {
        const char* file;
        const char* writer; // PIL format, or "heif-enc", "ffmpeg"
        int orientation;    // EXIF's; for HEIF the turn (or mirror) an irot (imir) box undoes
        double tolerance;   // mean difference from the pattern
        bool grey = false;
        bool blackAndWhite = false;
    };
    const Case cases[] = {
        {"a.png", "PNG", 1, 0},
        {"b.png", "PNG", 6, 0},
        {"c.png", "PNG", 3, 0},
        {"a.jpg", "JPEG", 1, 4},
        {"b.jpg", "JPEG", 6, 4},
        {"c.jpg", "JPEG", 8, 4},
        {"a.tif", "TIFF", 1, 0},
        {"b.tif", "TIFF", 6, 0},
        {"a.bmp", "BMP", 1, 0},
        {"a.gif", "GIF", 1, 8},
        {"a.ppm", "PPM", 1, 0},
        {"a.tga", "TGA", 1, 0},
        {"a.pcx", "PCX", 1, 0},
        {"a.sgi", "SGI", 1, 0},
        {"a.webp", "WEBP", 1, 4},
        {"b.webp", "WEBP", 6, 4},
        {"a.jp2", "JPEG2000", 1, 0},
        {"a.j2k", "JPEG2000", 1, 0},
        {"f.jp2", "ffmpeg", 1, 6},
        {"a.heic", "heif-enc", 1, 6},
        {"a.avif", "heif-enc", 1, 6},
        {"lossless.webp", "ffmpeg", 1, 0},
        {"r.heic", "heif-enc", 8, 6},
        {"s.avif", "heif-enc", 6, 6},
        {"a.ico", "ICO", 1, 0},
        {"a.cur", "CUR", 1, 0},
        {"a.dib", "DIB", 1, 0},
        {"a.vst", "TGA", 1, 0},
        {"a.pgm", "PGM", 1, 0, true},
        {"a.pbm", "PBM", 1, 0, false, true},
        {"a.wbmp", "WBMP", 1, 0, false, true},
        {"a.psd", "PSD", 1, 0},
        {"r.tga", "TGA_RLE", 1, 0},
        {"r.sgi", "SGI_RLE", 1, 0},
        {"m.heic", "heif-enc", 2, 6},
        {"n.heic", "heif-enc", 4, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        QImage upright = c.grey ? Pattern(48, 32).convertToFormat(QImage::Format_Grayscale8) : Pattern(48, 32);
        if (c.blackAndWhite)
            upright =
                upright.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither).convertToFormat(QImage::Format_RGB32);
        const QString source = scratch.Path(QStringLiteral("source%1.png").arg(c.orientation));
        ASSERT_TRUE(Stored(upright, c.orientation).save(source));
        const QString path = scratch.Path(QLatin1String(c.file));
        const QString writer = QLatin1String(c.writer);
        if (writer == QLatin1String("heif-enc") && c.orientation != 1) {
            // irot 1 turns a quarter anticlockwise (EXIF's 8), 3 three quarters
            // (6); imir 1 mirrors left and right (2), 0 top and bottom (4).
            const QString plain = path + QStringLiteral(".plain.") + QFileInfo(path).suffix();
            ASSERT_TRUE(Tool(QStringLiteral("heif-enc"),
                             {QStringLiteral("-q"), QStringLiteral("95"), source, QStringLiteral("-o"), plain}));
            const bool mirror = c.orientation == 2 || c.orientation == 4;
            const int value = mirror ? (c.orientation == 2 ? 1 : 0) : c.orientation == 8 ? 1 : 3;
            ASSERT_TRUE(Tool(Python(),
                             {QStringLiteral("-c"), QLatin1String(kHeifTransform), plain, path,
                              mirror ? QStringLiteral("imir") : QStringLiteral("irot"), QString::number(value)}));
        } else if (writer == QLatin1String("heif-enc"))
            ASSERT_TRUE(Tool(QStringLiteral("heif-enc"),
                             {QStringLiteral("-q"), QStringLiteral("95"), source, QStringLiteral("-o"), path}));
        else if (writer == QLatin1String("ffmpeg"))
            ASSERT_TRUE(Tool(QStringLiteral("ffmpeg"),
                             {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), source,
                              QStringLiteral("-pix_fmt"),
                              path.endsWith(QLatin1String(".webp")) ? QStringLiteral("bgra") : QStringLiteral("rgb24"),
                              QStringLiteral("-lossless"), QStringLiteral("1"), QStringLiteral("-y"), path}));
        else
            ASSERT_TRUE(Tool(Python(),
                             {QStringLiteral("-c"), QLatin1String(kPilWriter), source, path, writer,
                              QString::number(c.orientation)}));
        EXPECT_EQ(GetPicSize(path), QStringLiteral("48 x 32"));
        ImageEngine engine;
        ASSERT_TRUE(engine.LoadFile(path)) << engine.LastError().toStdString();
        EXPECT_EQ(engine.Picture().size(), upright.size());
        EXPECT_LE(MeanDifference(engine.Picture(), upright), c.tolerance);
        // Cut short, it is neither listed nor read.
        const QString cut = scratch.Path(QStringLiteral("cut_") + QLatin1String(c.file));
        const QByteArray bytes = ReadAll(path);
        ASSERT_TRUE(WriteAll(cut, bytes.left(bytes.size() * 3 / 4)));
        QString why;
        EXPECT_EQ(GetPicSize(cut, &why), QString());
        EXPECT_FALSE(why.isEmpty());
        EXPECT_FALSE(engine.LoadFile(cut));
    }
}

// Plain 8-bit RGB and RGBA PNGs (rows of every filter type, a density) and
// a chunk that sends the picture the longer way: every byte as PIL reads
// it, and a damaged one refused.
TEST(ModernPictures, PlainPngsReadByteForByteAsPilReadsThem)
{
    Scratch scratch;
    const char* const writer = R"(
import sys
from PIL import Image, PngImagePlugin
out = sys.argv[1]
w, h = 37, 23
for mode in ('RGB', 'RGBA'):
    im = Image.new(mode, (w, h))
    im.putdata([tuple((x * 7 + y * y * 3 + c * 50 + (x * y) % 11) & 255 for c in range(len(mode)))
                for y in range(h) for x in range(w)])
    text = PngImagePlugin.PngInfo()
    text.add_text('note', 'kept by Qt')
    for name, options in (('plain', {'dpi': (300, 300)}), ('text', {'pnginfo': text})):
        im.save('%s/%s-%s.png' % (out, mode, name), optimize=True, **options)
    open('%s/%s.rgba' % (out, mode), 'wb').write(im.convert('RGBA').tobytes())
)";
    ASSERT_TRUE(Tool(Python(), {QStringLiteral("-c"), QLatin1String(writer), scratch.Path(QString())}));
    for (const char* mode : {"RGB", "RGBA"}) {
        const QByteArray expected = ReadAll(scratch.Path(QLatin1String(mode) + QStringLiteral(".rgba")));
        ASSERT_EQ(expected.size(), 37 * 23 * 4);
        for (const char* name : {"plain", "text"}) {
            SCOPED_TRACE(std::string(mode) + "-" + name);
            const QString path =
                scratch.Path(QStringLiteral("%1-%2.png").arg(QLatin1String(mode), QLatin1String(name)));
            QImage shown;
            ASSERT_TRUE(imaging::DecodePicture(path, &shown, QSize()).Ok());
            ASSERT_EQ(shown.size(), QSize(37, 23));
            EXPECT_EQ(shown.format(),
                      std::strcmp(mode, "RGB") == 0 ? QImage::Format_RGBX8888 : QImage::Format_RGBA8888);
            QByteArray bytes;
            for (int y = 0; y < shown.height(); ++y)
                bytes.append(reinterpret_cast<const char*>(shown.constScanLine(y)), 37 * 4);
            EXPECT_TRUE(bytes == expected);
            if (std::strcmp(name, "plain") == 0) {
                EXPECT_EQ(shown.dotsPerMeterX(), 11811);
                EXPECT_EQ(shown.dotsPerMeterY(), 11811);
            }
        }
        // One byte of the image data changed: its checksum no longer holds.
        QByteArray damaged = ReadAll(scratch.Path(QLatin1String(mode) + QStringLiteral("-plain.png")));
        damaged[damaged.indexOf("IDAT") + 20] = char(damaged[damaged.indexOf("IDAT") + 20] ^ 0x10);
        const QString path = scratch.Path(QLatin1String(mode) + QStringLiteral("-damaged.png"));
        ASSERT_TRUE(WriteAll(path, damaged));
        QImage shown;
        EXPECT_FALSE(imaging::DecodePicture(path, &shown, QSize()).Ok()) << mode;
    }
}

// An eXIf chunk (orientation 6) put before the image data, or after it as
// the PNG extension allows. Browsers and ffmpeg only honour the first (PIL
// both): the second shows as stored. Measured as decoded either way.
TEST(ModernPictures, PngOrientationCountsBeforeTheImageDataOnly)
{
    Scratch scratch;
    const char* const insert = R"(
import struct, sys, zlib
src, dst, where = sys.argv[1], sys.argv[2], sys.argv[3]
d = open(src, 'rb').read()
tiff = b'II*\x00' + struct.pack('<IH', 8, 1) + struct.pack('<HHII', 0x112, 3, 1, 6) + struct.pack('<I', 0)
chunk = struct.pack('>I', len(tiff)) + b'eXIf' + tiff + struct.pack('>I', zlib.crc32(b'eXIf' + tiff))
at = 33 if where == 'before' else d.index(b'IEND') - 4
open(dst, 'wb').write(d[:at] + chunk + d[at:])
)";
    const QImage stored = Pattern(40, 20);
    const QString source = scratch.Path(QStringLiteral("stored.png"));
    ASSERT_TRUE(stored.save(source));
    for (const char* where : {"before", "after"}) {
        SCOPED_TRACE(where);
        const QString path = scratch.Path(QLatin1String(where) + QStringLiteral(".png"));
        ASSERT_TRUE(Tool(Python(), {QStringLiteral("-c"), QLatin1String(insert), source, path, QLatin1String(where)}));
        const QImage expected = std::strcmp(where, "before") == 0 ? Stored(stored, 8) : stored;
        EXPECT_EQ(GetPicSize(path), QStringLiteral("%1 x %2").arg(expected.width()).arg(expected.height()));
        ImageEngine engine;
        ASSERT_TRUE(engine.LoadFile(path)) << engine.LastError().toStdString();
        EXPECT_EQ(MeanDifference(engine.Picture(), expected), 0.0);
    }
}

// ---- colour profiles: what the colours should be in sRGB, worked out from the
// published primaries, white point and transfer curves.

struct Primaries {
    double rx, ry, gx, gy, bx, by;
};
constexpr double kWhiteX = 0.3127, kWhiteY = 0.3290; // D65, the white of all three spaces

using Matrix = std::array<std::array<double, 3>, 3>;

Matrix Inverse(const Matrix& m)
{
    const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1])
        - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) + m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    Matrix r{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            const int a = (j + 1) % 3, b = (j + 2) % 3, c = (i + 1) % 3, d = (i + 2) % 3;
            r[i][j] = (m[a][c] * m[b][d] - m[a][d] * m[b][c]) / det;
        }
    return r;
}

// RGB (linear) to XYZ, scaled so that white is Y = 1.
Matrix ToXyz(const Primaries& p)
{
    const Matrix xyz{{{p.rx / p.ry, p.gx / p.gy, p.bx / p.by},
                      {1, 1, 1},
                      {(1 - p.rx - p.ry) / p.ry, (1 - p.gx - p.gy) / p.gy, (1 - p.bx - p.by) / p.by}}};
    const Matrix inv = Inverse(xyz);
    const double white[3] = {kWhiteX / kWhiteY, 1, (1 - kWhiteX - kWhiteY) / kWhiteY};
    Matrix m{};
    for (int j = 0; j < 3; ++j) {
        const double s = inv[j][0] * white[0] + inv[j][1] * white[1] + inv[j][2] * white[2];
        for (int i = 0; i < 3; ++i)
            m[i][j] = xyz[i][j] * s;
    }
    return m;
}

double SrgbToLinear(double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); }
double LinearToSrgb(double v) { return v <= 0.0031308 ? v * 12.92 : 1.055 * std::pow(v, 1 / 2.4) - 0.055; }

// `rgb` of a space (primaries, decoding curve) as sRGB, clipped.
QRgb AsSrgb(QRgb rgb, const Primaries& p, double (*decode)(double))
{
    const Primaries srgb{0.64, 0.33, 0.30, 0.60, 0.15, 0.06};
    const Matrix from = ToXyz(p), to = Inverse(ToXyz(srgb));
    const double in[3] = {decode(qRed(rgb) / 255.0), decode(qGreen(rgb) / 255.0), decode(qBlue(rgb) / 255.0)};
    double xyz[3], out[3];
    for (int i = 0; i < 3; ++i)
        xyz[i] = from[i][0] * in[0] + from[i][1] * in[1] + from[i][2] * in[2];
    for (int i = 0; i < 3; ++i)
        out[i] =
            qRound(255 * LinearToSrgb(std::clamp(to[i][0] * xyz[0] + to[i][1] * xyz[1] + to[i][2] * xyz[2], 0.0, 1.0)));
    return qRgb(int(out[0]), int(out[1]), int(out[2]));
}

// Writes a Display P3 profile as LittleCMS makes it: D65 white, the P3
// primaries and the sRGB curve.
bool WriteLcmsDisplayP3(const QString& path)
{
    const cmsCIExyY white{kWhiteX, kWhiteY, 1.0};
    const cmsCIExyYTRIPLE primaries{{0.680, 0.320, 1.0}, {0.265, 0.690, 1.0}, {0.150, 0.060, 1.0}};
    const double srgbCurve[5] = {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045};
    cmsToneCurve* curve = cmsBuildParametricToneCurve(nullptr, 4, srgbCurve);
    cmsToneCurve* const curves[3] = {curve, curve, curve};
    cmsHPROFILE profile = curve ? cmsCreateRGBProfile(&white, &primaries, curves) : nullptr;
    const bool saved = profile && cmsSaveProfileToFile(profile, QFile::encodeName(path).constData());
    if (profile)
        cmsCloseProfile(profile);
    if (curve)
        cmsFreeToneCurve(curve);
    return saved;
}

TEST(ModernPictures, ColourProfilesAreTurnedIntoSrgb)
{
    Scratch scratch;
    const Primaries adobe{0.64, 0.33, 0.21, 0.71, 0.15, 0.06};
    const Primaries p3{0.680, 0.320, 0.265, 0.690, 0.150, 0.060};
    const auto adobeCurve = [](double v) { return std::pow(v, 563.0 / 256.0); };
    const auto gamma22 = [](double v) { return std::pow(v, 1 / 0.45455); };
    const QRgb colours[] = {qRgb(0, 255, 0),    qRgb(255, 0, 0),     qRgb(0, 0, 255),
                            qRgb(200, 100, 50), qRgb(128, 128, 128), qRgb(40, 180, 220)};
    // Blocks of 16 x 16 pixels, so that JPEG's colour subsampling keeps their middles.
    QImage blocks(16 * 6, 16, QImage::Format_RGB32);
    for (int i = 0; i < 6; ++i)
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                blocks.setPixel(16 * i + x, y, colours[i]);
    struct Case {
        const char* file;
        QColorSpace space;
        Primaries primaries;
        double (*decode)(double);
    };
    const Case cases[] = {
        {"adobe.jpg", QColorSpace::AdobeRgb, adobe, +adobeCurve},
        {"p3.jpg", QColorSpace::DisplayP3, p3, SrgbToLinear},
        {"adobe.png", QColorSpace::AdobeRgb, adobe, +adobeCurve},
        {"p3.tif", QColorSpace::DisplayP3, p3, SrgbToLinear},
    };
    // The same profile in a WebP (PIL copies it) and in HEIC and AVIF (libheif's encoder does).
    ASSERT_TRUE(blocks.save(scratch.Path(QStringLiteral("blocks.png"))));
    const QString source = scratch.Path(QStringLiteral("p3.png"));
    QImage p3png = blocks;
    p3png.setColorSpace(QColorSpace::DisplayP3);
    ASSERT_TRUE(p3png.save(source));
    ASSERT_TRUE(Tool(Python(),
                     {QStringLiteral("-c"),
                      QStringLiteral("import sys\nfrom PIL import Image\nim = Image.open(sys.argv[1])\n"
                                     "im.save(sys.argv[2], lossless=True, icc_profile=im.info['icc_profile'])"),
                      source, scratch.Path(QStringLiteral("p3.webp"))}));
    // A PNG that gives its primaries and gamma in cHRM and gAMA chunks.
    ASSERT_TRUE(Tool(Python(),
                     {QStringLiteral("-c"),
                      QStringLiteral("import sys, struct\nfrom PIL import Image, PngImagePlugin\n"
                                     "info = PngImagePlugin.PngInfo()\n"
                                     "info.add(b'cHRM', struct.pack('>8I', 31270, 32900, 68000, 32000, "
                                     "26500, 69000, 15000, 6000))\n"
                                     "info.add(b'gAMA', struct.pack('>I', 45455))\n"
                                     "Image.open(sys.argv[1]).save(sys.argv[2], pnginfo=info)"),
                      scratch.Path(QStringLiteral("blocks.png")), scratch.Path(QStringLiteral("chrm.png"))}));
    for (const char* heif : {"p3.heic", "p3.avif"})
        ASSERT_TRUE(Tool(QStringLiteral("heif-enc"),
                         {QStringLiteral("-L"), source, QStringLiteral("-o"), scratch.Path(QLatin1String(heif))}));
    const Case made[] = {
        {"p3.webp", QColorSpace::DisplayP3, p3, SrgbToLinear},
        {"p3.heic", QColorSpace::DisplayP3, p3, SrgbToLinear},
        {"p3.avif", QColorSpace::DisplayP3, p3, SrgbToLinear},
        {"chrm.png", QColorSpace::DisplayP3, p3, +gamma22},
    };
    const auto expectSrgb = [&](const Case& c, int tolerance) {
        SCOPED_TRACE(c.file);
        ImageEngine engine;
        ASSERT_TRUE(engine.LoadFile(scratch.Path(QLatin1String(c.file)))) << engine.LastError().toStdString();
        for (int i = 0; i < 6; ++i) {
            const QRgb want = AsSrgb(colours[i], c.primaries, c.decode);
            const QRgb got = engine.Picture().pixel(16 * i + 8, 8);
            SCOPED_TRACE(i);
            EXPECT_NEAR(qRed(got), qRed(want), tolerance);
            EXPECT_NEAR(qGreen(got), qGreen(want), tolerance);
            EXPECT_NEAR(qBlue(got), qBlue(want), tolerance);
        }
    };
    for (const Case& c : cases) {
        QImage tagged = blocks;
        tagged.setColorSpace(c.space); // Qt writes the space as an ICC profile
        ASSERT_TRUE(tagged.save(scratch.Path(QLatin1String(c.file)), nullptr, 100));
        expectSrgb(c, 3);
    }
    for (const Case& c : made)
        expectSrgb(c, 3);
    // LittleCMS's profile, put into a JPEG by PIL, without chroma subsampling.
    const QString icc = scratch.Path(QStringLiteral("lcms-p3.icc"));
    ASSERT_TRUE(WriteLcmsDisplayP3(icc));
    ASSERT_TRUE(Tool(Python(),
                     {QStringLiteral("-c"),
                      QStringLiteral("import sys\nfrom PIL import Image\n"
                                     "Image.open(sys.argv[1]).convert('RGB').save(sys.argv[2], quality=100, "
                                     "subsampling=0, icc_profile=open(sys.argv[3], 'rb').read())"),
                      scratch.Path(QStringLiteral("blocks.png")), scratch.Path(QStringLiteral("lcms-p3.jpg")), icc}));
    expectSrgb({"lcms-p3.jpg", QColorSpace::DisplayP3, p3, SrgbToLinear}, 2);
}

// PIL writes animations whose frames cover parts of the canvas, with
// transparency, every disposal and both APNG blendings; what PIL (GIF, WebP)
// and ffmpeg (APNG: PIL blends translucent pixels by their alpha alone) show of
// each frame is what the frames read here must be.
const char* const kPilAnimations = R"(
import sys
from PIL import Image
out = sys.argv[1]
W, H = 40, 30
def frame(i):
    im = Image.new('RGBA', (W, H), (0, 0, 0, 0))
    for y in range(H):
        for x in range(W):
            inside = (x - 6 * i) % W < 18 and y > 3 * i
            if inside:
                im.putpixel((x, y), ((60 * i + 4 * x) % 256, (8 * y) % 256, 200 - 40 * i, 255 if (x + y) % 5 else 128))
    return im
frames = [frame(i) for i in range(4)]
durations = [70, 120, 30, 200]
frames[0].save(out + '.apng', save_all=True, append_images=frames[1:], duration=durations, loop=0,
               disposal=[0, 2, 1, 0], blend=[0, 1, 1, 0], default_image=False)
gif = [f.copy() for f in frames]
for f in gif:
    a = f.getchannel('A').point(lambda v: 255 if v == 255 else 0)
    f.putalpha(a)
gif[0].save(out + '.gif', save_all=True, append_images=gif[1:], duration=durations, loop=0, disposal=[1, 2, 3, 1])
frames[0].save(out + '.webp', save_all=True, append_images=frames[1:], duration=durations, loop=0, lossless=True)
for ext in ('gif', 'webp'):
    im = Image.open(out + '.' + ext)
    times = []
    for i in range(im.n_frames):
        im.seek(i)
        im.convert('RGBA').save('%s.%s.%d.png' % (out, ext, i))
        times.append(str(im.info.get('duration', 0)))
    open('%s.%s.times' % (out, ext), 'w').write(' '.join(times))
)";

// The largest difference of a channel between two RGBA pictures; pixels
// transparent in both count as equal whatever their colour.
int WorstChannel(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return 1000;
    const QImage x = a.convertToFormat(QImage::Format_RGBA8888), y = b.convertToFormat(QImage::Format_RGBA8888);
    int worst = 0;
    for (int row = 0; row < x.height(); ++row) {
        const uchar* p = x.constScanLine(row);
        const uchar* q = y.constScanLine(row);
        for (int i = 0; i < 4 * x.width(); i += 4) {
            if (p[i + 3] == 0 && q[i + 3] == 0)
                continue;
            for (int k = 0; k < 4; ++k)
                worst = std::max(worst, std::abs(p[i + k] - q[i + k]));
        }
    }
    return worst;
}

TEST(ModernPictures, AnimationFramesAreComposedAsPilShowsThem)
{
    Scratch scratch;
    const QString base = scratch.Path(QStringLiteral("an"));
    ASSERT_TRUE(Tool(Python(), {QStringLiteral("-c"), QLatin1String(kPilAnimations), base}));
    ASSERT_TRUE(
        Tool(QStringLiteral("ffmpeg"),
             {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), base + QStringLiteral(".apng"),
              QStringLiteral("-vsync"), QStringLiteral("0"), QStringLiteral("-pix_fmt"), QStringLiteral("rgba"),
              QStringLiteral("-start_number"), QStringLiteral("0"), base + QStringLiteral(".apng.%d.png")}));
    for (const char* ext : {"apng", "gif", "webp"}) {
        SCOPED_TRACE(ext);
        const QString path = base + u'.' + QLatin1String(ext);
        ASSERT_TRUE(imaging::IsAnimatedPicture(path));
        imaging::AnimationReader reader(path);
        ASSERT_TRUE(reader.Opened()) << reader.Opened().Message().toStdString();
        imaging::AnimationReader::Picture picture;
        const qint64 starts[] = {0, 70, 190, 220};
        int count = 0;
        qint64 lastLength = 0;
        imaging::Result step;
        for (; (step = reader.Next(&picture)) && !picture.image.isNull(); ++count) {
            ASSERT_LT(count, 4);
            const QImage shown(QStringLiteral("%1.%2.png").arg(path).arg(count));
            EXPECT_LE(WorstChannel(picture.image, shown), 1) << "frame " << count;
            EXPECT_EQ(picture.startMs, starts[count]);
            lastLength = picture.lengthMs;
        }
        EXPECT_EQ(count, 4);
        EXPECT_EQ(lastLength, 200);
        EXPECT_TRUE(step) << step.Message().toStdString();
        // The window shows the first frame as the picture.
        ImageEngine engine;
        ASSERT_TRUE(engine.LoadFile(path)) << engine.LastError().toStdString();
        EXPECT_LE(WorstChannel(engine.Picture(), QImage(path + QStringLiteral(".0.png"))), 1);
    }
}

TEST(ModernPictures, AnApngFrameOutsideItsPictureEndsTheAnimationThere)
{
    Scratch scratch;
    const QString base = scratch.Path(QStringLiteral("an"));
    ASSERT_TRUE(Tool(Python(), {QStringLiteral("-c"), QLatin1String(kPilAnimations), base}));
    QByteArray bytes = ReadAll(base + QStringLiteral(".apng"));
    // The third frame control's x offset (its chunk's CRC is not what a reader trusts).
    qsizetype at = -1;
    for (int i = 0; i < 3; ++i)
        at = bytes.indexOf("fcTL", at + 1);
    ASSERT_GT(at, 0);
    qToBigEndian<quint32>(0x7FFFFFF0u, bytes.data() + at + 4 + 12);
    const QString path = scratch.Path(QStringLiteral("outside.apng"));
    ASSERT_TRUE(WriteAll(path, bytes));
    imaging::AnimationReader reader(path);
    imaging::AnimationReader::Picture picture;
    int frames = 0;
    imaging::Result step;
    while ((step = reader.Next(&picture)) && !picture.image.isNull())
        ++frames;
    EXPECT_EQ(frames, 2);
    EXPECT_EQ(step.Code(), imaging::ErrorCode::Undecodable);
    EXPECT_EQ(step.Message(), QStringLiteral("an APNG frame lies outside the picture"));
}

} // namespace
