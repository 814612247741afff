// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "document/Document.h"
#include "ui/Controls.h"
#include "ui/PageControls.h"

#include <QList>
#include <QSize>
#include <QWidget>

#include <functional>

class BusyHost;
class DocumentModel;
class QCheckBox;
class QLabel;
class QPushButton;
class QTreeView;

// Step 1, "Add Pictures": the picture list and its commands. What the other
// steps do about a change of the list (step 2's sizes, the commands of steps 3
// to 5, stopping the preview) the window does on this page's signals.
class PicturesPage final : public QWidget {
    Q_OBJECT
public:
    // The frame of a new picture, by its file name.
    using FrameDefaults = std::function<FrameRow(const QString& fileName)>;
    PicturesPage(DocumentModel& document, BusyHost& window, FrameDefaults frameDefaults, QWidget* parent);

    // ---- Adding (PicturesAdding.cpp) ----
    // Positions are 16-bit: a document holds at most this many pictures.
    static constexpr int kMaxPictures = Document::kMaxPictures;
    void cmdAdd_Click();
    void cmdAddImg_Click();
    static QString BuildPictureFilter();
    // Adds at most one picture: fileText is a full path, or a bare name in folder.
    void AddPictureFile(const QString& fileText, const QString& folder);
    static QString PictureTypeText(const QString& fileName);
    // Appends a picture and its frame with the frame defaults.
    void AddPictureRow(const PictureRow& picture);
    // Sends the sizes of the pictures, then their count.
    void RefreshListControls();
    // "W x H" of a picture file, or empty when it does not qualify.
    QString GetPicSize(const QString& path);
    // Files dropped onto the picture list, as full paths in drop order.
    void lstPic_DropFiles(const QStringList& paths);

    // ---- Editing (PicturesEditing.cpp) ----
    void chkAll_Click();
    void cmdDel_Click();
    void cmdUp_Click();
    void cmdDown_Click();
    void cmdPreview_Click();
    void cmdDelImg_Click();
    void cmdUpImg_Click();
    void cmdDownImg_Click();
    void cmdPreviewImg_Click();
    void lstPic_DblClick();

    // The selected row (1-based), 0 when none is selected.
    qint32 SelectedPicturePosition() const;
    // Add, delete, up, down and preview, in that order.
    PageControls::PictureCommands PictureCommands() const;

Q_SIGNALS:
    // The list is about to change: a playing preview stops first.
    void ListChanging();
    // Preview asks the window to show the selected picture.
    void PreviewRequested();
    // Sent by RefreshListControls: step 2 offers these sizes ...
    void SizeListChanged(const QList<QSize>& sizes);
    // ... and the commands of the later steps follow the count.
    void CountChanged(int count);

private:
    QLabel* LabCapX = nullptr;
    QLabel* Label6 = nullptr;
    ImageControl* cmdAddImg = nullptr;
    ImageControl* cmdDelImg = nullptr;
    ImageControl* cmdUpImg = nullptr;
    ImageControl* cmdDownImg = nullptr;
    ImageControl* cmdPreviewImg = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdDel = nullptr;
    QPushButton* cmdUp = nullptr;
    QPushButton* cmdDown = nullptr;
    QPushButton* cmdPreview = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* LabTotal = nullptr;
    QTreeView* lstPic = nullptr;
    QCheckBox* chkAll = nullptr;
    ShapeOutline* Shape1 = nullptr;

    void Build();
    void Wire();
    int Count() const;
    void ShowCount();
    // Adds the files of one dialog answer: a full path, or folder + '\0' + names.
    // false when the list filled up and the rest was refused.
    bool AddPickedFiles(const QString& fileNames);

    DocumentModel& document_;
    BusyHost& window_;
    FrameDefaults frameDefaults_;
};
