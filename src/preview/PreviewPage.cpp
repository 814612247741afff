// SPDX-License-Identifier: GPL-3.0-or-later
// Step 4: loading the animation preview, its playback and the Go and Stop buttons.
#include "preview/PreviewPage.h"

#include "common/OutputSize.h"
#include "preview/PreviewLayout.h"
#include "preview/PreviewPictures.h"
#include "ui/BusyHost.h"
#include "ui/DocumentModel.h"
#include "ui/Messages.h"
#include "ui/OutputSettings.h"
#include "ui/PageControls.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QTimer>

#include <algorithm>

using namespace PageControls;

PreviewPage::PreviewPage(const DocumentModel& document, const OutputSettings& settings, BusyHost& host, QWidget* parent)
    : QWidget(parent)
    , document_(document)
    , settings_(settings)
    , host_(host)
{
    Build();
    Wire();
    // The start-up state: no caption, a grey frame along the box's inner edge
    // (the box keeps it), and the greyed Go and Stop until there are frames.
    LabLoop->hide();
    picPreview->SetDrawColor(Rgb(192, 192, 192));
    picPreview->Box(0, 0, picPreview->ScaleWidth() - 1, picPreview->ScaleHeight() - 1, picPreview->DrawColor());
    imgcmdGo->TakePictureOf(*imgGoDis);
    imgcmdStop->TakePictureOf(*imgStopDis);
}

