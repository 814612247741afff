// SPDX-License-Identifier: GPL-3.0-or-later
// The borderless window's own frame: drag, title bar, highlights, cursors.
#include "app/Artwork.h"
#include "app/ModTab.h"
#include "support/FormFixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <functional>

namespace {

// Pointer events go in through the window, as the window system delivers them,
// so that Qt picks the control under the pointer and keeps the press's grab.
class WindowFrameTest : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        form->move(200, 100);
        ASSERT_NE(form->windowHandle(), nullptr);
    }
    void TearDown() override
    {
        // The test library remembers held buttons across tests.
        for (Qt::MouseButton b : { Qt::LeftButton, Qt::RightButton, Qt::MiddleButton })
            if (QGuiApplication::mouseButtons() & b)
                QTest::mouseRelease(form->windowHandle(), b, {}, kBackground);
        FormFixture::TearDown();
    }

    QWindow* window() { return form->windowHandle(); }
    QPoint CenterOf(const QWidget* w) const { return w->mapTo(form.get(), w->rect().center()); }
    void MoveTo(QPoint p) { QTest::mouseMove(window(), p); }
    void MoveOnto(const QWidget* w) { MoveTo(CenterOf(w)); }
    void Press(QPoint p, Qt::MouseButton b = Qt::LeftButton) { QTest::mousePress(window(), b, {}, p); }
    void Release(QPoint p, Qt::MouseButton b = Qt::LeftButton) { QTest::mouseRelease(window(), b, {}, p); }
    void ClickOn(const QWidget* w) { QTest::mouseClick(window(), Qt::LeftButton, {}, CenterOf(w)); }
    void ShowStep(int index) { form->LabCap_Click(index); }
    // Near the bottom right corner of a page, beside the lists: no control there.
    QPoint PageBackground(int index, int shift = 0) const
    {
        const QWidget* page = form->picTabs[static_cast<std::size_t>(index)];
        return page->mapTo(form.get(), QPoint(page->width() - 2 - shift, page->height() - 2));
    }

    // The title band between the title text and the minimise symbol.
    static constexpr QPoint kBackground { 400, 12 };
};

TEST_F(WindowFrameTest, BackgroundPointsAreOverNoControl)
{
    // The other tests rely on these places being the window's or a page's own.
    EXPECT_EQ(form->childAt(kBackground), nullptr);
    EXPECT_EQ(form->childAt(kBackground + QPoint(50, 10)), nullptr);
    for (int i = 0; i < 5; ++i) {
        ShowStep(i);
        for (int shift = 0; shift < 5; ++shift)
            EXPECT_EQ(form->childAt(PageBackground(i, shift)), form->picTabs[static_cast<std::size_t>(i)])
                << i;
    }
}

TEST_F(WindowFrameTest, LeftDragMovesTheWindowByThePointersOffset)
{
    const QPoint start = form->pos();
    Press(kBackground);
    EXPECT_TRUE(form->Dragging);
    EXPECT_FLOAT_EQ(form->DragStartX, 400 * 15);
    EXPECT_FLOAT_EQ(form->DragStartY, 12 * 15);

    MoveTo(kBackground + QPoint(30, 17));
    EXPECT_EQ(form->pos(), start + QPoint(30, 17));
    // The pressed point is under the pointer again: the pointer resting there
    // is no offset.
    MoveTo(kBackground);
    EXPECT_EQ(form->pos(), start + QPoint(30, 17));
    MoveTo(kBackground + QPoint(-50, 4));
    EXPECT_EQ(form->pos(), start + QPoint(-20, 21));

    Release(kBackground);
    EXPECT_FALSE(form->Dragging);
    EXPECT_FLOAT_EQ(form->DragStartX, 400 * 15);
    // Without a drag, moves leave the window where it is.
    MoveTo(kBackground + QPoint(40, 40));
    EXPECT_EQ(form->pos(), start + QPoint(-20, 21));
}

TEST_F(WindowFrameTest, DragKeepsGoingOverAControl)
{
    // A fast drag can put the pointer over the title or a link before the
    // window catches up; the press's grab keeps the moves with the window.
    const QPoint start = form->pos();
    Press(kBackground);
    MoveTo(CenterOf(form->LTitle));
    EXPECT_EQ(form->pos(), start + CenterOf(form->LTitle) - kBackground);
    Release(kBackground);
}

