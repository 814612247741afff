// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Colors.h"

#include <QDialog>

#include <array>

class ColorBox;
class ImageControl;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class ShapeOutline;

// frmProp: edits the play time, transparency and transparent colour of one
// frame, or gives them to every frame. Modal; created for each opening from
// the frame's values. It writes nothing itself: OK accepts with the edited
// values, "Apply to All Frames" hands them out at once and stays open.
class FrmProp final : public QDialog {
    Q_OBJECT
public:
    // What the dialog edits of a frame.
    struct Properties {
        QString playTime; // milliseconds, as typed
        bool transparent = false;
        ColorValue color = 0; // the transparent colour, kept whether or not it is used
        bool operator==(const Properties&) const = default;
    };
    // The frame an opening is for.
    struct Frame {
        qint32 position = 0; // 1-based; 0 for none, which leaves the controls as built
        QString label;       // the frame row's label, "Frame 3"
        QString name;        // the picture's file name
        Properties properties;
    };

    FrmProp(QWidget* owner, const Frame& frame);
    ~FrmProp() override;
    Q_DISABLE_COPY_MOVE(FrmProp)

    void Form_Load();
    void picColor_Click();
    void OKButton_Click();
    void CancelButton_Click();
    void cmdApply_Click();

    // The values in the controls as OK and "Apply to All Frames" give them:
    // the play time with spaces trimmed at both ends.
    Properties Edited() const;
    // The frame this opening edits.
    qint32 FramePosition() const { return frame_.position; }

    ShapeOutline* Shape1 = nullptr;
    ImageControl* Image1 = nullptr;
    std::array<QLabel*, 5> LabCap{};
    QLabel* LabNo = nullptr;
    QLabel* LabFile = nullptr;
    QLineEdit* txtMS = nullptr;
    QLabel* Label1 = nullptr;
    QCheckBox* chkTrans = nullptr;
    ColorBox* picColor = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;
    QPushButton* cmdApply = nullptr;

Q_SIGNALS:
    // "Apply to All Frames": every frame takes these now; a later Cancel does not undo it.
    void appliedToAllFrames(const FrmProp::Properties& properties);

private:
    Frame frame_;
};
