// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/FormFixture.h"
#include "support/ListViews.h"
#include "ui/ListRows.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

// Pictures written to a temporary folder and listed directly, the preview
// commands available as from two pictures on, every LabLoop caption recorded.
class PreviewFixture : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        ASSERT_TRUE(dir.isValid());
        QObject::connect(&form->Preview(), &PreviewPage::LoopCaptionChanged, form.get(),
                         [this](const QString& caption) { captions << caption; });
        Named<QPushButton>(form->Preview(), "cmdGo")->setEnabled(true);
        Named<QPushButton>(form->Preview(), "cmdStop")->setEnabled(true);
        SetOutput(800, 600);
    }

    static QColor ColorOf(int i) { return QColor(QColor::fromHsv((i * 47) % 360, 255, 230).rgb()); }

    QString Write(const QString& name, const QColor& color, QSize size = {40, 30})
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(color);
        EXPECT_TRUE(image.save(dir.filePath(name)));
        return dir.filePath(name);
    }
    void Add(const QString& path, const QString& playTime = QStringLiteral("500"))
    {
        const QFileInfo info(path);
        form->Pictures().AddPictureRow({info.fileName(), QStringLiteral("PNG"), QSize(40, 30), info.absolutePath()});
        SetPlayTime(ListViews::RowCount(Named<QTreeView>(form->Frames(), "lstFrame")), playTime);
    }
    // Pictures p0.png, p1.png ... in ColorOf(0), ColorOf(1) ...
    void AddPictures(int count, const QString& playTime = QStringLiteral("500"))
    {
        for (int i = 0; i < count; ++i)
            Add(Write(QStringLiteral("p%1.png").arg(i), ColorOf(i)), playTime);
    }
    void SetPlayTime(int frame, const QString& text) { form->Doc().SetPlayTime(frame, PlayTime::FromText(text)); }
    void RemoveLastRows(int count)
    {
        for (int i = 0; i < count; ++i) {
            form->Doc().Remove(form->PictureCount());
        }
    }
    void SetOutput(int width, int height)
    {
        Named<QLineEdit>(form->Settings(), "txtW")->setText(QString::number(width));
        Named<QLineEdit>(form->Settings(), "txtH")->setText(QString::number(height));
    }
    // Runs an action once, from the event pump, when a caption first appears.
    void OnCaption(const QString& caption, std::function<void()> action)
    {
        QObject::connect(&form->Preview(), &PreviewPage::LoopCaptionChanged, form.get(),
                         [this, caption, action, done = false](const QString& shown) mutable {
                             if (!done && shown == caption) {
                                 done = true;
                                 QTimer::singleShot(0, form.get(), action);
                             }
                         });
    }

    // The one visible element; -1 when none is, -2 when several are.
    int Visible() const
    {
        int found = -1;
        for (int i = 0; i < Named<PreviewArea>(form->Preview(), "picPreview")->ElementCount(); ++i)
            if (Named<PreviewArea>(form->Preview(), "picPreview")->imgPreview(i).visible)
                found = found == -1 ? i : -2;
        return found;
    }
    QColor PictureColor(int element) const
    {
        const QImage& picture = Named<PreviewArea>(form->Preview(), "picPreview")->imgPreview(element).picture;
        return picture.isNull() ? QColor() : QColor(picture.pixel(picture.width() / 2, picture.height() / 2));
    }
    bool Looks(const ImageControl* go, const ImageControl* stop) const
    {
        return Named<ImageControl>(form->Preview(), "imgcmdGo")->Picture().toImage() == go->Picture().toImage()
            && Named<ImageControl>(form->Preview(), "imgcmdStop")->Picture().toImage() == stop->Picture().toImage();
    }
    static QString Playing(int loops, int ms, int frame)
    {
        return QStringLiteral("Loop Times: %1   Play Time: %2 MS    Frame: %3").arg(loops).arg(ms).arg(frame);
    }

    QTemporaryDir dir;
    QStringList captions;
};
