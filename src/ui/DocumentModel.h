// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "document/Document.h"

#include <QAbstractTableModel>
#include <QIcon>

#include <array>
#include <memory>

// The document behind both list views: the picture list shows Pictures(), the
// frame list Frames(), two tables over the same rows. Every change goes
// through here so that both views follow it.
class DocumentModel final : public QObject {
    Q_OBJECT
public:
    explicit DocumentModel(QObject* parent = nullptr);
    ~DocumentModel() override;
    Q_DISABLE_COPY_MOVE(DocumentModel)

    const Document& Rows() const { return document_; }
    QAbstractItemModel* Pictures() const;
    QAbstractItemModel* Frames() const;
    // The frame list's icons (cross, tick, frames); read whenever a row is drawn.
    void SetIcons(const std::array<QIcon, 3>* icons) { icons_ = icons; }

    // Appends a picture row and, at the same position, its frame row,
    // labelled "Frame " and that position. False when the lists are full.
    bool AddFrameRow(const PictureRow& picture, const FrameRow& frame);
    void Remove(qint32 position);
    // Exchanges rows a and b of both lists, every cell of a frame together
    // (its "Yes"/"No", icon and colour); check marks stay at their positions.
    // Nothing changes for a position out of range or a == b.
    void SwapListRows(qint32 a, qint32 b);
    // Labels every frame row "Frame " and its position, as the views show
    // after rows were moved or removed.
    void RenumberFrames();
    void SetChecked(qint32 position, bool checked);
    void SetAllChecked(bool checked);
    void SetPlayTime(qint32 position, const PlayTime& playTime);
    void SetTransparency(qint32 position, bool transparent, ColorValue color);

private:
    class Table;
    class PictureTable;
    class FrameTable;
    friend class Table;
    friend class PictureTable;
    friend class FrameTable;
    void RowsAltered(qint32 first, qint32 last);

    Document document_;
    const std::array<QIcon, 3>* icons_ = nullptr;
    std::unique_ptr<PictureTable> pictures_;
    std::unique_ptr<FrameTable> frames_;
};
