// SPDX-License-Identifier: GPL-3.0-or-later
#include "production/CreationCheck.h"

#include "common/OutputSize.h"
#include "production/CreationRules.h"

namespace {

CreationCheck Refused(CreationCheck::Refusal refusal, const QString& message)
{
    CreationCheck check;
    check.refusal = refusal;
    check.message = message;
    return check;
}

} // namespace

CreationCheck CheckCreation(const CreationRequest& request)
{
    using Refusal = CreationCheck::Refusal;
    if (!CreationRules::OutputPathLongEnough(request.outputPath))
        return Refused(Refusal::NoFileName, CreationRules::NoFileNameMessage());
    const OutputSize::Verdict size = OutputSize::Check(request.widthText, request.heightText);
    if (!size.ok)
        return Refused(Refusal::Size, size.message);
    if (const QString refused = CreationRules::OutputTargetMessage(request.outputPath); !refused.isEmpty())
        return Refused(Refusal::OutputTarget, refused);

    CreationCheck check;
    check.settings.frames.reserve(request.frames.size());
    for (qsizetype i = 0; i < request.frames.size(); ++i) {
        const CreationRequest::Frame& frame = request.frames[i];
        if (!frame.playTime || !CreationRules::PlayTimeUsable(*frame.playTime))
            return Refused(Refusal::PlayTime,
                           CreationRules::PlayTimeMessage(static_cast<int>(i) + 1, frame.playTimeText));
        check.settings.frames.push_back({frame.path, *frame.playTime});
    }
    const QString loopText = request.loopText.trimmed();
    const std::optional<qint16> loopCount = CreationRules::LoopCountFromText(loopText);
    if (!loopCount)
        return Refused(Refusal::LoopCount, CreationRules::LoopCountMessage(loopText));

    check.loopCount = *loopCount;
    check.settings.width = size.width;
    check.settings.height = size.height;
    check.settings.outputPath = request.outputPath;
    return check;
}
