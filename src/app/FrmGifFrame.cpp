// SPDX-License-Identifier: GPL-3.0-or-later
// The borderless window's own frame: dragging by the background, the title-bar
// symbols, the highlights under the pointer, hand cursors, the links, and
// closing while a long operation runs.
#include "app/FrmGif.h"

#include "app/FrmAbout.h"
#include "app/ModLinks.h"
#include "common/Rounding.h"
#include "common/Twips.h"
#include "lists/PicturesPage.h"
#include "preview/PreviewPage.h"
#include "production/ui/CreatePage.h"
#include "settings/FramesPage.h"
#include "ui/Artwork.h"
#include "ui/Dialogs.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QWindow>

namespace {

// Reports pointer moves over the background of a step page. Moves over a
// control of the page belong to that control, not to the page.
class PageMoveFilter final : public QObject {
public:
    PageMoveFilter(FrmGif& form, int index)
        : QObject(&form)
        , form_(form)
        , index_(index)
    {
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseMove) {
            auto* page = static_cast<QWidget*>(watched);
            const auto* move = static_cast<QMouseEvent*>(event);
            if (page->childAt(move->position().toPoint()) == nullptr)
                form_.picTabs_MouseMove(index_);
        }
        return false;
    }

private:
    FrmGif& form_;
    int index_;
};

void SetBoldUnderline(QLabel* label, bool on)
{
    QFont font = label->font();
    font.setBold(on);
    font.setUnderline(on);
    label->setFont(font);
    // Links are sized to their text, so a bold link grows.
    label->adjustSize();
}

} // namespace

void FrmGif::WireFrame()
{
    // Moves without a button held must reach the background and the pages too.
    setMouseTracking(true);
    for (int i = 0; i < ModTab::TabCount; ++i) {
        QWidget* page = picTabs[static_cast<std::size_t>(i)];
        page->setMouseTracking(true);
        page->installEventFilter(new PageMoveFilter(*this, i));
    }

    connect(imgMin, &ImageControl::mouseMoved, this, [this] { imgMin_MouseMove(); });
    connect(imgClose, &ImageControl::mouseMoved, this, [this] { imgClose_MouseMove(); });
    connect(imgMin2, &ImageControl::clicked, this, [this] { imgMin2_Click(); });
    connect(imgClose2, &ImageControl::clicked, this, [this] { imgClose2_Click(); });
    for (int i = 0; i < static_cast<int>(LabLinks.size()); ++i) {
        ClickLabel* link = LabLinks[static_cast<std::size_t>(i)];
        connect(link, &ClickLabel::mouseMoved, this, [this, i] { LabLinks_MouseMove(i); });
        connect(link, &ClickLabel::clicked, this, [this, i] { LabLinks_Click(i); });
    }
}

// ---- Mouse events of the window itself ----
//
// The handlers get the pointer's place within the window in twips. It is taken
// from the global position less the window's own idea of where it is, so
// that a move request still on its way to the window system does not count
// twice: the window then lands where the pointer says, also in a fast drag.

namespace {
QPointF WindowTwips(const QWidget& window, const QMouseEvent& event)
{
    return (event.globalPosition() - QPointF(window.pos())) * Twips::kPerPixel;
}
} // namespace

void FrmGif::mousePressEvent(QMouseEvent* event)
{
    // Presses passed on by a control that did not take them are not the background's.
    if (childAt(event->position().toPoint()) != nullptr)
        return;
    const QPointF at = WindowTwips(*this, *event);
    Form_MouseDown(event->button(), event->modifiers(), static_cast<float>(at.x()), static_cast<float>(at.y()));
    // Wayland lets no client place its own window: the compositor takes the drag.
    if (Dragging && QGuiApplication::platformName() == QLatin1String("wayland") && windowHandle()
        && windowHandle()->startSystemMove())
        Dragging = false;
}

void FrmGif::mouseMoveEvent(QMouseEvent* event)
{
    // While dragging, moves keep coming here even over a control (the press
    // grabbed the pointer); otherwise only moves over the background count.
    if (!Dragging && childAt(event->position().toPoint()) != nullptr)
        return;
    const QPointF at = WindowTwips(*this, *event);
    Form_MouseMove(event->buttons(), event->modifiers(), static_cast<float>(at.x()), static_cast<float>(at.y()));
}

