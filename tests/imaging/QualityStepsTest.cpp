// SPDX-License-Identifier: GPL-3.0-or-later
// -Q as a size-for-quality knob: each lower step gives a smaller file that
// shows the pictures less exactly, decoded by giflib.
#include "ImagingTestSupport.h"

#include "imaging/GifAssembler.h"
#include "imaging/Quantizer.h"
#include "imaging/animation/FrameQuantizer.h"

#include <QFileInfo>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>

using namespace testing_imaging;

namespace {

// Eight frames over a photograph-like background of far more than 256
// colours (a gradient with grain): a disc moves, the light drifts a little.
QVector<QImage> Scene()
{
    QVector<QImage> out;
    quint32 seed = 12345;
    QImage background(96, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 96; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int grain = int(seed >> 28) - 8;
            background.setPixel(x, y,
                                qRgb(std::clamp(x * 2 + grain, 0, 255), std::clamp(60 + y * 3 + grain, 0, 255),
                                     std::clamp(200 - x - y + grain, 0, 255)));
        }
    for (int i = 0; i < 8; ++i) {
        QImage img = background.copy();
        QPainter p(&img);
        p.fillRect(img.rect(), QColor(255, 255, 255, i * 2));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(230, 40, 30));
        p.drawEllipse(8 + i * 9, 20, 18, 18);
        p.end();
        out << img;
    }
    return out;
}

int Distance(QRgb a, QRgb b)
{
    const int dr = qRed(a) - qRed(b), dg = qGreen(a) - qGreen(b), db = qBlue(a) - qBlue(b);
    return dr * dr + dg * dg + db * db;
}

} // namespace

TEST(QualitySteps, EachLowerStepIsSmallerAndNoCloserToThePictures)
{
    Scratch scratch;
    const QVector<QImage> pictures = Scene();
    qint64 previousBytes = -1;
    double previousError = -1;
    for (const int quality : {100, 95, 85, 60, 30, 1}) {
        const imaging::QuantizeSettings settings = imaging::SettingsForQuality(quality);
        imaging::FrameQuantizer palettes;
        palettes.Settings() = settings;
        GifAssembler gif;
        gif.Reset();
        gif.LoopCount(0);
        gif.LzwError(settings.lzwError);
        gif.UnchangedError(settings.unchangedError);
        gif.Version(QStringLiteral("gif89a"));
        for (int i = 0; i < pictures.size(); ++i) {
            const QString frame =
                SaveFrame(scratch, QStringLiteral("q%1_%2").arg(quality).arg(i + 1), pictures[i], &palettes);
            ASSERT_FALSE(frame.isEmpty());
            gif.AddFrame(frame);
            gif.SetFrameDelay(i, 10);
        }
        const QString out = scratch.Path(QStringLiteral("q%1.gif").arg(quality));
        ASSERT_TRUE(gif.SaveAnimation(out)) << gif.LastError().toStdString();
        const Animation a = DecodeAnimation(out);
        ASSERT_TRUE(a.ok) << a.error.toStdString();
        ASSERT_EQ(a.frames.size(), pictures.size());
        double error = 0;
        for (int i = 0; i < pictures.size(); ++i)
            error += MeanDifference(a.frames[i], pictures[i]) / pictures.size();
        const qint64 bytes = QFileInfo(out).size();
        if (previousBytes >= 0) {
            EXPECT_LT(bytes, previousBytes) << "-Q " << quality;
            EXPECT_GE(error, previousError) << "-Q " << quality;
        }
        previousBytes = bytes;
        previousError = error;
    }
}

TEST(QualitySteps, AKeptColourIsNeverFarFromThePicture)
{
    // A texture that pans under a coarse palette: the nearest colour is far
    // off everywhere, and the colour already on screen must not be kept when
    // it is further than the slack allows from the picture itself (nor much
    // worse than the nearest).
    constexpr int kSlack = 200;
    constexpr int kNearlyAsClose = 50;
    imaging::FrameQuantizer palettes;
    palettes.Settings().maxQuality = 30;
    palettes.Settings().keepSlack = kSlack;
    palettes.Settings().driftSlack = 1e6; // the first palette stays
    quint32 seed = 777;
    QImage texture(160, 48, QImage::Format_RGB32);
    for (int y = 0; y < texture.height(); ++y)
        for (int x = 0; x < texture.width(); ++x) {
            seed = seed * 1103515245u + 12345u;
            const int v = 90 + int(40 * std::sin(x * 0.45)) + int(seed >> 27);
            texture.setPixel(x, y, qRgb(v + 40, v, std::max(v - 50, 0)));
        }
    int kept = 0;
    imaging::IndexedPicture previous;
    for (int i = 0; i < 6; ++i) {
        const QImage picture = texture.copy(i * 3, 0, 96, 48);
        imaging::IndexedPicture out;
        QString error;
        ASSERT_TRUE(palettes.Quantize(picture, &out, &error)) << error.toStdString();
        for (int y = 0; y < picture.height() && i > 0; ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const size_t at = size_t(y) * 96 + size_t(x);
                const QRgb want = picture.pixel(x, y);
                int nearest = INT32_MAX;
                for (int k = 0; k < out.colorCount; ++k)
                    if (k != out.transparent)
                        nearest = std::min(nearest, Distance(want, out.palette[size_t(k)]));
                const int shown = Distance(want, out.palette[out.indices[at]]);
                if (shown > nearest && out.indices[at] == previous.indices[at])
                    ++kept;
                ASSERT_LE(shown, std::max(nearest + kNearlyAsClose, kSlack))
                    << "frame " << i << " at " << x << "," << y << ", nearest " << nearest;
            }
        previous = out;
    }
    EXPECT_GT(kept, 0) << "the slack keeps some colours on screen";
}
