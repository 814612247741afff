// SPDX-License-Identifier: GPL-3.0-or-later
#include "PreviewFixture.h"

#include <QTest>

namespace {

using PreviewPlaybackTest = PreviewFixture;

TEST_F(PreviewPlaybackTest, FramesKeepTheirOwnPlayTimesReadAfreshAndPassesAreCounted)
{
    AddPictures(3);
    SetPlayTime(2, QStringLiteral("1000"));
    SetPlayTime(3, QStringLiteral("250"));
    form->Preview().imgcmdGo_Click();
    // A coarse timer lets a frame of 3000 ms wait up to 150 ms longer.
    EXPECT_EQ(Named<QTimer>(form->Preview(), "tmPlay")->timerType(), Qt::PreciseTimer);
    const int expected[][3] = {{2, 1000, 1}, {3, 250, 1}, {1, 500, 2}, {2, 99999, 2}};
    for (const auto& [frame, ms, loops] : expected) {
        if (loops == 2 && frame == 2)
            SetPlayTime(2, QStringLiteral("99999"));
        form->Preview().tmPlay_Timer();
        EXPECT_EQ(form->Preview().PreviewFrame(), frame);
        EXPECT_EQ(form->Preview().PreviewLoops(), loops);
        EXPECT_EQ(Named<QTimer>(form->Preview(), "tmPlay")->interval(), ms);
        EXPECT_EQ(Named<QLabel>(form->Preview(), "LabLoop")->text(), Playing(loops, ms, frame));
        EXPECT_EQ(Visible(), frame - 1);
    }
    EXPECT_EQ(captions[8], QStringLiteral("Loop Times: 2   Play Time: 500 MS    Frame: 1"));
    form->Preview().tmPlay_Timer(); // frame 3
    form->Preview().ShowPreviewFrame(0);
    EXPECT_EQ(form->Preview().PreviewFrame(), 1);
    EXPECT_EQ(form->Preview().PreviewLoops(), 2);
    form->Preview().tmPlay_Timer();
    form->Preview().tmPlay_Timer(); // frame 3
    form->Preview().ShowPreviewFrame(9);
    EXPECT_EQ(form->Preview().PreviewLoops(), 3);
    EXPECT_EQ(Visible(), 0);
    EXPECT_TRUE(Named<QTimer>(form->Preview(), "tmPlay")->isActive());
}

TEST_F(PreviewPlaybackTest, GoAndStopButtonsSwapLooksAndStopKeepsTheFrame)
{
    ASSERT_NE(Named<ImageControl>(form->Preview(), "imgGoEn")->Picture().toImage(),
              Named<ImageControl>(form->Preview(), "imgGoDis")->Picture().toImage());
    ASSERT_NE(Named<ImageControl>(form->Preview(), "imgStopEn")->Picture().toImage(),
              Named<ImageControl>(form->Preview(), "imgStopDis")->Picture().toImage());
    AddPictures(3);
    form->LabCap_Click(3);
    QTest::mouseClick(Named<ImageControl>(form->Preview(), "imgcmdGo"), Qt::LeftButton);
    EXPECT_TRUE(
        Looks(Named<ImageControl>(form->Preview(), "imgGoDis"), Named<ImageControl>(form->Preview(), "imgStopEn")));
    form->Preview().tmPlay_Timer();
    QTest::mouseClick(Named<ImageControl>(form->Preview(), "imgcmdStop"), Qt::LeftButton);
    EXPECT_TRUE(
        Looks(Named<ImageControl>(form->Preview(), "imgGoEn"), Named<ImageControl>(form->Preview(), "imgStopDis")));
    EXPECT_FALSE(Named<QTimer>(form->Preview(), "tmPlay")->isActive());
    form->Preview().cmdStop_Click();
    EXPECT_EQ(Visible(), 1);
    EXPECT_EQ(Named<QLabel>(form->Preview(), "LabLoop")->text(), Playing(1, 500, 2));

    // Go after a stop reloads and starts again at pass 1, frame 1.
    form->Preview().tmPlay_Timer();
    form->Preview().tmPlay_Timer();
    ASSERT_EQ(form->Preview().PreviewLoops(), 2);
    Write(QStringLiteral("p0.png"), ColorOf(9));
    QTest::mouseClick(Named<ImageControl>(form->Preview(), "imgcmdGo"), Qt::LeftButton);
    EXPECT_EQ(Named<QLabel>(form->Preview(), "LabLoop")->text(), Playing(1, 500, 1));
    EXPECT_EQ(PictureColor(0), ColorOf(9));
    EXPECT_EQ(Visible(), 0);
}

TEST_F(PreviewPlaybackTest, EmptyListSaysNoFramesAndOnePictureDoesNothing)
{
    form->Preview().imgcmdGo_Click();
    form->Preview().imgcmdStop_Click();
    ASSERT_EQ(messages.size(), 2u);
    for (const Messages::Message& m : messages) {
        EXPECT_EQ(m.text, QStringLiteral("No frames added!"));
        EXPECT_EQ(m.icon, Messages::Icon::Information);
    }
    messages.clear();
    AddPictures(1);
    Named<QPushButton>(form->Preview(), "cmdGo")->setEnabled(false);
    form->Preview().imgcmdGo_Click();
    form->Preview().imgcmdStop_Click();
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(captions.empty());
    EXPECT_TRUE(Named<QLabel>(form->Preview(), "LabLoop")->isHidden());
    EXPECT_FALSE(Named<QTimer>(form->Preview(), "tmPlay")->isActive());
    EXPECT_TRUE(
        Looks(Named<ImageControl>(form->Preview(), "imgGoDis"), Named<ImageControl>(form->Preview(), "imgStopDis")));
}

TEST_F(PreviewPlaybackTest, OddPlayTimesNeverStopThePlayback)
{
    AddPictures(3, QStringLiteral("0"));
    SetPlayTime(1, QStringLiteral("abc"));
    SetPlayTime(2, QStringLiteral("-20"));
    int twoVisible = 0;
    QObject::connect(&form->Preview(), &PreviewPage::LoopCaptionChanged, form.get(),
                     [&] { twoVisible += Visible() == -2; });
    form->Preview().imgcmdGo_Click();
    // Not a whole number: shown like a frame of the default 500 ms.
    EXPECT_EQ(Named<QTimer>(form->Preview(), "tmPlay")->interval(), 500);
    EXPECT_EQ(Named<QLabel>(form->Preview(), "LabLoop")->text(), Playing(1, 500, 1));
    form->Preview().tmPlay_Timer();
    // A negative time moves on at once (the real timer may already have).
    EXPECT_TRUE(captions.contains(Playing(1, -20, 2)));
    EXPECT_EQ(Named<QTimer>(form->Preview(), "tmPlay")->interval(), 0);

    // Frame 3 plays for 0 ms on the real timer; other work still gets its turn.
    SetPlayTime(1, QStringLiteral("0"));
    bool otherWorkRan = false;
    QTimer::singleShot(10, form.get(), [&] { otherWorkRan = true; });
    QTRY_VERIFY_WITH_TIMEOUT(otherWorkRan && form->Preview().PreviewLoops() >= 4, 10000);
    EXPECT_EQ(twoVisible, 0);
    form->Preview().imgcmdStop_Click();
    const int frame = form->Preview().PreviewFrame();
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(form->Preview().PreviewFrame(), frame);
}

TEST_F(PreviewPlaybackTest, GoDuringALoadTakesOverAndTheOlderLoadEnds)
{
    AddPictures(3);
    OnCaption(QStringLiteral("33% Loading ..."), [this] { form->Preview().imgcmdGo_Click(); });
    form->Preview().imgcmdGo_Click();
    EXPECT_EQ(captions,
              QStringList({QStringLiteral("Loading 0% ..."), QStringLiteral("33% Loading ..."),
                           QStringLiteral("Loading 0% ..."), QStringLiteral("33% Loading ..."),
                           QStringLiteral("67% Loading ..."), QStringLiteral("100% Loading ..."),
                           QStringLiteral("100% Loaded."), Playing(1, 500, 1)}));
    EXPECT_EQ(Visible(), 0);
    EXPECT_TRUE(Named<QTimer>(form->Preview(), "tmPlay")->isActive());
    EXPECT_TRUE(
        Looks(Named<ImageControl>(form->Preview(), "imgGoDis"), Named<ImageControl>(form->Preview(), "imgStopEn")));
}

TEST_F(PreviewPlaybackTest, StopDuringALoadLetsItCompleteAndPlay)
{
    AddPictures(3);
    OnCaption(QStringLiteral("67% Loading ..."), [this] { form->Preview().imgcmdStop_Click(); });
    form->Preview().imgcmdGo_Click();
    EXPECT_EQ(captions,
              QStringList({QStringLiteral("Loading 0% ..."), QStringLiteral("33% Loading ..."),
                           QStringLiteral("67% Loading ..."), QStringLiteral("100% Loading ..."),
                           QStringLiteral("100% Loaded."), Playing(1, 500, 1)}));
    EXPECT_EQ(Visible(), 0);
    EXPECT_TRUE(Named<QTimer>(form->Preview(), "tmPlay")->isActive());
    EXPECT_TRUE(
        Looks(Named<ImageControl>(form->Preview(), "imgGoDis"), Named<ImageControl>(form->Preview(), "imgStopEn")));
}

TEST_F(PreviewPlaybackTest, ClosingDuringALoadEndsItAndThenCloses)
{
    AddPictures(3);
    OnCaption(QStringLiteral("33% Loading ..."), [this] { form->imgClose2_Click(); });
    form->Preview().imgcmdGo_Click();
    EXPECT_EQ(captions.back(), QStringLiteral("33% Loading ..."));
    EXPECT_FALSE(Named<QTimer>(form->Preview(), "tmPlay")->isActive());
    QTRY_VERIFY_WITH_TIMEOUT(!form->isVisible(), 5000);
}

TEST_F(PreviewPlaybackTest, ListShrinkingDuringALoadEndsAtTheShorterList)
{
    AddPictures(5);
    form->Preview().imgcmdGo_Click();
    for (int i = 0; i < 4; ++i)
        form->Preview().tmPlay_Timer(); // element 4 on show
    captions.clear();
    OnCaption(QStringLiteral("20% Loading ..."), [this] { RemoveLastRows(2); });
    form->Preview().imgcmdGo_Click();
    EXPECT_EQ(captions,
              QStringList({QStringLiteral("Loading 0% ..."), QStringLiteral("20% Loading ..."),
                           QStringLiteral("67% Loading ..."), QStringLiteral("100% Loading ..."),
                           QStringLiteral("100% Loaded."), Playing(1, 500, 1)}));
    for (int tick = 0; tick < 6; ++tick) {
        EXPECT_TRUE(Visible() >= 0 && Visible() < 3) << "tick " << tick << " shows " << Visible();
        form->Preview().tmPlay_Timer();
    }
}

} // namespace
