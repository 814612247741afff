// SPDX-License-Identifier: GPL-3.0-or-later
// The borderless window's own frame: drag, title bar, highlights, cursors,
// and closing while a long operation runs.
#include "support/FormFixture.h"
#include "ui/Artwork.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

namespace {

// Pointer events go in through the window, as the window system delivers them,
// so that Qt picks the control under the pointer and keeps the press's grab.
// Qt drops a move to where the pointer already is, so moves go somewhere new.
class WindowFrameTest : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        form->move(200, 100);
        ASSERT_EQ(form->childAt(kBackground), nullptr);
    }
    void TearDown() override
    {
        // The test library remembers held buttons across tests.
        for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
            if (QGuiApplication::mouseButtons() & b)
                QTest::mouseRelease(form->windowHandle(), b, {}, kBackground);
        FormFixture::TearDown();
    }

    QPoint CenterOf(const QWidget* w) const { return w->mapTo(form.get(), w->rect().center()); }
    void MoveTo(QPoint p) { QTest::mouseMove(form->windowHandle(), p); }
    void MoveOnto(const QWidget* w) { MoveTo(CenterOf(w)); }
    void Press(QPoint p, Qt::MouseButton b = Qt::LeftButton) { QTest::mousePress(form->windowHandle(), b, {}, p); }
    void Release(QPoint p, Qt::MouseButton b = Qt::LeftButton) { QTest::mouseRelease(form->windowHandle(), b, {}, p); }
    void ClickOn(const QWidget* w) { QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, CenterOf(w)); }
    // Beside the lists near a page's bottom right corner: the page's own background.
    QPoint PageBackground(int index, int shift = 0)
    {
        form->LabCap_Click(index);
        QWidget* page = form->picTabs[static_cast<std::size_t>(index)];
        const QPoint at = page->mapTo(form.get(), QPoint(page->width() - 2 - shift, page->height() - 2));
        EXPECT_EQ(form->childAt(at), page) << "page " << index;
        return at;
    }

    // The title band between the title text and the minimise symbol.
    static constexpr QPoint kBackground{400, 12};
};

TEST_F(WindowFrameTest, LeftDragMovesTheWindowByThePointersOffset)
{
    const QPoint start = form->pos();
    Press(kBackground);
    EXPECT_TRUE(form->Dragging);
    EXPECT_FLOAT_EQ(form->DragStartX, 400 * 15);
    EXPECT_FLOAT_EQ(form->DragStartY, 12 * 15);

    MoveTo(kBackground + QPoint(30, 17));
    EXPECT_EQ(form->pos(), start + QPoint(30, 17));
    // The pressed point is under the pointer again: resting there is no offset.
    MoveTo(kBackground);
    EXPECT_EQ(form->pos(), start + QPoint(30, 17));
    // A fast drag can put the pointer over a control before the window
    // catches up; the press's grab keeps the moves with the window.
    MoveTo(CenterOf(form->LTitle));
    EXPECT_EQ(form->pos(), start + QPoint(30, 17) + CenterOf(form->LTitle) - kBackground);

    Release(kBackground);
    EXPECT_FALSE(form->Dragging);
    EXPECT_FLOAT_EQ(form->DragStartX, 400 * 15);
    const QPoint dropped = form->pos();
    MoveTo(kBackground + QPoint(40, 40));
    EXPECT_EQ(form->pos(), dropped);
}

TEST_F(WindowFrameTest, OnlyALeftPressOnTheBackgroundStartsADrag)
{
    const QPoint start = form->pos();
    for (Qt::MouseButton b : {Qt::RightButton, Qt::MiddleButton}) {
        Press(kBackground, b);
        EXPECT_FALSE(form->Dragging) << b;
        const QPoint to = kBackground + QPoint(25, b == Qt::RightButton ? 25 : 30);
        MoveTo(to);
        Release(to, b);
    }
    // Neither a press on a control nor the moves it passes on while held.
    MoveOnto(form->LabLinks[0]);
    Press(CenterOf(form->LTitle));
    EXPECT_FALSE(form->Dragging);
    MoveTo(CenterOf(form->LTitle) + QPoint(2, 1));
    EXPECT_TRUE(form->LabLinks[0]->font().bold()); // no background move either
    Release(CenterOf(form->LTitle));
    EXPECT_EQ(form->pos(), start);
}

