// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/SizeText.h"
#include "document/Document.h"

#include <gtest/gtest.h>

namespace {

PictureRow Picture(const char* name, QSize size)
{
    return {QLatin1String(name), QStringLiteral("PNG image"), size, QStringLiteral("/pics")};
}

FrameRow Frame(const char* name, const char* playTime, bool transparent = false, ColorValue color = 0)
{
    return {QLatin1String(name), PlayTime::FromText(QLatin1String(playTime)), transparent, color};
}

// a, b, c: sizes 8x6, 4x4, 8x6; play times 100, 200, 300.
Document ThreePictures()
{
    Document document;
    document.Append(Picture("a.png", {8, 6}), Frame("a.png", "100"));
    document.Append(Picture("b.png", {4, 4}), Frame("b.png", "200", true, Rgb(1, 2, 3)));
    document.Append(Picture("c.png", {8, 6}), Frame("c.png", "300"));
    return document;
}

} // namespace

TEST(PlayTimeTest, KeepsTheTrimmedTextAndReadsItsValueOnce)
{
    const PlayTime typed = PlayTime::FromText(QStringLiteral(" 250 "));
    EXPECT_EQ(typed.text, QStringLiteral("250"));
    EXPECT_EQ(typed.ms, 250);
    for (const char* bad : {"", "1O0", "12.5", "99999999999"}) {
        const PlayTime read = PlayTime::FromText(QLatin1String(bad));
        EXPECT_FALSE(read.ms) << bad;
        EXPECT_EQ(read.text, QLatin1String(bad)) << "the text stays for the message";
    }
}

TEST(SizeTextTest, ReadsWhatItWrites)
{
    EXPECT_EQ(SizeText({640, 480}), QStringLiteral("640 x 480"));
    EXPECT_EQ(ParseSizeText(SizeText({640, 480})), QSize(640, 480));
    EXPECT_EQ(ParseSizeText(QStringLiteral("64x")), QSize(64, 0));
    EXPECT_EQ(ParseSizeText(QStringLiteral("64")), QSize(64, 0));
}

TEST(DocumentTest, SwapMovesPictureAndFrameTogetherButNotTheChecks)
{
    Document document = ThreePictures();
    document.SetChecked(3, true);
    ASSERT_TRUE(document.Swap(2, 3));
    EXPECT_EQ(document.Picture(2)->name, QStringLiteral("c.png"));
    EXPECT_EQ(document.Frame(2)->playTime.ms, 300);
    EXPECT_TRUE(document.Frame(3)->transparent);
    EXPECT_EQ(document.Frame(3)->color, Rgb(1, 2, 3));
    EXPECT_FALSE(document.IsChecked(2));
    EXPECT_TRUE(document.IsChecked(3));

    for (auto [a, b] : {std::pair{2, 2}, {0, 1}, {3, 4}})
        EXPECT_FALSE(document.Swap(a, b)) << a << "," << b;
    EXPECT_EQ(document.Picture(2)->name, QStringLiteral("c.png"));
}

TEST(DocumentTest, RemoveKeepsChecksWithTheRowsBelow)
{
    Document document = ThreePictures();
    document.SetChecked(3, true);
    document.Remove(2);
    document.Remove(0);
    document.Remove(4);
    ASSERT_EQ(document.Count(), 2);
    EXPECT_EQ(document.PicturePath(2), QStringLiteral("/pics/c.png"));
    EXPECT_TRUE(document.IsChecked(2));
    EXPECT_FALSE(document.IsChecked(1));
    EXPECT_EQ(document.PicturePath(3), QString());
    EXPECT_EQ(document.Frame(0), nullptr);
}

TEST(DocumentTest, SizeListAndPlayTimes)
{
    Document document = ThreePictures();
    EXPECT_EQ(document.SizeList(), (QList<QSize>{{8, 6}, {4, 4}}));
    EXPECT_EQ(document.TotalPlayTime(), 600);

    // Sums past the 32-bit range.
    document.SetPlayTime(1, PlayTime::FromText(QStringLiteral("2147483647")));
    EXPECT_EQ(document.TotalPlayTime(), 2147483647LL + 500);
    document.SetPlayTime(2, PlayTime::FromText(QString()));
    EXPECT_FALSE(document.TotalPlayTime());
    // A frame's own time; a text that is no number has none; out of range 500.
    EXPECT_EQ(document.FramePlayTime(3), 300);
    EXPECT_FALSE(document.FramePlayTime(2));
    EXPECT_EQ(document.FramePlayTime(0), 500);
    EXPECT_EQ(document.FramePlayTime(4), 500);
    EXPECT_EQ(Document().TotalPlayTime(), 0);
}

TEST(DocumentTest, RefusesPicturesPastTheLastPosition)
{
    Document document;
    for (int i = 0; i < Document::kMaxPictures; ++i)
        ASSERT_TRUE(document.Append(Picture("a.png", {1, 1}), Frame("a.png", "1")));
    EXPECT_FALSE(document.Append(Picture("b.png", {1, 1}), Frame("b.png", "1")));
    EXPECT_EQ(document.Count(), Document::kMaxPictures);
    EXPECT_EQ(document.TotalPlayTime(), Document::kMaxPictures);
}
