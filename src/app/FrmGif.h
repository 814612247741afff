// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/BusyWindow.h"
#include "app/Controls.h"
#include "app/ModTab.h"
#include "common/Colors.h"
#include "document/Document.h"
#include "imaging/GifAssembler.h"
#include "imaging/ImageEngine.h"
#include "preview/PreviewArea.h"

#include <QIcon>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <array>
#include <optional>

class DocumentModel;
class FramesPage;
class PicturesPage;
class PreviewPrefetch;
class SettingsPage;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

// The main window: the whole working surface, five step pages under a tab
// strip, its own title bar and links. Controls keep the names of the window
// design. Steps 1 to 3 are page classes the window hands out; the handlers of
// the rest live in the files of the area they belong to (preview/,
// production/ui/, app/).
class FrmGif final : public QWidget, public BusyWindow {
    Q_OBJECT
public:
    explicit FrmGif(QWidget* parent = nullptr);
    ~FrmGif() override;
    Q_DISABLE_COPY_MOVE(FrmGif)

    // Shows the window centred on the screen.
    void ShowCentered();

    // ---- Start-up (FrmGif.cpp) ----
    void Form_Load();

    // ---- Step tabs (ModTab.cpp) ----
    ModTab::TabStrip& Tabs() { return tabStrip_; }
    void LabCap_Click(int index);
    void picTab_MouseUp(Qt::MouseButton button, QPointF pos);

    // ---- The pictures and frames both lists show (app/FrmGifPictures.cpp) ----
    DocumentModel& Doc() const { return *document_; }
    // Full path of the picture at a position (1-based); empty out of range.
    QString PicturePath(qint32 position) const;
    // Play time in ms of the frame at a position; 500 out of range; no value
    // when the row's text is not a whole number.
    std::optional<qint32> FramePlayTime(qint32 position) const;
    int PictureCount() const;

    // ---- Step 1 (lists/PicturesPage.cpp); the window's side (app/FrmGifPictures.cpp) ----
    PicturesPage& Pictures() const { return *pictures_; }

    // ---- Step 2 (settings/SettingsPage.cpp) ----
    SettingsPage& Settings() const { return *settings_; }

    // ---- Step 3 (settings/FramesPage.cpp); the dialog it asks for (app/FrmGifProperties.cpp) ----
    FramesPage& Frames() const { return *frames_; }
    // The frame the properties dialog edits (see FramesPage).
    qint32 SelectedFramePosition() const;

    // ---- Picture preview window (preview/FrmGifPicturePreview.cpp) ----
    // Opens frmPreview for the selected picture row (the first when none is
    // selected); nothing happens with an empty list.
    void ShowPicturePreview();

    // ---- Animation preview (preview/FrmGifPreview.cpp) ----
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

    // Window variables.
    float DragStartX = 0;
    float DragStartY = 0;
    bool Dragging = false;
    ColorValue LinkNormalColor = 0;
    ColorValue LinkHoverColor = 0;
    bool CreateHot = false;

    // ---- Title bar and links ----
    ImageControl* Image1 = nullptr;
    QLabel* LTitle = nullptr;
    ImageControl* imgMin = nullptr;
    ImageControl* imgMin2 = nullptr;
    ImageControl* imgClose = nullptr;
    ImageControl* imgClose2 = nullptr;
    std::array<ClickLabel*, 3> LabLinks{};

    // ---- Tab strip ----
    PixelSurface* picTab = nullptr;
    std::array<QWidget*, 5> picTabs{};
    std::array<ClickLabel*, 5> LabCap{};
    // Icons 1, 2, 3 of the frame list: red cross, green tick, three squares.
    std::array<QIcon, 3> ImageList1;

    // ---- Step 1: Add Pictures ----
    // Pictures().lstPic, whose selection the picture preview opens.
    QTreeView* lstPic = nullptr;

    // ---- Step 4: Preview GIF ----
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