void FrmGif::mouseReleaseEvent(QMouseEvent* event)
{
    // Every release ends a drag, wherever it happens.
    const QPointF at = WindowTwips(*this, *event);
    Form_MouseUp(event->button(), event->modifiers(), static_cast<float>(at.x()), static_cast<float>(at.y()));
}

void FrmGif::Form_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, float x, float y)
{
    if (button != Qt::LeftButton)
        return;
    DragStartX = x;
    DragStartY = y;
    Dragging = true;
}

void FrmGif::Form_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, float x, float y)
{
    // 1. The normal title-bar symbols show again.
    imgClose2->hide();
    imgMin2->hide();

    // 2. The pressed point stays under the pointer.
    if (Dragging) {
        const float left = static_cast<float>(this->x() * Twips::kPerPixel) + x - DragStartX;
        const float top = static_cast<float>(this->y() * Twips::kPerPixel) + y - DragStartY;
        // One request to the window system for both.
        move(static_cast<int>(RoundHalfEven(left / Twips::kPerPixel)),
             static_cast<int>(RoundHalfEven(top / Twips::kPerPixel)));
    }

    // 3. Only highlighted links are put back.
    for (ClickLabel* link : LabLinks) {
        if (!link->font().bold())
            continue;
        Design::SetTextColor(link, LinkNormalColor);
        SetBoldUnderline(link, false);
    }

    // 4.
    Create().SetCreateHighlight(false);
}

void FrmGif::Form_MouseUp(Qt::MouseButton, Qt::KeyboardModifiers, float x, float y)
{
    DragStartX = x;
    DragStartY = y;
    Dragging = false;
}

// ---- Title bar ----

void FrmGif::imgMin_MouseMove()
{
    imgMin2->show();
    imgMin2->raise();
}

void FrmGif::imgClose_MouseMove()
{
    imgClose2->show();
    imgClose2->raise();
}

void FrmGif::imgMin2_Click()
{
    // No title bar: the taskbar entry brings the window back.
    showMinimized();
}

void FrmGif::imgClose2_Click() { close(); }

// ---- Highlights ----

void FrmGif::LabLinks_MouseMove(int index)
{
    if (index < 0 || index >= static_cast<int>(LabLinks.size()))
        return;
    ClickLabel* link = LabLinks[static_cast<std::size_t>(index)];
    // The bold flag is the link's highlighted state: it changes once per entry.
    if (link->font().bold())
        return;
    Design::SetTextColor(link, LinkHoverColor);
    SetBoldUnderline(link, true);
}

void FrmGif::picTabs_MouseMove(int) { Create().SetCreateHighlight(false); }

void FrmGif::InitLinksAndCursors()
{
    LinkNormalColor = Rgb(192, 192, 0);
    LinkHoverColor = Rgb(255, 255, 0);

    // One cursor shared by every control that shows the hand.
    const QCursor hand = Artwork::HandCursor();
    for (ClickLabel* link : LabLinks) {
        link->setCursor(hand);
        Design::SetTextColor(link, LinkNormalColor);
        SetBoldUnderline(link, false);
    }
    for (ClickLabel* caption : LabCap)
        caption->setCursor(hand);
    for (const PageControls::PictureCommand& command : PictureCommands())
        command.picture->setCursor(hand);
    ModLinks::PrepareHelpViewerCheck();
}

// ---- Links ----

void FrmGif::LabLinks_Click(int index)
{
    switch (index) {
    case 0:
        ModLinks::OpenWebsite();
        break;
    case 1:
        ModLinks::OpenHelpFile();
        break;
    case 2: {
        // Made afresh each time, so every showing starts from its design state.
        FrmAbout about(this);
        Dialogs::Exec(about);
        break;
    }
    default:
        break;
    }
}

// ---- Closing while a long operation runs ----

void FrmGif::BusyBegun() { ++busyDepth_; }

void FrmGif::BusyEnded()
{
    if (--busyDepth_ == 0 && CloseRequested)
        // Once the operation's handler has returned to the event loop.
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void FrmGif::closeEvent(QCloseEvent* event)
{
    if (busyDepth_ > 0) {
        // The running operation stops at its next look at IsClosing().
        CloseRequested = true;
        event->ignore();
        return;
    }
    CloseRequested = false;
    event->accept();
}
