// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>
#include <QtGlobal>

#include <condition_variable>
#include <mutex>

// The memory that frames converted at once may hold together. A frame takes
// its estimate before it is decoded and gives it back once it is written, so
// large pictures wait for each other while small ones run side by side. A
// frame estimated above the whole budget runs alone rather than never.
class FrameBudget final {
public:
    // Two pictures of 100 megapixels do not fit together.
    static constexpr qint64 kDefaultBytes = qint64(1) << 30;

    explicit FrameBudget(qint64 bytes);
    Q_DISABLE_COPY_MOVE(FrameBudget)

    // Bytes a frame holds at most while it is converted: the decoded picture
    // (and a converted copy), the scaled one and the palette work on it.
    // An unknown picture size counts as the whole budget.
    static qint64 FrameEstimate(QSize picture, QSize output);

    // Blocks until `bytes` (at most the whole budget) fit; returns what it took.
    qint64 Take(qint64 bytes);
    void Give(qint64 bytes);

    // The most frames that held a share at once.
    int PeakFrames() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable freed_;
    const qint64 total_;
    qint64 used_ = 0;
    int frames_ = 0;
    int peakFrames_ = 0;
};
