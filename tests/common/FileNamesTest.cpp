// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/FileNames.h"
#include "imaging/PictureFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

TEST(FileNames, EveryByteStringComesBackUnchangedAndUtf8ReadsAsUtf8)
{
    for (const QByteArray utf8 : {"plain.png", "caf\xC3\xA9.png", "\xE2\x82\xAC", "\xF0\x9F\x8E\x9E.gif"}) {
        EXPECT_EQ(FileNames::FromBytes(utf8), QString::fromUtf8(utf8)) << utf8.constData();
        EXPECT_EQ(FileNames::ToBytes(FileNames::FromBytes(utf8)), utf8);
    }
    // A lone byte, a cut sequence, an overlong slash, an encoded surrogate,
    // a code point above U+10FFFF, Latin-1 next to UTF-8.
    for (const QByteArray bytes :
         {"a\xFF.png", "\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE9t\xE9\xC3\xA9"}) {
        const QString name = FileNames::FromBytes(bytes);
        EXPECT_EQ(FileNames::ToBytes(name), bytes) << bytes.toHex().constData();
        EXPECT_FALSE(name.contains(QChar(0xFFFD))) << bytes.toHex().constData();
    }
    EXPECT_EQ(FileNames::FromBytes("a\xFF"), QStringLiteral("a") + QChar(0xDCFF));
}

TEST(FileNames, OnlyRegularFilesAreOpenedOrWrittenOverAndFifosNeverBlock)
{
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path()) + '/';
    const QByteArray odd = folder + "\xFF\xFE.png";
    QFile maker(FileNames::FromBytes(folder + "plain.png"));
    ASSERT_TRUE(maker.open(QIODevice::WriteOnly) && maker.write("PNG?") == 4);
    maker.close();
    ASSERT_EQ(::link(QFile::encodeName(maker.fileName()).constData(), odd.constData()), 0);
    ASSERT_EQ(::mkfifo(QByteArray(folder + "pipe").constData(), 0644), 0);
    ASSERT_EQ(::symlink("pipe", QByteArray(folder + "pipe-link").constData()), 0);
    ASSERT_EQ(::symlink("plain.png", QByteArray(folder + "link.png").constData()), 0);

    QByteArray bytes;
    const imaging::Result read = imaging::ReadPictureFile(FileNames::FromBytes(odd), &bytes);
    ASSERT_TRUE(read) << read.Message().toStdString();
    EXPECT_EQ(bytes, QByteArray("PNG?"));
    ::unlink(odd.constData()); // QTemporaryDir cannot remove it by name

    const char* const notRegular = "it is not a regular file";
    const char* const notRegularRead = "not a regular file";
    const struct {
        QByteArray name;
        const char* readError;  // nullptr: opens
        const char* writeError; // empty: may be written over
    } cases[] = {{folder + "link.png", nullptr, ""},
                 {folder + "new.gif", "the file does not exist", ""},
                 {folder + "pipe", notRegularRead, notRegular},
                 {folder + "pipe-link", notRegularRead, notRegular},
                 {"/dev/null", notRegularRead, notRegular},
                 {folder, "the path is a folder", "it is a folder"}};
    for (const auto& c : cases) {
        const QString name = FileNames::FromBytes(c.name);
        const imaging::Result opened = imaging::ReadPictureFile(name, &bytes);
        EXPECT_EQ(opened.Ok(), c.readError == nullptr) << c.name.constData();
        if (c.readError) {
            EXPECT_EQ(opened.Message(), QLatin1String(c.readError)) << c.name.constData();
            EXPECT_EQ(opened.Code(), imaging::ErrorCode::FileError);
        }
        EXPECT_EQ(FileNames::CheckOutputTarget(name), QLatin1String(c.writeError)) << c.name.constData();
    }
}

} // namespace
