// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/FramesPage.h"

#include "ui/ColorCellDelegate.h"
#include "ui/DocumentModel.h"
#include "ui/DoubleClickHook.h"
#include "ui/ListRows.h"
#include "ui/Messages.h"
#include "ui/PageControls.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>

using namespace PageControls;

FramesPage::FramesPage(DocumentModel& document, QWidget* parent)
    : QWidget(parent)
    , document_(document)
{
    Build();
    Wire();
}

void FramesPage::Build()
{
    QWidget* page = this;
    Label8 =
        Design::Label(page,
                      QCoreApplication::translate("FrmGif",
                                                  "Click [Change Properties...] or double click a frame row to change "
                                                  "the frame properties."),
                      180, 180, Arial9(), kInstructionColor);
    imgcmdProp = PictureButton(page, "imgcmdProp", "change-properties", 60, 720, 2550, 420);
    cmdProp = HiddenCommand(page, "cmdProp", QCoreApplication::translate("FrmGif", "&Change Properties ..."), 60, 840,
                            2055, 315, true);
    // Nothing to edit before the first picture is added.
    cmdProp->setEnabled(false);
    lstFrame = ReportList(page, "lstFrame", document_.Frames());
    FitNameColumn(lstFrame, FrameColumn::Name);
    lstFrame->setItemDelegateForColumn(FrameColumn::Color, new ColorCellDelegate(lstFrame));
    Shape2 = FrameShape(page, "Shape2");
    // One pixel outside the list.
    Shape2->setGeometry(lstFrame->x() - 1, lstFrame->y() - 1, lstFrame->width() + 2, lstFrame->height() + 2);

    // Every control carries its design name, the captions too.
    Label8->setObjectName(QStringLiteral("Label8"));
}

void FramesPage::Wire()
{
    new DoubleClickHook(lstFrame, [this] { lstFrame_DblClick(); });
    connect(cmdProp, &QPushButton::clicked, this, [this] { cmdProp_Click(); });
    connect(imgcmdProp, &ImageControl::clicked, this, [this] { imgcmdProp_Click(); });
    lstFrame->setAccessibleName(QCoreApplication::translate("FrmGif", "Frames"));
}

int FramesPage::FrameCount() const { return document_.Rows().Count(); }

void FramesPage::SetCommandsEnabled(bool enabled) { cmdProp->setEnabled(enabled); }

qint32 FramesPage::SelectedFramePosition() const
{
    if (FrameCount() == 0)
        return 0;
    // With rows but none selected the first frame is edited.
    const qint32 selected = SelectedRowPosition(lstFrame);
    return selected > 0 ? selected : 1;
}

void FramesPage::lstFrame_DblClick()
{
    if (FrameCount() < 1)
        return;
    Q_EMIT PropertiesRequested();
}

void FramesPage::cmdProp_Click() { lstFrame_DblClick(); }

void FramesPage::imgcmdProp_Click()
{
    if (FrameCount() == 0) {
        Messages::Info(window(), QCoreApplication::translate("FrmGif", "No files in list!"));
        return;
    }
    cmdProp_Click();
}

PageControls::PictureCommands FramesPage::PictureCommands() const
{
    return {{imgcmdProp, QCoreApplication::translate("FrmGif", "Change the frame properties"), {}}};
}
