// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/PictureFile.h"

#include "common/FileNames.h"

#include "imaging/ImagingLimits.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace imaging {
namespace {

QString ErrnoReason(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return QCoreApplication::translate("PictureFile", "the file does not exist");
    case EACCES:
    case EPERM:
        return QCoreApplication::translate("PictureFile", "no permission to read the file");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

QString TypeProblem(const struct stat& st)
{
    if (S_ISDIR(st.st_mode))
        return QCoreApplication::translate("PictureFile", "the path is a folder");
    if (!S_ISREG(st.st_mode))
        return QCoreApplication::translate("PictureFile", "not a regular file");
    if (st.st_size <= 0)
        return QCoreApplication::translate("PictureFile", "the file is empty");
    if (st.st_size > kMaxPictureFileBytes)
        return QCoreApplication::translate("PictureFile", "the file is too large (more than %1 MB)")
            .arg(kMaxPictureFileBytes >> 20);
    return {};
}

class Descriptor {
public:
    explicit Descriptor(int fd)
        : fd_(fd)
    {
    }
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Q_DISABLE_COPY_MOVE(Descriptor)
    int get() const { return fd_; }

private:
    int fd_;
};

} // namespace

namespace {

// The one place a picture file is opened. Checked before opening: opening a
// FIFO for reading waits for a writer. O_NONBLOCK as well, in case the path
// is replaced by a FIFO meanwhile; checked again once open.
int OpenPictureFile(const QString& path, qint64* size, QString* reason)
{
    const QByteArray name = FileNames::ToBytes(path);
    struct stat st { };
    if (::stat(name.constData(), &st) != 0) {
        *reason = ErrnoReason(errno);
        return -1;
    }
    if (QString problem = TypeProblem(st); !problem.isEmpty()) {
        *reason = problem;
        return -1;
    }
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        *reason = ErrnoReason(errno);
        return -1;
    }
    QString problem = ::fstat(fd, &st) != 0 ? ErrnoReason(errno) : TypeProblem(st);
    if (!problem.isEmpty()) {
        ::close(fd);
        *reason = problem;
        return -1;
    }
    *size = st.st_size;
    return fd;
}

} // namespace

namespace {

Result Failed(const QString& reason) { return Result::Failure(ErrorCode::FileError, reason); }

} // namespace

Result ReadPictureFile(const QString& path, QByteArray* bytes)
{
    bytes->clear();
    qint64 size = 0;
    QString reason;
    const Descriptor fd(OpenPictureFile(path, &size, &reason));
    if (fd.get() < 0)
        return Failed(reason);
    return ReadOpenFile(fd.get(), size, bytes);
}

Result ReadPictureFileEnds(const QString& path, qint64 headBytes, qint64 tailBytes, QByteArray* head, QByteArray* tail,
                           qint64* fileSize)
{
    head->clear();
    tail->clear();
    qint64 size = 0;
    QString reason;
    const Descriptor fd(OpenPictureFile(path, &size, &reason));
    if (fd.get() < 0)
        return Failed(reason);
    if (fileSize)
        *fileSize = size;
    if (size <= headBytes + tailBytes)
        return ReadOpenFile(fd.get(), size, head);
    if (Result read = ReadOpenFile(fd.get(), headBytes, head); !read)
        return read;
    if (::lseek(fd.get(), size - tailBytes, SEEK_SET) < 0)
        return Failed(ErrnoReason(errno));
    return ReadOpenFile(fd.get(), tailBytes, tail);
}

Result ReadOpenFile(int fd, qint64 size, QByteArray* bytes)
{
    try {
        bytes->resize(qsizetype(size));
    } catch (const std::bad_alloc&) {
        return Failed(QCoreApplication::translate("PictureFile", "not enough memory to read the file"));
    }
    qsizetype done = 0;
    while (done < bytes->size()) {
        const ssize_t got = ::read(fd, bytes->data() + done, size_t(bytes->size() - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            const int error = errno;
            bytes->clear();
            return Failed(ErrnoReason(error));
        }
        if (got == 0) {
            bytes->clear();
            return Failed(QCoreApplication::translate("PictureFile",
                                                      "the file is truncated: it was cut short while it was read"));
        }
        done += got;
    }
    return {};
}

} // namespace imaging
