// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ScratchFiles.h"

#include <QHash>

#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>

namespace ScratchFiles {
namespace {

std::mutex lock;
QHash<QByteArray, int>& Folders()
{
    static QHash<QByteArray, int> folders;
    return folders;
}

int OpenIn(int folder, const QByteArray& name)
{
    if (::unlinkat(folder, name.constData(), 0) != 0 && errno != ENOENT)
        return -1;
    return ::openat(folder, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
}

} // namespace

void Register(const QByteArray& folder, int fd)
{
    const std::lock_guard<std::mutex> guard(lock);
    Folders().insert(folder, fd);
}

void Unregister(const QByteArray& folder)
{
    const std::lock_guard<std::mutex> guard(lock);
    Folders().remove(folder);
}

// Runs `step` on the folder of `path` and the name in it.
template <typename Step> int InFolder(const QByteArray& path, Step step)
{
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray folder = slash > 0 ? path.left(slash) : slash == 0 ? QByteArray("/") : QByteArray(".");
    const QByteArray name = path.mid(slash + 1);
    {
        const std::lock_guard<std::mutex> guard(lock);
        if (const auto known = Folders().constFind(folder); known != Folders().cend())
            return step(*known, name);
    }
    // A folder no run made (a test's, a caller's own): still never through a link.
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    const int result = step(fd, name);
    const int error = errno;
    ::close(fd);
    errno = error;
    return result;
}

int OpenNew(const QByteArray& path) { return InFolder(path, &OpenIn); }

void Remove(const QByteArray& path)
{
    (void)InFolder(path, [](int folder, const QByteArray& name) { return ::unlinkat(folder, name.constData(), 0); });
}

} // namespace ScratchFiles
