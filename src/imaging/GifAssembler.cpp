// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/GifAssembler.h"

#include "imaging/animation/AnimationWriter.h"
#include "imaging/animation/ColorTables.h"
#include "imaging/animation/FrameFile.h"
#include "imaging/animation/SharedPalette.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

QString Native(const QString& path) { return QDir::toNativeSeparators(path); }

} // namespace

GifAssembler::GifAssembler() = default;

GifAssembler::~GifAssembler() = default;

void GifAssembler::Reset()
{
    frames_.clear();
    delays_.clear();
    loopCount_ = 0;
    lzwError_ = 0;
    lzwAheadArea_ = 0;
    lzwAheadAgain_ = false;
    unchangedError_ = 0;
    holdShare_ = 0;
    globalColors_.clear();
    globalSpare_ = false;
    lastError_.clear();
    stream_.reset();
}

void GifAssembler::LoopCount(int count) { loopCount_ = std::clamp(count, kPlayOnce, 65535); }

void GifAssembler::Version(const QString& /*version*/)
{
    // Delays and the loop count need GIF89a: that is what is always written.
}

void GifAssembler::LzwError(int bound) { lzwError_ = std::max(bound, 0); }

void GifAssembler::LzwAheadArea(int pixels) { lzwAheadArea_ = std::max(pixels, 0); }

void GifAssembler::LzwAheadAgain(bool again) { lzwAheadAgain_ = again; }

void GifAssembler::UnchangedError(int bound) { unchangedError_ = std::max(bound, 0); }

void GifAssembler::HoldShare(double share) { holdShare_ = std::clamp(share, 0.0, 1.0); }

void GifAssembler::Threads(int count) { threads_ = std::max(count, 0); }

bool GifAssembler::AddFrame(const QString& path)
{
    // Recorded even when it looks wrong, so that frame indices stay those of
    // the caller; SaveAnimation then names the file.
    frames_.append(path);
    delays_.append(0);
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile()) {
        lastError_ = QCoreApplication::translate("GifAssembler", "frame %1 (%2): the file does not exist")
                         .arg(frames_.size())
                         .arg(Native(path));
        return false;
    }
    return true;
}

bool GifAssembler::SetFrameDelay(int index, int delay)
{
    if (index < 0 || index >= delays_.size()) {
        lastError_ =
            QCoreApplication::translate("GifAssembler", "there is no frame %1 (frames are counted from 0; %2 added)")
                .arg(index)
                .arg(delays_.size());
        return false;
    }
    delays_[index] = std::clamp(delay, 0, 65535);
    return true;
}

void GifAssembler::Begin(const QString& path)
{
    lastError_.clear();
    imaging::AnimationOptions options;
    options.loopCount = loopCount_;
    options.lzwError = lzwError_;
    options.lzwAheadArea = lzwAheadArea_;
    options.lzwAheadAgain = lzwAheadAgain_;
    options.unchangedError = unchangedError_;
    options.holdShare = holdShare_;
    options.threads = threads_;
    stream_ = std::make_unique<imaging::AnimationWriter>(path, options);
    if (!globalColors_.empty())
        stream_->ChooseGlobalTable({globalColors_}, globalSpare_);
}

void GifAssembler::GlobalColorsFrom(const std::vector<std::vector<uint32_t>>& frameColors)
{
    if (stream_)
        stream_->ChooseGlobalTable(frameColors);
}

bool GifAssembler::Append(imaging::IndexedPicture frame, int delay, const std::function<bool(int)>& written)
{
    if (!stream_)
        return false;
    stream_->OnWritten(written);
    if (stream_->Add(std::move(frame), std::clamp(delay, 0, 65535)))
        return true;
    lastError_ = stream_->Error();
    stream_.reset();
    return false;
}

bool GifAssembler::Finish(const std::function<bool(int)>& written)
{
    if (!stream_)
        return false;
    stream_->OnWritten(written);
    const bool ok = stream_->Finish();
    if (!ok)
        lastError_ = stream_->Error();
    stream_.reset();
    return ok;
}

void GifAssembler::StopWriting()
{
    if (stream_)
        stream_->Stop();
}

void GifAssembler::Abandon() { stream_.reset(); }

bool GifAssembler::SaveAnimation(const QString& path, const std::function<bool(int)>& written,
                                 const std::function<bool()>& stop)
{
    lastError_.clear();
    if (path.isEmpty()) {
        lastError_ = QCoreApplication::translate("GifAssembler", "no output file named");
        return false;
    }
    if (frames_.isEmpty()) {
        lastError_ = QCoreApplication::translate("GifAssembler", "%1: the animation has no frames").arg(Native(path));
        return false;
    }
    Begin(path);
    // Frames of a small animation are all read first, and the global table
    // chosen from all of them (as a creation run does); a larger one takes
    // the first frame's table, so that only two frames are held at a time.
    // Either way each file is read once.
    std::vector<imaging::IndexedPicture> small;
    for (int i = 0; i < frames_.size(); ++i) {
        // A stop is honoured before each frame is read, so within one frame's time.
        if (stop && stop()) {
            Abandon();
            lastError_ = QCoreApplication::translate("GifAssembler", "the writing was stopped");
            return false;
        }
        imaging::IndexedPicture frame;
        QString reason;
        if (!imaging::LoadFrameFile(frames_[i], i + 1, &frame, &reason)) {
            Abandon();
            lastError_ = QCoreApplication::translate("GifAssembler", "cannot create %1: %2").arg(Native(path), reason);
            return false;
        }
        if (i == 0 && imaging::SharedPalette::WantedFor(int(frames_.size()), QSize(frame.width, frame.height)))
            small.reserve(size_t(frames_.size()));
        if (small.capacity() > 0) {
            small.push_back(std::move(frame));
            continue;
        }
        if (!Append(std::move(frame), delays_[i], written))
            return false;
    }
    if (!small.empty()) {
        std::vector<std::vector<uint32_t>> colors;
        for (const imaging::IndexedPicture& frame : small)
            colors.push_back(imaging::TableColors(frame));
        GlobalColorsFrom(colors);
        for (size_t i = 0; i < small.size(); ++i)
            if (!Append(std::move(small[i]), delays_[int(i)], written))
                return false;
    }
    return Finish(written);
}
