// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/FormFixture.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QTemporaryDir>

#include <initializer_list>

// A list of texts from plain literals.
inline QStringList Texts(std::initializer_list<const char*> items)
{
    QStringList out;
    for (const char* item : items)
        out << QString::fromUtf8(item);
    return out;
}

// Picture files made on the spot in a temporary folder, and the dialog's
// answer for picking some of them.
class PictureFixture : public FormFixture {
protected:
    QTemporaryDir dir;

    QString Folder() const { return QDir::toNativeSeparators(dir.path()); }
    QString PathOf(const QString& name) const { return dir.filePath(name); }

    // A w x h picture; the format follows the name's extension.
    QString MakePicture(const QString& name, int w = 8, int h = 6)
    {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(QColor(30, 90, 200));
        const QString path = PathOf(name);
        EXPECT_TRUE(image.save(path)) << path.toStdString();
        return path;
    }

    // What the dialog returns for several names picked in the folder.
    QString Pick(const QStringList& names) const { return (QStringList{Folder()} + names).join(QChar(0)); }

    // Picks the names (made beforehand) through the add button's handler.
    void Add(const QStringList& names)
    {
        openAnswers.push_back(names.size() == 1 ? PathOf(names.front()) : Pick(names));
        form->cmdAdd_Click();
    }

    QStringList Names() const
    {
        QStringList out;
        for (int i = 1; i <= form->PictureCount(); ++i)
            out << form->PicturePath(i).section(QDir::separator(), -1);
        return out;
    }

    QStringList ComboItems() const;

    // Pictures told apart by their cache keys, whatever the artwork.
    static void GivePicture(ImageControl* image, QColor color)
    {
        QPixmap picture(4, 4);
        picture.fill(color);
        image->SetPicture(picture);
    }
};
