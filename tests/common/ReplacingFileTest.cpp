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
        if (!file.open(QIODevice::WriteOnly))
            return false;
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
    for (const auto& c : cases) {
        FullDisk disk("real.gif", c.room, c.syncError, c.closeError);
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
    ASSERT_TRUE(Replace(&error)) << error.toStdString();
    EXPECT_TRUE(QFileInfo(target).isSymLink());
    EXPECT_EQ(Content(), QByteArray(10000, 'g'));
    struct stat info { };
    ASSERT_EQ(::stat(QFile::encodeName(real).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(Entries(), (QStringList{QStringLiteral("out.gif"), QStringLiteral("real.gif")}));
}

TEST_F(ReplacingFileTest, WhatAProcessKilledOutrightLeftBesideTheFileGoesNextTime)
{
    const pid_t child = fork(); // a process that is surely gone afterwards
    if (child == 0)
        _exit(0);
    ASSERT_EQ(waitpid(child, nullptr, 0), child);
    const QString dead = QStringLiteral(".real.gif.%1-abc.part").arg(child);
    const QString running = QStringLiteral(".real.gif.1-abc.part"); // pid 1 always runs
    for (const QString& part : {dead, running})
        ASSERT_TRUE(QFile(dir.filePath(part)).open(QIODevice::WriteOnly));
    QString error;
    ASSERT_TRUE(Replace(&error)) << error.toStdString();
    EXPECT_EQ(Entries(), (QStringList{running, QStringLiteral("out.gif"), QStringLiteral("real.gif")}));
}

} // namespace
