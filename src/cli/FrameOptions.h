// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/PictureFit.h"
#include "production/CreationRun.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The options of flipreel-cli that shape frames: --every, --fit and
// --background, and the checks and warnings that go with frame timing and size.
namespace FrameOptions {

struct Values {
    qint32 everyMs = 0; // 0: every picture of a video
    PictureFit fit;
};

// Reads them (the parser knows them from CliOptions); no value (and the message in *refusal) when one is refused.
std::optional<Values> Read(const QCommandLineParser& parser, QString* refusal);

// Warnings for frames whose play time is stored as 0 or 1 hundredth, which
// browsers slow down to 10 hundredths: none when every frame is long enough.
QStringList ShortDelayWarnings(const QVector<CreationFrame>& frames);

} // namespace FrameOptions
