// SPDX-License-Identifier: GPL-3.0-or-later
// The window from the keyboard alone.
#include "app/ModTab.h"
#include "support/FormFixture.h"
#include "support/ListViews.h"

#include <QApplication>
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
    EXPECT_TRUE(Contains(round, form->Pictures().cmdAddImg));
    EXPECT_FALSE(Contains(round, form->Create().imgCreate[0])) << "a hidden page's button is not reached";

    // Space on a caption selects its step; its page's buttons join the round.
    form->LabCap[4]->setFocus(Qt::TabFocusReason);
    QTest::keyClick(form->LabCap[4], Qt::Key_Space);
    EXPECT_EQ(form->Tabs().CurrentTab, 4);
    EXPECT_TRUE(Contains(TabRound(), form->Create().imgCreate[0]));
    EXPECT_FALSE(form->Create().imgCreate[0]->accessibleName().isEmpty());
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
    QTest::keyClick(form->Pictures().cmdAddImg, Qt::Key_Enter);
    EXPECT_EQ(openRequests.size(), 1u);
    // A modifier makes it no activation.
    QTest::keyClick(form->Pictures().cmdAddImg, Qt::Key_Space, Qt::ShiftModifier);
    EXPECT_EQ(openRequests.size(), 1u);
}

TEST_F(KeyboardTest, DeleteInThePictureListDeletesTheCheckedPicturesOnly)
{
    AddPictures(3);
    ListViews::SetChecked(form->Pictures().lstPic, 2);
    form->Pictures().lstPic->setFocus();
    QTest::keyClick(form->Pictures().lstPic, Qt::Key_Delete);
    ASSERT_EQ(ListViews::RowCount(form->Pictures().lstPic), 2);
    EXPECT_EQ(ListViews::RowCount(form->Frames().lstFrame), 2);
    EXPECT_EQ(ListViews::Text(form->Pictures().lstPic, 2, 0), QStringLiteral("c.png"));
    // Elsewhere Delete edits text, not the list.
    form->Settings().txtMS->setFocus();
    QTest::keyClick(form->Settings().txtMS, Qt::Key_Delete);
    EXPECT_EQ(ListViews::RowCount(form->Pictures().lstPic), 2);
}

TEST_F(KeyboardTest, EscapeAbandonsAPreviewLoadWhereStopLetsItPlay)
{
    AddPictures(3);
    form->LabCap_Click(3);
    int presses = 0;
    QTimer presser;
    QObject::connect(&presser, &QTimer::timeout, form.get(), [&] {
        if (form->Preview().LabLoop->text().startsWith(QStringLiteral("Loading")) && presses++ == 0)
            QTest::keyClick(form.get(), Qt::Key_Escape);
    });
    presser.start(0);
    form->Preview().imgcmdGo_Click();
    presser.stop();
    EXPECT_EQ(presses, 1);
    EXPECT_FALSE(form->Preview().tmPlay->isActive());
    EXPECT_EQ(form->Preview().imgcmdGo->Picture().cacheKey(), form->Preview().imgGoEn->Picture().cacheKey());
    EXPECT_EQ(form->Preview().imgcmdStop->Picture().cacheKey(), form->Preview().imgStopDis->Picture().cacheKey());
    EXPECT_TRUE(form->Preview().LabLoop->isHidden()) << "no \"Loading\" caption left behind";
    EXPECT_TRUE(messages.empty());

    // Idle, Esc does nothing to a playing preview.
    form->Preview().imgcmdGo_Click();
    ASSERT_TRUE(form->Preview().tmPlay->isActive());
    QTest::keyClick(form.get(), Qt::Key_Escape);
    EXPECT_TRUE(form->Preview().tmPlay->isActive());
}

} // namespace
