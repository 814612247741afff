// SPDX-License-Identifier: GPL-3.0-or-later
// Times the creation run's two stages (frame conversion, assembly) on one
// workload of the shared GIF benchmark, in list order on one engine and on
// 2..N workers, so the choice of the default worker count rests on numbers.
//   bench_creation WORKLOAD_DIR [REPEATS=3] [MAX_WORKERS=2]
#include "imaging/GifAssembler.h"
#include "imaging/ImageEngine.h"
#include "production/CreationRules.h"
#include "production/CreationRun.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {
double CpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: bench_creation WORKLOAD_DIR [REPEATS=3] [MAX_WORKERS=2]\n");
        return 2;
    }
    const QDir dir(args[1]);
    const int repeats = args.value(2, QStringLiteral("3")).toInt();
    const int maxWorkers = args.value(3, QStringLiteral("2")).toInt();
    QFile json(dir.filePath(QStringLiteral("workload.json")));
    if (!json.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "no workload.json in %s\n", qPrintable(args[1]));
        return 2;
    }
    const QJsonObject w = QJsonDocument::fromJson(json.readAll()).object();
    CreationSettings base;
    for (const QJsonValue& f : w.value(QStringLiteral("frames")).toArray())
        base.frames.push_back({dir.filePath(f.toString()), w.value(QStringLiteral("play_time_ms")).toInt()});
    base.width = w.value(QStringLiteral("width")).toInt();
    base.height = w.value(QStringLiteral("height")).toInt();
    const auto loop = qint16(w.value(QStringLiteral("loop")).toInt());

    std::printf("%s: %d frames -> %d x %d; best of %d\n", qPrintable(QFileInfo(args[1]).fileName()),
                int(base.frames.size()), base.width, base.height, repeats);
    std::printf("%-8s %10s %10s %10s %10s %12s\n", "workers", "convert s", "cpu s", "assemble s", "total s", "bytes");
    for (int workers = 1; workers <= maxWorkers; ++workers) {
        double bestConvert = 1e30, bestCpu = 1e30, bestAssemble = 1e30, bestTotal = 1e30;
        qint64 bytes = 0;
        for (int r = 0; r < repeats; ++r) {
            QTemporaryDir temp;
            CreationSettings s = base;
            s.tempFolder = temp.path();
            s.outputPath = temp.filePath(QStringLiteral("out.gif"));
            s.threads = workers;
            // Joined while converted, as the window and flipreel-cli do.
            s.loopCount = loop;
            ImageEngine engine;
            GifAssembler assembler;
            CreationRun run(engine, assembler, s);
            QElapsedTimer t;
            t.start();
            const double cpu0 = CpuSeconds();
            CreationResult result = run.ConvertFrames([](double) { return true; });
            const double convert = t.nsecsElapsed() / 1e9;
            const double cpu = CpuSeconds() - cpu0;
            if (result.Ok())
                result = run.Assemble(loop);
            const double total = t.nsecsElapsed() / 1e9;
            if (!result.Ok()) {
                std::fprintf(stderr, "%s\n", qPrintable(result.message));
                return 1;
            }
            bytes = QFileInfo(s.outputPath).size();
            bestConvert = std::min(bestConvert, convert);
            bestCpu = std::min(bestCpu, cpu);
            bestAssemble = std::min(bestAssemble, total - convert);
            bestTotal = std::min(bestTotal, total);
        }
        std::printf("%-8d %10.3f %10.3f %10.3f %10.3f %12lld\n", workers, bestConvert, bestCpu, bestAssemble, bestTotal,
                    bytes);
    }
    return 0;
}
