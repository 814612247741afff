// SPDX-License-Identifier: GPL-3.0-or-later
// An independent reader of the GIF files the program writes: giflib decodes,
// and frames are composited as a web browser does (transparency, disposal),
// so that a wrong colour table, transparent index or disposal shows as wrong
// pixels.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QVector>

namespace testing_imaging {

// What a browser shows of an animated GIF, decoded with giflib's DGifSlurp.
struct Animation {
    bool ok = false;
    QString error;
    QByteArray version; // "GIF87a" or "GIF89a"
    int width = 0;
    int height = 0;
    int loopCount = -1; // -1: no NETSCAPE2.0 block
    int netscapeBlocks = 0;
    QVector<int> delays;
    QVector<int> disposals;
    QVector<QRect> rects;
    QVector<bool> transparent;
    QVector<bool> localTables; // the image has a colour table of its own
    int globalTableSize = 0;   // entries of the global colour table, 0 for none
    QVector<QImage> frames;    // ARGB32, fully transparent pixels are 0
};
Animation DecodeAnimation(const QString& path);

// ARGB32 with every fully transparent pixel set to 0 (colour irrelevant).
QImage Normalized(const QImage& image);
// Number of pixels that differ between two pictures of the same size (-1: sizes differ).
int DifferentPixels(const QImage& a, const QImage& b);
// Mean absolute difference per channel (opaque pictures).
double MeanDifference(const QImage& a, const QImage& b);

// The pictures at `size` as a reference scaler (Qt's smooth scaling) makes
// them, opaque: what the frames of an animation of them should show.
QVector<QImage> ScaledPictures(const QStringList& paths, QSize size);
// The largest MeanDifference between a composited frame and `expected`
// (1e9 when the counts or sizes differ).
double WorstFrameDifference(const Animation& animation, const QVector<QImage>& expected);

} // namespace testing_imaging
