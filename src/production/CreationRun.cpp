// SPDX-License-Identifier: GPL-3.0-or-later
#include "production/CreationRun.h"

#include "imaging/GifAssembler.h"
#include "imaging/ImageEngine.h"
#include "production/CreationRules.h"

#include <QDir>
#include <QFile>
#include <QFuture>
#include <QMutex>
#include <QThread>
#include <QThreadPool>
#include <QWaitCondition>
#include <QtConcurrent/QtConcurrentRun>

#include <atomic>
#include <vector>

namespace {

QString Reason(const QString& engineError)
{
    return engineError.isEmpty() ? QStringLiteral("unknown error") : engineError;
}

// One frame, in the engine's calling order: drop and clear, load, measure,
// scale only when the size differs, save. Empty on success, else the message.
QString ConvertFrame(ImageEngine& engine, int frame, const QString& path, int width, int height,
                     const PictureFit& fit, const QString& frameFile)
{
    engine.LoadFile(QString());
    engine.Clear();
    if (!engine.LoadFile(path))
        return QStringLiteral("Frame %1: cannot read the picture \"%2\": %3.")
            .arg(frame)
            .arg(QDir::toNativeSeparators(path), Reason(engine.LastError()));
    const int w = engine.ImageWidth();
    const int h = engine.ImageHeight();
    if (w < 1 || h < 1)
        return QStringLiteral("Frame %1: cannot read the picture \"%2\": it holds no picture.")
            .arg(frame)
            .arg(QDir::toNativeSeparators(path));
    if ((w != width || h != height) && !engine.Fit(width, height, fit))
        return QStringLiteral("Frame %1: cannot scale the picture \"%2\" to %3 x %4: %5.")
            .arg(frame)
            .arg(QDir::toNativeSeparators(path))
            .arg(width)
            .arg(height)
            .arg(Reason(engine.LastError()));
    if (!engine.SaveFile(frameFile, false, 0))
        return QStringLiteral("Frame %1: cannot write the temporary file \"%2\": %3.")
            .arg(frame)
            .arg(QDir::toNativeSeparators(frameFile), Reason(engine.LastError()));
    return {};
}

double ProgressAfter(int frame, int count) { return double(frame) * 100.0 / double(count); }

} // namespace

CreationRun::CreationRun(ImageEngine& engine, GifAssembler& assembler, CreationSettings settings)
    : engine_(engine)
    , assembler_(assembler)
    , settings_(std::move(settings))
{
}

CreationRun::~CreationRun()
{
    RemoveFrameFiles();
}

QString CreationRun::FrameFile(const QString& tempFolder, int frame)
{
    return QDir(tempFolder).filePath(QStringLiteral("__frame__%1.gif").arg(frame));
}

CreationResult CreationRun::ConvertFrames(const CreationProgress& progress)
{
    framesWritten_ = true;
    int workers = settings_.threads;
    if (workers <= 0)
        workers = qMax(1, QThread::idealThreadCount());
    workers = qMin(workers, int(settings_.frames.size()));
    if (workers <= 1)
        return ConvertInOrder(progress);
    return ConvertOnWorkers(progress, workers);
}

CreationResult CreationRun::ConvertInOrder(const CreationProgress& progress)
{
    // The frames of this run start afresh, not from a previous run's last one.
    engine_.ForgetSavedFrame();
    const int count = int(settings_.frames.size());
    for (int i = 1; i <= count; ++i) {
        const QString error = ConvertFrame(engine_, i, settings_.frames[i - 1].path, settings_.width,
                                           settings_.height, settings_.fit, FrameFile(settings_.tempFolder, i));
        if (!error.isEmpty())
            return CreationResult::Failure(error);
        if (progress && !progress(ProgressAfter(i, count)))
            return CreationResult::Stopped();
    }
    return CreationResult::Success();
}

