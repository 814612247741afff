// SPDX-License-Identifier: GPL-3.0-or-later
#include "production/FrameBudget.h"

#include <algorithm>

namespace {
// RGBA decoded, plus the copy a format conversion makes.
constexpr qint64 kBytesPerPicturePixel = 8;
// RGBA scaled and its intermediate pass, the quantiser's pixel and error
// buffers, and the palette library's own copy.
constexpr qint64 kBytesPerOutputPixel = 32;
} // namespace

FrameBudget::FrameBudget(qint64 bytes)
    : total_(std::max<qint64>(bytes, 1))
{
}

qint64 FrameBudget::FrameEstimate(QSize picture, QSize output)
{
    if (picture.isEmpty())
        return kDefaultBytes;
    return qint64(picture.width()) * picture.height() * kBytesPerPicturePixel
        + qint64(output.width()) * output.height() * kBytesPerOutputPixel;
}

qint64 FrameBudget::Take(qint64 bytes)
{
    bytes = std::clamp<qint64>(bytes, 0, total_);
    std::unique_lock lock(mutex_);
    freed_.wait(lock, [&] { return used_ + bytes <= total_; });
    used_ += bytes;
    peakFrames_ = std::max(peakFrames_, ++frames_);
    return bytes;
}

void FrameBudget::Give(qint64 bytes)
{
    {
        std::lock_guard lock(mutex_);
        used_ -= bytes;
        --frames_;
    }
    freed_.notify_all();
}

int FrameBudget::PeakFrames() const
{
    std::lock_guard lock(mutex_);
    return peakFrames_;
}
