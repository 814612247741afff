// SPDX-License-Identifier: GPL-3.0-or-later
#include "production/RunFolder.h"

#include "common/FileNames.h"
#include "common/ScratchFiles.h"
#include "production/ModFold.h"

#include <QCoreApplication>
#include <QDir>
#include <QRandomGenerator>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char kMarker[] = ".flipreel-run";
constexpr char kMarkerText[] = "flipreel run folder\n";
constexpr int kNameLetters = 12;

bool IsRunName(const char* name)
{
    if (std::strncmp(name, "run-", 4) != 0 || std::strlen(name) != size_t(4 + kNameLetters))
        return false;
    for (const char* p = name + 4; *p; ++p)
        if (!std::isalnum(static_cast<unsigned char>(*p)))
            return false;
    return true;
}

QByteArray NewRunName()
{
    static constexpr char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray name("run-");
    for (int i = 0; i < kNameLetters; ++i)
        name += letters[QRandomGenerator::system()->bounded(int(sizeof letters - 1))];
    return name;
}

void CloseKeepingErrno(int fd)
{
    const int error = errno;
    if (fd >= 0)
        ::close(fd);
    errno = error;
}

// Removes everything in the open folder `fd`, never through a link.
void RemoveContents(int fd)
{
    const int listing = ::dup(fd);
    DIR* dir = listing >= 0 ? ::fdopendir(listing) : nullptr;
    if (!dir) {
        CloseKeepingErrno(listing);
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (!std::strcmp(name, ".") || !std::strcmp(name, "..") || !std::strcmp(name, kMarker))
            continue;
        struct stat info { };
        if (::fstatat(fd, name, &info, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISDIR(info.st_mode)) {
            const int sub = ::openat(fd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (sub >= 0) {
                RemoveContents(sub);
                ::close(sub);
            }
            (void)::unlinkat(fd, name, AT_REMOVEDIR);
        } else {
            (void)::unlinkat(fd, name, 0);
        }
    }
    ::closedir(dir);
}

// The run folder `name` in `parent` when it is abandoned: its descriptor, with
// the marker's lock held in *marker. -1 otherwise.
int OpenAbandoned(int parent, const char* name, int* marker)
{
    struct stat before { };
    if (::fstatat(parent, name, &before, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISDIR(before.st_mode)
        || before.st_uid != ::geteuid())
        return -1;
    const int fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat info { };
    if (fd < 0 || ::fstat(fd, &info) != 0 || info.st_dev != before.st_dev || info.st_ino != before.st_ino
        || info.st_uid != ::geteuid()) {
        CloseKeepingErrno(fd);
        return -1;
    }
    *marker = ::openat(fd, kMarker, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    struct stat markerInfo { };
    char text[sizeof kMarkerText] = {};
    // A live run holds the lock; an empty marker is one still being made.
    const bool abandoned = *marker >= 0 && ::fstat(*marker, &markerInfo) == 0 && S_ISREG(markerInfo.st_mode)
        && markerInfo.st_uid == ::geteuid() && ::flock(*marker, LOCK_EX | LOCK_NB) == 0
        && ::pread(*marker, text, sizeof text - 1, 0) == ssize_t(sizeof text - 1)
        && std::memcmp(text, kMarkerText, sizeof text - 1) == 0;
    if (!abandoned) {
        CloseKeepingErrno(*marker);
        *marker = -1;
        ::close(fd);
        return -1;
    }
    return fd;
}

void RemoveAbandonedIn(int parent)
{
    const int listing = ::dup(parent);
    DIR* dir = listing >= 0 ? ::fdopendir(listing) : nullptr;
    if (!dir) {
        CloseKeepingErrno(listing);
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        if (!IsRunName(entry->d_name))
            continue;
        int marker = -1;
        const int fd = OpenAbandoned(parent, entry->d_name, &marker);
        if (fd < 0)
            continue;
        RemoveContents(fd);
        (void)::unlinkat(fd, kMarker, 0);
        ::close(marker);
        ::close(fd);
        (void)::unlinkat(parent, entry->d_name, AT_REMOVEDIR);
    }
    ::closedir(dir);
}

// Why another user could rename entries in the open folder `fd`; empty when
// nobody but this user (and the administrator) can.
QString SharedFolderReason(int fd)
{
    struct stat info { };
    if (::fstat(fd, &info) != 0)
        return qt_error_string(errno);
    if (!S_ISDIR(info.st_mode))
        return QCoreApplication::translate("RunFolder", "it is not a folder");
    if (info.st_uid != ::geteuid() && info.st_uid != 0)
        return QCoreApplication::translate("RunFolder", "it belongs to another user");
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) && !(info.st_mode & S_ISVTX))
        return QCoreApplication::translate("RunFolder", "other users may write in it and it is not sticky (chmod +t)");
    return {};
}

} // namespace

void RunFolder::RemoveAbandoned(const QString& folder)
{
    const int fd = ::open(FileNames::ToBytes(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    RemoveAbandonedIn(fd);
    ::close(fd);
}

QString RunFolder::Open(const QString& folder)
{
    const QByteArray bytes = FileNames::ToBytes(folder);
    parent_ = ::open(bytes.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parent_ < 0)
        return qt_error_string(errno);
    if (const QString refused = SharedFolderReason(parent_); !refused.isEmpty())
        return refused;
    // A run killed outright (SIGKILL, power cut) could not clean up.
    RemoveAbandonedIn(parent_);
    for (int attempt = 0; attempt < 100; ++attempt) {
        name_ = NewRunName();
        if (::mkdirat(parent_, name_.constData(), 0700) == 0)
            break;
        if (errno != EEXIST)
            return qt_error_string(errno);
        name_.clear();
    }
    if (name_.isEmpty())
        return qt_error_string(EEXIST);
    fd_ = ::openat(parent_, name_.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat info { };
    if (fd_ < 0 || ::fstat(fd_, &info) != 0)
        return qt_error_string(errno);
    if (info.st_uid != ::geteuid())
        return QCoreApplication::translate("RunFolder", "its new subfolder was replaced by another user's");
    (void)::fchmod(fd_, 0700); // whatever a default ACL of the folder grants
    marker_ = ::openat(fd_, kMarker, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (marker_ < 0 || ::flock(marker_, LOCK_EX | LOCK_NB) != 0
        || ::write(marker_, kMarkerText, sizeof kMarkerText - 1) != ssize_t(sizeof kMarkerText - 1))
        return qt_error_string(errno);
    return {};
}

RunFolder::RunFolder(const QStringList& candidates)
{
    for (const QString& folder : candidates) {
        ModFold::EnsureFolder(folder);
        const QString why = Open(folder);
        if (why.isEmpty()) {
            path_ = QDir::cleanPath(folder) + QLatin1Char('/') + QString::fromLatin1(name_);
            ScratchFiles::Register(FileNames::ToBytes(path_), fd_);
            error_.clear();
            return;
        }
        error_ = QCoreApplication::translate("RunFolder", "cannot make a temporary folder in \"%1\": %2")
                     .arg(QDir::toNativeSeparators(folder), why);
        Release();
    }
    if (error_.isEmpty())
        error_ = QCoreApplication::translate("RunFolder", "no temporary folder is known");
}

RunFolder::~RunFolder() { Release(); }

void RunFolder::Release()
{
    if (!path_.isEmpty())
        ScratchFiles::Unregister(FileNames::ToBytes(path_));
    if (fd_ >= 0) {
        // Only the marker left: the folder goes; else the next sweep takes it.
        bool onlyMarker = true;
        const int listing = ::dup(fd_);
        if (DIR* dir = listing >= 0 ? ::fdopendir(listing) : nullptr) {
            while (const dirent* entry = ::readdir(dir))
                if (std::strcmp(entry->d_name, ".") && std::strcmp(entry->d_name, "..")
                    && std::strcmp(entry->d_name, kMarker))
                    onlyMarker = false;
            ::closedir(dir);
        } else {
            CloseKeepingErrno(listing);
            onlyMarker = false;
        }
        if (onlyMarker)
            (void)::unlinkat(fd_, kMarker, 0);
    }
    if (!name_.isEmpty() && parent_ >= 0)
        (void)::unlinkat(parent_, name_.constData(), AT_REMOVEDIR); // only when empty
    for (int* fd : {&marker_, &fd_, &parent_}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
    name_.clear();
}