CreationResult CreationRun::ConvertOnWorkers(const CreationProgress& progress, int workers)
{
    // The list is cut into one run of consecutive frames per worker, each with
    // an engine of its own: an engine saving frames in order keeps unchanged
    // pixels in the colours of the frame before, which keeps the animation
    // small, so frames are not dealt out one by one. Results are taken in list
    // order, so progress still runs 1..N on this thread.
    const int count = int(settings_.frames.size());
    struct Shared {
        QMutex mutex;
        QWaitCondition changed;
        std::vector<char> done;         // per frame (0-based)
        std::vector<QString> errors;    // per frame, empty when it went well
        std::atomic<bool> stop{false};
    } shared;
    shared.done.assign(std::size_t(count), 0);
    shared.errors.resize(std::size_t(count));

    QThreadPool pool;
    pool.setMaxThreadCount(workers);
    std::vector<QFuture<void>> chunks;
    for (int k = 0; k < workers; ++k) {
        const int first = 1 + int(qint64(count) * k / workers);
        const int last = int(qint64(count) * (k + 1) / workers);
        chunks.push_back(QtConcurrent::run(&pool, [this, &shared, first, last] {
            ImageEngine engine;
            for (int i = first; i <= last && !shared.stop.load(); ++i) {
                QString error = ConvertFrame(engine, i, settings_.frames[i - 1].path, settings_.width,
                                             settings_.height, settings_.fit, FrameFile(settings_.tempFolder, i));
                const bool failed = !error.isEmpty();
                QMutexLocker lock(&shared.mutex);
                shared.errors[std::size_t(i - 1)] = std::move(error);
                shared.done[std::size_t(i - 1)] = 1;
                shared.changed.wakeAll();
                if (failed)
                    break;
            }
        }));
    }
    // Frames still being written must be finished before their files can be removed.
    auto finish = [&](CreationResult result) {
        shared.stop = true;
        for (QFuture<void>& chunk : chunks)
            chunk.waitForFinished();
        return result;
    };
    for (int i = 1; i <= count; ++i) {
        QString error;
        {
            QMutexLocker lock(&shared.mutex);
            while (!shared.done[std::size_t(i - 1)])
                shared.changed.wait(&shared.mutex);
            error = shared.errors[std::size_t(i - 1)];
        }
        if (!error.isEmpty())
            return finish(CreationResult::Failure(error));
        if (progress && !progress(ProgressAfter(i, count)))
            return finish(CreationResult::Stopped());
    }
    return finish(CreationResult::Success());
}

CreationResult CreationRun::Assemble(qint16 loopCount)
{
    assembler_.Reset();
    assembler_.LoopCount(loopCount);
    assembler_.Version(QStringLiteral("gif89a"));
    const int count = int(settings_.frames.size());
    for (int i = 1; i <= count; ++i) {
        const QString file = FrameFile(settings_.tempFolder, i);
        if (!assembler_.AddFrame(file))
            return CreationResult::Failure(QStringLiteral("Frame %1: cannot add the temporary file \"%2\": %3.")
                                               .arg(i)
                                               .arg(QDir::toNativeSeparators(file),
                                                    Reason(assembler_.LastError())));
        const qint32 playTime = settings_.frames[i - 1].playTime;
        const int delay = CreationRules::FrameDelay(playTime);
        if (!assembler_.SetFrameDelay(i - 1, delay))
            return CreationResult::Failure(QStringLiteral("Frame %1: cannot give it the delay of %2 hundredths "
                                                          "(play time %3 ms): %4.")
                                               .arg(i)
                                               .arg(delay)
                                               .arg(playTime)
                                               .arg(Reason(assembler_.LastError())));
    }
    if (!assembler_.SaveAnimation(settings_.outputPath))
        return CreationResult::Failure(QStringLiteral("Cannot write the GIF file \"%1\": %2.")
                                           .arg(QDir::toNativeSeparators(settings_.outputPath),
                                                Reason(assembler_.LastError())));
    return CreationResult::Success();
}

void CreationRun::RemoveFrameFiles()
{
    if (!framesWritten_)
        return;
    framesWritten_ = false;
    const int count = int(settings_.frames.size());
    for (int i = 1; i <= count; ++i)
        (void)QFile::remove(FrameFile(settings_.tempFolder, i));
}

CreationResult CreationRun::Run(qint16 loopCount, const CreationProgress& progress)
{
    CreationResult result = ConvertFrames(progress);
    if (result.Ok())
        result = Assemble(loopCount);
    RemoveFrameFiles();
    return result;
}
