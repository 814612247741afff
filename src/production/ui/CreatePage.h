// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "imaging/GifAssembler.h"
#include "ui/Controls.h"
#include "ui/PageControls.h"

#include <QWidget>

#include <array>

class BusyHost;
class DocumentModel;
class ImageEngine;
class QLabel;
class QLineEdit;
class QPushButton;
class OutputSettings;

// Step 5, "Create GIF Now!": the output file, the creation run with its
// progress box, and the create button's looks.
class CreatePage final : public QWidget {
    Q_OBJECT
public:
    // A run converts the frames on engine, holds the window open through host
    // and stops when it closes.
    CreatePage(const DocumentModel& document, OutputSettings& settings, BusyHost& host, ImageEngine& engine,
               QWidget* parent);

    // The whole creation run; started through imgCreate_Click.
    void cmdCreateGIF_Click();
    void imgCreate_Click(int index);
    // -1 starts a run (box shown and cleared), else 0..100.
    void ShowProgress(double percent);
    void cmdOpen_Click();
    void txtGIF_Click();
    void imgCreate_MouseMove(int index);
    // The highlighted look under the pointer; off when the pointer is over the
    // background of the window or of a page.
    void SetCreateHighlight(bool on);
    bool CreationUnderway() const { return creating_; }
    // Esc: the run under way stops as a closing window stops it (no file, the
    // old output kept); nothing happens without one.
    void CancelRun();
    // Creating is available from two pictures on.
    void SetCommandsEnabled(bool enabled);
    // The create button, available while it is not greyed.
    PageControls::PictureCommands PictureCommands() const;

    // Frames a run converts at once: 1 on the window's engine, 0 one per core.
    int CreateThreads = 0;
    bool CreateHot = false;

    GifAssembler PGIF;

Q_SIGNALS:
    // A run has returned to the idle state (finished, failed or stopped).
    void CreationEnded();
    // The progress box has just been drawn for `percent` (as ShowProgress
    // takes it), before the run lets events through.
    void ProgressShown(double percent);

private:
    QLabel* Label10 = nullptr;
    QLabel* Label7 = nullptr;
    QLineEdit* txtGIF = nullptr;
    QPushButton* cmdOpen = nullptr;
    std::array<ImageControl*, 4> imgCreate{};
    QPushButton* cmdCreateGIF = nullptr;
    PixelSurface* picPercent = nullptr;
    QLabel* LabPercent = nullptr;

    void Build();
    void Wire();

    const DocumentModel& document_;
    OutputSettings& settings_;
    BusyHost& host_;
    ImageEngine& wp;
    bool creating_ = false;
    bool cancelRequested_ = false; // Esc during the current run
};
