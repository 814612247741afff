// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/DocumentModel.h"

#include "common/SizeText.h"
#include "ui/ListRows.h"

#include <QBrush>
#include <QCoreApplication>

#include <algorithm>

namespace {
// Seven LOWER SEVEN EIGHTHS BLOCK characters: a bar in the frame's colour.
const QString kColorBar = QString(7, QChar(0x2587));
} // namespace

// What both tables share: one row per picture, read from the owner's document.
class DocumentModel::Table : public QAbstractTableModel {
public:
    explicit Table(DocumentModel& owner)
        : owner_(owner)
    {
    }

    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : owner_.document_.Count(); }

    using QAbstractTableModel::beginInsertRows;
    using QAbstractTableModel::beginRemoveRows;
    using QAbstractTableModel::dataChanged;
    using QAbstractTableModel::endInsertRows;
    using QAbstractTableModel::endRemoveRows;
    using QAbstractTableModel::headerDataChanged;

protected:
    DocumentModel& owner_;
};

class DocumentModel::PictureTable final : public Table {
public:
    using Table::Table;
    int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : 4; }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        switch (section) {
        case PictureColumn::Name:
            return QCoreApplication::translate("FrmGif", "     File Name");
        case PictureColumn::Type:
            return QCoreApplication::translate("FrmGif", "File Type");
        case PictureColumn::Dimensions:
            return QCoreApplication::translate("FrmGif", "Dimensions");
        case PictureColumn::Address:
            return QCoreApplication::translate("FrmGif", "Address");
        default:
            return {};
        }
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        const qint32 position = index.row() + 1;
        const PictureRow* row = owner_.document_.Picture(position);
        if (!row)
            return {};
        switch (role) {
        case Qt::DisplayRole:
            switch (index.column()) {
            case PictureColumn::Name:
                return row->name;
            case PictureColumn::Type:
                return row->typeText;
            case PictureColumn::Dimensions:
                return SizeText(row->size);
            case PictureColumn::Address:
                return row->folder;
            default:
                return {};
            }
        // Long names and folders are cut at the column's edge.
        case Qt::ToolTipRole:
            return row->Path();
        case Qt::CheckStateRole:
            if (index.column() == PictureColumn::Name)
                return owner_.document_.IsChecked(position) ? Qt::Checked : Qt::Unchecked;
            return {};
        default:
            return {};
        }
    }

    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        if (role != Qt::CheckStateRole || index.column() != PictureColumn::Name)
            return false;
        owner_.SetChecked(index.row() + 1, value.toInt() == Qt::Checked);
        return true;
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        if (!index.isValid())
            return Qt::NoItemFlags;
        return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemNeverHasChildren;
    }
};

class DocumentModel::FrameTable final : public Table {
public:
    using Table::Table;
    int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : 5; }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal)
            return {};
        if (role == Qt::ToolTipRole && section == FrameColumn::PlayTime) {
            // The length of one pass of the animation, while every play time is a number.
            const std::optional<qint64> total = owner_.document_.TotalPlayTime();
            if (!total || owner_.document_.Count() == 0)
                return {};
            return QCoreApplication::translate("DocumentModel", "Total play time: %1 ms").arg(*total);
        }
        if (role != Qt::DisplayRole)
            return {};
        switch (section) {
        case FrameColumn::Label:
            return QCoreApplication::translate("FrmGif", "Frame #");
        case FrameColumn::Name:
            return QCoreApplication::translate("FrmGif", "File Name");
        case FrameColumn::PlayTime:
            return QCoreApplication::translate("FrmGif", "Play Time / ms");
        case FrameColumn::Transparent:
            return QCoreApplication::translate("FrmGif", "Transparent");
        case FrameColumn::Color:
            return QCoreApplication::translate("FrmGif", "Transparent Color");
        default:
            return {};
        }
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        const qint32 position = index.row() + 1;
        const FrameRow* row = owner_.document_.Frame(position);
        if (!row)
            return {};
        if (role == Qt::DisplayRole) {
            switch (index.column()) {
            case FrameColumn::Label:
                return QCoreApplication::translate("FrmGif", "Frame %1").arg(position);
            case FrameColumn::Name:
                return row->name;
            case FrameColumn::PlayTime:
                return row->playTime.text;
            case FrameColumn::Transparent:
                return row->transparent ? QCoreApplication::translate("FrmGif", "Yes")
                                        : QCoreApplication::translate("FrmGif", "No");
            case FrameColumn::Color:
                return kColorBar;
            default:
                return {};
            }
        }
        if (role == Qt::DecorationRole && owner_.icons_) {
            if (index.column() == FrameColumn::Label)
                return owner_.icons_->at(ListIcon::Frames);
            if (index.column() == FrameColumn::Transparent)
                return owner_.icons_->at(row->transparent ? ListIcon::Tick : ListIcon::Cross);
        }
        if (role == Qt::ForegroundRole && index.column() == FrameColumn::Color)
            return QBrush(ToQColor(row->color));
        return {};
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        if (!index.isValid())
            return Qt::NoItemFlags;
        return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    }
};

