// SPDX-License-Identifier: GPL-3.0-or-later
// The controls of steps 4 and 5 at their design places (twips); steps 1 to 3
// are page classes that build their own.
#include "app/FrmGif.h"

#include "app/Artwork.h"
#include "app/PageControls.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace PageControls;

void FrmGif::BuildPreviewPage(QWidget* page)
{
    Label9 = Design::Label(page,
                           tr("Click [ Go Preview ] to preview the GIF Animation, and click [ Stop "
                              "Preview ] to stop the preview"),
                           180, 120, Arial9(), kInstructionColor);
    imgcmdGo = PictureButton(page, "imgcmdGo", nullptr, 180, 480, 1770, 405);
    imgcmdStop = PictureButton(page, "imgcmdStop", nullptr, 2100, 480, 1770, 405);
    imgGoEn = PictureButton(page, "imgGoEn", "go-enabled", 4920, 60, 1770, 405);
    imgStopEn = PictureButton(page, "imgStopEn", "stop-enabled", 4920, 540, 1770, 405);
    imgGoDis = PictureButton(page, "imgGoDis", "go-disabled", 6840, 60, 1770, 405);
    imgStopDis = PictureButton(page, "imgStopDis", "stop-disabled", 6840, 540, 1770, 405);
    for (ImageControl* holder : {imgGoEn, imgStopEn, imgGoDis, imgStopDis})
        holder->hide();

    cmdGo = HiddenCommand(page, "cmdGo", tr("&Go Preview"), 180, 480, 1455, 315, false);
    cmdGo->setEnabled(false);
    cmdStop = HiddenCommand(page, "cmdStop", tr("&Stop Preview"), 1860, 480, 1455, 315, false);
    cmdStop->setEnabled(false);

    LabLoop = Design::Label(page, tr("Frame:"), 4980, 540, Arial9(), kInstructionColor);
    LabLoop->setObjectName(QStringLiteral("LabLoop"));

    picPreview = new PreviewArea(page);
    picPreview->setObjectName(QStringLiteral("picPreview"));
    picPreview->SetBackColor(Design::SystemWindowBackground());
    Design::Place(picPreview, 180, 1020, 9735, 4815);
    picPreview->Cls();

    tmPlay = new QTimer(picPreview);
    tmPlay->setObjectName(QStringLiteral("tmPlay"));
    tmPlay->stop();
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