TEST_F(WindowFrameTest, OnlyTheLeftButtonStartsADrag)
{
    const QPoint start = form->pos();
    for (Qt::MouseButton b : { Qt::RightButton, Qt::MiddleButton }) {
        Press(kBackground, b);
        EXPECT_FALSE(form->Dragging) << b;
        MoveTo(kBackground + QPoint(25, 25));
        EXPECT_EQ(form->pos(), start) << b;
        Release(kBackground + QPoint(25, 25), b);
    }
    // A press on a control is not a press on the background, nor are the
    // moves the control passes on while the button is held.
    MoveOnto(form->LabLinks[0]);
    Press(CenterOf(form->LTitle));
    EXPECT_FALSE(form->Dragging);
    MoveTo(CenterOf(form->LTitle) + QPoint(2, 1));
    EXPECT_TRUE(form->LabLinks[0]->font().bold());
    EXPECT_EQ(form->pos(), start);
    Release(CenterOf(form->LTitle));
}

TEST_F(WindowFrameTest, AnyReleaseEndsTheDrag)
{
    const QPoint start = form->pos();
    Press(kBackground);
    Press(kBackground, Qt::RightButton);
    EXPECT_TRUE(form->Dragging); // a second button does not restart or end it
    Release(kBackground, Qt::RightButton);
    EXPECT_FALSE(form->Dragging);
    // The left button is still held, but the window stays put.
    MoveTo(kBackground + QPoint(30, 30));
    EXPECT_EQ(form->pos(), start);
    Release(kBackground + QPoint(30, 30));

    // The release is the window's even when it happens over a control.
    Press(kBackground);
    Release(CenterOf(form->LabLinks[0]), Qt::MiddleButton);
    EXPECT_FALSE(form->Dragging);
    Release(kBackground);
}

TEST_F(WindowFrameTest, TitleBarSymbolsLightUpUntilTheBackground)
{
    MoveOnto(form->imgClose);
    EXPECT_TRUE(form->imgClose2->isVisible());
    EXPECT_FALSE(form->imgMin2->isVisible());
    // The highlighted symbol lies above the normal one and takes the pointer.
    EXPECT_EQ(form->childAt(CenterOf(form->imgClose)), form->imgClose2);
    MoveOnto(form->imgClose2);
    EXPECT_TRUE(form->imgClose2->isVisible());

    // Straight from one symbol to the other: both lit until the background.
    MoveOnto(form->imgMin);
    EXPECT_TRUE(form->imgMin2->isVisible());
    EXPECT_TRUE(form->imgClose2->isVisible());

    MoveTo(kBackground);
    EXPECT_FALSE(form->imgMin2->isVisible());
    EXPECT_FALSE(form->imgClose2->isVisible());
    EXPECT_EQ(form->childAt(CenterOf(form->imgClose)), form->imgClose);
}

TEST_F(WindowFrameTest, HighlightedSymbolsMinimiseAndClose)
{
    MoveOnto(form->imgMin);
    ClickOn(form->imgMin2);
    EXPECT_TRUE(form->isMinimized());
    EXPECT_FALSE(form->isHidden()); // minimised, not closed

    form->showNormal();
    MoveOnto(form->imgClose);
    ClickOn(form->imgClose2);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(questions.empty());
}

TEST_F(WindowFrameTest, LinkHighlightsOncePerEntryAndResetsOnTheBackground)
{
    ClickLabel* website = form->LabLinks[0];
    ClickLabel* help = form->LabLinks[1];
    ClickLabel* about = form->LabLinks[2];
    const int restingWidth = website->width();

    MoveOnto(website);
    EXPECT_EQ(Design::TextColor(website), Rgb(255, 255, 0));
    EXPECT_TRUE(website->font().bold());
    EXPECT_TRUE(website->font().underline());
    EXPECT_GT(website->width(), restingWidth); // sized to its bold text

    // A link already bold is not touched again while the pointer stays on it.
    Design::SetTextColor(website, Rgb(1, 2, 3));
    MoveTo(CenterOf(website) + QPoint(1, 0));
    EXPECT_EQ(Design::TextColor(website), Rgb(1, 2, 3));
    Design::SetTextColor(website, form->LinkHoverColor);

    // A jump from one link straight onto another leaves both lit.
    MoveOnto(help);
    EXPECT_TRUE(website->font().bold());
    EXPECT_TRUE(help->font().bold());

    // Links that are not lit are left alone by the background.
    Design::SetTextColor(about, Rgb(9, 9, 9));
    MoveTo(kBackground);
    for (ClickLabel* link : { website, help }) {
        EXPECT_EQ(Design::TextColor(link), Rgb(192, 192, 0));
        EXPECT_FALSE(link->font().bold());
        EXPECT_FALSE(link->font().underline());
    }
    EXPECT_EQ(website->width(), restingWidth);
    EXPECT_EQ(Design::TextColor(about), Rgb(9, 9, 9));
}

