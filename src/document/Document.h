// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "document/Rows.h"

#include <QList>
#include <QSize>

#include <optional>
#include <vector>

// The pictures the user has gathered, each with its frame, in list order.
// Positions are 1-based like everywhere in the program; a position out of
// range reads as nothing and changes nothing.
class Document {
public:
    // Positions are 16-bit: a document holds at most this many pictures.
    static constexpr int kMaxPictures = 32767;

    int Count() const { return static_cast<int>(rows_.size()); }
    const PictureRow* Picture(qint32 position) const;
    const FrameRow* Frame(qint32 position) const;
    // The full path of a picture; empty out of range.
    QString PicturePath(qint32 position) const;
    // The play time in ms of a frame; 500 out of range; no value when the
    // frame's text is not a whole number.
    std::optional<qint32> FramePlayTime(qint32 position) const;
    // A row of exactly that file name in exactly that folder (case counts).
    bool IsPictureListed(const QString& name, const QString& folder) const;

    // False when the document is full.
    bool Append(const PictureRow& picture, const FrameRow& frame);
    void Remove(qint32 position);
    // Exchanges two pictures with their frames; false (nothing changed) for a
    // position out of range or a == b. Check marks stay at their positions.
    bool Swap(qint32 a, qint32 b);

    // The check mark in front of a picture, which marks it for deletion.
    bool IsChecked(qint32 position) const;
    void SetChecked(qint32 position, bool checked);

    void SetPlayTime(qint32 position, const PlayTime& playTime);
    void SetTransparency(qint32 position, bool transparent, ColorValue color);

    // The size list of the settings: each distinct picture size once, in the
    // order of the pictures.
    QList<QSize> SizeList() const;
    // The sum of all play times in ms; no value while a frame's play time is
    // not a number.
    std::optional<qint64> TotalPlayTime() const;

private:
    struct Row {
        PictureRow picture;
        FrameRow frame;
    };
    Row* At(qint32 position);
    const Row* At(qint32 position) const;

    std::vector<Row> rows_;
    std::vector<bool> checked_; // by position, not by picture
};
