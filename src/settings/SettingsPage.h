// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "document/Rows.h"
#include "ui/Controls.h"
#include "ui/OutputSettings.h"

#include <QList>
#include <QSize>
#include <QWidget>

#include <array>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

// Step 2, "Overall Settings": the play time, loop count, output size and
// transparency that every new frame and the GIF start from.
class SettingsPage final : public QWidget, public OutputSettings {
    Q_OBJECT
public:
    explicit SettingsPage(QWidget* parent);

    void chkSelect_Click();
    void chkCustom_Click();
    void UpdateDimensionControls();
    // Copies the chosen dimensions text into txtW and txtH. SetSizeList runs it
    // as well after it selects the first entry.
    void cboDim_Click();
    void picColor_Click();

    // The sizes of the pictures, offered in cboDim; the first is chosen.
    void SetSizeList(const QList<QSize>& sizes);
    // The dimensions text stands in cboDim's list already (compared exactly).
    bool IsDimensionListed(const QString& dimensions) const;
    // The frame of a new picture: this page's play time, transparency and colour.
    FrameRow DefaultFrameRow(const QString& fileName) const;
    QString WidthText() const override;
    QString HeightText() const override;
    QString LoopText() const override;
    void TrimLoopText() override;

private:
    QLabel* Label3 = nullptr;
    std::array<QLabel*, 6> LabX{}; // indices 0, 1, 2 and 5 are used
    QLineEdit* txtMS = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* txtLoop = nullptr;
    QLabel* Label4 = nullptr;
    QCheckBox* chkSelect = nullptr;
    QComboBox* cboDim = nullptr;
    QCheckBox* chkCustom = nullptr;
    QLineEdit* txtW = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* txtH = nullptr;
    QCheckBox* chkTrans = nullptr;
    QLabel* LabXX = nullptr;
    ColorBox* picColor = nullptr;

    void Build();
    void Wire();
};
