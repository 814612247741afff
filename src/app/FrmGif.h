// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/ModTab.h"
#include "common/Colors.h"
#include "document/Document.h"
#include "imaging/ImageEngine.h"
#include "ui/BusyHost.h"
#include "ui/Controls.h"
#include "ui/PageControls.h"

#include <QIcon>
#include <QPixmap>
#include <QWidget>

#include <array>
#include <optional>

class CreatePage;
class DocumentModel;
class FramesPage;
class PicturesPage;
class PreviewPage;
class SettingsPage;
class QLabel;
class QTreeView;

// The main window: the whole working surface, five step pages under a tab
// strip, its own title bar and links. Controls keep the names of the window
// design. Each step is a page class the window hands out; the window keeps the
// title bar, the tab strip, the links and the keyboard.
class FrmGif final : public QWidget, public BusyHost {
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

    // ---- Step 4 (preview/PreviewPage.cpp) ----
    PreviewPage& Preview() const { return *preview_; }

    // ---- Step 5 (production/ui/CreatePage.cpp) ----
    CreatePage& Create() const { return *create_; }

    // ---- Picture preview window (app/FrmGifPicturePreview.cpp) ----
    // Opens frmPreview for the selected picture row (the first when none is
    // selected); nothing happens with an empty list.
    void ShowPicturePreview();

    // Window variables.
    float DragStartX = 0;
    float DragStartY = 0;
    bool Dragging = false;
    ColorValue LinkNormalColor = 0;
    ColorValue LinkHoverColor = 0;

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
    std::array<QWidget*, ModTab::TabCount> picTabs{};
    std::array<ClickLabel*, ModTab::TabCount> LabCap{};
    // Icons 1, 2, 3 of the frame list: red cross, green tick, three squares.
    std::array<QIcon, 3> ImageList1;

    // ---- Imaging components ----
    // wp measures pictures as they are added and converts the frames of a
    // creation run; wp2 takes part in no operation.
    ImageEngine wp;
    ImageEngine wp2;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void BuildTitleBar();
    void BuildTabStrip();
    void WireTabs();

    void WirePictures();
    void WireFrameProperties();
    // The picture buttons of every page, in page order.
    PageControls::PictureCommands PictureCommands() const;

    QPixmap background_;
    ModTab::TabStrip tabStrip_;
    DocumentModel* document_ = nullptr;
    PicturesPage* pictures_ = nullptr;
    SettingsPage* settings_ = nullptr;
    FramesPage* frames_ = nullptr;
    PreviewPage* preview_ = nullptr;
    CreatePage* create_ = nullptr;

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
    void picTabs_MouseMove(int index);
    void InitLinksAndCursors();

    // A long operation that lets pending events run holds a BusyScope while it
    // runs (see BusyHost). Closing the window meanwhile only sets CloseRequested.
    using BusyScope = BusyHost::Scope;
    bool IsClosing() const override { return CloseRequested; }
    bool CloseRequested = false;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void WireFrame();
    void BusyBegun() override;
    void BusyEnded() override;
    int busyDepth_ = 0; // open BusyScopes
    // ==== end of window frame section ====

    // ---- Keyboard (app/FrmGifKeyboard.cpp) ----
public:
    // Esc stops the creation run under way (CreatePage::CancelRun), else
    // abandons a preview load (PreviewPage::CancelLoad).
    void Escape_Press();

private:
    void WireKeyboard();
};
