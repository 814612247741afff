// SPDX-License-Identifier: GPL-3.0-or-later
// A temporary folder of the fuzzing process: the engine reads pictures from
// files, so every input is written to one first.
#pragma once

#include <QFile>
#include <QSize>
#include <QString>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace fuzzing {

inline QString ScratchPath(const QString& name)
{
    static QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary folder: %s\n", qPrintable(dir.errorString()));
        std::abort();
    }
    return dir.filePath(name);
}

inline QString WriteScratch(const QString& name, const uint8_t* data, size_t size)
{
    const QString path = ScratchPath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size) || !file.flush()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::abort();
    }
    return path;
}

// Pictures within the limits but above this take seconds to decode under the
// sanitizers; the targets measure them (the limits are checked there) but
// decode only smaller ones, so that a run keeps its pace.
inline bool TooSlowToDecode(QSize size) { return qint64(size.width()) * size.height() > 4'000'000; }

// A broken promise of the code under test: a finding, like a crash.
[[noreturn]] inline void Finding(const char* what)
{
    std::fprintf(stderr, "FINDING: %s\n", what);
    std::abort();
}

} // namespace fuzzing
