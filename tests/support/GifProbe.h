// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Reads a GIF file back with giflib, independently of the program's encoder:
// screen size, frames, their delays and the NETSCAPE2.0 loop count.
#include <gif_lib.h>

#include <QColor>
#include <QImage>
#include <QString>

#include <cstring>
#include <optional>
#include <vector>

struct GifProbe {
    bool ok = false;
    int width = 0;
    int height = 0;
    std::vector<int> delays;       // hundredths, one per frame
    std::optional<int> loopCount;  // absent without a NETSCAPE2.0 block
    std::vector<QImage> frames;    // each frame composited onto the ones before
    int FrameCount() const { return int(delays.size()); }
};

inline GifProbe ProbeGif(const QString& path)
{
    GifProbe probe;
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.toLocal8Bit().constData(), &error);
    if (!gif)
        return probe;
    if (DGifSlurp(gif) != GIF_OK) {
        DGifCloseFile(gif, &error);
        return probe;
    }
    probe.width = gif->SWidth;
    probe.height = gif->SHeight;
    QImage canvas(gif->SWidth, gif->SHeight, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        GraphicsControlBlock gcb{};
        gcb.TransparentColor = NO_TRANSPARENT_COLOR;
        DGifSavedExtensionToGCB(gif, i, &gcb);
        probe.delays.push_back(gcb.DelayTime);
        for (int e = 0; e < image.ExtensionBlockCount; ++e) {
            const ExtensionBlock& block = image.ExtensionBlocks[e];
            if (block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11
                && std::memcmp(block.Bytes, "NETSCAPE2.0", 11) == 0 && e + 1 < image.ExtensionBlockCount) {
                const ExtensionBlock& data = image.ExtensionBlocks[e + 1];
                if (data.ByteCount >= 3)
                    probe.loopCount = data.Bytes[1] | (data.Bytes[2] << 8);
            }
        }
        const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
        const GifImageDesc& d = image.ImageDesc;
        for (int y = 0; y < d.Height && map; ++y)
            for (int x = 0; x < d.Width; ++x) {
                const int index = image.RasterBits[y * d.Width + x];
                if (index == gcb.TransparentColor || index >= map->ColorCount)
                    continue;
                const GifColorType c = map->Colors[index];
                canvas.setPixel(d.Left + x, d.Top + y, qRgb(c.Red, c.Green, c.Blue));
            }
        probe.frames.push_back(canvas.copy());
    }
    probe.ok = true;
    DGifCloseFile(gif, &error);
    return probe;
}
