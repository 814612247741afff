// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/FrmProp.h"

#include "common/Twips.h"
#include "production/ShortDelays.h"
#include "settings/NumericKeyFilter.h"
#include "ui/Artwork.h"
#include "ui/CheckBoxFit.h"
#include "ui/Controls.h"
#include "ui/Dialogs.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionButton>

namespace {
constexpr int kInnerWidthTwips = 6945;
constexpr int kInnerHeightTwips = 5100;
constexpr ColorValue kWhite = Rgb(255, 255, 255);
constexpr ColorValue kShapeColor = Rgb(128, 128, 255);
constexpr ColorValue kCaptionColor = Rgb(88, 133, 199);
constexpr ColorValue kRed = Rgb(255, 0, 0);

// A command button whose caption wraps onto a second line when it is wider
// than the button ("&Apply to All Frames" in its 81-pixel button).
class WrapButton final : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        option.text.clear();
        style()->drawControl(QStyle::CE_PushButton, &option, &painter, this);
        const QRect textArea = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
        style()->drawItemText(&painter, textArea, Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic, palette(),
                              isEnabled(), text(), QPalette::ButtonText);
    }
};

QLabel* Caption(QWidget* parent, const QString& text, int left, int top, int width, int height, bool wrap)
{
    QLabel* label =
        Design::Label(parent, text, left, top, Design::Font(QStringLiteral("Verdana"), 9.75), kCaptionColor);
    label->setWordWrap(wrap);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Design::Place(label, left, top, width, height);
    return label;
}

QPushButton* Button(QWidget* parent, QPushButton* button, const char* name, int left, int top, int width, int height)
{
    button->setParent(parent);
    button->setObjectName(QLatin1String(name));
    Design::Place(button, left, top, width, height);
    return button;
}
} // namespace