TEST_F(WindowFrameTest, AnyReleaseEndsTheDrag)
{
    const QPoint start = form->pos();
    Press(kBackground);
    Press(kBackground, Qt::RightButton);
    EXPECT_TRUE(form->Dragging); // a second button neither restarts nor ends it
    Release(kBackground, Qt::RightButton);
    EXPECT_FALSE(form->Dragging);
    MoveTo(kBackground + QPoint(30, 30)); // the left button is still held
    EXPECT_EQ(form->pos(), start);
    Release(kBackground + QPoint(30, 30));

    Press(kBackground);
    Release(CenterOf(form->LabLinks[0]), Qt::MiddleButton); // over a control
    EXPECT_FALSE(form->Dragging);
}

TEST_F(WindowFrameTest, TitleBarSymbolsLightUpUntilTheBackground)
{
    MoveOnto(form->imgClose);
    EXPECT_TRUE(form->imgClose2->isVisible());
    EXPECT_FALSE(form->imgMin2->isVisible());
    // The highlighted symbol lies above the normal one and takes the pointer.
    EXPECT_EQ(form->childAt(CenterOf(form->imgClose)), form->imgClose2);
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
    EXPECT_FALSE(form->isHidden());

    form->showNormal();
    MoveOnto(form->imgClose);
    ClickOn(form->imgClose2);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(messages.empty());
}

TEST_F(WindowFrameTest, LinksLightUpOncePerEntryAndOnlyTheBackgroundPutsThemBack)
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

    // A jump from one link straight onto another leaves both lit; so does a
    // page's background.
    MoveOnto(help);
    MoveTo(PageBackground(0));
    EXPECT_TRUE(website->font().bold());
    EXPECT_TRUE(help->font().bold());

    Design::SetTextColor(about, Rgb(9, 9, 9)); // not lit: left alone
    MoveTo(kBackground);
    for (ClickLabel* link : {website, help}) {
        EXPECT_EQ(Design::TextColor(link), Rgb(192, 192, 0));
        EXPECT_FALSE(link->font().bold());
        EXPECT_FALSE(link->font().underline());
    }
    EXPECT_EQ(website->width(), restingWidth);
    EXPECT_EQ(Design::TextColor(about), Rgb(9, 9, 9));
}

TEST_F(WindowFrameTest, CreateButtonFollowsThePointer)
{
    const QPoint pageBackground = PageBackground(4);
    ImageControl* button = Named<ImageControl>(form->Create(), "imgCreate(0)");
    const qint64 normal = Named<ImageControl>(form->Create(), "imgCreate(1)")->Picture().cacheKey();
    const qint64 hot = Named<ImageControl>(form->Create(), "imgCreate(2)")->Picture().cacheKey();
    ASSERT_NE(normal, hot);

    MoveOnto(button);
    EXPECT_TRUE(form->Create().CreateHot);
    EXPECT_EQ(button->Picture().cacheKey(), hot);
    // Other controls of the page keep the highlight, also a label that passes
    // its moves on to the page while a button is held on it.
    MoveOnto(Named<QLineEdit>(form->Create(), "txtGIF"));
    MoveOnto(Named<QPushButton>(form->Create(), "cmdOpen"));
    Press(CenterOf(Named<QLabel>(form->Create(), "Label7")));
    MoveTo(CenterOf(Named<QLabel>(form->Create(), "Label7")) + QPoint(2, 0));
    Release(CenterOf(Named<QLabel>(form->Create(), "Label7")) + QPoint(2, 0));
    EXPECT_EQ(button->Picture().cacheKey(), hot);

    MoveTo(pageBackground);
    EXPECT_FALSE(form->Create().CreateHot);
    EXPECT_EQ(button->Picture().cacheKey(), normal);
    MoveOnto(button);
    MoveTo(kBackground); // the window's background too
    EXPECT_EQ(button->Picture().cacheKey(), normal);

    // Every page's background, also while that page is not step 5.
    for (int i = 0; i < 4; ++i) {
        form->Create().SetCreateHighlight(true);
        MoveTo(PageBackground(i, i));
        EXPECT_FALSE(form->Create().CreateHot) << "page " << i;
    }
}

