// SPDX-License-Identifier: GPL-3.0-or-later
// The window from the keyboard alone.
#include "app/ModTab.h"
#include "support/FormFixture.h"
#include "support/ListViews.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTreeView>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

class KeyboardTest : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    // Every widget Tab reaches from the first step caption, in order, once round.
    std::vector<QWidget*> TabRound()
    {
        form->LabCap[0]->setFocus(Qt::TabFocusReason);
        std::vector<QWidget*> seen{QApplication::focusWidget()};
        for (int i = 0; i < 200; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            if (QApplication::focusWidget() == seen.front())
                break;
            seen.push_back(QApplication::focusWidget());
        }
        return seen;
    }
    void AddPictures(int count)
    {
        for (int i = 0; i < count; ++i) {
            const QString path = dir.filePath(QStringLiteral("%1.png").arg(QChar(u'a' + i)));
            QImage image(8, 8, QImage::Format_RGB32);
            image.fill(Qt::red);
            ASSERT_TRUE(image.save(path));
            form->Pictures().AddPictureFile(path, QString());
        }
        form->Pictures().RefreshListControls();
    }
    static bool Contains(const std::vector<QWidget*>& widgets, const QWidget* w)
    {
        return std::find(widgets.begin(), widgets.end(), w) != widgets.end();
    }

    QTemporaryDir dir;
};

TEST_F(KeyboardTest, TabReachesEveryStepCaptionLinkAndPictureButtonOfThePage)
{
    const std::vector<QWidget*> round = TabRound();
    for (QWidget* w : round) {
        if (qobject_cast<ClickLabel*>(w) || qobject_cast<ImageControl*>(w)) {
            EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
        }
    }
    for (ClickLabel* caption : form->LabCap) {
        EXPECT_TRUE(Contains(round, caption)) << caption->text().toStdString();
        EXPECT_EQ(caption->accessibleName(), caption->text());
    }
    for (ClickLabel* link : form->LabLinks)
        EXPECT_TRUE(Contains(round, link)) << link->text().toStdString();
    EXPECT_TRUE(Contains(round, Named<ImageControl>(form->Pictures(), "cmdAddImg")));
    EXPECT_FALSE(Contains(round, Named<ImageControl>(form->Create(), "imgCreate(0)")))
        << "a hidden page's button is not reached";

    // Space on a caption selects its step; its page's buttons join the round.
    form->LabCap[4]->setFocus(Qt::TabFocusReason);
    QTest::keyClick(form->LabCap[4], Qt::Key_Space);
    EXPECT_EQ(form->Tabs().CurrentTab, 4);
    EXPECT_TRUE(Contains(TabRound(), Named<ImageControl>(form->Create(), "imgCreate(0)")));
    EXPECT_FALSE(Named<ImageControl>(form->Create(), "imgCreate(0)")->accessibleName().isEmpty());
}

TEST_F(KeyboardTest, CtrlDigitsSelectStepsAndEnterActivatesLinksAndButtons)
{
    for (int step : {3, 1, 5, 2}) {
        QTest::keyClick(form.get(), Qt::Key(Qt::Key_0 + step), Qt::ControlModifier);
        EXPECT_EQ(form->Tabs().CurrentTab, step - 1) << step;
        EXPECT_TRUE(form->picTabs[std::size_t(step - 1)]->isVisible());
    }
    int modals = 0;
    onModal = [&](QDialog& dialog) {
        ++modals;
        dialog.reject();
        return int(QDialog::Rejected);
    };
    QTest::keyClick(form->LabLinks[2], Qt::Key_Return);
    EXPECT_EQ(modals, 1) << "Enter on About... shows the About window";
    // The add button opens the open dialog, answered "cancel" here.
    QTest::keyClick(form.get(), Qt::Key_1, Qt::ControlModifier);
    QTest::keyClick(Named<ImageControl>(form->Pictures(), "cmdAddImg"), Qt::Key_Enter);
    EXPECT_EQ(openRequests.size(), 1u);
    // A modifier makes it no activation.
    QTest::keyClick(Named<ImageControl>(form->Pictures(), "cmdAddImg"), Qt::Key_Space, Qt::ShiftModifier);
    EXPECT_EQ(openRequests.size(), 1u);
}

