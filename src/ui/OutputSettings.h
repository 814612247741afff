// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The output settings that the preview and the creation run read: the texts
// of the width, height and loop boxes, as the user left them.
class OutputSettings {
public:
    virtual QString WidthText() const = 0;
    virtual QString HeightText() const = 0;
    virtual QString LoopText() const = 0;
    // A run trims the loop text in its box before it reads the count.
    virtual void TrimLoopText() = 0;

protected:
    OutputSettings() = default;
    ~OutputSettings() = default;
    Q_DISABLE_COPY_MOVE(OutputSettings)
};