TEST_F(WindowFrameTest, CreatePictureIsCopiedOnlyWhenTheLookChanges)
{
    const QPoint pageBackground = PageBackground(4);
    ImageControl* button = Named<ImageControl>(form->Create(), "imgCreate(0)");
    MoveOnto(button);
    const qint64 hot = button->Picture().cacheKey();

    // A new highlighted picture is not taken while the button is already lit,
    QPixmap other(327, 46);
    other.fill(Qt::green);
    Named<ImageControl>(form->Create(), "imgCreate(2)")->SetPicture(other);
    MoveTo(CenterOf(button) + QPoint(3, 1));
    EXPECT_EQ(button->Picture().cacheKey(), hot);
    // nor a new normal picture while it is at rest.
    MoveTo(pageBackground);
    const qint64 normal = button->Picture().cacheKey();
    QPixmap rest(327, 46);
    rest.fill(Qt::red);
    Named<ImageControl>(form->Create(), "imgCreate(1)")->SetPicture(rest);
    MoveTo(pageBackground - QPoint(3, 0));
    MoveTo(kBackground);
    EXPECT_EQ(button->Picture().cacheKey(), normal);

    MoveOnto(button);
    EXPECT_EQ(button->Picture().cacheKey(), other.cacheKey());
}

TEST_F(WindowFrameTest, HandCursorOnLinksCaptionsAndPictureButtonsOnly)
{
    EXPECT_EQ(form->LinkNormalColor, Rgb(192, 192, 0));
    EXPECT_EQ(form->LinkHoverColor, Rgb(255, 255, 0));
    const QCursor hand = form->LabLinks[0]->cursor();
    ASSERT_EQ(hand.shape(), Qt::BitmapCursor);
    EXPECT_EQ(hand.hotSpot(), QPoint(12, 5));
    EXPECT_EQ(hand.pixmap().toImage().convertToFormat(QImage::Format_ARGB32),
              Artwork::PictureImage(QStringLiteral("hand-cursor")).convertToFormat(QImage::Format_ARGB32));

    std::vector<QWidget*> withHand(form->LabLinks.begin(), form->LabLinks.end());
    withHand.insert(withHand.end(), form->LabCap.begin(), form->LabCap.end());
    withHand.insert(
        withHand.end(),
        {Named<ImageControl>(form->Create(), "imgCreate(0)"), Named<ImageControl>(form->Frames(), "imgcmdProp"),
         Named<ImageControl>(form->Preview(), "imgcmdGo"), Named<ImageControl>(form->Preview(), "imgcmdStop"),
         Named<ImageControl>(form->Pictures(), "cmdAddImg"), Named<ImageControl>(form->Pictures(), "cmdDelImg"),
         Named<ImageControl>(form->Pictures(), "cmdUpImg"), Named<ImageControl>(form->Pictures(), "cmdDownImg"),
         Named<ImageControl>(form->Pictures(), "cmdPreviewImg")});
    for (QWidget* w : withHand) {
        EXPECT_EQ(w->cursor().shape(), Qt::BitmapCursor) << w->objectName().toStdString();
        EXPECT_EQ(w->cursor().pixmap().cacheKey(), hand.pixmap().cacheKey()) << w->objectName().toStdString();
        EXPECT_EQ(w->cursor().hotSpot(), QPoint(12, 5)) << w->objectName().toStdString();
    }
    const std::vector<QWidget*> withArrow{
        form->imgMin, form->imgMin2,   form->imgClose, form->imgClose2, Named<QPushButton>(form->Create(), "cmdOpen"),
        form->LTitle, form->picTabs[0]};
    for (QWidget* w : withArrow)
        EXPECT_EQ(w->cursor().shape(), Qt::ArrowCursor) << w->objectName().toStdString();
}