TEST_F(KeyboardTest, FocusStartsOnAddAndGoesCaptionsPageLinksThenTitleBar)
{
    EXPECT_EQ(QApplication::focusWidget(), Named<ImageControl>(form->Pictures(), "cmdAddImg"));
    const std::vector<QWidget*> round = TabRound();
    auto at = [&round](const QWidget* w) { return std::find(round.begin(), round.end(), w) - round.begin(); };
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(at(form->LabCap[std::size_t(i)]), i);
    EXPECT_EQ(at(Named<ImageControl>(form->Pictures(), "cmdAddImg")), 5) << "the page follows the captions";
    EXPECT_EQ(at(Named<QTreeView>(form->Pictures(), "lstPic")), at(Named<QCheckBox>(form->Pictures(), "chkAll")) + 1);
    const auto links = at(form->LabLinks[0]);
    EXPECT_GT(links, at(Named<ImageControl>(form->Pictures(), "cmdPreviewImg")));
    EXPECT_EQ(at(form->LabLinks[1]), links + 1);
    EXPECT_EQ(at(form->LabLinks[2]), links + 2);
    EXPECT_EQ(at(form->imgMin), links + 3);
    EXPECT_EQ(at(form->imgClose), links + 4);
    EXPECT_EQ(std::ssize(round), links + 5);

    // Ctrl+digit moves into the page; Enter on "..." asks for the file as Space does.
    QTest::keyClick(form.get(), Qt::Key_5, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget(), Named<QLineEdit>(form->Create(), "txtGIF"));
    QTest::keyClick(Named<QPushButton>(form->Create(), "cmdOpen"), Qt::Key_Return);
    EXPECT_EQ(saveRequests.size(), 1u);
}

TEST_F(KeyboardTest, TheFocusMarkShowsAfterKeyboardUseOnlyAndLeavesTheControlAsDrawn)
{
    const auto around = [this](const QWidget* w) {
        return form->grab(QRect(w->mapTo(form.get(), QPoint()), w->size()).adjusted(-3, -3, 3, 3)).toImage();
    };
    QWidget* add = Named<ImageControl>(form->Pictures(), "cmdAddImg");
    QWidget* del = Named<ImageControl>(form->Pictures(), "cmdDelImg");
    const QImage addAsDrawn = around(add);
    const QImage delAsDrawn = around(del);
    ASSERT_EQ(QApplication::focusWidget(), add);

    QTest::keyClick(add, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), del);
    const QImage marked = around(del);
    int changed = 0;
    for (int y = 0; y < marked.height(); ++y)
        for (int x = 0; x < marked.width(); ++x)
            if (marked.pixel(x, y) != delAsDrawn.pixel(x, y)) {
                ++changed;
                EXPECT_FALSE(QRect(3, 3, del->width(), del->height()).contains(x, y)) << "mark drawn over the button";
            }
    EXPECT_GE(changed, del->width() + del->height()) << "a dotted line all round";
    EXPECT_EQ(around(add), addAsDrawn) << "the mark left the button that lost focus";

    // Used with the mouse, the window looks as designed.
    QTest::mouseClick(form->picTabs[0], Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(around(del), delAsDrawn);
}

TEST_F(KeyboardTest, AHeldKeyActsOnceOnItsRelease)
{
    int modals = 0;
    onModal = [&](QDialog& dialog) {
        ++modals;
        dialog.reject();
        return int(QDialog::Rejected);
    };
    QWidget* about = form->LabLinks[2];
    auto send = [about](QEvent::Type type, bool repeat) {
        QKeyEvent key(type, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), repeat);
        QApplication::sendEvent(about, &key);
    };
    send(QEvent::KeyPress, false);
    EXPECT_EQ(modals, 0);
    for (int i = 0; i < 5; ++i) { // the repeats as X11 sends them
        send(QEvent::KeyRelease, true);
        send(QEvent::KeyPress, true);
    }
    EXPECT_EQ(modals, 0);
    send(QEvent::KeyRelease, false);
    EXPECT_EQ(modals, 1);
}

