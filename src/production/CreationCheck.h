// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "production/CreationRun.h"

#include <QString>
#include <QVector>

#include <optional>

// A creation run as a front end has it, before anything is made: checked in
// one place, so the window and flipreel-cli refuse the same input in the same
// words.
struct CreationRequest {
    struct Frame {
        QString path;
        std::optional<qint32> playTime; // no value: the text is no whole number
        QString playTimeText;           // as the frame list holds it, named when refused
    };
    QString outputPath;
    QString widthText;
    QString heightText;
    QVector<Frame> frames;
    QString loopText; // trimmed here; empty loops endlessly
};

struct CreationCheck {
    enum class Refusal { None, NoFileName, Size, OutputTarget, PlayTime, LoopCount };
    Refusal refusal = Refusal::None;
    QString message;
    // With no refusal: the frames, the size and the output path of the run.
    CreationSettings settings;
    qint16 loopCount = 0;

    bool Ok() const { return refusal == Refusal::None; }
};

// The first refusal in this order: the output name, the size rule, the output
// target (a folder, a FIFO, a device), each frame's play time, the loop count.
CreationCheck CheckCreation(const CreationRequest& request);