// ---- Closing while a long operation lets events run ----

// Three pictures, an output size and an output file: ready to create or preview.
class CloseGuardTest : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        QImage picture(16, 12, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        for (const char* name : {"a.png", "b.png", "c.png"}) {
            ASSERT_TRUE(picture.save(dir.filePath(QLatin1String(name))));
            form->Pictures().AddPictureFile(dir.filePath(QLatin1String(name)), QString());
        }
        form->Pictures().RefreshListControls();
        Named<QLineEdit>(form->Settings(), "txtW")->setText(QStringLiteral("16"));
        Named<QLineEdit>(form->Settings(), "txtH")->setText(QStringLiteral("12"));
        Named<QLineEdit>(form->Create(), "txtGIF")->setText(dir.filePath(QStringLiteral("out.gif")));
    }
    // The user clicks the highlighted close symbol at the operation's first pause.
    void CloseAtFirstPause()
    {
        QTimer::singleShot(0, form.get(), [this] { form->imgClose2_Click(); });
    }
    // The window waits for the operation's handler, then closes.
    bool ClosesOnceReturned()
    {
        const bool waited = form->isVisible();
        QCoreApplication::processEvents();
        return waited && !form->isVisible();
    }
    QTemporaryDir dir;
};

TEST_F(CloseGuardTest, CloseDuringACreationRunStopsItCleansUpAndThenCloses)
{
    CloseAtFirstPause();
    form->Create().cmdCreateGIF_Click();
    EXPECT_FALSE(QFile::exists(Named<QLineEdit>(form->Create(), "txtGIF")->text()));
    QDirIterator frames(QCoreApplication::applicationDirPath() + QStringLiteral("/temp"),
                        {QStringLiteral("__frame__*")}, QDir::Files, QDirIterator::Subdirectories);
    EXPECT_FALSE(frames.hasNext()) << "frame file left";
    EXPECT_TRUE(ClosesOnceReturned());
    EXPECT_TRUE(messages.empty());
}

TEST_F(CloseGuardTest, CloseDuringAPreviewLoadEndsItAndThenCloses)
{
    QStringList captions;
    QObject::connect(&form->Preview(), &PreviewPage::LoopCaptionChanged, form.get(),
                     [&](const QString& c) { captions << c; });
    CloseAtFirstPause();
    form->Preview().imgcmdGo_Click();
    EXPECT_EQ(captions, QStringList{QStringLiteral("Loading 0% ...")});
    EXPECT_FALSE(Named<QTimer>(form->Preview(), "tmPlay")->isActive());
    EXPECT_TRUE(ClosesOnceReturned());
}

TEST_F(CloseGuardTest, CloseWaitsForTheOutermostOperation)
{
    {
        FrmGif::BusyScope outer(*form);
        {
            FrmGif::BusyScope inner(*form);
            EXPECT_FALSE(form->close());
        }
        QCoreApplication::processEvents();
        EXPECT_TRUE(form->isVisible());
        EXPECT_TRUE(form->IsClosing());
    }
    QCoreApplication::processEvents();
    EXPECT_FALSE(form->isVisible());
    // No operation is left holding it: shown again, it closes at once.
    form->show();
    EXPECT_TRUE(form->close());
}

TEST_F(CloseGuardTest, IdleWindowClosesAtOnceAndLaterRunsAreNotStopped)
{
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(form->IsClosing());
    form->show();
    form->Create().cmdCreateGIF_Click();
    EXPECT_TRUE(QFile::exists(Named<QLineEdit>(form->Create(), "txtGIF")->text()));
    QCoreApplication::processEvents();
    EXPECT_TRUE(form->isVisible());
}

} // namespace
