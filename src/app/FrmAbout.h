// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/Controls.h"

#include <QDialog>
#include <QPixmap>

class QLabel;

// The About window: a fixed dialog with a picture, the program's name and its
// version over a background picture. It has no code of its own and is made
// afresh for every showing.
class FrmAbout final : public QDialog {
    Q_OBJECT
public:
    explicit FrmAbout(QWidget* owner = nullptr);

    ImageControl* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap background_;
};
