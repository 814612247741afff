// SPDX-License-Identifier: GPL-3.0-or-later
// The controls of the five step pages at their design places (twips).
#include "app/FrmGif.h"

#include "app/Artwork.h"
#include "app/CheckBoxFit.h"
#include "app/PageControls.h"
#include "lists/ColorCellDelegate.h"
#include "lists/DocumentModel.h"
#include "lists/ListRows.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

using namespace PageControls;

void FrmGif::BuildAddPicturesPage(QWidget* page)
{
    LabCapX = Design::Label(page,
                            tr("Click [Add Pictures...] to open files and add pictures to the "
                               "list view, or click [Delete] to remove checked files from the list."),
                            180, 180, Arial9(), kInstructionColor);
    Label6 = Design::Label(page,
                           tr("Click [Move Up] or [Move Down] to move the selected row up or "
                              "down. Click [Preview...] to preview a picture."),
                           180, 420, Arial9(), kInstructionColor);

    cmdAddImg = PictureButton(page, "cmdAddImg", "add-pictures", 60, 810, 1995, 360);
    cmdDelImg = PictureButton(page, "cmdDelImg", "delete", 2340, 810, 1395, 360);
    cmdUpImg = PictureButton(page, "cmdUpImg", "move-up", 3840, 810, 1395, 360);
    cmdDownImg = PictureButton(page, "cmdDownImg", "move-down", 5340, 810, 1395, 360);
    cmdPreviewImg = PictureButton(page, "cmdPreviewImg", "preview", 6840, 810, 1395, 360);

    cmdAdd = HiddenCommand(page, "cmdAdd", tr("&Add Pictures ..."), 60, 840, 1455, 315, true);
    cmdDel = HiddenCommand(page, "cmdDel", tr("&Delete"), 1620, 840, 1455, 315, true);
    cmdUp = HiddenCommand(page, "cmdUp", tr("Move &Up"), 3600, 840, 1095, 315, true);
    cmdDown = HiddenCommand(page, "cmdDown", tr("&Move Down"), 4800, 840, 1095, 315, true);
    cmdPreview = HiddenCommand(page, "cmdPreview", tr("&Preview..."), 6420, 840, 1335, 315, true);

    Label1 = Design::Label(page, tr("Total Files:"), 8460, 900, Arial9(), kInstructionColor);
    LabTotal = Design::Label(page, QStringLiteral("0"), 9480, 900, Design::Font(QStringLiteral("Arial"), 9, true),
                             Rgb(255, 0, 0));
    LabTotal->setObjectName(QStringLiteral("LabTotal"));

    lstPic = ReportList(page, "lstPic", document_->Pictures());

    chkAll = new QCheckBox(page);
    chkAll->setObjectName(QStringLiteral("chkAll"));
    Design::Place(chkAll, 0, 0, 195, 195);
    FitCheckBox(chkAll);

    Shape1 = FrameShape(page, "Shape1");
}

void FrmGif::BuildCreatePage(QWidget* page)
{
    Label10 = Design::Label(page,
                            tr("Enter a file name to save the created GIF. Click [Create Animated GIF "
                               "Now!] to start creating your GIF."),
                            300, 180, Arial9(), kInstructionColor);
    Label7 = Design::Label(page, tr("Animated GIF file name:"), 420, 840, Arial9(), kInstructionColor);

    txtGIF = new QLineEdit(page);
    txtGIF->setObjectName(QStringLiteral("txtGIF"));
    txtGIF->setReadOnly(true);
    Design::Place(txtGIF, 420, 1140, 6795, 255);

    cmdOpen = new QPushButton(QStringLiteral("..."), page);
    cmdOpen->setObjectName(QStringLiteral("cmdOpen"));
    cmdOpen->setFont(Design::Font(QStringLiteral("Arial"), 9.75, true));
    Design::Place(cmdOpen, 7260, 1125, 495, 270);

    const std::array<const char*, 4> looks = {"create-normal", "create-normal", "create-hot", "create-busy"};
    for (std::size_t i = 0; i < imgCreate.size(); ++i) {
        imgCreate[i] = PictureButton(page, nullptr, looks[i], 420, 1740, 4905, 690);
        imgCreate[i]->setObjectName(QStringLiteral("imgCreate(%1)").arg(i));
        imgCreate[i]->setVisible(i == 0);
    }
    imgCreate[0]->raise();

    cmdCreateGIF = HiddenCommand(page, "cmdCreateGIF", tr("Create Animated GIF Now!"), 420, 1920, 2955, 315, false);
    cmdCreateGIF->setEnabled(false);

    picPercent = new PixelSurface(page);
    picPercent->setObjectName(QStringLiteral("picPercent"));
    picPercent->SetBackColor(Design::SystemWindowBackground());
    Design::Place(picPercent, 5580, 1920, 4155, 315);
    picPercent->Cls();
    picPercent->hide();
    LabPercent = Design::Label(picPercent, QStringLiteral("0%"), 2040, 60, Arial9(), Rgb(255, 0, 0));
    LabPercent->setObjectName(QStringLiteral("LabPercent"));
}
