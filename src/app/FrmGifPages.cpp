// SPDX-License-Identifier: GPL-3.0-or-later
// The controls of step 1 at their design places (twips); steps 2 to 5 are page
// classes that build their own.
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