FrmProp::FrmProp(QWidget* owner, const Frame& frame)
    : QDialog(owner)
    , frame_(frame)
{
    setObjectName(QStringLiteral("frmProp"));
    setWindowTitle(tr("Frame Properties..."));
    // Fixed tool window: a title bar with a close box only.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowIcon(Artwork::WindowIcon());
    setFixedSize(Twips::ToPixels(kInnerWidthTwips), Twips::ToPixels(kInnerHeightTwips));
    Design::SetBackColor(this, kWhite);

    Shape1 = new ShapeOutline(this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->SetBorderColor(kShapeColor);
    Design::Place(Shape1, 120, 120, 5295, 4815);

    Image1 = new ImageControl(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Design::Place(Image1, 480, 420, 1170, 1065);
    Image1->SetPicture(Artwork::Picture(QStringLiteral("prop-picture")));

    LabCap[1] = Caption(this, tr("Frame #:"), 2040, 360, 915, 240, false);
    LabCap[0] = Caption(this, tr("File Name:"), 2040, 840, 1035, 240, false);
    LabCap[2] = Caption(this, tr("Play Time:"), 2040, 1320, 1035, 240, false);
    LabCap[4] =
        Caption(this, tr("Do you want to set a color to transparent in this frame?"), 480, 1860, 4320, 480, true);
    LabCap[3] = Caption(this, tr("Double click the below rectangle to select a color as transparent:"), 480, 3120, 4350,
                        480, true);
    for (std::size_t i = 0; i < LabCap.size(); ++i)
        LabCap[i]->setObjectName(QStringLiteral("LabCap(%1)").arg(i));

    const QFont dialogFont = Design::Font(QString(), 0);
    LabNo = Design::Label(this, QString(), 3120, 390, dialogFont, Design::SystemWindowText());
    LabNo->setObjectName(QStringLiteral("LabNo"));
    LabFile = Design::Label(this, QString(), 3120, 870, dialogFont, Design::SystemWindowText());
    LabFile->setObjectName(QStringLiteral("LabFile"));

    txtMS = new QLineEdit(QStringLiteral("500"), this);
    txtMS->setObjectName(QStringLiteral("txtMS"));
    txtMS->setMaxLength(5);
    txtMS->setToolTip(ShortDelays::PlayTimeNote());
    txtMS->setFont(Design::Font(QStringLiteral("Verdana"), 9, true));
    Design::SetTextColor(txtMS, kRed);
    Design::Place(txtMS, 3120, 1320, 915, 285);
    NumericKeyFilter::InstallOn(txtMS);

    Label1 = Design::Label(this, tr("Milli Seconds"), 4140, 1380, dialogFont, Design::SystemWindowText());
    Label1->setObjectName(QStringLiteral("Label1"));

    chkTrans = new QCheckBox(tr("YES"), this);
    chkTrans->setObjectName(QStringLiteral("chkTrans"));
    chkTrans->setFont(Design::Font(QStringLiteral("Verdana"), 9.75, true));
    Design::SetTextColor(chkTrans, kRed);
    Design::SetBackColor(chkTrans, kWhite);
    Design::Place(chkTrans, 480, 2520, 1275, 255);
    FitCheckBox(chkTrans);

    picColor = new ColorBox(this);
    picColor->setObjectName(QStringLiteral("picColor"));
    picColor->SetBorder(true);
    picColor->setFocusPolicy(Qt::TabFocus);
    Design::Place(picColor, 480, 3780, 1755, 795);

    OKButton = Button(this, new QPushButton(tr("&OK")), "OKButton", 5580, 120, 1215, 375);
    CancelButton = Button(this, new QPushButton(tr("&Cancel")), "CancelButton", 5580, 600, 1215, 375);
    cmdApply = Button(this, new WrapButton(tr("&Apply to All Frames")), "cmdApply", 5580, 1080, 1215, 615);

    // OK first, so it has the focus when the dialog opens.
    QWidget::setTabOrder(OKButton, CancelButton);
    QWidget::setTabOrder(CancelButton, chkTrans);
    QWidget::setTabOrder(chkTrans, picColor);
    QWidget::setTabOrder(picColor, txtMS);
    QWidget::setTabOrder(txtMS, cmdApply);
    OKButton->setFocus();
    // Enter in the play-time field keeps the edit.
    OKButton->setDefault(true);

    connect(picColor, &ColorBox::clicked, this, [this] { picColor_Click(); });
    connect(OKButton, &QPushButton::clicked, this, [this] { OKButton_Click(); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButton_Click(); });
    connect(cmdApply, &QPushButton::clicked, this, [this] { cmdApply_Click(); });

    Form_Load();
}

FrmProp::~FrmProp() = default;

void FrmProp::Form_Load()
{
    if (frame_.position < 1)
        return;
    QString number = frame_.label;
    // The row says "Frame N" in the user's language: the words around N go.
    for (const QString& words : QCoreApplication::translate("FrmGif", "Frame %1").split(QStringLiteral("%1")))
        if (!words.trimmed().isEmpty())
            number.remove(words.trimmed(), Qt::CaseSensitive);
    Design::SetCaption(LabNo, number.trimmed());
    // A long name is shortened in the middle, so that it keeps its start and
    // its extension and stops short of the buttons; the tooltip has it whole.
    const int room = OKButton->x() - LabFile->x() - Twips::ToPixels(120);
    Design::SetCaption(LabFile, LabFile->fontMetrics().elidedText(frame_.name, Qt::ElideMiddle, room));
    LabFile->setToolTip(frame_.name);
    chkTrans->setChecked(frame_.properties.transparent);
    txtMS->setText(frame_.properties.playTime);
    picColor->SetBackColor(frame_.properties.color);
}

void FrmProp::picColor_Click()
{
    Dialogs::ColorRequest request;
    request.title = tr("Select a Transparent color");
    request.initial = picColor->BackColor();
    if (const std::optional<ColorValue> picked = Dialogs::PickColor(this, request))
        picColor->SetBackColor(*picked);
}

FrmProp::Properties FrmProp::Edited() const
{
    return {txtMS->text().trimmed(), chkTrans->isChecked(), picColor->BackColor()};
}

void FrmProp::OKButton_Click() { accept(); }

void FrmProp::CancelButton_Click() { reject(); }

void FrmProp::cmdApply_Click() { Q_EMIT appliedToAllFrames(Edited()); }