TEST_F(WindowFrameTest, MovesOverAPageDoNotResetTheLinks)
{
    MoveOnto(form->LabLinks[2]);
    MoveTo(PageBackground(0));
    EXPECT_TRUE(form->LabLinks[2]->font().bold());
    MoveTo(kBackground);
    EXPECT_FALSE(form->LabLinks[2]->font().bold());
}

TEST_F(WindowFrameTest, CreateButtonFollowsThePointer)
{
    ShowStep(4);
    ImageControl* button = form->imgCreate[0];
    const qint64 normal = form->imgCreate[1]->Picture().cacheKey();
    const qint64 hot = form->imgCreate[2]->Picture().cacheKey();
    ASSERT_NE(normal, hot);

    MoveOnto(button);
    EXPECT_TRUE(form->CreateHot);
    EXPECT_EQ(button->Picture().cacheKey(), hot);

    // Other controls of the page keep the highlight.
    MoveOnto(form->Label7);
    MoveOnto(form->txtGIF);
    MoveOnto(form->cmdOpen);
    EXPECT_TRUE(form->CreateHot);
    EXPECT_EQ(button->Picture().cacheKey(), hot);
    // Also while a button is held on a label, which passes its moves to the page.
    Press(CenterOf(form->Label7));
    MoveTo(CenterOf(form->Label7) + QPoint(2, 0));
    Release(CenterOf(form->Label7) + QPoint(2, 0));
    EXPECT_TRUE(form->CreateHot);

    MoveTo(PageBackground(4));
    EXPECT_FALSE(form->CreateHot);
    EXPECT_EQ(button->Picture().cacheKey(), normal);

    // The window's background puts it back too.
    MoveOnto(button);
    EXPECT_EQ(button->Picture().cacheKey(), hot);
    MoveTo(kBackground);
    EXPECT_FALSE(form->CreateHot);
    EXPECT_EQ(button->Picture().cacheKey(), normal);
}

TEST_F(WindowFrameTest, CreatePictureIsCopiedOnlyWhenTheLookChanges)
{
    ShowStep(4);
    ImageControl* button = form->imgCreate[0];
    MoveOnto(button);
    const qint64 hot = button->Picture().cacheKey();

    // A new highlighted picture is not taken while the button is already lit.
    QPixmap other(327, 46);
    other.fill(Qt::green);
    form->imgCreate[2]->SetPicture(other);
    MoveTo(CenterOf(button) + QPoint(3, 1));
    EXPECT_EQ(button->Picture().cacheKey(), hot);

    // Nor a new normal picture while it is at rest.
    MoveTo(PageBackground(4));
    const qint64 normal = button->Picture().cacheKey();
    QPixmap rest(327, 46);
    rest.fill(Qt::red);
    form->imgCreate[1]->SetPicture(rest);
    MoveTo(PageBackground(4, 3));
    MoveTo(kBackground);
    EXPECT_EQ(button->Picture().cacheKey(), normal);
    // The next entry takes the picture that is there now.
    MoveOnto(button);
    EXPECT_EQ(button->Picture().cacheKey(), other.cacheKey());
}

TEST_F(WindowFrameTest, EveryPageBackgroundPutsTheCreateButtonBack)
{
    for (int i = 0; i < 5; ++i) {
        form->SetCreateHighlight(true);
        ShowStep(i);
        // Qt drops a move to where the pointer already is: a new place each time.
        MoveTo(PageBackground(i, i));
        EXPECT_FALSE(form->CreateHot) << "page " << i;
    }
}

