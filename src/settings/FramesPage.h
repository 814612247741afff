// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/Controls.h"
#include "ui/PageControls.h"

#include <QWidget>

class DocumentModel;
class QLabel;
class QPushButton;
class QTreeView;

// Step 3, "Frame Properties": the frame list and the way into the frame
// properties dialog, which the window opens on PropertiesRequested.
class FramesPage final : public QWidget {
    Q_OBJECT
public:
    FramesPage(DocumentModel& document, QWidget* parent);

    void lstFrame_DblClick();
    void cmdProp_Click();
    void imgcmdProp_Click();
    // The frame the properties dialog edits: the selected row, or the first
    // row when none is selected; 0 when the list is empty.
    qint32 SelectedFramePosition() const;
    // The change command is available while there are frames to change.
    void SetCommandsEnabled(bool enabled);
    PageControls::PictureCommands PictureCommands() const;

Q_SIGNALS:
    void PropertiesRequested();

private:
    QLabel* Label8 = nullptr;
    ImageControl* imgcmdProp = nullptr;
    QPushButton* cmdProp = nullptr;
    QTreeView* lstFrame = nullptr;
    ShapeOutline* Shape2 = nullptr;

    void Build();
    void Wire();
    int FrameCount() const;

    DocumentModel& document_;
};
