// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "preview/PreviewArea.h"
#include "ui/Controls.h"
#include "ui/PageControls.h"

#include <QWidget>

class BusyHost;
class DocumentModel;
class PreviewPrefetch;
class QLabel;
class QPushButton;
class QTimer;
class OutputSettings;

// Step 4, "Preview GIF": loads every frame at the output size of step 2 into
// the preview box and plays them with their play times, Go and Stop.
class PreviewPage final : public QWidget {
    Q_OBJECT
public:
    // Loads hold the window open through host and end when it closes.
    PreviewPage(const DocumentModel& document, const OutputSettings& settings, BusyHost& host, QWidget* parent);

    void cmdGo_Click();
    void cmdStop_Click();
    void imgcmdGo_Click();
    void imgcmdStop_Click();
    void tmPlay_Timer();
    // Makes frame k (1-based) the one on show and writes the playback caption.
    void ShowPreviewFrame(qint32 k);
    // Stops the playback. A load that is running goes on and plays when done.
    void StopPreview();
    // Ends the preview load in progress, if any: it returns at its next step
    // and its queued decodes are never started.
    void EndPreviewLoad();
    // Esc: unlike Stop, which lets a load complete and play, abandons the load
    // in progress with its caption; nothing happens without one.
    void CancelLoad();
    // Go and Stop are available from two pictures on.
    void SetCommandsEnabled(bool enabled);
    // Go and Stop, available while they are not greyed.
    PageControls::PictureCommands PictureCommands() const;

    // The pass on show, from 1; every Go starts it again at 1.
    qint32 PreviewLoops() const { return previewLoops_; }
    // The frame on show (1-based, as the frame list counts).
    qint32 PreviewFrame() const { return previewFrame_; }

Q_SIGNALS:
    // Every caption LabLoop is given, in order (progress, loaded, playback).
    void LoopCaptionChanged(const QString& caption);

private:
    QLabel* Label9 = nullptr;
    ImageControl* imgcmdGo = nullptr;
    ImageControl* imgcmdStop = nullptr;
    ImageControl* imgGoEn = nullptr;
    ImageControl* imgStopEn = nullptr;
    ImageControl* imgGoDis = nullptr;
    ImageControl* imgStopDis = nullptr;
    QPushButton* cmdGo = nullptr;
    QPushButton* cmdStop = nullptr;
    QLabel* LabLoop = nullptr;
    PreviewArea* picPreview = nullptr;
    QTimer* tmPlay = nullptr;

    void Build();
    void Wire();
    // The preview steps of a Go; false when it does not end playing: another
    // Go took over, the window is closing, or fewer than two frames are left.
    bool LoadPreview();
    // Stopped, with no caption and no frame on show.
    void ShowIdle();
    void SetLoopCaption(const QString& caption);
    void SetPlayInterval(qint32 playTime);
    qint32 FrameCount() const;
    // The Go and Stop pictures without frames say so; greyed they do nothing.
    bool PictureCommandAvailable();

    const DocumentModel& document_;
    const OutputSettings& settings_;
    BusyHost& host_;
    qint32 previewLoops_ = 0;
    qint32 previewFrame_ = 0;
    // Grows with every Go, so that a load overtaken by a later Go while it
    // let window events run knows to end.
    quint64 previewLoad_ = 0;
    // The decodes queued by the load in progress (none between loads).
    PreviewPrefetch* previewPrefetch_ = nullptr;
    bool previewLoading_ = false;
};
