// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Artwork.h"

#include <QFile>
#include <QImage>
#include <QSvgRenderer>
#include <gtest/gtest.h>

namespace {

QString ArtPath(const char* name) { return QStringLiteral(":/art/%1.svg").arg(QLatin1String(name)); }

struct ColourCount {
    int opaque = 0;
    int red = 0;
    int green = 0;
    int blue = 0;
};

// Counts the clearly visible pixels and those where one channel plainly dominates.
ColourCount CountColours(const QImage& picture)
{
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    ColourCount count;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qAlpha(p) < 128)
                continue;
            ++count.opaque;
            const int r = qRed(p), g = qGreen(p), b = qBlue(p);
            count.red += r > g + 60 && r > b + 60;
            count.green += g > r + 60 && g > b + 60;
            count.blue += b > r + 60 && b > g + 60;
        }
    return count;
}

} // namespace

TEST(ArtworkTest, EveryCatalogueEntryIsAnSvgThatRendersAtItsSize)
{
    ASSERT_GT(Artwork::Catalogue().size(), 0u);
    for (const Artwork::Entry& entry : Artwork::Catalogue()) {
        SCOPED_TRACE(entry.name);
        // Rendering first also registers the compiled-in pictures.
        const QImage image = Artwork::PictureImage(QLatin1String(entry.name));
        ASSERT_TRUE(QFile::exists(ArtPath(entry.name)));
        QSvgRenderer renderer(ArtPath(entry.name));
        ASSERT_TRUE(renderer.isValid());
        EXPECT_EQ(renderer.viewBoxF(), QRectF(0, 0, entry.width, entry.height));
        EXPECT_EQ(Artwork::SizeOf(QLatin1String(entry.name)), QSize(entry.width, entry.height));
        ASSERT_EQ(image.size(), QSize(entry.width, entry.height));
        EXPECT_GT(CountColours(image).opaque, 0);
        EXPECT_FALSE(Artwork::Picture(QLatin1String(entry.name)).isNull());
    }
    EXPECT_FALSE(Artwork::WindowIcon().isNull());
}

TEST(ArtworkTest, HandCursorPointsWithItsFingertipAtTheHotSpot)
{
    const QCursor cursor = Artwork::HandCursor();
    EXPECT_EQ(cursor.hotSpot(), QPoint(12, 5));
    const QImage hand = Artwork::PictureImage(QStringLiteral("hand-cursor")).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(hand.size(), QSize(32, 32));
    EXPECT_GE(qAlpha(hand.pixel(12, 5)), 200);
    // Nothing of the hand lies above the fingertip.
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < hand.width(); ++x)
            EXPECT_LT(qAlpha(hand.pixel(x, y)), 32) << x << "," << y;
    // The tip is the finger's middle: the rows below it widen to both sides.
    EXPECT_GE(qAlpha(hand.pixel(11, 6)), 200);
    EXPECT_GE(qAlpha(hand.pixel(13, 6)), 200);
}

TEST(ArtworkTest, FrameListIconsShowTheirColours)
{
    const ColourCount tick = CountColours(Artwork::PictureImage(QStringLiteral("icon-tick")));
    EXPECT_GT(tick.green * 2, tick.opaque);
    EXPECT_EQ(tick.red, 0);

    const ColourCount cross = CountColours(Artwork::PictureImage(QStringLiteral("icon-cross")));
    EXPECT_GT(cross.red * 2, cross.opaque);
    EXPECT_EQ(cross.green, 0);

    const ColourCount frames = CountColours(Artwork::PictureImage(QStringLiteral("icon-frames")));
    EXPECT_GT(frames.red, 10);
    EXPECT_GT(frames.green, 10);
    EXPECT_GT(frames.blue, 10);
}
