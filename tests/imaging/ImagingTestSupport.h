// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers of the imaging tests: pictures made on the spot, and an
// independent GIF reader that composites frames as a web browser does.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QTemporaryDir>
#include <QVector>

#include <ostream>
#include <vector>

namespace imaging {
class FrameQuantizer;
}

// Readable test messages for Qt strings.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& l, std::ostream* os) { *os << '"' << l.join(QStringLiteral("\", \"")).toStdString() << '"'; }

namespace testing_imaging {

// A picture with distinct quadrants and a gradient, so that orientation,
// scaling and colour mistakes show.
QImage Pattern(int width, int height, bool withAlpha = false);

QByteArray ReadAll(const QString& path);
bool WriteAll(const QString& path, const QByteArray& bytes);

// Writes `image` through ImageMagick in `coder` ("PCX", "SGI", ...).
bool WriteWithMagick(const QImage& image, const QString& path, const char* coder);
// Writes several pictures as one file (ICO, multi-page TIFF, layered PSD, GIF).
bool WriteListWithMagick(const QVector<QImage>& images, const QString& path, const char* coder);

// A placeable metafile of width x height units (`unitsPerInch` to the inch)
// holding a red rectangle.
QByteArray PlaceableWmf(int width, int height, int unitsPerInch);

// A JPEG of `image` with an EXIF block holding `orientation`.
QByteArray JpegWithOrientation(const QImage& image, int orientation);

// What a browser shows of an animated GIF, decoded with giflib's DGifSlurp.
struct Animation {
    bool ok = false;
    QString error;
    QByteArray version;  // "GIF87a" or "GIF89a"
    int width = 0;
    int height = 0;
    int loopCount = -1;  // -1: no NETSCAPE2.0 block
    int netscapeBlocks = 0;
    QVector<int> delays;
    QVector<int> disposals;
    QVector<QRect> rects;
    QVector<bool> transparent;
    QVector<QImage> frames;  // ARGB32, fully transparent pixels are 0
};
Animation DecodeAnimation(const QString& path);

// ARGB32 with every fully transparent pixel set to 0 (colour irrelevant).
QImage Normalized(const QImage& image);
// Number of pixels that differ between two pictures of the same size (-1: sizes differ).
int DifferentPixels(const QImage& a, const QImage& b);
// Mean absolute difference per channel (opaque pictures).
double MeanDifference(const QImage& a, const QImage& b);

// A temporary folder for one test, with the file names it made.
class Scratch {
public:
    Scratch();
    QString Path(const QString& name) const;
    QStringList Entries() const;
    bool Valid() const { return dir_.isValid(); }

private:
    QTemporaryDir dir_;
};

// Makes a single-frame GIF of `image` the way the creation run does:
// LoadFile of a PNG, SaveFile (as the next frame of `frames`, or alone). Returns the frame's path.
QString SaveFrame(const Scratch& scratch, const QString& name, const QImage& image,
                  imaging::FrameQuantizer* frames = nullptr);

}  // namespace testing_imaging
