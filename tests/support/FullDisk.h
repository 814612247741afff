// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/ReplacingFile.h"

#include <QByteArray>

#include <cerrno>
#include <climits>
#include <unistd.h>

// While it lives, every file written whose name contains `part` finds its
// disk full, as a full output folder or temporary folder would.
class FullDisk final {
public:
    explicit FullDisk(const QByteArray& part)
    {
        Part() = part;
        static const ReplacingFile::SystemCalls calls{&Write, &::fsync, &::close};
        ReplacingFile::SetSystemCallsForTesting(&calls);
    }
    ~FullDisk() { ReplacingFile::SetSystemCallsForTesting(nullptr); }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

private:
    static QByteArray& Part()
    {
        static QByteArray part;
        return part;
    }
    static ssize_t Write(int fd, const void* data, size_t size)
    {
        char name[PATH_MAX];
        const QByteArray link = "/proc/self/fd/" + QByteArray::number(fd);
        const ssize_t n = ::readlink(link.constData(), name, sizeof name);
        if (n > 0 && QByteArray(name, n).contains(Part())) {
            errno = ENOSPC;
            return -1;
        }
        return ::write(fd, data, size);
    }
};
