// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/FrmPreview.h"

#include "app/Controls.h"
#include "common/FitBox.h"
#include "common/Twips.h"
#include "preview/PreviewPictures.h"

#include <QPainter>
#include <QtConcurrent/QtConcurrentRun>

namespace {
constexpr int kInnerWidthTwips = 9150;
constexpr int kInnerHeightTwips = 6150;
constexpr int kMaxShownWidth = 600;
constexpr int kMaxShownHeight = 400;
constexpr ColorValue kWhite = Rgb(255, 255, 255);
constexpr ColorValue kFrameColor = Rgb(128, 128, 255);

// The window's surface, with imgPreview painted over the kept drawing.
class PreviewCanvas final : public PixelSurface {
public:
    PreviewCanvas(QWidget* parent, const FrmPreview::StretchImage& image)
        : PixelSurface(parent)
        , image_(image)
    {
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        PixelSurface::paintEvent(event);
        if (image_.Picture.isNull())
            return;
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(image_.Box(), image_.Picture);
    }

private:
    const FrmPreview::StretchImage& image_;
};

} // namespace

FrmPreview::FrmPreview(QWidget* owner, const Picture& picture)
    : QDialog(owner)
    , picture_(picture)
{
    setObjectName(QStringLiteral("frmPreview"));
    setWindowTitle(tr("Click to close preview window"));
    // Fixed dialog border: title bar and close box, no minimise or maximise.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(Twips::ToPixels(kInnerWidthTwips), Twips::ToPixels(kInnerHeightTwips));
    Design::SetBackColor(this, kWhite);

    canvas_ = new PreviewCanvas(this, imgPreview_);
    canvas_->setObjectName(QStringLiteral("frmPreviewSurface"));
    canvas_->SetBackColor(kWhite);
    canvas_->SetDrawColor(kFrameColor);
    canvas_->setGeometry(0, 0, width(), height());
    canvas_->Cls();

    connect(canvas_, &PixelSurface::mousePressed, this, [this](Qt::MouseButton button, QPointF) {
        if (button == Qt::LeftButton)
            pressed_ = true;
    });
    // A click is a press and a release on the window; a release left over from
    // the double-click that opened it is not.
    connect(canvas_, &PixelSurface::mouseReleased, this, [this](Qt::MouseButton button, QPointF pos) {
        if (button != Qt::LeftButton || !pressed_)
            return;
        pressed_ = false;
        if (imgPreview_.Box().contains(pos))
            imgPreview_Click();
        else
            Form_Click();
    });

    Form_Load();
}

FrmPreview::~FrmPreview()
{
    // A decode still waiting for a worker is not started for a window that
    // is gone: opening and closing large pictures quickly would otherwise
    // keep every one of them decoding.
    decoding_.cancel();
}

void FrmPreview::SetPicture(const QImage& picture)
{
    const QSize box(W_, H_);
    if (picture.isNull() || box.isEmpty()) {
        imgPreview_.Picture = QImage();
    } else {
        imgPreview_.Picture = PreviewPictures::FitToBox(picture, box);
    }
    canvas_->update();
}

void FrmPreview::Form_Load()
{
    // 1. The frame along the inner edge, kept on the surface.
    canvas_->Box(0, 0, canvas_->ScaleWidth() - 1, canvas_->ScaleHeight() - 1, canvas_->DrawColor());

    // 2, 3. The listed size, shrunk to fit; never enlarged.
    const QSize shown = FitInto(picture_.size.width(), picture_.size.height(), kMaxShownWidth, kMaxShownHeight);
    W_ = shown.width();
    H_ = shown.height();

    // 4. Centred, in single precision.
    imgPreview_.Width = static_cast<float>(W_);
    imgPreview_.Height = static_cast<float>(H_);
    imgPreview_.Left = static_cast<float>(canvas_->ScaleWidth() - W_) / 2.0f;
    imgPreview_.Top = static_cast<float>(canvas_->ScaleHeight() - H_) / 2.0f;

    // 5. Decoded as the GIF will hold it, at the shown size, off the window's
    // thread: the window is up at once even for a large picture. A picture
    // that cannot be read leaves the window empty.
    SetPicture(QImage());
    const QString path = picture_.path;
    const QSize box(W_, H_);
    if (!path.isEmpty() && !box.isEmpty()) {
        connect(&decoding_, &QFutureWatcher<QImage>::finished, this, [this] {
            loading_ = false;
            SetPicture(decoding_.result());
        });
        loading_ = true;
        decoding_.setFuture(QtConcurrent::run([path, box] { return PreviewPictures::Decode(path, box); }));
    }

    // 6. The shown size in the caption.
    setWindowTitle(windowTitle() + tr(" [ %1 x %2 ] ").arg(W_).arg(H_));
}

void FrmPreview::Form_Click() { reject(); }

void FrmPreview::imgPreview_Click() { reject(); }
