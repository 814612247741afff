// SPDX-License-Identifier: GPL-3.0-or-later
// The controls of the five step pages at their design places (twips).
#include "app/FrmGif.h"

#include "app/Artwork.h"
#include "app/CheckBoxFit.h"
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

namespace {
constexpr ColorValue kInstructionColor = Rgb(192, 64, 0);
constexpr ColorValue kSettingColor = Rgb(64, 64, 64);
constexpr ColorValue kFrameLineColor = Rgb(128, 128, 255);
constexpr ColorValue kHiddenButtonColor = Rgb(192, 255, 192);

QFont Arial9() { return Design::Font(QStringLiteral("Arial"), 9); }

ImageControl* PictureButton(QWidget* page, const char* name, const char* art, int left, int top,
                            int width, int height)
{
    auto* image = new ImageControl(page);
    image->setObjectName(QLatin1String(name));
    Design::Place(image, left, top, width, height);
    if (art)
        image->SetPicture(Artwork::Picture(QLatin1String(art)));
    return image;
}

// A command button that stays hidden for the whole run: its caption names the
// action, its enabled state says whether the action is available.
QPushButton* HiddenCommand(QWidget* page, const char* name, const QString& caption, int left,
                           int top, int width, int height, bool graphical)
{
    auto* button = new QPushButton(caption, page);
    button->setObjectName(QLatin1String(name));
    Design::Place(button, left, top, width, height);
    if (graphical) {
        QPalette palette = button->palette();
        palette.setColor(QPalette::Button, ToQColor(kHiddenButtonColor));
        button->setPalette(palette);
    }
    button->hide();
    return button;
}

// Red bold Verdana number field, flat.
QLineEdit* NumberField(QWidget* page, const char* name, const QString& text, int maxLength, int left,
                       int top)
{
    auto* field = new QLineEdit(text, page);
    field->setObjectName(QLatin1String(name));
    field->setMaxLength(maxLength);
    field->setFont(Design::Font(QStringLiteral("Verdana"), 9, true));
    Design::SetTextColor(field, Rgb(255, 0, 0));
    field->setFrame(true);
    Design::Place(field, left, top, 975, 285);
    return field;
}

QCheckBox* FlatCheckBox(QWidget* page, const char* name, const QString& caption, const QFont& font,
                        ColorValue color, int left, int top, int width, int height)
{
    auto* box = new QCheckBox(caption, page);
    box->setObjectName(QLatin1String(name));
    box->setFont(font);
    Design::SetTextColor(box, color);
    box->setChecked(false);
    Design::Place(box, left, top, width, height);
    FitCheckBox(box);
    return box;
}

QTreeView* ReportList(QWidget* page, const char* name, QAbstractItemModel* rows)
{
    auto* list = new QTreeView(page);
    list->setObjectName(QLatin1String(name));
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setModel(rows);
    // Headers are labels only: the lists keep the order the user gave them.
    list->header()->setSectionsClickable(false);
    list->header()->setStretchLastSection(true);
    list->header()->setSectionsMovable(false);
    list->setIconSize(QSize(16, 16));
    Design::Place(list, 60, 1320, 9915, 4515);
    return list;
}

ShapeOutline* FrameShape(QWidget* page, const char* name)
{
    auto* shape = new ShapeOutline(page);
    shape->setObjectName(QLatin1String(name));
    shape->SetBorderColor(kFrameLineColor);
    return shape;
}
} // namespace

