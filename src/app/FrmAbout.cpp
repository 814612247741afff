// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FrmAbout.h"

#include "common/Twips.h"
#include "ui/Artwork.h"

#include <QLabel>
#include <QPainter>

namespace {
constexpr int kClientWidthTwips = 6720;
constexpr int kClientHeightTwips = 4950;
} // namespace

FrmAbout::FrmAbout(QWidget* owner)
    : QDialog(owner)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(tr("About Flipreel 1.30"));
    // Fixed dialog border: a title bar with a close box only.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(Twips::ToPixels(kClientWidthTwips), Twips::ToPixels(kClientHeightTwips));
    setSizeGripEnabled(false);
    background_ = Artwork::Picture(QStringLiteral("about-background"));

    Image1 = new ImageControl(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Design::Place(Image1, 240, 240, 2700, 2760);
    Image1->SetPicture(Artwork::Picture(QStringLiteral("about-picture")));

    const QFont font = Design::Font(QStringLiteral("Verdana"), 15, true);
    Label1 = Design::Label(this, tr("Flipreel"), 1380, 840, font, Rgb(255, 0, 0));
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2 = Design::Label(this, tr("VER   1.30"), 3180, 1260, font, Rgb(128, 128, 255));
    Label2->setObjectName(QStringLiteral("Label2"));
}

void FrmAbout::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    // The picture is a little larger than the client area; its right and
    // bottom edges are cut off.
    painter.drawPixmap(0, 0, background_);
}
