// SPDX-License-Identifier: GPL-3.0-or-later
// Every format the program reads, written by other programs (PIL, libheif's
// encoder, ffmpeg): measured as it decodes, upright, in sRGB.
#include "ImagingTestSupport.h"

#include "imaging/ImageEngine.h"
#include "imaging/PicSize.h"

#include <QColorSpace>
#include <QProcess>
#include <QTransform>

#include <gtest/gtest.h>

#include <cmath>

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
import sys
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
im.save(dst, fmt, **options)
)";

QString Python() { return QStringLiteral("/usr/bin/python3"); }

// The stored picture that orientation `o` turns into `upright`.
QImage Stored(const QImage& upright, int o)
{
    switch (o) {
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
        int orientation;
        double tolerance; // mean difference from the pattern
    };
    const Case cases[] = {
        {"a.png", "PNG", 1, 0},       {"b.png", "PNG", 6, 0},
        {"c.png", "PNG", 3, 0},       {"a.jpg", "JPEG", 1, 4},
        {"b.jpg", "JPEG", 6, 4},      {"c.jpg", "JPEG", 8, 4},
        {"a.tif", "TIFF", 1, 0},      {"b.tif", "TIFF", 6, 0},
        {"a.bmp", "BMP", 1, 0},       {"a.gif", "GIF", 1, 8},
        {"a.ppm", "PPM", 1, 0},       {"a.tga", "TGA", 1, 0},
        {"a.pcx", "PCX", 1, 0},       {"a.sgi", "SGI", 1, 0},
        {"a.webp", "WEBP", 1, 4},     {"b.webp", "WEBP", 6, 4},
        {"a.jp2", "JPEG2000", 1, 0},  {"a.j2k", "JPEG2000", 1, 0},
        {"f.jp2", "ffmpeg", 1, 6},    {"a.heic", "heif-enc", 1, 6},
        {"a.avif", "heif-enc", 1, 6}, {"lossless.webp", "ffmpeg", 1, 0},
    };
    const QImage upright = Pattern(48, 32);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const QString source = scratch.Path(QStringLiteral("source%1.png").arg(c.orientation));
        ASSERT_TRUE(Stored(upright, c.orientation).save(source));
        const QString path = scratch.Path(QLatin1String(c.file));
        const QString writer = QLatin1String(c.writer);
        if (writer == QLatin1String("heif-enc"))
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

TEST(ModernPictures, ColourProfilesAreTurnedIntoSrgb)
{
    Scratch scratch;
    const Primaries adobe{0.64, 0.33, 0.21, 0.71, 0.15, 0.06};
    const Primaries p3{0.680, 0.320, 0.265, 0.690, 0.150, 0.060};
    const auto adobeCurve = [](double v) { return std::pow(v, 563.0 / 256.0); };
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
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        QImage tagged = blocks;
        tagged.setColorSpace(c.space); // Qt writes the space as an ICC profile
        const QString path = scratch.Path(QLatin1String(c.file));
        ASSERT_TRUE(tagged.save(path, nullptr, 100));
        ImageEngine engine;
        ASSERT_TRUE(engine.LoadFile(path)) << engine.LastError().toStdString();
        for (int i = 0; i < 6; ++i) {
            const QRgb want = AsSrgb(colours[i], c.primaries, c.decode);
            const QRgb got = engine.Picture().pixel(16 * i + 8, 8);
            SCOPED_TRACE(i);
            EXPECT_NEAR(qRed(got), qRed(want), 3);
            EXPECT_NEAR(qGreen(got), qGreen(want), 3);
            EXPECT_NEAR(qBlue(got), qBlue(want), 3);
        }
    }
}

} // namespace
