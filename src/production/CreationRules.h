// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// The rules of a creation run that the window and flipreel-cli share.
namespace CreationRules {

// An output path needs at least this many characters ("a.gif").
inline constexpr int kMinimumPathLength = 5;
// The GIF file stores delays in 16 bits (hundredths of a second).
inline constexpr int kMaximumDelay = 65535;
// The longest play time whose delay still fits: 655354 ms rounds to 65535.
inline constexpr qint32 kMaximumPlayTime = 655354;
// The loop count travels as a 16-bit signed value; a negative count means nothing.
inline constexpr int kMaximumLoopCount = 32767;

QString NoFileNameMessage();
bool OutputPathLongEnough(const QString& path);
QString SuccessMessage(const QString& outputPath);
// Why the output path cannot take the GIF (it names a FIFO, a device, a
// folder), before any frame is made; empty when it can.
QString OutputTargetMessage(const QString& outputPath);

// Hundredths of a second for a play time in ms: ms / 10 rounded, an exact half
// to the even neighbour (125 gives 12, 135 gives 14).
int FrameDelay(qint32 playTimeMs);

// A play time as it reaches the run: a whole number of ms whose delay fits the
// file. No value for anything else.
std::optional<qint32> PlayTimeFromText(const QString& text);
bool PlayTimeUsable(qint32 playTimeMs);
// Frame is 1-based; text is what the frame list holds.
QString PlayTimeMessage(int frame, const QString& text);

// The loop text, already trimmed: empty gives 0, else a whole number from 0 to
// kMaximumLoopCount.
std::optional<qint16> LoopCountFromText(const QString& trimmedText);
QString LoopCountMessage(const QString& text);

} // namespace CreationRules
