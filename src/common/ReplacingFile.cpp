// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ReplacingFile.h"

#include "common/FileNames.h"
#include "common/ScratchFiles.h"
#include "common/StopRequest.h"

#include <QCoreApplication>
#include <QRandomGenerator>

#include <cerrno>
#include <sys/file.h>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int OpenUnnamed(int folder) { return ::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666); }

constexpr ReplacingFile::SystemCalls kRealCalls{&::write, &::fsync, &::close, &OpenUnnamed};
const ReplacingFile::SystemCalls* calls = &kRealCalls;

// ".flipreel-" ten letters ".part": short, so that a target name of any length
// the file system takes has a part name beside it.
constexpr char kPartPrefix[] = ".flipreel-";
constexpr char kPartSuffix[] = ".part";

QByteArray NewPartName()
{
    static constexpr char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray name(kPartPrefix);
    for (int i = 0; i < 10; ++i)
        name += letters[QRandomGenerator::global()->bounded(int(sizeof letters - 1))];
    return name + kPartSuffix;
}

// Part files that a process killed outright (SIGKILL, power cut) left: this
// user's, and locked by no writer (each holds a lock on its part while it lives).
void RemoveAbandonedParts(int folder)
{
    const int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = listing >= 0 ? ::fdopendir(listing) : nullptr;
    if (!dir) {
        if (listing >= 0)
            ::close(listing);
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray file(entry->d_name);
        if (!file.startsWith(kPartPrefix) || !file.endsWith(kPartSuffix)
            || file.size() != qsizetype(sizeof kPartPrefix - 1 + 10 + sizeof kPartSuffix - 1))
            continue;
        struct stat info { };
        if (::fstatat(folder, file.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode)
            || info.st_uid != ::geteuid())
            continue;
        const int fd = ::openat(folder, file.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat opened { };
        if (::fstat(fd, &opened) == 0 && opened.st_ino == info.st_ino && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            (void)::unlinkat(folder, file.constData(), 0);
        ::close(fd);
    }
    ::closedir(dir);
}

// Gives the unnamed file `fd` the name `name` in `folder`.
bool LinkUnnamed(int fd, int folder, const QByteArray& name)
{
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
    return ::linkat(AT_FDCWD, self.constData(), folder, name.constData(), AT_SYMLINK_FOLLOW) == 0
        || ::linkat(fd, "", folder, name.constData(), AT_EMPTY_PATH) == 0;
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
    if (use_ == Use::Scratch) {
        // A run folder of this user's only (ScratchFiles); written in place:
        // nothing reads a scratch file before its run has written it, and a
        // failed one is removed.
        fd_ = ScratchFiles::OpenNew(FileNames::ToBytes(target_));
        if (fd_ < 0) {
            setErrorString(qt_error_string(errno));
            return false;
        }
        scratch_ = true;
        committed_ = false;
        return QIODevice::open(mode);
    }
    const FileNames::Place place = FileNames::ResolvePlace(target_);
    if (!place.refusal.isEmpty() || place.folder < 0) {
        setErrorString(place.folder < 0 && place.refusal.isEmpty() ? qt_error_string(place.error) : place.refusal);
        return false;
    }
    folder_ = place.folder;
    name_ = place.name;
    struct stat old { };
    const bool replaces = ::fstatat(folder_, name_.constData(), &old, AT_SYMLINK_NOFOLLOW) == 0;
    if (replaces && !S_ISREG(old.st_mode)) {
        setErrorString(S_ISDIR(old.st_mode) ? QCoreApplication::translate("FileNames", "it is a folder")
                                            : QCoreApplication::translate("FileNames", "it is not a regular file"));
        Discard();
        return false;
    }
    RemoveAbandonedParts(folder_);
    // The new file is made without a name in the target's folder and named
    // only once complete; a rename within one file system then replaces the
    // target in one step.
    // (Naming it later goes through /proc, or needs the administrator.)
    if (::access("/proc/self/fd", X_OK) == 0 || ::geteuid() == 0)
        fd_ = calls->openUnnamed(folder_);
    if (fd_ < 0) {
        // File systems without unnamed files get a part file of a short name.
        for (int attempt = 0; attempt < 100; ++attempt) {
            part_ = NewPartName();
            fd_ = ::openat(folder_, part_.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
            if (fd_ >= 0 || errno != EEXIST)
                break;
        }
        if (fd_ < 0)
            part_.clear();
    }
    if (fd_ < 0) {
        setErrorString(qt_error_string(errno));
        Discard();
        return false;
    }
    (void)::flock(fd_, LOCK_EX | LOCK_NB); // marks the part as a live one
    if (replaces) {
        // A replaced file keeps its permissions, and its owner where we may.
        // (Best effort: a failure leaves the new file ours, which is still whole.)
        if (::geteuid() == 0 && ::fchown(fd_, old.st_uid, old.st_gid) != 0)
            errno = 0;
        (void)::fchmod(fd_, old.st_mode & 07777);
    }
    return QIODevice::open(mode);
}

qint64 ReplacingFile::readData(char* /*data*/, qint64 /*maxSize*/) { return -1; }

qint64 ReplacingFile::writeData(const char* data, qint64 size)
{
    if (failed_ || fd_ < 0)
        return -1;
    // A scratch file is small and its writer may not clean up after a failed
    // write (Qt's PNG writer keeps a row): it is finished, and commit() drops it.
    if (use_ == Use::Output && StopRequest::Requested()) {
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
    if (!failed_ && !scratch_ && part_.isEmpty()) {
        part_ = NewPartName();
        if (!LinkUnnamed(fd_, folder_, part_)) {
            part_.clear();
            Fail(qt_error_string(errno));
        }
    }
    const int fd = fd_;
    fd_ = -1;
    if (calls->close(fd) != 0 && errno != EINTR)
        Fail(qt_error_string(errno));
    if (!failed_ && !scratch_ && ::renameat(folder_, part_.constData(), folder_, name_.constData()) != 0)
        Fail(qt_error_string(errno));
    if (failed_) {
        Discard();
        return false;
    }
    part_.clear();
    committed_ = true;
    Discard();
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
    if (scratch_ && !committed_)
        ScratchFiles::Remove(FileNames::ToBytes(target_)); // a frame that failed is no frame
    scratch_ = false;
    if (!part_.isEmpty() && folder_ >= 0)
        (void)::unlinkat(folder_, part_.constData(), 0);
    part_.clear();
    if (folder_ >= 0)
        (void)::close(folder_);
    folder_ = -1;
}
