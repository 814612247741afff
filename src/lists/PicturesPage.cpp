// SPDX-License-Identifier: GPL-3.0-or-later
#include "lists/PicturesPage.h"

#include "lists/PictureDrop.h"
#include "ui/CheckBoxFit.h"
#include "ui/DocumentModel.h"
#include "ui/DoubleClickHook.h"
#include "ui/ListRows.h"
#include "ui/PageControls.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTreeView>

#include <utility>

using namespace PageControls;

PicturesPage::PicturesPage(DocumentModel& document, BusyHost& window, FrameDefaults frameDefaults, QWidget* parent)
    : QWidget(parent)
    , document_(document)
    , window_(window)
    , frameDefaults_(std::move(frameDefaults))
{
    Build();
    Wire();
}

void PicturesPage::Build()
{
    QWidget* page = this;
    LabCapX = Design::Label(page,
                            QCoreApplication::translate("FrmGif",
                                                        "Click [Add Pictures...] to open files and add pictures to the "
                                                        "list view, or click [Delete] to remove checked files from the "
                                                        "list."),
                            180, 180, Arial9(), kInstructionColor);
    Label6 = Design::Label(page,
                           QCoreApplication::translate("FrmGif",
                                                       "Click [Move Up] or [Move Down] to move the selected row up or "
                                                       "down. Click [Preview...] to preview a picture."),
                           180, 420, Arial9(), kInstructionColor);

    cmdAddImg = PictureButton(page, "cmdAddImg", "add-pictures", 60, 810, 1995, 360);
    cmdDelImg = PictureButton(page, "cmdDelImg", "delete", 2340, 810, 1395, 360);
    cmdUpImg = PictureButton(page, "cmdUpImg", "move-up", 3840, 810, 1395, 360);
    cmdDownImg = PictureButton(page, "cmdDownImg", "move-down", 5340, 810, 1395, 360);
    cmdPreviewImg = PictureButton(page, "cmdPreviewImg", "preview", 6840, 810, 1395, 360);

    cmdAdd = HiddenCommand(page, "cmdAdd", QCoreApplication::translate("FrmGif", "&Add Pictures ..."), 60, 840, 1455,
                           315, true);
    cmdDel =
        HiddenCommand(page, "cmdDel", QCoreApplication::translate("FrmGif", "&Delete"), 1620, 840, 1455, 315, true);
    cmdUp = HiddenCommand(page, "cmdUp", QCoreApplication::translate("FrmGif", "Move &Up"), 3600, 840, 1095, 315, true);
    cmdDown =
        HiddenCommand(page, "cmdDown", QCoreApplication::translate("FrmGif", "&Move Down"), 4800, 840, 1095, 315, true);
    cmdPreview = HiddenCommand(page, "cmdPreview", QCoreApplication::translate("FrmGif", "&Preview..."), 6420, 840,
                               1335, 315, true);

    Label1 = Design::Label(page, QCoreApplication::translate("FrmGif", "Total Files:"), 8460, 900, Arial9(),
                           kInstructionColor);
    LabTotal = Design::Label(page, QStringLiteral("0"), 9480, 900, Design::Font(QStringLiteral("Arial"), 9, true),
                             Rgb(255, 0, 0));
    LabTotal->setObjectName(QStringLiteral("LabTotal"));

    lstPic = ReportList(page, "lstPic", document_.Pictures());
    FitNameColumn(lstPic, PictureColumn::Name);

    chkAll = new QCheckBox(page);
    chkAll->setObjectName(QStringLiteral("chkAll"));
    chkAll->setAccessibleName(QCoreApplication::translate("FrmGif", "Check all pictures"));
    Design::Place(chkAll, 0, 0, 195, 195);
    FitCheckBox(chkAll);

    Shape1 = FrameShape(page, "Shape1");
    // The frame one pixel outside the list; the check-all box over the left
    // end of its header, above the frame.
    Shape1->setGeometry(lstPic->x() - 1, lstPic->y() - 1, lstPic->width() + 2, lstPic->height() + 2);
    chkAll->move(lstPic->x() + 4, lstPic->y() + 2);
    chkAll->raise();
    // Tab reaches the header's box before the rows under it.
    QWidget::setTabOrder(chkAll, lstPic);

    // Every control carries its design name, the captions too.
    LabCapX->setObjectName(QStringLiteral("LabCapX"));
    Label6->setObjectName(QStringLiteral("Label6"));
    Label1->setObjectName(QStringLiteral("Label1"));
}

void PicturesPage::Wire()
{
    connect(cmdAddImg, &ImageControl::clicked, this, [this] { cmdAddImg_Click(); });
    connect(cmdDelImg, &ImageControl::clicked, this, [this] { cmdDelImg_Click(); });
    connect(cmdUpImg, &ImageControl::clicked, this, [this] { cmdUpImg_Click(); });
    connect(cmdDownImg, &ImageControl::clicked, this, [this] { cmdDownImg_Click(); });
    connect(cmdPreviewImg, &ImageControl::clicked, this, [this] { cmdPreviewImg_Click(); });
    connect(cmdAdd, &QPushButton::clicked, this, [this] { cmdAdd_Click(); });
    connect(cmdDel, &QPushButton::clicked, this, [this] { cmdDel_Click(); });
    connect(cmdUp, &QPushButton::clicked, this, [this] { cmdUp_Click(); });
    connect(cmdDown, &QPushButton::clicked, this, [this] { cmdDown_Click(); });
    connect(cmdPreview, &QPushButton::clicked, this, [this] { cmdPreview_Click(); });
    // clicked, not stateChanged: only the user's click checks or unchecks all rows.
    connect(chkAll, &QCheckBox::clicked, this, [this] { chkAll_Click(); });
    // Anywhere on the list, also below the last row.
    new DoubleClickHook(lstPic, [this] { lstPic_DblClick(); });
    AcceptPictureDrops(*this, lstPic);

    lstPic->setAccessibleName(QCoreApplication::translate("FrmGif", "Pictures"));
    auto* remove = new QShortcut(QKeySequence::Delete, lstPic, nullptr, nullptr, Qt::WidgetShortcut);
    connect(remove, &QShortcut::activated, this, [this] { cmdDel_Click(); });
    // A row is one thing: Space checks or unchecks it from whichever cell is current.
    auto* check = new QShortcut(QKeySequence(Qt::Key_Space), lstPic, nullptr, nullptr, Qt::WidgetShortcut);
    connect(check, &QShortcut::activated, this, [this] {
        const QModelIndex current = lstPic->currentIndex();
        if (current.isValid())
            document_.SetChecked(current.row() + 1, !document_.Rows().IsChecked(current.row() + 1));
    });
}

int PicturesPage::Count() const { return document_.Rows().Count(); }

void PicturesPage::ShowCount() { Design::SetCaption(LabTotal, QString::number(Count())); }

PageControls::PictureCommands PicturesPage::PictureCommands() const
{
    return {
        {cmdAddImg, QCoreApplication::translate("FrmGif", "Add pictures"), {}},
        {cmdDelImg, QCoreApplication::translate("FrmGif", "Delete the checked pictures"), {}},
        {cmdUpImg, QCoreApplication::translate("FrmGif", "Move the selected picture up"), {}},
        {cmdDownImg, QCoreApplication::translate("FrmGif", "Move the selected picture down"), {}},
        {cmdPreviewImg, QCoreApplication::translate("FrmGif", "Preview the selected picture"), {}},
    };
}

qint32 PicturesPage::SelectedPicturePosition() const { return SelectedRowPosition(lstPic); }
