// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/FileNames.h"
#include "common/ReplacingFile.h"
#include "common/StopRequest.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A disk with `room` bytes free, and a sync or close that may fail as some
// file systems (NFS, quotas) report a full disk only then.
ssize_t room = 0;
int syncError = 0;
int closeError = 0;

ssize_t LimitedWrite(int fd, const void* data, size_t size)
{
    if (room <= 0) {
        errno = ENOSPC;
        return -1;
    }
    const ssize_t n = ::write(fd, data, std::min<size_t>(size, size_t(room))); // short writes, as the kernel does
    room -= n;
    return n;
}
int FailingSync(int fd)
{
    (void)::fsync(fd);
    errno = syncError;
    return syncError ? -1 : 0;
}
int FailingClose(int fd)
{
    (void)::close(fd);
    errno = closeError;
    return closeError ? -1 : 0;
}

class ReplacingFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        static const ReplacingFile::SystemCalls fake{&LimitedWrite, &FailingSync, &FailingClose};
        ReplacingFile::SetSystemCallsForTesting(&fake);
        room = 1 << 20;
        syncError = closeError = 0;
        QFile old(target);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old GIF");
    }
    void TearDown() override
    {
        ReplacingFile::SetSystemCallsForTesting(nullptr);
        StopRequest::Clear();
    }
    QByteArray Content(const QString& path) const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
    }
    QStringList Entries() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System); }
    // Writes 10,000 bytes in pieces and commits.
    bool Replace(QString* error)
    {
        ReplacingFile file(target);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        const QByteArray piece(1000, 'g');
        for (int i = 0; i < 10; ++i)
            (void)file.write(piece); // failures are collected for commit()
        const bool ok = file.commit();
        *error = file.errorString();
        return ok;
    }

    QTemporaryDir dir;
    QString target = dir.filePath(QStringLiteral("out.gif"));
};

TEST_F(ReplacingFileTest, AFullDiskAtAnyStepKeepsTheOldFileAndNamesTheReason)
{
    struct Case {
        const char* what;
        ssize_t room;
        int syncError;
        int closeError;
        const char* reason;
    };
    const Case cases[] = {{"no room at all", 0, 0, 0, "No space left on device"},
                          {"room for part of it", 8192, 0, 0, "No space left on device"},
                          {"full at the sync", 1 << 20, ENOSPC, 0, "No space left on device"},
                          {"quota at the close", 1 << 20, 0, EDQUOT, "Disk quota exceeded"},
                          {"failing disk at the sync", 1 << 20, EIO, 0, "Input/output error"}};
    for (const Case& c : cases) {
        room = c.room;
        syncError = c.syncError;
        closeError = c.closeError;
        QString error;
        EXPECT_FALSE(Replace(&error)) << c.what;
        EXPECT_EQ(error, QLatin1String(c.reason)) << c.what;
        EXPECT_EQ(Content(target), QByteArray("old GIF")) << c.what;
        EXPECT_EQ(Entries(), QStringList{QStringLiteral("out.gif")}) << c.what << ": the new file is gone";
    }
    room = 1 << 20;
    syncError = closeError = 0;
    QString error;
    ASSERT_TRUE(Replace(&error)) << error.toStdString();
    EXPECT_EQ(Content(target), QByteArray(10000, 'g'));
    EXPECT_EQ(Entries(), QStringList{QStringLiteral("out.gif")});
}

TEST_F(ReplacingFileTest, AStopRequestKeepsTheOldFile)
{
    ReplacingFile file(target);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    EXPECT_EQ(file.write("GIF89a"), 6);
    StopRequest::Set(SIGTERM);
    EXPECT_EQ(file.write("more"), -1);
    EXPECT_FALSE(file.commit());
    EXPECT_EQ(file.errorString(), QStringLiteral("the run was stopped"));
    EXPECT_EQ(Content(target), QByteArray("old GIF"));
    EXPECT_EQ(Entries(), QStringList{QStringLiteral("out.gif")});
}

TEST_F(ReplacingFileTest, ALinkStaysALinkPermissionsStayAndOddNamesAreKept)
{
    const QString real = dir.filePath(QStringLiteral("real.gif"));
    ASSERT_TRUE(QFile::rename(target, real));
    ASSERT_EQ(::chmod(QFile::encodeName(real).constData(), 0640), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("real.gif"), target)); // relative link
    QString error;
    ASSERT_TRUE(Replace(&error)) << error.toStdString();
    EXPECT_TRUE(QFileInfo(target).isSymLink());
    EXPECT_EQ(Content(real).size(), 10000);
    struct stat mode {};
    ASSERT_EQ(::stat(QFile::encodeName(real).constData(), &mode), 0);
    EXPECT_EQ(mode.st_mode & 0777, 0640u);

    const QByteArray odd = QFile::encodeName(dir.path()) + "/\xFF\xFE.gif";
    ReplacingFile file(FileNames::FromBytes(odd));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write("GIF89a"), 6);
    ASSERT_TRUE(file.commit()) << file.errorString().toStdString();
    struct stat info {};
    EXPECT_EQ(::stat(odd.constData(), &info), 0) << "written under its own bytes";
    EXPECT_EQ(info.st_size, 6);
    ::unlink(odd.constData()); // QTemporaryDir cannot remove it by name
}

TEST_F(ReplacingFileTest, WhatIsNotARegularFileIsNeverOpened)
{
    const QString fifo = dir.filePath(QStringLiteral("pipe.gif"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    for (const QString& path : {fifo, QStringLiteral("/dev/null")}) {
        ReplacingFile file(path);
        EXPECT_FALSE(file.open(QIODevice::WriteOnly)) << path.toStdString();
        EXPECT_EQ(file.errorString(), QStringLiteral("it is not a regular file"));
    }
    EXPECT_TRUE(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());
}

} // namespace