TEST_F(KeyboardTest, DeleteInThePictureListDeletesTheCheckedPicturesOnly)
{
    AddPictures(3);
    ListViews::SetChecked(Named<QTreeView>(form->Pictures(), "lstPic"), 2);
    Named<QTreeView>(form->Pictures(), "lstPic")->setFocus();
    QTest::keyClick(Named<QTreeView>(form->Pictures(), "lstPic"), Qt::Key_Delete);
    ASSERT_EQ(ListViews::RowCount(Named<QTreeView>(form->Pictures(), "lstPic")), 2);
    EXPECT_EQ(ListViews::RowCount(Named<QTreeView>(form->Frames(), "lstFrame")), 2);
    EXPECT_EQ(ListViews::Text(Named<QTreeView>(form->Pictures(), "lstPic"), 2, 0), QStringLiteral("c.png"));
    // Space checks the current row whichever of its cells is current.
    Named<QTreeView>(form->Pictures(), "lstPic")
        ->setCurrentIndex(ListViews::Cell(Named<QTreeView>(form->Pictures(), "lstPic"), 2, 2));
    QTest::keyClick(Named<QTreeView>(form->Pictures(), "lstPic"), Qt::Key_Space);
    EXPECT_TRUE(ListViews::IsChecked(Named<QTreeView>(form->Pictures(), "lstPic"), 2));
    Named<QTreeView>(form->Pictures(), "lstPic")
        ->setCurrentIndex(ListViews::Cell(Named<QTreeView>(form->Pictures(), "lstPic"), 1, 3));
    QTest::keyClick(Named<QTreeView>(form->Pictures(), "lstPic"), Qt::Key_Space);
    QTest::keyClick(Named<QTreeView>(form->Pictures(), "lstPic"), Qt::Key_Space);
    EXPECT_FALSE(ListViews::IsChecked(Named<QTreeView>(form->Pictures(), "lstPic"), 1));
    EXPECT_TRUE(ListViews::IsChecked(Named<QTreeView>(form->Pictures(), "lstPic"), 2));
    // Elsewhere Delete edits text, not the list.
    Named<QLineEdit>(form->Settings(), "txtMS")->setFocus();
    QTest::keyClick(Named<QLineEdit>(form->Settings(), "txtMS"), Qt::Key_Delete);
    EXPECT_EQ(ListViews::RowCount(Named<QTreeView>(form->Pictures(), "lstPic")), 2);
}

TEST_F(KeyboardTest, EscapeAbandonsAPreviewLoadWhereStopLetsItPlay)
{
    AddPictures(3);
    form->LabCap_Click(3);
    form->Preview().imgcmdGo_Click(); // a frame of this preview is on show when the next Go starts
    int presses = 0;
    QTimer presser;
    QObject::connect(&presser, &QTimer::timeout, form.get(), [&] {
        if (Named<QLabel>(form->Preview(), "LabLoop")->text().startsWith(QStringLiteral("Loading")) && presses++ == 0)
            QTest::keyClick(form.get(), Qt::Key_Escape);
    });
    presser.start(0);
    form->Preview().imgcmdGo_Click();
    presser.stop();
    EXPECT_EQ(presses, 1);
    EXPECT_FALSE(Named<QTimer>(form->Preview(), "tmPlay")->isActive());
    EXPECT_EQ(Named<ImageControl>(form->Preview(), "imgcmdGo")->Picture().cacheKey(),
              Named<ImageControl>(form->Preview(), "imgGoEn")->Picture().cacheKey());
    EXPECT_EQ(Named<ImageControl>(form->Preview(), "imgcmdStop")->Picture().cacheKey(),
              Named<ImageControl>(form->Preview(), "imgStopDis")->Picture().cacheKey());
    EXPECT_TRUE(Named<QLabel>(form->Preview(), "LabLoop")->isHidden()) << "no \"Loading\" caption left behind";
    for (int i = 0; i < Named<PreviewArea>(form->Preview(), "picPreview")->ElementCount(); ++i)
        EXPECT_FALSE(Named<PreviewArea>(form->Preview(), "picPreview")->imgPreview(i).visible)
            << "frame " << i + 1 << " on show";
    EXPECT_TRUE(messages.empty());

    // Idle, Esc does nothing to a playing preview.
    form->Preview().imgcmdGo_Click();
    ASSERT_TRUE(Named<QTimer>(form->Preview(), "tmPlay")->isActive());
    QTest::keyClick(form.get(), Qt::Key_Escape);
    EXPECT_TRUE(Named<QTimer>(form->Preview(), "tmPlay")->isActive());
}

} // namespace
