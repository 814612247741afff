// SPDX-License-Identifier: GPL-3.0-or-later
// Scaling a picture: the engine's own separable Lanczos-3 (premultiplied
// RGBA8888, on the calling thread) against ImageMagick's resize with its
// Lanczos filter, on typical frame sizes.
#include "imaging/ImagingRuntime.h"
#include "imaging/Resampler.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QThreadPool>

#include <Magick++.h>

#include <cstdio>

namespace {

QImage Picture(int w, int h)
{
    QImage image(w, h, QImage::Format_RGBA8888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgba((x * 255 / w) ^ (y & 31), (y * 255 / h), ((x / 9 + y / 7) & 1) * 255, 255));
    return image;
}

double MeanDifference(const QImage& a, const QImage& b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        const uchar* p = a.constScanLine(y);
        const uchar* q = b.constScanLine(y);
        for (int x = 0; x < a.width() * 4; ++x)
            sum += std::abs(int(p[x]) - int(q[x]));
    }
    return sum / (a.width() * a.height() * 4.0);
}

template <typename Fn> double Milliseconds(int rounds, Fn fn)
{
    fn(); // warm-up
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < rounds; ++i)
        fn();
    return t.nsecsElapsed() / 1e6 / rounds;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    imaging::EnsureImagingRuntime();
    const int threads = QThreadPool::globalInstance()->maxThreadCount();
    struct Case {
        int w0, h0, w1, h1;
    };
    const Case cases[] = {{1920, 1080, 640, 360}, {2400, 1600, 640, 480}, {6000, 4000, 640, 480},
                          {640, 360, 1280, 720},  {320, 240, 640, 480},   {800, 600, 640, 480}};
    std::printf("%-22s %10s %12s %12s %10s\n", "scale", "own 1 thr", "Magick 1 thr",
                QStringLiteral("Magick %1 thr").arg(threads).toLatin1().constData(), "mean diff");
    for (const Case& c : cases) {
        const QImage in = Picture(c.w0, c.h0);
        const int rounds = c.w0 * c.h0 > 5'000'000 ? 3 : 10;
        QImage ours;
        const double own1 = Milliseconds(rounds, [&] { ours = imaging::ResampleLanczos(in, c.w1, c.h1); });

        // ImageMagick works on its own 16-bit pixels; converting in and out is
        // part of what using it costs, so it is timed too.
        QImage theirs(c.w1, c.h1, QImage::Format_RGBA8888);
        auto magick = [&] {
            Magick::Image m(size_t(c.w0), size_t(c.h0), "RGBA", Magick::CharPixel, in.constBits());
            m.filterType(Magick::LanczosFilter);
            Magick::Geometry g(size_t(c.w1), size_t(c.h1));
            g.aspect(true);
            m.resize(g);
            m.write(0, 0, size_t(c.w1), size_t(c.h1), "RGBA", Magick::CharPixel, theirs.bits());
        };
        Magick::ResourceLimits::thread(1);
        const double mag1 = Milliseconds(rounds, magick);
        Magick::ResourceLimits::thread(threads);
        const double magN = Milliseconds(rounds, magick);
        Magick::ResourceLimits::thread(1);
        const QString label = QStringLiteral("%1x%2 -> %3x%4").arg(c.w0).arg(c.h0).arg(c.w1).arg(c.h1);
        std::printf("%-22s %8.2f ms %10.2f ms %10.2f ms %10.2f\n", qPrintable(label), own1, mag1, magN,
                    MeanDifference(ours, theirs));
    }
    return 0;
}
