// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ReplacingFile.h"

#include "common/FileNames.h"
#include "common/Processes.h"
#include "common/StopRequest.h"

#include <QCoreApplication>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr ReplacingFile::SystemCalls kRealCalls{&::write, &::fsync, &::close};
const ReplacingFile::SystemCalls* calls = &kRealCalls;

// Follows symbolic links to the file they name, so that the link stays a link.
QByteArray ResolveLinks(QByteArray path)
{
    for (int depth = 0; depth < 40; ++depth) {
        char target[PATH_MAX];
        const ssize_t n = ::readlink(path.constData(), target, sizeof target);
        if (n <= 0)
            return path;
        QByteArray next(target, n);
        if (!next.startsWith('/')) {
            const qsizetype slash = path.lastIndexOf('/');
            next.prepend(slash >= 0 ? path.left(slash + 1) : QByteArray());
        }
        path = next;
    }
    return path;
}

// "." name "." pid "-" random ".part": the pid lets a later write remove what a
// process killed outright (SIGKILL, power cut) left beside the target.
QByteArray PartPrefix(const QByteArray& name) { return '.' + name + '.'; }

void RemoveAbandonedParts(const QByteArray& folder, const QByteArray& name)
{
    DIR* dir = ::opendir(folder.isEmpty() ? "." : folder.constData());
    if (!dir)
        return;
    const QByteArray prefix = PartPrefix(name);
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray file(entry->d_name);
        if (!file.startsWith(prefix) || !file.endsWith(".part"))
            continue;
        const QByteArray middle = file.mid(prefix.size(), file.size() - prefix.size() - 5);
        const qsizetype dash = middle.indexOf('-');
        bool isNumber = false;
        const qint64 pid = middle.left(dash).toLongLong(&isNumber);
        if (dash > 0 && isNumber && Processes::Gone(pid))
            (void)::unlink(QByteArray(folder + file).constData());
    }
    ::closedir(dir);
}

QString StoppedReason() { return QCoreApplication::translate("ReplacingFile", "the run was stopped"); }

} // namespace

ReplacingFile::ReplacingFile(const QString& target, Use use)
    : target_(target)
    , use_(use)
{
}

ReplacingFile::~ReplacingFile() { Discard(); }

void ReplacingFile::SetSystemCallsForTesting(const SystemCalls* replacement)
{
    calls = replacement ? replacement : &kRealCalls;
}

bool ReplacingFile::Fail(const QString& reason)
{
    if (!failed_)
        setErrorString(reason);
    failed_ = true;
    return false;
}

bool ReplacingFile::open(OpenMode mode)
{
    if (isOpen() || mode != QIODevice::WriteOnly) {
        setErrorString(QCoreApplication::translate("ReplacingFile", "can only be opened once, for writing"));
        return false;
    }
    failed_ = false;
    if (const QString refused = FileNames::CheckOutputTarget(target_); !refused.isEmpty()) {
        setErrorString(refused);
        return false;
    }
    final_ = ResolveLinks(FileNames::ToBytes(target_));
    const qsizetype slash = final_.lastIndexOf('/');
    const QByteArray folder = slash >= 0 ? final_.left(slash + 1) : QByteArray();
    const QByteArray name = final_.mid(slash + 1);
    if (use_ == Use::Output)
        RemoveAbandonedParts(folder, name);
    if (use_ == Use::Scratch) {
        // Written in place: nothing reads a scratch file before its run has
        // written it, and a failed one is removed (a new name and a rename
        // cost more than writing a small frame).
        temporary_ = final_;
        fd_ = ::open(temporary_.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    } else {
        // The new file sits in the target's folder: a rename within one file
        // system replaces the target in one step.
        for (int attempt = 0; attempt < 100; ++attempt) {
            temporary_ = folder + PartPrefix(name) + QByteArray::number(::getpid()) + '-'
                + QByteArray::number(QRandomGenerator::global()->generate() & 0xFFFFFF, 36) + ".part";
            fd_ = ::open(temporary_.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd_ >= 0 || errno != EEXIST)
                break;
        }
    }
    if (fd_ < 0) {
        setErrorString(qt_error_string(errno));
        temporary_.clear();
        return false;
    }
    // A replaced file keeps its permissions.
    struct stat old { };
    if (::stat(final_.constData(), &old) == 0)
        (void)::fchmod(fd_, old.st_mode & 07777);
    return QIODevice::open(mode);
}

qint64 ReplacingFile::readData(char* /*data*/, qint64 /*maxSize*/) { return -1; }

qint64 ReplacingFile::writeData(const char* data, qint64 size)
{
    if (failed_ || fd_ < 0)
        return -1;
    if (StopRequest::Requested()) {
        Fail(StoppedReason());
        return -1;
    }
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = calls->write(fd_, data + done, size_t(size - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            // A regular file that takes no byte is full.
            Fail(qt_error_string(n < 0 ? errno : ENOSPC));
            return -1;
        }
        done += n;
    }
    return done;
}

bool ReplacingFile::commit()
{
    if (!isOpen())
        return Fail(QCoreApplication::translate("ReplacingFile", "the file is not open"));
    QIODevice::close();
    if (!failed_ && StopRequest::Requested())
        Fail(StoppedReason());
    // Some file systems report a full disk only when the data is synced or the
    // file is closed, so both are checked before the target is touched.
    if (!failed_ && use_ == Use::Output && calls->fsync(fd_) != 0 && errno != EINVAL)
        Fail(qt_error_string(errno));
    const int fd = fd_;
    fd_ = -1;
    if (calls->close(fd) != 0 && errno != EINTR)
        Fail(qt_error_string(errno));
    if (!failed_ && temporary_ != final_ && ::rename(temporary_.constData(), final_.constData()) != 0)
        Fail(qt_error_string(errno));
    if (failed_) {
        Discard();
        return false;
    }
    temporary_.clear();
    return true;
}

void ReplacingFile::cancelWriting() { Discard(); }

void ReplacingFile::close()
{
    // Closing without commit() keeps the target as it was.
    Discard();
}

void ReplacingFile::Discard()
{
    if (isOpen())
        QIODevice::close();
    if (fd_ >= 0)
        (void)::close(fd_);
    fd_ = -1;
    if (!temporary_.isEmpty())
        (void)::unlink(temporary_.constData());
    temporary_.clear();
}
