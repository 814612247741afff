// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The rule every output size passes before a preview or a GIF is made.
namespace OutputSize {

inline constexpr int kMinimum = 5;
inline constexpr int kMaximum = 2000;

struct Verdict {
    bool ok = false;
    int width = 0;
    int height = 0;
    QString message; // the error message when !ok
};

// Width and height as the user typed them. Text that is not a whole number
// (pasted) counts as empty: it cannot be a size.
Verdict Check(const QString& widthText, const QString& heightText);

QString EmptyMessage();
QString TooSmallMessage();
QString TooBigMessage();

} // namespace OutputSize