TEST_F(WindowFrameTest, HandCursorOnLinksCaptionsAndPictureButtonsOnly)
{
    EXPECT_EQ(form->LinkNormalColor, Rgb(192, 192, 0));
    EXPECT_EQ(form->LinkHoverColor, Rgb(255, 255, 0));
    for (ClickLabel* link : form->LabLinks) {
        EXPECT_EQ(Design::TextColor(link), Rgb(192, 192, 0));
        EXPECT_FALSE(link->font().bold());
    }

    const QCursor first = form->LabLinks[0]->cursor();
    ASSERT_EQ(first.shape(), Qt::BitmapCursor);
    EXPECT_EQ(first.hotSpot(), QPoint(12, 5));
    EXPECT_EQ(first.pixmap().size(), QSize(32, 32));
    EXPECT_EQ(first.pixmap().toImage().convertToFormat(QImage::Format_ARGB32),
        Artwork::PictureImage(QStringLiteral("hand-cursor")).convertToFormat(QImage::Format_ARGB32));

    std::vector<QWidget*> hand(form->LabLinks.begin(), form->LabLinks.end());
    hand.insert(hand.end(), form->LabCap.begin(), form->LabCap.end());
    for (QWidget* w : { static_cast<QWidget*>(form->imgCreate[0]), static_cast<QWidget*>(form->imgcmdProp),
             static_cast<QWidget*>(form->imgcmdGo), static_cast<QWidget*>(form->imgcmdStop),
             static_cast<QWidget*>(form->cmdAddImg), static_cast<QWidget*>(form->cmdDelImg),
             static_cast<QWidget*>(form->cmdUpImg), static_cast<QWidget*>(form->cmdDownImg),
             static_cast<QWidget*>(form->cmdPreviewImg) })
        hand.push_back(w);
    for (QWidget* w : hand) {
        const QCursor c = w->cursor();
        EXPECT_EQ(c.shape(), Qt::BitmapCursor) << w->objectName().toStdString();
        EXPECT_EQ(c.pixmap().cacheKey(), first.pixmap().cacheKey()) << w->objectName().toStdString();
        EXPECT_EQ(c.hotSpot(), QPoint(12, 5)) << w->objectName().toStdString();
    }

    for (QWidget* w : { static_cast<QWidget*>(form->imgMin), static_cast<QWidget*>(form->imgMin2),
             static_cast<QWidget*>(form->imgClose), static_cast<QWidget*>(form->imgClose2),
             static_cast<QWidget*>(form->cmdOpen), static_cast<QWidget*>(form->LTitle),
             static_cast<QWidget*>(form->picTabs[0]) })
        EXPECT_EQ(w->cursor().shape(), Qt::ArrowCursor) << w->objectName().toStdString();
}

} // namespace

// ---- Closing while a long operation lets events run ----

namespace {

// A stand-in for a creation run: writes one frame file per step, lets pending
// events run after each, and stops and removes its files when the window is
// closing. Returns the number of steps done.
int FakeCreationRun(FrmGif& form, const QDir& folder, int steps, const std::function<void(int)>& during)
{
    FrmGif::BusyScope busy(form);
    QStringList written;
    for (int i = 1; i <= steps; ++i) {
        QFile file(folder.filePath(QStringLiteral("__frame__%1.gif").arg(i)));
        if (file.open(QIODevice::WriteOnly))
            file.write("GIF89a");
        written << file.fileName();
        if (during)
            during(i);
        QCoreApplication::processEvents();
        if (form.IsClosing()) {
            for (const QString& name : written)
                QFile::remove(name);
            return i;
        }
    }
    for (const QString& name : written)
        QFile::remove(name);
    return steps;
}

using CloseGuardTest = FormFixture;

TEST_F(CloseGuardTest, CloseDuringARunStopsItCleansUpAndThenCloses)
{
    QTemporaryDir dir;
    const int steps = FakeCreationRun(*form, QDir(dir.path()), 20, [&](int i) {
        if (i == 3) // the user clicks the highlighted close symbol mid-run
            QTimer::singleShot(0, form.get(), [&] { form->imgClose2_Click(); });
    });
    EXPECT_EQ(steps, 3); // stopped at its first look after the request
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    // The window waited for the run's handler to return.
    EXPECT_TRUE(form->isVisible());
    QCoreApplication::processEvents();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(questions.empty());
}

TEST_F(CloseGuardTest, CloseWaitsForTheOutermostOperation)
{
    {
        FrmGif::BusyScope outer(*form);
        {
            FrmGif::BusyScope inner(*form);
            EXPECT_FALSE(form->close());
            EXPECT_TRUE(form->IsClosing());
        }
        QCoreApplication::processEvents();
        EXPECT_TRUE(form->isVisible()); // the outer run is still going
        EXPECT_TRUE(form->IsClosing());
    }
    QCoreApplication::processEvents();
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->IsBusy());
}

TEST_F(CloseGuardTest, IdleWindowClosesAtOnceAndRunsAfterwardsAreNotStopped)
{
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->IsClosing());
    // A run that ends without a close request leaves the window alone.
    form->show();
    QTemporaryDir dir;
    EXPECT_EQ(FakeCreationRun(*form, QDir(dir.path()), 5, {}), 5);
    QCoreApplication::processEvents();
    EXPECT_TRUE(form->isVisible());
}

} // namespace
