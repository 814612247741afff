// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Colors.h"

#include <QDialog>

#include <array>

class ColorBox;
class FrmGif;
class ImageControl;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class ShapeOutline;

// frmProp: edits the play time, transparency and transparent colour of the
// selected frame, or gives them to every frame. Modal; created for each
// opening, it reads the frame list when it loads and writes only on OK or
// "Apply to All Frames".
class FrmProp final : public QDialog {
    Q_OBJECT
public:
    explicit FrmProp(FrmGif& owner);
    ~FrmProp() override;
    Q_DISABLE_COPY_MOVE(FrmProp)

    void Form_Load();
    void picColor_Click();
    void OKButton_Click();
    void CancelButton_Click();
    void cmdApply_Click();
    // Writes the dialog's values into the frame row at a position (1-based).
    void ApplyToFrame(qint16 position);

    // The frame this opening edits (read when it loaded).
    qint32 FramePosition() const { return position_; }

    ShapeOutline* Shape1 = nullptr;
    ImageControl* Image1 = nullptr;
    std::array<QLabel*, 5> LabCap {};
    QLabel* LabNo = nullptr;
    QLabel* LabFile = nullptr;
    QLineEdit* txtMS = nullptr;
    QLabel* Label1 = nullptr;
    QCheckBox* chkTrans = nullptr;
    ColorBox* picColor = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;
    QPushButton* cmdApply = nullptr;

private:
    FrmGif& owner_;
    qint32 position_ = 0;
};
