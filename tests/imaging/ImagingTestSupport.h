// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers of the imaging tests: pictures made on the spot, and an
// independent GIF reader that composites frames as a web browser does.
#pragma once

#include "support/GifAnimation.h"

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
inline void PrintTo(const QStringList& l, std::ostream* os)
{
    *os << '"' << l.join(QStringLiteral("\", \"")).toStdString() << '"';
}

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

} // namespace testing_imaging