DocumentModel::DocumentModel(QObject* parent)
    : QObject(parent)
    , pictures_(std::make_unique<PictureTable>(*this))
    , frames_(std::make_unique<FrameTable>(*this))
{
}

DocumentModel::~DocumentModel() = default;

QAbstractItemModel* DocumentModel::Pictures() const { return pictures_.get(); }

QAbstractItemModel* DocumentModel::Frames() const { return frames_.get(); }

bool DocumentModel::AddFrameRow(const PictureRow& picture, const FrameRow& frame)
{
    if (document_.Count() >= Document::kMaxPictures)
        return false;
    const int row = document_.Count();
    pictures_->beginInsertRows({}, row, row);
    frames_->beginInsertRows({}, row, row);
    document_.Append(picture, frame);
    frames_->endInsertRows();
    pictures_->endInsertRows();
    frames_->headerDataChanged(Qt::Horizontal, FrameColumn::PlayTime, FrameColumn::PlayTime);
    return true;
}

void DocumentModel::Remove(qint32 position)
{
    if (position < 1 || position > document_.Count())
        return;
    pictures_->beginRemoveRows({}, position - 1, position - 1);
    frames_->beginRemoveRows({}, position - 1, position - 1);
    document_.Remove(position);
    frames_->endRemoveRows();
    pictures_->endRemoveRows();
    frames_->headerDataChanged(Qt::Horizontal, FrameColumn::PlayTime, FrameColumn::PlayTime);
}

void DocumentModel::SwapListRows(qint32 a, qint32 b)
{
    // The rows stay where they are and exchange their contents, so the
    // selection and the check marks keep their positions.
    if (!document_.Swap(a, b))
        return;
    RowsAltered(std::min(a, b), std::max(a, b));
}

void DocumentModel::RenumberFrames()
{
    // A label is its row's position: the views read them afresh.
    if (document_.Count() > 0)
        Q_EMIT frames_->dataChanged(frames_->index(0, FrameColumn::Label),
                                    frames_->index(document_.Count() - 1, FrameColumn::Label), {Qt::DisplayRole});
}

void DocumentModel::SetChecked(qint32 position, bool checked)
{
    document_.SetChecked(position, checked);
    const QModelIndex cell = pictures_->index(position - 1, PictureColumn::Name);
    if (cell.isValid())
        Q_EMIT pictures_->dataChanged(cell, cell, {Qt::CheckStateRole});
}

void DocumentModel::SetAllChecked(bool checked)
{
    for (qint32 position = 1; position <= document_.Count(); ++position)
        document_.SetChecked(position, checked);
    if (document_.Count() > 0)
        Q_EMIT pictures_->dataChanged(pictures_->index(0, PictureColumn::Name),
                                      pictures_->index(document_.Count() - 1, PictureColumn::Name),
                                      {Qt::CheckStateRole});
}

void DocumentModel::SetPlayTime(qint32 position, const PlayTime& playTime)
{
    document_.SetPlayTime(position, playTime);
    RowsAltered(position, position);
}

void DocumentModel::SetTransparency(qint32 position, bool transparent, ColorValue color)
{
    document_.SetTransparency(position, transparent, color);
    RowsAltered(position, position);
}

void DocumentModel::RowsAltered(qint32 first, qint32 last)
{
    if (first < 1 || last > document_.Count())
        return;
    Q_EMIT pictures_->dataChanged(pictures_->index(first - 1, 0), pictures_->index(last - 1, 3));
    Q_EMIT frames_->dataChanged(frames_->index(first - 1, 0), frames_->index(last - 1, 4));
    frames_->headerDataChanged(Qt::Horizontal, FrameColumn::PlayTime, FrameColumn::PlayTime);
}
