// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/ReplacingFile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>

// While it lives, files whose name contains `part` find their disk full: writes
// take `room` bytes (in short writes) and then fail with ENOSPC; the sync and
// the close may fail too, as file systems that report a full disk late do.
// `unnamed` false acts out a file system without unnamed (O_TMPFILE) files.
class FullDisk final {
public:
    explicit FullDisk(const QByteArray& part, ssize_t room = 0, int syncError = 0, int closeError = 0,
                      bool unnamed = true)
    {
        S() = {part, room, syncError, closeError, unnamed};
        static const ReplacingFile::SystemCalls calls{&Write, &Sync, &Close, &OpenUnnamed};
        ReplacingFile::SetSystemCallsForTesting(&calls);
    }
    ~FullDisk() { ReplacingFile::SetSystemCallsForTesting(nullptr); }
    Q_DISABLE_COPY_MOVE(FullDisk)

private:
    struct State {
        QByteArray part;
        ssize_t room;
        int syncError, closeError;
        bool unnamed;
    };
    static State& S()
    {
        static State state;
        return state;
    }
    static bool Hit(int fd)
    {
        char name[PATH_MAX];
        const ssize_t n =
            ::readlink(QByteArray("/proc/self/fd/" + QByteArray::number(fd)).constData(), name, sizeof name);
        if (n <= 0)
            return false;
        const QByteArray file(name, n);
        if (file.contains(S().part))
            return true;
        // A new file that has no name yet ("/folder/#123 (deleted)") is
        // meant for a file of that folder.
        const qsizetype slash = file.lastIndexOf("/#");
        if (slash < 0 || !file.endsWith(" (deleted)"))
            return false;
        const QDir folder(QFile::decodeName(file.left(slash)));
        return !folder
                    .entryList({QStringLiteral("*") + QFile::decodeName(S().part) + QStringLiteral("*")},
                               QDir::AllEntries | QDir::Hidden | QDir::System)
                    .isEmpty();
    }
    static int Result(bool hit, int error, int result)
    {
        if (!hit || !error)
            return result;
        errno = error;
        return -1;
    }
    static ssize_t Write(int fd, const void* data, size_t size)
    {
        if (!Hit(fd))
            return ::write(fd, data, size);
        // Frames are written by several threads at once.
        static std::mutex room;
        const std::lock_guard<std::mutex> guard(room);
        const ssize_t n = S().room > 0 ? ::write(fd, data, std::min(size, size_t(S().room))) : Result(true, ENOSPC, 0);
        S().room -= std::max<ssize_t>(n, 0);
        return n;
    }
    static int OpenUnnamed(int folder)
    {
        if (S().unnamed)
            return ::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        errno = EOPNOTSUPP;
        return -1;
    }
    static int Sync(int fd) { return Result(Hit(fd), S().syncError, ::fsync(fd)); }
    static int Close(int fd)
    {
        const bool hit = Hit(fd);
        return Result(hit, S().closeError, ::close(fd));
    }
};
