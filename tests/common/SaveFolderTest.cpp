// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/SaveFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(SaveFolderTest, ProgramFolderWhenWritableElsePicturesElseHome)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    // A home of the test's own, with no user-dirs file: Pictures is ~/Pictures.
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    const QString portable = home.filePath(QStringLiteral("portable"));
    ASSERT_TRUE(QDir().mkpath(portable));
    EXPECT_EQ(SaveFolder::StartFolder(portable), portable);

    // A folder the user cannot write to (here: one that is not there at all).
    const QString system = home.filePath(QStringLiteral("usr/bin"));
    EXPECT_EQ(SaveFolder::StartFolder(system), home.path());
    ASSERT_TRUE(QDir(home.path()).mkdir(QStringLiteral("Pictures")));
    EXPECT_EQ(SaveFolder::StartFolder(system), home.filePath(QStringLiteral("Pictures")));
}

} // namespace