void PreviewPage::Build()
{
    QWidget* page = this;
    Label9 =
        Design::Label(page,
                      QCoreApplication::translate("FrmGif",
                                                  "Click [ Go Preview ] to preview the GIF Animation, and click [ Stop "
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

    cmdGo =
        HiddenCommand(page, "cmdGo", QCoreApplication::translate("FrmGif", "&Go Preview"), 180, 480, 1455, 315, false);
    cmdGo->setEnabled(false);
    cmdStop = HiddenCommand(page, "cmdStop", QCoreApplication::translate("FrmGif", "&Stop Preview"), 1860, 480, 1455,
                            315, false);
    cmdStop->setEnabled(false);

    LabLoop =
        Design::Label(page, QCoreApplication::translate("FrmGif", "Frame:"), 4980, 540, Arial9(), kInstructionColor);
    LabLoop->setObjectName(QStringLiteral("LabLoop"));

    picPreview = new PreviewArea(page);
    picPreview->setObjectName(QStringLiteral("picPreview"));
    picPreview->SetBackColor(Design::SystemWindowBackground());
    Design::Place(picPreview, 180, 1020, 9735, 4815);
    picPreview->Cls();

    tmPlay = new QTimer(picPreview);
    tmPlay->setObjectName(QStringLiteral("tmPlay"));
    // Frames show for their play time: a coarse timer may fire 5 % late.
    tmPlay->setTimerType(Qt::PreciseTimer);
    tmPlay->stop();

    // Every control carries its design name, the captions too.
    Label9->setObjectName(QStringLiteral("Label9"));
}

void PreviewPage::Wire()
{
    connect(imgcmdGo, &ImageControl::clicked, this, [this] { imgcmdGo_Click(); });
    connect(imgcmdStop, &ImageControl::clicked, this, [this] { imgcmdStop_Click(); });
    connect(cmdGo, &QPushButton::clicked, this, [this] { cmdGo_Click(); });
    connect(cmdStop, &QPushButton::clicked, this, [this] { cmdStop_Click(); });
    connect(tmPlay, &QTimer::timeout, this, [this] { tmPlay_Timer(); });
}

void PreviewPage::SetLoopCaption(const QString& caption)
{
    Design::SetCaption(LabLoop, caption);
    Q_EMIT LoopCaptionChanged(caption);
}

void PreviewPage::SetPlayInterval(qint32 playTime)
{
    // QTimer restarts its count when the interval changes; an unchanged
    // interval must not restart it. A negative time (pasted text) cannot be
    // a timer interval: such a frame moves on at once, like 0.
    const int interval = std::max(0, playTime);
    if (tmPlay->interval() != interval)
        tmPlay->setInterval(interval);
}

void PreviewPage::cmdGo_Click() { LoadPreview(); }

bool PreviewPage::LoadPreview()
{
    const OutputSize::Verdict size = OutputSize::Check(settings_.WidthText(), settings_.HeightText());
    if (!size.ok) {
        Messages::Error(window(), size.message);
        return true; // a playing preview goes on playing
    }
    const QSize box = PreviewLayout::FitBox(size.width, size.height);

    // Stop first: ticks during the load would show frames being replaced and
    // could leave two of them visible. A new Go ends an older load; a Stop
    // does not, so a load stopped midway still completes and plays.
    StopPreview();
    EndPreviewLoad();
    const quint64 load = previewLoad_;
    // A window closed meanwhile waits for this load to end, so it ends now.
    const BusyHost::Scope busy(host_);
    const QScopedValueRollback loading(previewLoading_, true);
    const auto overtaken = [this, load] { return previewLoad_ != load || host_.IsClosing(); };

    LabLoop->show();
    SetLoopCaption(QCoreApplication::translate("FrmGif", "Loading 0% ..."));
    QCoreApplication::processEvents();
    if (overtaken())
        return false;

    qint32 n = FrameCount();
    PreviewPrefetch prefetch(box);
    previewPrefetch_ = &prefetch;
    const auto forget = qScopeGuard([this, &prefetch] {
        if (previewPrefetch_ == &prefetch)
            previewPrefetch_ = nullptr;
    });
    for (qint32 i = 1; i <= n; ++i) {
        // Rows deleted while events ran: stop at the shorter list.
        n = std::min(n, FrameCount());
        if (i > n)
            break;
        const int element = i - 1;
        picPreview->LoadElement(element);
        picPreview->SetElementStretch(element, true);
        picPreview->SetElementVisible(element, false);
        const QSize inner(picPreview->ScaleWidth(), picPreview->ScaleHeight());
        picPreview->SetElementPlace(element, QRectF(PreviewLayout::CentreIn(inner, box), QSizeF(box)));

        while (prefetch.QueuedUpTo() < std::min(n, i + prefetch.Ahead())) {
            const qint32 next = std::max(prefetch.QueuedUpTo() + 1, i);
            prefetch.Queue(next, document_.Rows().PicturePath(next));
        }
        const QString path = document_.Rows().PicturePath(i);
        const QImage picture = prefetch.Take(i, path);
        // A picture that cannot be read leaves the element as it was.
        if (!picture.isNull())
            picPreview->SetElementPicture(element, picture);

        SetLoopCaption(PreviewLayout::LoadingCaption(i, n));
        QCoreApplication::processEvents();
        if (overtaken())
            return false;
    }

    // Elements of an earlier, longer preview: hidden, and their pictures
    // released, since only a later Go that fills them again shows them.
    n = std::min(n, FrameCount());
    for (int element = std::max(n, 0); element < picPreview->ElementCount(); ++element) {
        picPreview->SetElementVisible(element, false);
        picPreview->SetElementPicture(element, QImage());
    }

    SetLoopCaption(QCoreApplication::translate("FrmGif", "100% Loaded."));
    QCoreApplication::processEvents();
    if (overtaken())
        return false;
    // Pictures deleted while it loaded leave nothing to animate: no timer
    // ticking over an empty list, the page as before any Go.
    if (FrameCount() < 2) {
        ShowIdle();
        return false;
    }

    previewLoops_ = 1;
    SetPlayInterval(PreviewLayout::PlayTimeOrFallback(document_.Rows().FramePlayTime(1)));
    tmPlay->start();
    ShowPreviewFrame(1);
    return true;
}

void PreviewPage::ShowPreviewFrame(qint32 k)
{
    const qint32 n = FrameCount();
    if (k < 1)
        k = 1;
    if (k > n) {
        ++previewLoops_;
        k = 1;
    }
    previewFrame_ = k;

    const int elements = picPreview->ElementCount();
    const int before = k >= 2 ? k - 2 : n - 1;
    if (before >= 0 && before < elements)
        picPreview->SetElementVisible(before, false);
    // Only elements of a listed frame are shown (an empty list shows none).
    if (k <= n && k - 1 < elements)
        picPreview->SetElementVisible(k - 1, true);

    const std::optional<qint32> read = document_.Rows().FramePlayTime(k);
    const qint32 playTime = PreviewLayout::PlayTimeOrFallback(read);
    SetPlayInterval(playTime);
    SetLoopCaption(PreviewLayout::PlaybackCaption(previewLoops_, playTime, k));
}

void PreviewPage::tmPlay_Timer()
{
    ++previewFrame_;
    ShowPreviewFrame(previewFrame_);
    QCoreApplication::processEvents();
}

void PreviewPage::EndPreviewLoad()
{
    ++previewLoad_;
    if (previewPrefetch_)
        previewPrefetch_->Drop();
}

void PreviewPage::StopPreview()
{
    if (tmPlay->isActive())
        tmPlay->stop();
}

void PreviewPage::cmdStop_Click() { StopPreview(); }

bool PreviewPage::PictureCommandAvailable()
{
    if (FrameCount() == 0) {
        Messages::Info(window(), QCoreApplication::translate("FrmGif", "No frames added!"));
        return false;
    }
    return cmdGo->isEnabled();
}

void PreviewPage::imgcmdGo_Click()
{
    if (!PictureCommandAvailable())
        return;
    // A load that a Stop or a later Go overtook leaves the looks to them.
    if (!LoadPreview())
        return;
    imgcmdGo->TakePictureOf(*imgGoDis);
    imgcmdStop->TakePictureOf(*imgStopEn);
}

void PreviewPage::imgcmdStop_Click()
{
    if (!PictureCommandAvailable())
        return;
    cmdStop_Click();
    imgcmdGo->TakePictureOf(*imgGoEn);
    imgcmdStop->TakePictureOf(*imgStopDis);
}

void PreviewPage::ShowIdle()
{
    StopPreview();
    LabLoop->hide();
    for (int element = 0; element < picPreview->ElementCount(); ++element)
        picPreview->SetElementVisible(element, false);
}

void PreviewPage::CancelLoad()
{
    if (!previewLoading_)
        return;
    EndPreviewLoad();
    // No frame of an earlier preview stays on show without its caption.
    ShowIdle();
    imgcmdStop_Click();
}

void PreviewPage::SetCommandsEnabled(bool enabled)
{
    cmdGo->setEnabled(enabled);
    cmdStop->setEnabled(enabled);
    imgcmdGo->TakePictureOf(enabled ? *imgGoEn : *imgGoDis);
    imgcmdStop->TakePictureOf(enabled ? *imgStopEn : *imgStopDis);
}

qint32 PreviewPage::FrameCount() const { return document_.Rows().Count(); }

PageControls::PictureCommands PreviewPage::PictureCommands() const
{
    return {
        {imgcmdGo, QCoreApplication::translate("FrmGif", "Go: play the preview"),
         [this] { return !ShowsPictureOf(*imgcmdGo, *imgGoDis); }},
        {imgcmdStop, QCoreApplication::translate("FrmGif", "Stop the preview"),
         [this] { return !ShowsPictureOf(*imgcmdStop, *imgStopDis); }},
    };
}
