// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ReplacingFile.h"
#include "common/StopRequest.h"
#include "support/FullDisk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class ReplacingFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QFile old(real);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("old GIF") == 7);
        ASSERT_TRUE(QFile::link(QStringLiteral("real.gif"), target)); // relative to its folder
    }
    void TearDown() override { StopRequest::Clear(); }
    QByteArray Content() const
    {
        QFile f(real);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QStringList Entries() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System); }
    // 10,000 bytes in ten writes; every failure surfaces in commit().
    bool Replace(QString* error)
    {
        ReplacingFile file(target);
        if (!file.open(QIODevice::WriteOnly)) {
            *error = file.errorString();
            return false;
        }
        for (int i = 0; i < 10; ++i)
            (void)file.write(QByteArray(1000, 'g'));
        if (stop)
            StopRequest::Set(SIGTERM);
        const bool ok = file.commit();
        *error = file.errorString();
        return ok;
    }

    QTemporaryDir dir;
    QString real = dir.filePath(QStringLiteral("real.gif"));
    QString target = dir.filePath(QStringLiteral("out.gif"));
    bool stop = false;
};

// Without unnamed files the new file is a named part file, which must go too.
TEST_F(ReplacingFileTest, AFullDiskAtAnyStepOrAStopKeepsTheOldFileAndNamesTheReason)
{
    const struct {
        ssize_t room;
        int syncError, closeError;
        bool stop;
        const char* reason;
    } cases[] = {{0, 0, 0, false, "No space left on device"},
                 {8192, 0, 0, false, "No space left on device"},
                 {1 << 20, ENOSPC, 0, false, "No space left on device"},
                 {1 << 20, 0, EDQUOT, false, "Disk quota exceeded"},
                 {1 << 20, EIO, 0, false, "Input/output error"},
                 {1 << 20, 0, 0, true, "the run was stopped"}};
    for (const bool unnamed : {true, false})
        for (const auto& c : cases) {
            // The part file is the one whose disk is full where there are no unnamed files.
            FullDisk disk(unnamed ? "real.gif" : ".part", c.room, c.syncError, c.closeError, unnamed);
            stop = c.stop;
            QString error;
            EXPECT_FALSE(Replace(&error)) << c.reason;
            EXPECT_EQ(error, QLatin1String(c.reason));
            EXPECT_EQ(Content(), QByteArray("old GIF"));
            EXPECT_EQ(Entries(), (QStringList{QStringLiteral("out.gif"), QStringLiteral("real.gif")})) << "no new file";
            StopRequest::Clear();
        }
}

TEST_F(ReplacingFileTest, ALinkStaysALinkAndTheFileKeepsItsPermissions)
{
    ASSERT_EQ(::chmod(QFile::encodeName(real).constData(), 0640), 0);
    QString error;
    {
        const FullDisk noUnnamedFiles("real.gif", SSIZE_MAX, 0, 0, false);
        ASSERT_TRUE(Replace(&error)) << error.toStdString();
    }
    EXPECT_TRUE(QFileInfo(target).isSymLink());
    EXPECT_EQ(Content(), QByteArray(10000, 'g'));
    struct stat info { };
    ASSERT_EQ(::stat(QFile::encodeName(real).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(Entries(), (QStringList{QStringLiteral("out.gif"), QStringLiteral("real.gif")}));
}

TEST_F(ReplacingFileTest, WhatAProcessKilledOutrightLeftBesideTheFileGoesNextTime)
{
    const QString dead = QStringLiteral(".flipreel-0123456789.part");
    const QString live = QStringLiteral(".flipreel-abcdefghij.part");
    for (const QString& part : {dead, live})
        ASSERT_TRUE(QFile(dir.filePath(part)).open(QIODevice::WriteOnly));
    // A writer that still runs holds a lock on its part.
    const int held = ::open(QFile::encodeName(dir.filePath(live)).constData(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    QString error;
    ASSERT_TRUE(Replace(&error)) << error.toStdString();
    ::close(held);
    EXPECT_EQ(Entries(), (QStringList{live, QStringLiteral("out.gif"), QStringLiteral("real.gif")}));
}

TEST_F(ReplacingFileTest, ANameOfTheLongestLengthIsWritten)
{
    const QString name = QString(251, u'n') + QStringLiteral(".gif");
    ASSERT_EQ(QFile::encodeName(name).size(), 255);
    target = dir.filePath(name);
    QString error;
    ASSERT_TRUE(Replace(&error)) << error.toStdString();
    EXPECT_EQ(QFileInfo(target).size(), 10000);
    EXPECT_EQ(Entries(), (QStringList{name, QStringLiteral("out.gif"), QStringLiteral("real.gif")}));
}

// Another user's link in a sticky folder that everyone may write in (/tmp) is
// not followed, as the kernel's link protection would not follow it; the
// user's own link, or the folder owner's, is.
TEST_F(ReplacingFileTest, ALinkPlantedInASharedFolderByAnotherUserIsNotFollowed)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "a link of another user needs root to make";
    QTemporaryDir shared;
    ASSERT_EQ(::chmod(QFile::encodeName(shared.path()).constData(), 01777), 0);
    const QString missing = dir.filePath(QStringLiteral("created.gif"));
    const struct {
        const char* name;
        QString points;
        uid_t owner;
        bool followed;
    } cases[] = {{"planted.gif", real, 54321, false},
                 {"dangling.gif", missing, 54321, false},
                 {"own.gif", real, ::geteuid(), true}};
    for (const auto& c : cases) {
        const QString link = shared.filePath(QLatin1String(c.name));
        ASSERT_TRUE(QFile::link(c.points, link));
        ASSERT_EQ(::lchown(QFile::encodeName(link).constData(), c.owner, c.owner), 0);
        target = link;
        QString error;
        EXPECT_EQ(Replace(&error), c.followed) << c.name;
        EXPECT_EQ(Content(), c.followed ? QByteArray(10000, 'g') : QByteArray("old GIF")) << c.name;
        EXPECT_FALSE(QFileInfo::exists(missing)) << c.name;
        EXPECT_TRUE(QFileInfo(link).isSymLink()) << c.name;
        EXPECT_EQ(error.contains(QLatin1String("another user")), !c.followed) << error.toStdString();
    }
    // The folder owner's link is followed too.
    ASSERT_EQ(::chown(QFile::encodeName(shared.path()).constData(), 54321, 54321), 0);
    target = shared.filePath(QStringLiteral("planted.gif"));
    QString error;
    EXPECT_TRUE(Replace(&error)) << error.toStdString();
}

} // namespace
