// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FrmGif.h"

#include "app/ModTab.h"
#include "common/Twips.h"
#include "lists/PicturesPage.h"
#include "preview/PreviewPage.h"
#include "production/ui/CreatePage.h"
#include "settings/FramesPage.h"
#include "settings/SettingsPage.h"
#include "ui/Artwork.h"
#include "ui/DocumentModel.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTreeView>

namespace {
// Client area of the design, trimmed by one pixel each way at start-up.
constexpr int kDesignWidthTwips = 10860;
constexpr int kDesignHeightTwips = 8085;
constexpr ColorValue kBackColor = Rgb(0, 0, 255);
constexpr ColorValue kLinkDesignColor = Rgb(192, 192, 0);
} // namespace

FrmGif::FrmGif(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frmGIF"));
    setWindowTitle(tr("Flipreel"));
    setWindowFlag(Qt::FramelessWindowHint);
    setWindowIcon(Artwork::WindowIcon());
    setFixedSize(Twips::ToPixels(kDesignWidthTwips), Twips::ToPixels(kDesignHeightTwips));
    background_ = Artwork::Picture(QStringLiteral("background"));

    ImageList1 = {QIcon(Artwork::Picture(QStringLiteral("icon-cross"))),
                  QIcon(Artwork::Picture(QStringLiteral("icon-tick"))),
                  QIcon(Artwork::Picture(QStringLiteral("icon-frames")))};

    document_ = new DocumentModel(this);
    document_->SetIcons(&ImageList1);

    BuildTitleBar();
    BuildTabStrip();
    WireTabs();
    WireFrame();
    WirePictures();
    WireFrameProperties();

    Form_Load();
    // After start-up, which gives the step captions their texts.
    WireKeyboard();
}

FrmGif::~FrmGif() = default;

void FrmGif::ShowCentered()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        // QRect::center() lies half a pixel up and left of the middle.
        const QRect area = screen->availableGeometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
    show();
}

void FrmGif::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(kBackColor));
    painter.drawPixmap(0, 0, background_);
}

void FrmGif::BuildTitleBar()
{
    Image1 = new ImageControl(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Design::Place(Image1, 90, 13, 360, 360);
    Image1->SetPicture(Artwork::Picture(QStringLiteral("title-icon")));

    // Fixedsys 12 has no Linux twin: a monospace of similar size, of the
    // title's own weight (400, not bold).
    LTitle = Design::Label(this, tr("Flipreel 1.30"), 540, 90, Design::Font(QStringLiteral("Fixedsys"), 10.5),
                           Rgb(255, 192, 192));
    LTitle->setObjectName(QStringLiteral("LTitle"));

    auto symbol = [this](const char* name, const char* art, int left, bool visible) {
        auto* image = new ImageControl(this);
        image->setObjectName(QLatin1String(name));
        Design::Place(image, left, 90, 240, 240);
        image->SetPicture(Artwork::Picture(QLatin1String(art)));
        image->setVisible(visible);
        return image;
    };
    imgMin = symbol("imgMin", "min", 9990, true);
    imgClose = symbol("imgClose", "close", 10365, true);
    // The highlighted symbols lie above the normal ones when shown.
    imgMin2 = symbol("imgMin2", "min-hot", 9990, false);
    imgClose2 = symbol("imgClose2", "close-hot", 10365, false);

    const QFont linkFont = Design::Font(QStringLiteral("Arial"), 9.75);
    const std::array<std::pair<const char*, int>, 3> links = {
        {{QT_TR_NOOP("Website"), 7860}, {QT_TR_NOOP("Help"), 9060}, {QT_TR_NOOP("About..."), 9960}}};
    for (std::size_t i = 0; i < links.size(); ++i) {
        LabLinks[i] = new ClickLabel(tr(links[i].first), this);
        Design::StyleLabel(LabLinks[i], links[i].second, 7560, linkFont, kLinkDesignColor);
        LabLinks[i]->setObjectName(QStringLiteral("LabLinks(%1)").arg(i));
    }
}

void FrmGif::BuildTabStrip()
{
    picTab = new PixelSurface(this);
    picTab->setObjectName(QStringLiteral("picTab"));
    picTab->SetBackColor(Design::SystemWindowBackground());
    Design::Place(picTab, 165, 450, 10515, 6720);
    picTab->Cls();

    // New frames take step 2's defaults, asked for once step 2 exists.
    pictures_ = new PicturesPage(
        *document_, *this, [this](const QString& name) { return Settings().DefaultFrameRow(name); }, picTab);
    settings_ = new SettingsPage(picTab);
    frames_ = new FramesPage(*document_, picTab);
    preview_ = new PreviewPage(*document_, *settings_, *this, picTab);
    create_ = new CreatePage(*document_, *settings_, *this, wp, picTab);
    picTabs = {pictures_, settings_, frames_, preview_, create_};
    for (std::size_t i = 0; i < picTabs.size(); ++i) {
        picTabs[i]->setObjectName(QStringLiteral("picTabs(%1)").arg(i));
        Design::SetBackColor(picTabs[i], i == 0 ? Rgb(255, 255, 255) : Design::SystemWindowBackground());
    }
    // Captions, fonts and places are set by the tab strip at start-up.
    for (std::size_t i = 0; i < LabCap.size(); ++i) {
        auto* caption = new ClickLabel(QString(), picTab);
        Design::StyleLabel(caption, 0, 0, Design::Font(QStringLiteral("Arial"), 9), Rgb(88, 133, 199));
        caption->setObjectName(QStringLiteral("LabCap(%1)").arg(i));
        LabCap[i] = caption;
    }
    tabStrip_.Surface = picTab;
    tabStrip_.Captions = LabCap;
    tabStrip_.Pages = picTabs;
}

PageControls::PictureCommands FrmGif::PictureCommands() const
{
    return Pictures().PictureCommands() + Frames().PictureCommands() + Preview().PictureCommands()
        + Create().PictureCommands();
}

void FrmGif::WireTabs()
{
    for (int i = 0; i < ModTab::TabCount; ++i)
        connect(LabCap[static_cast<std::size_t>(i)], &ClickLabel::clicked, this, [this, i] { LabCap_Click(i); });
    connect(picTab, &PixelSurface::mouseReleased, this,
            [this](Qt::MouseButton button, QPointF pos) { picTab_MouseUp(button, pos); });
}

void FrmGif::Form_Load()
{
    // 1. Trim the window to the background picture: 724 x 539 becomes 723 x 538.
    setFixedSize(width() - 1, height() - 1);
    // 2. Drag state.
    DragStartX = 0;
    DragStartY = 0;
    Dragging = false;
    // 3. Tab strip.
    ModTab::InitTabs(tabStrip_);
    // 4. and 5. The check-all box and the frame of the picture list: its page places them.
    // 7., 9. and 12.: the preview page starts with its caption hidden, the
    // grey frame in its box and the greyed Go and Stop.
    // 8. Size controls from the two unchecked boxes.
    Settings().UpdateDimensionControls();
    // 10. Link colours and hand cursors.
    InitLinksAndCursors();
    // 11. The create button starts without its highlight (CreatePage).
}
