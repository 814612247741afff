// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/OutputSize.h"
#include "production/CreationCheck.h"
#include "production/CreationRules.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using Refusal = CreationCheck::Refusal;

// Every fault at once; the check names them one by one as each is mended.
TEST(CreationCheck, RefusesTheFirstFaultInItsOrderWithTheMessagesOfBothFrontEnds)
{
    QTemporaryDir dir;
    CreationRequest request;
    request.outputPath = QStringLiteral("a.gi");
    request.widthText = QStringLiteral("4");
    request.heightText = QStringLiteral("40");
    request.frames = {{QStringLiteral("/p/1.png"), 100, QStringLiteral("100")},
                      {QStringLiteral("/p/2.png"), std::nullopt, QStringLiteral("fast")}};
    request.loopText = QStringLiteral(" -1 ");

    const auto expect = [&](Refusal refusal, const QString& message) {
        const CreationCheck check = CheckCreation(request);
        EXPECT_EQ(check.refusal, refusal);
        EXPECT_EQ(check.message, message);
        EXPECT_FALSE(check.Ok());
    };
    expect(Refusal::NoFileName, CreationRules::NoFileNameMessage());
    request.outputPath = dir.path();
    expect(Refusal::Size, OutputSize::TooSmallMessage());
    request.widthText = QStringLiteral(" 40 ");
    expect(Refusal::OutputTarget, CreationRules::OutputTargetMessage(dir.path()));
    EXPECT_TRUE(CreationRules::OutputTargetMessage(dir.path()).contains(dir.path()));
    request.outputPath = dir.filePath(QStringLiteral("out.gif"));
    expect(Refusal::PlayTime, CreationRules::PlayTimeMessage(2, QStringLiteral("fast")));
    // A number the file cannot store is refused as the text the list holds.
    request.frames[1].playTime = CreationRules::kMaximumPlayTime + 1;
    request.frames[1].playTimeText = QStringLiteral(" 655355");
    expect(Refusal::PlayTime, CreationRules::PlayTimeMessage(2, QStringLiteral(" 655355")));
    request.frames[1].playTime = CreationRules::kMaximumPlayTime;
    expect(Refusal::LoopCount, CreationRules::LoopCountMessage(QStringLiteral("-1")));

    request.loopText = QStringLiteral(" 7 ");
    const CreationCheck check = CheckCreation(request);
    ASSERT_TRUE(check.Ok()) << check.message.toStdString();
    EXPECT_EQ(check.loopCount, 7);
    EXPECT_EQ(check.settings.width, 40);
    EXPECT_EQ(check.settings.height, 40);
    EXPECT_EQ(check.settings.outputPath, request.outputPath);
    ASSERT_EQ(check.settings.frames.size(), 2);
    EXPECT_EQ(check.settings.frames[0].path, QStringLiteral("/p/1.png"));
    EXPECT_EQ(check.settings.frames[1].playTime, CreationRules::kMaximumPlayTime);

    request.loopText.clear();
    EXPECT_EQ(CheckCreation(request).loopCount, 0) << "an empty loop field loops endlessly";
}

} // namespace
