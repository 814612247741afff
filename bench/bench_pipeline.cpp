// SPDX-License-Identifier: GPL-3.0-or-later
// The creation pipeline on the imaging components alone, timed by phase:
// per frame LoadFile -> Resize (when the size differs) -> SaveFile into a
// temporary folder, then GifAssembler. Its command line matches the one the
// shared GIF benchmark passes to GIF makers:
//   bench_pipeline -o OUT.gif -s WxH -t PLAY_MS -l LOOP [-q] PICTURE...
#include "imaging/animation/FrameQuantizer.h"
#include "imaging/GifAssembler.h"
#include "imaging/ImageEngine.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QStringList>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <ctime>

#include <sys/resource.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString out;
    int w = 0, h = 0, playMs = 100, loop = 0;
    bool quiet = false;
    QStringList inputs;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("-o") && i + 1 < args.size()) {
            out = args[++i];
        } else if (a == QLatin1String("-s") && i + 1 < args.size()) {
            const QStringList wh = args[++i].split(QLatin1Char('x'));
            w = wh.value(0).toInt();
            h = wh.value(1).toInt();
        } else if (a == QLatin1String("-t") && i + 1 < args.size()) {
            playMs = args[++i].toInt();
        } else if (a == QLatin1String("-l") && i + 1 < args.size()) {
            loop = args[++i].toInt();
        } else if (a == QLatin1String("-q")) {
            quiet = true;
        } else {
            inputs << a;
        }
    }
    if (out.isEmpty() || inputs.size() < 2 || w < 1 || h < 1) {
        std::fprintf(stderr, "usage: bench_pipeline -o OUT.gif -s WxH -t PLAY_MS -l LOOP [-q] PICTURE...\n");
        return 2;
    }
    QTemporaryDir temp;
    const int delay = int(std::nearbyint(playMs / 10.0)); // ties to even in the default rounding mode
    QElapsedTimer total;
    total.start();
    const std::clock_t cpuStart = std::clock();
    qint64 loadNs = 0, resizeNs = 0, saveNs = 0;
    ImageEngine engine;
    imaging::FrameQuantizer palettes;
    QStringList frames;
    for (int i = 0; i < inputs.size(); ++i) {
        QElapsedTimer t;
        t.start();
        engine.LoadFile(QString());
        engine.Clear();
        if (!engine.LoadFile(inputs[i])) {
            std::fprintf(stderr, "%s\n", qPrintable(engine.LastError()));
            return 1;
        }
        loadNs += t.nsecsElapsed();
        t.restart();
        if (engine.ImageWidth() != w || engine.ImageHeight() != h) {
            if (!engine.Resize(w, h, false)) {
                std::fprintf(stderr, "%s\n", qPrintable(engine.LastError()));
                return 1;
            }
        }
        resizeNs += t.nsecsElapsed();
        t.restart();
        const QString frame = temp.filePath(QStringLiteral("__frame__%1.gif").arg(i + 1));
        if (!engine.SaveFile(frame, palettes)) {
            std::fprintf(stderr, "%s\n", qPrintable(engine.LastError()));
            return 1;
        }
        saveNs += t.nsecsElapsed();
        frames << frame;
    }
    QElapsedTimer t;
    t.start();
    GifAssembler gif;
    gif.Reset();
    gif.LoopCount(loop);
    gif.Version(QStringLiteral("gif89a"));
    for (int i = 0; i < frames.size(); ++i) {
        gif.AddFrame(frames[i]);
        gif.SetFrameDelay(i, delay);
    }
    if (!gif.SaveAnimation(out)) {
        std::fprintf(stderr, "%s\n", qPrintable(gif.LastError()));
        return 1;
    }
    const qint64 assembleNs = t.nsecsElapsed();
    if (!quiet) {
        const double n = inputs.size();
        qint64 frameBytes = 0;
        for (const QString& f : frames)
            frameBytes += QFileInfo(f).size();
        std::printf("frames %d  total %.3f s (cpu %.3f s)\n", int(n), total.nsecsElapsed() / 1e9,
                    double(std::clock() - cpuStart) / CLOCKS_PER_SEC);
        std::printf("  LoadFile   %7.2f ms/frame\n", loadNs / 1e6 / n);
        std::printf("  Resize     %7.2f ms/frame\n", resizeNs / 1e6 / n);
        std::printf("  SaveFile   %7.2f ms/frame  (frame files %.2f MB)\n", saveNs / 1e6 / n, frameBytes / 1e6);
        std::printf("  assemble   %7.2f ms/frame\n", assembleNs / 1e6 / n);
        std::printf("  output     %.3f MB\n", QFileInfo(out).size() / 1e6);
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("  peak RSS   %.1f MB\n", usage.ru_maxrss / 1024.0);
    }
    return 0;
}