void FrmGif::BuildAddPicturesPage(QWidget* page)
{
    LabCapX = Design::Label(page,
                            QStringLiteral("Click [Add Pictures...] to open files and add pictures to the "
                                           "list view, or click [Delete] to remove checked files from the list."),
                            180, 180, Arial9(), kInstructionColor);
    Label6 = Design::Label(page,
                           QStringLiteral("Click [Move Up] or [Move Down] to move the selected row up or "
                                          "down. Click [Preview...] to preview a picture."),
                           180, 420, Arial9(), kInstructionColor);

    cmdAddImg = PictureButton(page, "cmdAddImg", "add-pictures", 60, 810, 1995, 360);
    cmdDelImg = PictureButton(page, "cmdDelImg", "delete", 2340, 810, 1395, 360);
    cmdUpImg = PictureButton(page, "cmdUpImg", "move-up", 3840, 810, 1395, 360);
    cmdDownImg = PictureButton(page, "cmdDownImg", "move-down", 5340, 810, 1395, 360);
    cmdPreviewImg = PictureButton(page, "cmdPreviewImg", "preview", 6840, 810, 1395, 360);

    cmdAdd = HiddenCommand(page, "cmdAdd", QStringLiteral("&Add Pictures ..."), 60, 840, 1455, 315, true);
    cmdDel = HiddenCommand(page, "cmdDel", QStringLiteral("&Delete"), 1620, 840, 1455, 315, true);
    cmdUp = HiddenCommand(page, "cmdUp", QStringLiteral("Move &Up"), 3600, 840, 1095, 315, true);
    cmdDown = HiddenCommand(page, "cmdDown", QStringLiteral("&Move Down"), 4800, 840, 1095, 315, true);
    cmdPreview = HiddenCommand(page, "cmdPreview", QStringLiteral("&Preview..."), 6420, 840, 1335, 315, true);

    Label1 = Design::Label(page, QStringLiteral("Total Files:"), 8460, 900, Arial9(), kInstructionColor);
    LabTotal = Design::Label(page, QStringLiteral("0"), 9480, 900,
                             Design::Font(QStringLiteral("Arial"), 9, true), Rgb(255, 0, 0));
    LabTotal->setObjectName(QStringLiteral("LabTotal"));

    lstPic = ReportList(page, "lstPic", document_->Pictures());

    chkAll = new QCheckBox(page);
    chkAll->setObjectName(QStringLiteral("chkAll"));
    Design::Place(chkAll, 0, 0, 195, 195);
    FitCheckBox(chkAll);

    Shape1 = FrameShape(page, "Shape1");
}

void FrmGif::BuildSettingsPage(QWidget* page)
{
    Label3 = Design::Label(page,
                           QStringLiteral("You may enter parameters for all frames here, and you may also "
                                          "change each frame's properties in \"Frame Properties\" tabbed window."),
                           300, 240, Arial9(), kInstructionColor);
    Label3->setWordWrap(true);
    Design::Place(Label3, 300, 240, 7995, 450);

    const QFont settingFont = Design::Font(QStringLiteral("Verdana"), 9.75);
    const QFont captionFont = Design::Font(QStringLiteral("Arial"), 9.75);
    const QFont dialogFont = Design::Font(QString(), 0);

    LabX[5] = Design::Label(page, QStringLiteral("Play time every frame"), 300, 1080, captionFont, kSettingColor);
    txtMS = NumberField(page, "txtMS", QStringLiteral("1000"), 5, 2940, 1080);
    Label2 = Design::Label(page, QStringLiteral("Milli Seconds ( from 100 to 30000 )"), 4020, 1140,
                           dialogFont, Design::SystemWindowText());

    LabX[0] = Design::Label(page, QStringLiteral("Loop times when play"), 300, 1500, captionFont, kSettingColor);
    txtLoop = NumberField(page, "txtLoop", QStringLiteral("0"), 4, 2940, 1500);
    Label4 = Design::Label(page, QStringLiteral("( from 0 to 9999, and 0 stands for loop infinitely )"), 4020,
                           1560, dialogFont, Design::SystemWindowText());

    LabX[1] = Design::Label(page, QStringLiteral("Output GIF Dimensions"), 300, 1980, captionFont, kSettingColor);
    chkSelect = FlatCheckBox(page, "chkSelect", QStringLiteral("Select from original pictures dimensions"),
                             settingFont, kSettingColor, 2940, 2040, 4335, 195);
    cboDim = new QComboBox(page);
    cboDim->setObjectName(QStringLiteral("cboDim"));
    cboDim->setEditable(false);
    Design::Place(cboDim, 7440, 1980, 2235, 315);
    chkCustom = FlatCheckBox(page, "chkCustom", QStringLiteral("Or enter your own dimensions values"),
                             settingFont, kSettingColor, 2940, 2460, 4275, 195);
    txtW = NumberField(page, "txtW", QStringLiteral("0"), 4, 7440, 2460);
    Label5 = Design::Label(page, QStringLiteral("X"), 8490, 2460, Design::Font(QStringLiteral("Arial"), 11.25),
                           Design::SystemWindowText());
    // The only opaque label of the pages.
    Design::SetBackColor(Label5, Design::SystemWindowBackground());
    txtH = NumberField(page, "txtH", QStringLiteral("0"), 4, 8700, 2460);

    LabX[2] = Design::Label(page, QStringLiteral("Transparent Color"), 300, 3120, captionFont, kSettingColor);
    chkTrans = FlatCheckBox(page, "chkTrans", QStringLiteral("YES"), Design::Font(QStringLiteral("Verdana"), 9.75, true),
                            Rgb(255, 0, 0), 2940, 3120, 1275, 255);
    Design::SetBackColor(chkTrans, Rgb(255, 255, 255));
    LabXX = Design::Label(page,
                          QStringLiteral("Double click the below rectangle to select a color as transparent:"),
                          2940, 3600, settingFont, Rgb(88, 133, 199));
    LabXX->setWordWrap(true);
    Design::Place(LabXX, 2940, 3600, 4350, 480);

    picColor = new ColorBox(page);
    picColor->setObjectName(QStringLiteral("picColor"));
    picColor->SetBorder(true);
    picColor->SetBackColor(Design::SystemWindowBackground());
    Design::Place(picColor, 2940, 4200, 1755, 795);
}

