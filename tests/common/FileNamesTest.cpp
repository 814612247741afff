// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/FileNames.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TEST(FileNames, EveryByteStringComesBackUnchangedAndUtf8ReadsAsUtf8)
{
    const QByteArray valid[] = {"plain.png", "caf\xC3\xA9.png", "\xE2\x82\xAC", "\xF0\x9F\x8E\x9E.gif"};
    for (const QByteArray& bytes : valid) {
        EXPECT_EQ(FileNames::FromBytes(bytes), QString::fromUtf8(bytes)) << bytes.constData();
        EXPECT_EQ(FileNames::ToBytes(FileNames::FromBytes(bytes)), bytes);
    }
    // A lone byte, a cut sequence, an overlong slash, an encoded surrogate, a
    // code point above U+10FFFF, and an escape-lookalike written as UTF-8.
    const QByteArray invalid[] = {"a\xFF.png", "\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                                  "\xE9t\xE9\xC3\xA9"};
    for (const QByteArray& bytes : invalid) {
        const QString name = FileNames::FromBytes(bytes);
        EXPECT_EQ(FileNames::ToBytes(name), bytes) << bytes.toHex().constData();
        EXPECT_FALSE(name.contains(QChar(0xFFFD))) << bytes.toHex().constData();
    }
    EXPECT_EQ(FileNames::FromBytes("a\xFF"), QStringLiteral("a") + QChar(0xDCFF));
}

TEST(FileNames, OpensByExactBytesAndRefusesWhatIsNotARegularFileWithoutBlocking)
{
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path()) + '/';
    const QByteArray picture = folder + "\xFF\xFE.png";
    const int fd = ::open(picture.constData(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "PNG?", 4), 4);
    ::close(fd);
    ASSERT_EQ(::mkfifo((folder + "pipe.png").constData(), 0644), 0);

    QFile file;
    QString error;
    ASSERT_TRUE(FileNames::OpenForReading(file, FileNames::FromBytes(picture), &error)) << error.toStdString();
    const uchar* mapped = file.map(0, 4); // the picture reader maps what it reads
    ASSERT_NE(mapped, nullptr);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(mapped), 4), QByteArray("PNG?"));
    ::unlink(picture.constData()); // QTemporaryDir cannot remove it by name

    const std::pair<QByteArray, QString> refused[] = {{folder + "pipe.png", QStringLiteral("it is not a regular file")},
                                                      {"/dev/null", QStringLiteral("it is not a regular file")},
                                                      {folder, QStringLiteral("the path is a folder")},
                                                      {folder + "gone.png", QStringLiteral("the file does not exist")}};
    for (const auto& [name, reason] : refused) {
        QFile other;
        EXPECT_FALSE(FileNames::OpenForReading(other, FileNames::FromBytes(name), &error)) << name.constData();
        EXPECT_EQ(error, reason) << name.constData();
    }
}

TEST(FileNames, AnOutputMayBeMissingARegularFileOrALinkToOneOnly)
{
    QTemporaryDir dir;
    const QString regular = dir.filePath(QStringLiteral("a.gif"));
    QFile file(regular);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QString link = dir.filePath(QStringLiteral("link.gif"));
    ASSERT_TRUE(QFile::link(regular, link));
    const QString fifo = dir.filePath(QStringLiteral("pipe.gif"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    const QString fifoLink = dir.filePath(QStringLiteral("pipe-link.gif"));
    ASSERT_TRUE(QFile::link(fifo, fifoLink));

    for (const QString& fine : {regular, link, dir.filePath(QStringLiteral("new.gif"))})
        EXPECT_EQ(FileNames::CheckOutputTarget(fine), QString()) << fine.toStdString();
    for (const QString& refused : {fifo, fifoLink, QStringLiteral("/dev/null")})
        EXPECT_EQ(FileNames::CheckOutputTarget(refused), QStringLiteral("it is not a regular file")) << refused.toStdString();
    EXPECT_EQ(FileNames::CheckOutputTarget(dir.path()), QStringLiteral("it is a folder"));
}

} // namespace
