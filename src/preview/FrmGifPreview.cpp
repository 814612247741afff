// SPDX-License-Identifier: GPL-3.0-or-later
// Step 4: loading the animation preview, its playback and the Go and Stop buttons.
#include "app/FrmGif.h"

#include "app/Messages.h"
#include "common/OutputSize.h"
#include "preview/ModFrame.h"
#include "preview/PreviewLayout.h"
#include "preview/PreviewPictures.h"
#include "settings/SettingsPage.h"

#include <QCoreApplication>
#include <QLabel>
#include <QScopedValueRollback>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>

#include <algorithm>

void FrmGif::WirePreview()
{
    connect(imgcmdGo, &ImageControl::clicked, this, [this] { imgcmdGo_Click(); });
    connect(imgcmdStop, &ImageControl::clicked, this, [this] { imgcmdStop_Click(); });
    connect(cmdGo, &QPushButton::clicked, this, [this] { cmdGo_Click(); });
    connect(cmdStop, &QPushButton::clicked, this, [this] { cmdStop_Click(); });
    connect(tmPlay, &QTimer::timeout, this, [this] { tmPlay_Timer(); });
}

void FrmGif::SetLoopCaption(const QString& caption)
{
    Design::SetCaption(LabLoop, caption);
    Q_EMIT LoopCaptionChanged(caption);
}

void FrmGif::SetPlayInterval(qint32 playTime)
{
    // QTimer restarts its count when the interval changes; an unchanged
    // interval must not restart it. A negative time (pasted text) cannot be
    // a timer interval: such a frame moves on at once, like 0.
    const int interval = std::max(0, playTime);
    if (tmPlay->interval() != interval)
        tmPlay->setInterval(interval);
}

void FrmGif::cmdGo_Click() { LoadPreview(); }

bool FrmGif::LoadPreview()
{
    const OutputSize::Verdict size = OutputSize::Check(Settings().WidthText(), Settings().HeightText());
    if (!size.ok) {
        Messages::Error(this, size.message);
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
    const BusyScope busy(*this);
    const QScopedValueRollback loading(previewLoading_, true);
    const auto overtaken = [this, load] { return previewLoad_ != load || IsClosing(); };

    LabLoop->show();
    SetLoopCaption(tr("Loading 0% ..."));
    QCoreApplication::processEvents();
    if (overtaken())
        return false;

    qint32 n = PictureCount();
    PreviewPrefetch prefetch(box);
    previewPrefetch_ = &prefetch;
    const auto forget = qScopeGuard([this, &prefetch] {
        if (previewPrefetch_ == &prefetch)
            previewPrefetch_ = nullptr;
    });
    for (qint32 i = 1; i <= n; ++i) {
        // Rows deleted while events ran: stop at the shorter list.
        n = std::min(n, static_cast<qint32>(PictureCount()));
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
            prefetch.Queue(next, PicturePath(next));
        }
        const QString path = PicturePath(i);
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
    n = std::min(n, static_cast<qint32>(PictureCount()));
    for (int element = std::max(n, 0); element < picPreview->ElementCount(); ++element) {
        picPreview->SetElementVisible(element, false);
        picPreview->SetElementPicture(element, QImage());
    }

    SetLoopCaption(tr("100% Loaded."));
    QCoreApplication::processEvents();
    if (overtaken())
        return false;

    ModFrame::PreviewLoops = 1;
    SetPlayInterval(PreviewLayout::PlayTimeOrFallback(FramePlayTime(1)));
    tmPlay->start();
    ShowPreviewFrame(1);
    return true;
}

void FrmGif::ShowPreviewFrame(qint32 k)
{
    const qint32 n = PictureCount();
    if (k < 1)
        k = 1;
    if (k > n) {
        ++ModFrame::PreviewLoops;
        k = 1;
    }
    ModFrame::PreviewFrame = k;

    const int elements = picPreview->ElementCount();
    const int before = k >= 2 ? k - 2 : n - 1;
    if (before >= 0 && before < elements)
        picPreview->SetElementVisible(before, false);
    // Only elements of a listed frame are shown (an empty list shows none).
    if (k <= n && k - 1 < elements)
        picPreview->SetElementVisible(k - 1, true);

    const std::optional<qint32> read = FramePlayTime(k);
    const qint32 playTime = PreviewLayout::PlayTimeOrFallback(read);
    SetPlayInterval(playTime);
    SetLoopCaption(PreviewLayout::PlaybackCaption(ModFrame::PreviewLoops, playTime, k));
}

void FrmGif::tmPlay_Timer()
{
    ++ModFrame::PreviewFrame;
    ShowPreviewFrame(ModFrame::PreviewFrame);
    QCoreApplication::processEvents();
}

void FrmGif::EndPreviewLoad()
{
    ++previewLoad_;
    if (previewPrefetch_)
        previewPrefetch_->Drop();
}

void FrmGif::StopPreview()
{
    if (tmPlay->isActive())
        tmPlay->stop();
}

void FrmGif::cmdStop_Click() { StopPreview(); }

void FrmGif::imgcmdGo_Click()
{
    if (PictureCount() == 0) {
        Messages::Info(this, tr("No frames added!"));
        return;
    }
    if (!cmdGo->isEnabled())
        return;
    // A load that a Stop or a later Go overtook leaves the looks to them.
    if (!LoadPreview())
        return;
    imgcmdGo->TakePictureOf(*imgGoDis);
    imgcmdStop->TakePictureOf(*imgStopEn);
}

void FrmGif::imgcmdStop_Click()
{
    if (PictureCount() == 0) {
        Messages::Info(this, tr("No frames added!"));
        return;
    }
    if (!cmdGo->isEnabled())
        return;
    cmdStop_Click();
    imgcmdGo->TakePictureOf(*imgGoEn);
    imgcmdStop->TakePictureOf(*imgStopDis);
}
