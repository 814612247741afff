// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/FrmPreview.h"

#include "common/FitBox.h"
#include "common/Twips.h"
#include "preview/PreviewPictures.h"
#include "ui/Controls.h"

#include <QMutex>
#include <QPainter>
#include <QPointer>
#include <QRunnable>
#include <QThreadPool>

#include <atomic>

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

std::atomic_int liveDecodes{0};

} // namespace

// What a window and its decode share: the window, while it is there, and
// whether the decode has begun.
struct FrmPreview::DecodeTicket {
    QMutex mutex;
    FrmPreview* window = nullptr;
    bool begun = false;
    QRunnable* job = nullptr; // owned by the pool until it has begun

    // On the worker, under the lock: the picture goes to the window only if
    // the window is still there and still waits for this decode.
    static void Deliver(const std::shared_ptr<DecodeTicket>& ticket, QImage picture)
    {
        FrmPreview* window = ticket->window;
        if (!window)
            return;
        const std::weak_ptr<DecodeTicket> awaited = ticket;
        QMetaObject::invokeMethod(
            window,
            [window, awaited, picture = std::move(picture)] {
                if (!awaited.expired() && window->decoding_ == awaited.lock())
                    window->ShowDecoded(picture);
            },
            Qt::QueuedConnection);
    }
};

namespace {

class WindowDecode final : public QRunnable {
public:
    WindowDecode(std::shared_ptr<FrmPreview::DecodeTicket> ticket, QString path, QSize box)
        : ticket_(std::move(ticket))
        , path_(std::move(path))
        , box_(box)
    {
        ++liveDecodes;
    }
    ~WindowDecode() override { --liveDecodes; }
    Q_DISABLE_COPY_MOVE(WindowDecode)

    void run() override
    {
        {
            const QMutexLocker lock(&ticket_->mutex);
            if (!ticket_->window)
                return;
            ticket_->begun = true;
        }
        QImage picture = PreviewPictures::Decode(path_, box_, [this] {
            const QMutexLocker lock(&ticket_->mutex);
            return ticket_->window != nullptr;
        });
        const QMutexLocker lock(&ticket_->mutex);
        // A window closed meanwhile gets nothing: the picture goes with this job.
        FrmPreview::DecodeTicket::Deliver(ticket_, std::move(picture));
    }

private:
    std::shared_ptr<FrmPreview::DecodeTicket> ticket_;
    QString path_;
    QSize box_;
};

} // namespace

int FrmPreview::LiveDecodes() { return liveDecodes.load(); }

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

FrmPreview::~FrmPreview() { DropDecode(); }

void FrmPreview::DropDecode()
{
    loading_ = false;
    const std::shared_ptr<DecodeTicket> ticket = std::move(decoding_);
    if (!ticket)
        return;
    // Opening and closing large pictures quickly would otherwise keep every
    // one of them decoding, or queued to decode, for windows that are gone.
    const QMutexLocker lock(&ticket->mutex);
    ticket->window = nullptr;
    // Not begun: the job is still in the pool's queue (it begins only under this lock).
    if (!ticket->begun && QThreadPool::globalInstance()->tryTake(ticket->job))
        delete ticket->job;
    ticket->job = nullptr;
}

void FrmPreview::ShowDecoded(const QImage& picture)
{
    loading_ = false;
    SetPicture(picture);
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
    DropDecode();
    const QSize box(W_, H_);
    if (!picture_.path.isEmpty() && !box.isEmpty()) {
        decoding_ = std::make_shared<DecodeTicket>();
        decoding_->window = this;
        decoding_->job = new WindowDecode(decoding_, picture_.path, box);
        loading_ = true;
        QThreadPool::globalInstance()->start(decoding_->job);
    }

    // 6. The shown size in the caption.
    setWindowTitle(windowTitle() + tr(" [ %1 x %2 ] ").arg(W_).arg(H_));
}

void FrmPreview::Form_Click() { reject(); }

void FrmPreview::imgPreview_Click() { reject(); }
