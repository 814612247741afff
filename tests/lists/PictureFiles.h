// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/FormFixture.h"
#include "support/ListViews.h"
#include "ui/ListRows.h"

#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QTemporaryDir>

#include <initializer_list>
#include <ostream>

// Readable texts in failure reports.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

inline QStringList Texts(std::initializer_list<const char*> items)
{
    QStringList out;
    for (const char* item : items)
        out << QString::fromUtf8(item);
    return out;
}

// A main window with pictures made on the spot in a temporary folder. Icons
// and Go/Stop pictures are made distinct so that tests can tell them apart
// by cache key, whatever the artwork.
class PictureFixture : public FormFixture {
protected:
    QTemporaryDir dir;

    void SetUp() override
    {
        FormFixture::SetUp();
        int hue = 0;
        auto distinct = [&hue] {
            QPixmap picture(4, 4);
            picture.fill(QColor::fromHsv(hue += 45, 255, 255));
            return picture;
        };
        for (QIcon& icon : form->ImageList1)
            icon = QIcon(distinct());
        for (ImageControl* holder :
             {Named<ImageControl>(form->Preview(), "imgGoEn"), Named<ImageControl>(form->Preview(), "imgGoDis"),
              Named<ImageControl>(form->Preview(), "imgStopEn"), Named<ImageControl>(form->Preview(), "imgStopDis")})
            holder->SetPicture(distinct());
    }

    QString Folder() const { return QDir::toNativeSeparators(dir.path()); }
    QString PathOf(const QString& name) const { return dir.filePath(name); }
    void MakePicture(const QString& name, int w = 8, int h = 6) const
    {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(Qt::blue);
        ASSERT_TRUE(image.save(PathOf(name))) << name.toStdString();
    }
    QString Pick(const QStringList& names) const { return (QStringList{Folder()} + names).join(QChar(0)); }
    // Picks files of the folder in the open dialog: one full path, or several names.
    void Add(const QStringList& names)
    {
        openAnswers.push_back(names.size() == 1 ? PathOf(names.front()) : Pick(names));
        form->Pictures().cmdAdd_Click();
    }
    // Texts of every cell of a row (1-based).
    static QStringList Cells(const QTreeView* list, int position) { return ListViews::Cells(list, position); }
    QStringList Names() const
    {
        QStringList out;
        for (int i = 1; i <= form->PictureCount(); ++i)
            out << Cells(Named<QTreeView>(form->Pictures(), "lstPic"), i)[PictureColumn::Name];
        return out;
    }
    // Index into ImageList1 of a frame row's icon in a column; -1 for none.
    int IconOf(int position, int column) const
    {
        const qint64 key = ListViews::Icon(Named<QTreeView>(form->Frames(), "lstFrame"), position, column).cacheKey();
        for (int i = 0; i < 3; ++i)
            if (form->ImageList1[static_cast<std::size_t>(i)].cacheKey() == key)
                return i;
        return -1;
    }
};