    // ---- Step 5: Create GIF Now! ----
    QLabel* Label10 = nullptr;
    QLabel* Label7 = nullptr;
    QLineEdit* txtGIF = nullptr;
    QPushButton* cmdOpen = nullptr;
    std::array<ImageControl*, 4> imgCreate{};
    QPushButton* cmdCreateGIF = nullptr;
    PixelSurface* picPercent = nullptr;
    QLabel* LabPercent = nullptr;

    // ---- Imaging components ----
    ImageEngine wp;
    ImageEngine wp2;
    GifAssembler PGIF;

Q_SIGNALS:
    // Every caption LabLoop is given, in order (progress, loaded, playback).
    void LoopCaptionChanged(const QString& caption);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void BuildTitleBar();
    void BuildTabStrip();
    void BuildPreviewPage(QWidget* page);
    void BuildCreatePage(QWidget* page);
    void WireTabs();
    void WirePreview();
    // The preview steps of a Go; false when another Go took over or the
    // window is closing.
    bool LoadPreview();
    void SetLoopCaption(const QString& caption);
    void SetPlayInterval(qint32 playTime);

    void WirePictures();
    void WireFrameProperties();

    QPixmap background_;
    ModTab::TabStrip tabStrip_;
    DocumentModel* document_ = nullptr;
    PicturesPage* pictures_ = nullptr;
    SettingsPage* settings_ = nullptr;
    FramesPage* frames_ = nullptr;
    // Grows with every Go, so that a load overtaken by a later Go while it
    // let window events run knows to end.
    quint64 previewLoad_ = 0;
    // The decodes queued by the load in progress (none between loads).
    PreviewPrefetch* previewPrefetch_ = nullptr;

    // ==== Window frame, pointer feedback and links (app/FrmGifFrame.cpp) ====
public:
    // X and Y are positions in the window's twips; Button is the button
    // concerned in a press or release, the buttons held in a move.
    void Form_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, float x, float y);
    void Form_MouseMove(Qt::MouseButtons button, Qt::KeyboardModifiers shift, float x, float y);
    void Form_MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, float x, float y);
    void imgMin_MouseMove();
    void imgClose_MouseMove();
    void imgMin2_Click();
    void imgClose2_Click();
    void LabLinks_MouseMove(int index);
    void LabLinks_Click(int index);
    void imgCreate_MouseMove(int index);
    void picTabs_MouseMove(int index);
    void SetCreateHighlight(bool on);
    void InitLinksAndCursors();

    // Held by a long operation that lets pending events run (see BusyWindow);
    // closing the window meanwhile only sets CloseRequested.
    using BusyScope = BusyWindow::Scope;
    bool IsClosing() const override { return CloseRequested; }
    bool IsBusy() const { return busyDepth_ > 0; }
    bool CloseRequested = false;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void WireFrame();
    void BusyBegan() override;
    void BusyEnded() override;
    int busyDepth_ = 0; // open BusyScopes
    // ==== end of window frame section ====

    // ---- Step 5: creating the GIF (production/ui/FrmGifCreate.cpp) ----
public:
    // The whole creation run; started through imgCreate_Click.
    void cmdCreateGIF_Click();
    void imgCreate_Click(int index);
    // -1 starts a run (box shown and cleared), else 0..100.
    void ShowProgress(double percent);
    void cmdOpen_Click();
    void txtGIF_Click();
    bool CreationUnderway() const { return creating_; }
    // Frames a run converts at once: 1 on the window's engine, 0 one per core.
    int CreateThreads = 0;

Q_SIGNALS:
    // A run has returned to the idle state (finished, failed or stopped).
    void CreationEnded();

private:
    void WireCreate();
    bool creating_ = false;

    // ---- Keyboard (app/FrmGifKeyboard.cpp) ----
public:
    // Esc: a creation run stops as a closing window stops it (no file, the old
    // output kept); a preview load stops as the Stop button stops it.
    void Escape_Press();

private:
    void WireKeyboard();
    bool cancelRequested_ = false; // Esc during the current creation run
    bool previewLoading_ = false;
};
