// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/Document.h"

#include <utility>

Document::Row* Document::At(qint32 position)
{
    return position >= 1 && position <= Count() ? &rows_[static_cast<size_t>(position - 1)] : nullptr;
}

const Document::Row* Document::At(qint32 position) const
{
    return position >= 1 && position <= Count() ? &rows_[static_cast<size_t>(position - 1)] : nullptr;
}

const PictureRow* Document::Picture(qint32 position) const
{
    const Row* row = At(position);
    return row ? &row->picture : nullptr;
}

const FrameRow* Document::Frame(qint32 position) const
{
    const Row* row = At(position);
    return row ? &row->frame : nullptr;
}

QString Document::PicturePath(qint32 position) const
{
    const Row* row = At(position);
    return row ? row->picture.Path() : QString();
}

std::optional<qint32> Document::FramePlayTime(qint32 position) const
{
    const Row* row = At(position);
    if (!row)
        return 500;
    return row->frame.playTime.ms;
}

bool Document::IsPictureListed(const QString& name, const QString& folder) const
{
    for (const Row& row : rows_) {
        if (row.picture.folder == folder && row.picture.name == name)
            return true;
    }
    return false;
}

bool Document::Append(const PictureRow& picture, const FrameRow& frame)
{
    if (Count() >= kMaxPictures)
        return false;
    rows_.push_back({picture, frame});
    checked_.push_back(false);
    return true;
}

void Document::Remove(qint32 position)
{
    if (!At(position))
        return;
    rows_.erase(rows_.begin() + (position - 1));
    checked_.erase(checked_.begin() + (position - 1));
}

bool Document::Swap(qint32 a, qint32 b)
{
    Row* rowA = At(a);
    Row* rowB = At(b);
    if (!rowA || !rowB || a == b)
        return false;
    std::swap(*rowA, *rowB);
    return true;
}

bool Document::IsChecked(qint32 position) const { return At(position) && checked_[static_cast<size_t>(position - 1)]; }

void Document::SetChecked(qint32 position, bool checked)
{
    if (At(position))
        checked_[static_cast<size_t>(position - 1)] = checked;
}

void Document::SetPlayTime(qint32 position, const PlayTime& playTime)
{
    if (Row* row = At(position))
        row->frame.playTime = playTime;
}

void Document::SetTransparency(qint32 position, bool transparent, ColorValue color)
{
    if (Row* row = At(position)) {
        row->frame.transparent = transparent;
        row->frame.color = color;
    }
}

QList<QSize> Document::SizeList() const
{
    QList<QSize> sizes;
    for (const Row& row : rows_) {
        if (!sizes.contains(row.picture.size))
            sizes << row.picture.size;
    }
    return sizes;
}

std::optional<qint64> Document::TotalPlayTime() const
{
    qint64 total = 0;
    for (const Row& row : rows_) {
        if (!row.frame.playTime.ms)
            return std::nullopt;
        total += *row.frame.playTime.ms;
    }
    return total;
}
