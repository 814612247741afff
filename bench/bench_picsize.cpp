// SPDX-License-Identifier: GPL-3.0-or-later
// Measuring a picture (GetPicSize) against decoding it (ImageEngine::LoadFile):
// measuring reads the header only, so a 24-megapixel photograph costs about
// as much to measure as a thumbnail.
//   bench_picsize [PICTURE...]   (without arguments: made-up 24 MP JPEG, 12 MP PNG, 12 MP TIFF)
#include "imaging/ImageEngine.h"
#include "imaging/PicSize.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>

#include <cstdio>

namespace {

QImage Photo(int w, int h)
{
    // Smooth shapes and fine detail, so that the files have realistic sizes.
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto* p = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x)
            p[x] = qRgb((x / 7 + y / 5) & 255, (x * y / 997) & 255, ((x ^ y) >> 3) & 255);
    }
    return image;
}

// At most `rounds` calls, fewer once two seconds have passed (a slow
// measurement of a large file would otherwise take minutes).
template <typename Fn> double MillisecondsPerCall(int rounds, Fn fn)
{
    QElapsedTimer t;
    t.start();
    int done = 0;
    while (done < rounds && (done < 2 || t.elapsed() < 2000)) {
        fn();
        ++done;
    }
    return t.nsecsElapsed() / 1e6 / done;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir temp;
    QStringList files = app.arguments().mid(1);
    if (files.isEmpty()) {
        std::printf("making pictures...\n");
        const QImage big = Photo(6000, 4000);
        files << temp.filePath(QStringLiteral("photo-24mp.jpg"));
        big.save(files.last(), "JPEG", 90);
        const QImage mid = Photo(4000, 3000);
        files << temp.filePath(QStringLiteral("scan-12mp.png"));
        QImageWriter png(files.last(), "png");
        png.setCompression(1);
        png.write(mid);
        files << temp.filePath(QStringLiteral("scan-12mp.tif"));
        mid.save(files.last(), "TIFF");
    }
    std::printf("%-22s %12s %14s %14s %9s\n", "picture", "size", "GetPicSize ms", "LoadFile ms", "ratio");
    for (const QString& f : files) {
        QString size;
        const double measure = MillisecondsPerCall(50, [&] { size = GetPicSize(f); });
        ImageEngine engine;
        const double load = MillisecondsPerCall(3, [&] {
            engine.LoadFile(QString());
            engine.Clear();
            engine.LoadFile(f);
        });
        std::printf("%-22s %12s %14.3f %14.1f %8.0fx\n", qPrintable(QFileInfo(f).fileName()), qPrintable(size), measure,
                    load, load / measure);
    }
    return 0;
}