void FrmGif::BuildFramePropertiesPage(QWidget* page)
{
    Label8 = Design::Label(page,
                           QStringLiteral("Click [Change Properties...] or double click a frame row to change "
                                          "the frame properties."),
                           180, 180, Arial9(), kInstructionColor);
    imgcmdProp = PictureButton(page, "imgcmdProp", "change-properties", 60, 720, 2550, 420);
    cmdProp = HiddenCommand(page, "cmdProp", QStringLiteral("&Change Properties ..."), 60, 840, 2055, 315, true);
    // Nothing to edit before the first picture is added.
    cmdProp->setEnabled(false);
    lstFrame = ReportList(page, "lstFrame", document_->Frames());
    lstFrame->setItemDelegateForColumn(FrameColumn::Color, new ColorCellDelegate(lstFrame));
    Shape2 = FrameShape(page, "Shape2");
}

void FrmGif::BuildPreviewPage(QWidget* page)
{
    Label9 = Design::Label(page,
                           QStringLiteral("Click [ Go Preview ] to preview the GIF Animation, and click [ Stop "
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

    cmdGo = HiddenCommand(page, "cmdGo", QStringLiteral("&Go Preview"), 180, 480, 1455, 315, false);
    cmdGo->setEnabled(false);
    cmdStop = HiddenCommand(page, "cmdStop", QStringLiteral("&Stop Preview"), 1860, 480, 1455, 315, false);
    cmdStop->setEnabled(false);

    LabLoop = Design::Label(page, QStringLiteral("Frame:"), 4980, 540, Arial9(), kInstructionColor);
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
                            QStringLiteral("Enter a file name to save the created GIF. Click [Create Animated GIF "
                                           "Now!] to start creating your GIF."),
                            300, 180, Arial9(), kInstructionColor);
    Label7 = Design::Label(page, QStringLiteral("Animated GIF file name:"), 420, 840, Arial9(), kInstructionColor);

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

    cmdCreateGIF = HiddenCommand(page, "cmdCreateGIF", QStringLiteral("Create Animated GIF Now!"), 420, 1920,
                                 2955, 315, false);
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
