// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/PageControls.h"

#include "ui/Artwork.h"
#include "ui/CheckBoxFit.h"

#include <QCheckBox>
#include <QAbstractItemModel>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QTreeView>

#include <algorithm>

namespace PageControls {

QFont Arial9() { return Design::Font(QStringLiteral("Arial"), 9); }

ImageControl* PictureButton(QWidget* page, const char* name, const char* art, int left, int top, int width, int height)
{
    auto* image = new ImageControl(page);
    image->setObjectName(QLatin1String(name));
    Design::Place(image, left, top, width, height);
    if (art)
        image->SetPicture(Artwork::Picture(QLatin1String(art)));
    return image;
}

QPushButton* HiddenCommand(QWidget* page, const char* name, const QString& caption, int left, int top, int width,
                           int height, bool graphical)
{
    auto* button = new QPushButton(caption, page);
    button->setObjectName(QLatin1String(name));
    Design::Place(button, left, top, width, height);
    if (graphical) {
        QPalette palette = button->palette();
        palette.setColor(QPalette::Button, ToQColor(kHiddenButtonColor));
        button->setPalette(palette);
    }
    button->hide();
    return button;
}

QLineEdit* NumberField(QWidget* page, const char* name, const QString& text, int maxLength, int left, int top)
{
    auto* field = new QLineEdit(text, page);
    field->setObjectName(QLatin1String(name));
    field->setMaxLength(maxLength);
    field->setFont(Design::Font(QStringLiteral("Verdana"), 9, true));
    Design::SetTextColor(field, Rgb(255, 0, 0));
    field->setFrame(true);
    Design::Place(field, left, top, 975, 285);
    return field;
}

QCheckBox* FlatCheckBox(QWidget* page, const char* name, const QString& caption, const QFont& font, ColorValue color,
                        int left, int top, int width, int height)
{
    auto* box = new QCheckBox(caption, page);
    box->setObjectName(QLatin1String(name));
    box->setFont(font);
    Design::SetTextColor(box, color);
    box->setChecked(false);
    Design::Place(box, left, top, width, height);
    FitCheckBox(box);
    return box;
}

QTreeView* ReportList(QWidget* page, const char* name, QAbstractItemModel* rows)
{
    auto* list = new QTreeView(page);
    list->setObjectName(QLatin1String(name));
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setModel(rows);
    // Headers are labels only: the lists keep the order the user gave them.
    list->header()->setSectionsClickable(false);
    list->header()->setStretchLastSection(true);
    list->header()->setSectionsMovable(false);
    list->setIconSize(QSize(16, 16));
    Design::Place(list, 60, 1320, 9915, 4515);
    return list;
}

void FitNameColumn(QTreeView* list, int column)
{
    auto fit = [list, column] {
        const QHeaderView* header = list->header();
        int others = 0;
        for (int c = 0; c < header->count(); ++c)
            if (c != column)
                others += c == header->count() - 1 ? header->defaultSectionSize() : header->sectionSize(c);
        // Measured from the list's own size, valid before it is first shown,
        // with room kept for a scroll bar.
        const int inner = list->maximumViewportSize().width() - list->verticalScrollBar()->sizeHint().width();
        const int room = std::max(header->defaultSectionSize(), inner - others);
        const int wanted = std::max(static_cast<const QAbstractItemView*>(list)->sizeHintForColumn(column),
                                    header->sectionSizeHint(column));
        list->setColumnWidth(column, std::clamp(wanted, header->defaultSectionSize(), room));
    };
    // Measuring lays out every row: once for a whole batch of changes, when
    // events next run, not once per row.
    auto* later = new QTimer(list);
    later->setSingleShot(true);
    later->setInterval(0);
    QObject::connect(later, &QTimer::timeout, list, fit);
    auto refit = [later] { later->start(); };
    QAbstractItemModel* rows = list->model();
    QObject::connect(rows, &QAbstractItemModel::rowsInserted, list, refit);
    QObject::connect(rows, &QAbstractItemModel::rowsRemoved, list, refit);
    QObject::connect(rows, &QAbstractItemModel::dataChanged, list, refit);
    QObject::connect(rows, &QAbstractItemModel::modelReset, list, refit);
}

ShapeOutline* FrameShape(QWidget* page, const char* name)
{
    auto* shape = new ShapeOutline(page);
    shape->setObjectName(QLatin1String(name));
    shape->SetBorderColor(kFrameLineColor);
    return shape;
}

bool ShowsPictureOf(const ImageControl& button, const ImageControl& holder)
{
    return button.Picture().cacheKey() == holder.Picture().cacheKey();
}

} // namespace PageControls
