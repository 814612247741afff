// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// A frame's play time: the text as it was typed, trimmed, and its value, read
// once when the text comes in. A text that is not a whole number has no value;
// its callers report it with the text the user sees.
struct PlayTime {
    QString text;
    std::optional<qint32> ms;

    static PlayTime FromText(const QString& typed);
    bool operator==(const PlayTime&) const = default;
};
